#pragma once
// `TecVirt`, "Teclat Auxiliar": the auxiliary keyboard's window. One button per special
// key (`Command1`, object name "Command1" with the index in the property "index") and the
// picture buttons (`Picture2`, likewise). It never takes the keyboard focus, so the key
// field being edited keeps it; what a button does is the owner's (AuxKeyboard).
#include <QWidget>

class QAbstractButton;

namespace vexil {

class TecVirt : public QWidget {
    Q_OBJECT
public:
    explicit TecVirt(QWidget* parent = nullptr);

    // Command1(index) or Picture2(index); null when there is none.
    QAbstractButton* keyButton(int index) const;
    QAbstractButton* pictureButton(int index) const;

signals:
    void keyClicked(int index);
    void pictureClicked(int index);
    // Closed from its own close box.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace vexil
