#pragma once
// The dialogs of two layout tools, loaded fresh for each use with their design values:
// `RDM` ("Redimensionar àrees": two percentages) and `Quadricula` ("&Subdividir àrea":
// columns and rows). They only collect the values; LayoutTools applies them.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vexil {

class RdmDialog : public QDialog {
    Q_OBJECT
public:
    explicit RdmDialog(QWidget* parent = nullptr);

    // The texts of `Hor` and `ver` as typed (the core reads their numbers).
    QString horizontal() const;
    QString vertical() const;

private:
    QLineEdit* hor_ = nullptr;
    QLineEdit* ver_ = nullptr;
    QScrollBar* vscroll1_ = nullptr;
    QScrollBar* vscroll2_ = nullptr;
};

class QuadriculaDialog : public QDialog {
    Q_OBJECT
public:
    explicit QuadriculaDialog(QWidget* parent = nullptr);

    // The counts the spinners show: maximum − value + 1.
    int columns() const;
    int rows() const;

private:
    QLabel* txH_ = nullptr;
    QLabel* txV_ = nullptr;
    QScrollBar* scrollH_ = nullptr;
    QScrollBar* scrollV_ = nullptr;
};

}  // namespace vexil
