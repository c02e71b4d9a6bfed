#pragma once
// The auxiliary keyboard of the editor: its window `TecVirt`, kept in step with the menu
// item "&Teclat auxiliar" (and through it the box "Tec. Aux."), inserting into the key
// field being edited. A key field is any widget whose dynamic property `vexilKeyField` is
// true (a QLineEdit, QPlainTextEdit or QTextEdit); the keyboard writes into the one that
// had the focus last, and while a modal dialog is open into that dialog's key field. It
// stands beside the window it writes into, and steps aside while any file dialog is open.
#include <QList>
#include <QObject>
#include <QPointer>

#include "auxkeys/ui/tec_virt.h"

class QAction;
class QWidget;

namespace vexil {

class Session;

class AuxKeyboard : public QObject {
    Q_OBJECT
public:
    // `menuItem` is the checkable "&Teclat auxiliar"; `owner` the main window.
    AuxKeyboard(Session& session, QAction* menuItem, QWidget* owner);
    ~AuxKeyboard() override;

    // The keyboard's window, built on first use; null once its owner has gone.
    TecVirt* window();
    bool isShown() const;
    // Ticks the menu item and shows the keyboard (or brings it up again when it is shown).
    void open();
    // Closes the keyboard and removes the tick.
    void close();
    // Use mode hides the keyboard; back in edit mode it comes back when still ticked.
    void setUseMode(bool useMode);

    // Where a button writes now; null when there is no key field to write into.
    QWidget* targetField() const;
    // Inserts `text` at the cursor of the target field; false when there is none.
    bool insert(const QString& text);
    // Whether a file dialog (or the picture chooser) is open, which the keyboard leaves clear.
    bool fileDialogOpen() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(bool ticked);
    void keyClicked(int index);
    void pictureClicked(int index);
    void focusChanged(QWidget* now);
    // Moves the keyboard clear of the window it writes into and of the field.
    void place();

    Session& s_;
    QAction* menuItem_;
    QPointer<QWidget> owner_;
    QPointer<TecVirt> window_;
    QPointer<QWidget> lastField_;
    QList<QPointer<QWidget>> fileDialogs_;
    bool useMode_ = false;
    bool placed_ = false;
    bool built_ = false;
};

// Whether a widget is a key field the auxiliary keyboard writes into.
bool isKeyField(const QWidget* widget);

}  // namespace vexil
