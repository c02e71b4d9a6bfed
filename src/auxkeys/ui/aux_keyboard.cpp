#include "auxkeys/ui/aux_keyboard.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>

#include "auxkeys/aux_keys.h"
#include "auxkeys/ui/tec_virt.h"
#include "help/help_book.h"
#include "help/ui/help_window.h"
#include "i18n/ui/translate_form.h"
#include "session/session.h"

namespace vexil {

bool isKeyField(const QWidget* widget) {
    return widget && widget->property("vexilKeyField").toBool();
}

AuxKeyboard::AuxKeyboard(Session& session, QAction* menuItem, QWidget* owner)
    : QObject(owner), s_(session), menuItem_(menuItem), owner_(owner) {
    connect(menuItem_, &QAction::toggled, this, &AuxKeyboard::apply);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusChanged(now); });
    // Every file dialog of the program, whoever opens it, is seen here as it shows and hides.
    qApp->installEventFilter(this);
}

AuxKeyboard::~AuxKeyboard() = default;

// The window is built the first time it is wanted: a board used without it never pays for
// its buttons at start.
TecVirt* AuxKeyboard::window() {
    if (!window_ && owner_ && !built_) {
        built_ = true;
        window_ = new TecVirt(owner_);
        window_->setProperty("helpTopic", help_topic::AuxKeyboard);
        translateForm(window_);
        connect(window_, &TecVirt::keyClicked, this, &AuxKeyboard::keyClicked);
        connect(window_, &TecVirt::pictureClicked, this, &AuxKeyboard::pictureClicked);
        // Closing the window from its close box removes the tick, and the box follows.
        connect(window_, &TecVirt::closedByUser, this, [this] { menuItem_->setChecked(false); });
    }
    return window_;
}

bool AuxKeyboard::isShown() const {
    return window_ && window_->isVisible();
}

void AuxKeyboard::open() {
    if (menuItem_->isChecked())
        apply(true);
    else
        menuItem_->setChecked(true);
}

void AuxKeyboard::close() {
    menuItem_->setChecked(false);
    if (window_) window_->hide();
}

void AuxKeyboard::setUseMode(bool useMode) {
    useMode_ = useMode;
    apply(menuItem_->isChecked());
}

void AuxKeyboard::apply(bool ticked) {
    // A file dialog is never covered: the keyboard waits until it has closed.
    if (!ticked || useMode_ || fileDialogOpen()) {
        if (window_) window_->hide();
        return;
    }
    if (!window()) return;
    if (!window_->isVisible()) {
        window_->adjustSize();
        place();
        window_->show();
    }
    keepAboveModalDialog(window_);
    window_->raise();
}

void AuxKeyboard::place() {
    QWidget* scope = QApplication::activeModalWidget();
    if (!scope && owner_) scope = owner_->window();
    if (!scope || !window_) return;
    const QRect around = scope->frameGeometry();
    const QWidget* field = targetField();
    const QRect fieldRect = field ? QRect(field->mapToGlobal(QPoint(0, 0)), field->size()) : QRect();
    const QRect frame = window_->frameGeometry();
    // Where the author put it stays, unless it stands over what it writes into.
    if (placed_ && !frame.intersects(around) && !frame.intersects(fieldRect)) return;
    const QScreen* screen = scope->screen() ? scope->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    window_->move(auxKeyboardPosition(screen->availableGeometry(), frame.size(), around, fieldRect));
    placed_ = true;
}

bool AuxKeyboard::fileDialogOpen() const {
    for (const QPointer<QWidget>& d : fileDialogs_)
        if (d && d->isVisible()) return true;
    return false;
}

bool AuxKeyboard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    // The picture chooser "Fitxers Gràfics" counts as a file dialog.
    if (!w || !w->isWindow() ||
        !(qobject_cast<QFileDialog*>(w) || w->objectName() == QLatin1String("rec_graf")))
        return false;
    fileDialogs_.removeAll(nullptr);
    if (type == QEvent::Show) {
        if (!fileDialogs_.contains(w)) fileDialogs_.append(w);
        if (window_) window_->hide();
    } else {
        fileDialogs_.removeAll(w);
        // Back as it was once the last file dialog has closed, if still ticked.
        if (!fileDialogOpen()) apply(menuItem_->isChecked());
    }
    return false;
}

void AuxKeyboard::focusChanged(QWidget* now) {
    if (isKeyField(now)) lastField_ = now;
    // A dialog opened or closed: the keyboard stays usable and in sight above whatever is
    // modal.
    if (!isShown()) return;
    const QWindow* before = window_->windowHandle()->transientParent();
    keepAboveModalDialog(window_);
    if (window_->windowHandle()->transientParent() != before) {
        // Another window is modal now: the keyboard moves off it if it stands over it.
        place();
        window_->raise();
    }
}

QWidget* AuxKeyboard::targetField() const {
    const auto usable = [](QWidget* w) { return isKeyField(w) && w->isVisible() && w->isEnabled(); };
    QWidget* last = lastField_.data();
    // While a dialog is modal only its own fields can be edited.
    QWidget* scope = QApplication::activeModalWidget();
    if (!scope && owner_) scope = owner_->window();
    if (!scope) return usable(last) ? last : nullptr;
    if (usable(last) && last->window() == scope) return last;
    for (QWidget* w : scope->findChildren<QWidget*>())
        if (usable(w) && w->window() == scope) return w;
    return nullptr;
}

bool AuxKeyboard::insert(const QString& text) {
    QWidget* field = targetField();
    if (!field || text.isEmpty()) return false;
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        const FieldEdit e = insertAtCursor(line->text(), line->cursorPosition(), text);
        line->setText(e.text);
        line->setCursorPosition(e.cursor);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) {
        QTextCursor c = plain->textCursor();
        c.clearSelection();
        c.insertText(text);
        plain->setTextCursor(c);
    } else if (auto* rich = qobject_cast<QTextEdit*>(field)) {
        QTextCursor c = rich->textCursor();
        c.clearSelection();
        c.insertText(text);
        rich->setTextCursor(c);
    } else {
        return false;
    }
    // Should the window manager have given the keyboard the focus, the field takes it back.
    if (!field->window()->isActiveWindow()) field->window()->activateWindow();
    field->setFocus(Qt::OtherFocusReason);
    return true;
}

void AuxKeyboard::keyClicked(int index) {
    if (!insert(auxKeyText(index))) QApplication::beep();
}

void AuxKeyboard::pictureClicked(int index) {
    // Decide the field first: the file dialog takes the focus for a while.
    QPointer<QWidget> field = targetField();
    if (!field) {
        QApplication::beep();
        return;
    }
    const std::optional<QString> text = auxPictureText(s_, index);
    if (!text || !field) return;
    lastField_ = field;
    insert(*text);
}

}  // namespace vexil
