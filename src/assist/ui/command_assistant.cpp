#include "assist/ui/command_assistant.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "assist/keys_field.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "session/session.h"

namespace vexil {

CommandAssistant::CommandAssistant(Session& session, KeysFieldCommands& keys, QWidget* mainWindow)
    : QObject(mainWindow), s_(session), keys_(keys), mainWindow_(mainWindow) {}

CommandAssistant::~CommandAssistant() {
    for (const QPointer<QDialog>& w : open_)
        if (w) w->disconnect(this);
}

const std::vector<MacroEntry>& CommandAssistant::macros() const {
    return s_.catalogue.macros;
}

int CommandAssistant::nestOffset(const QWidget* w) {
    const QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return int(std::lround(kNestOffsetTwips * dpi / 1440.0));
}

AssistantWindow* CommandAssistant::open() {
    if (!open_.isEmpty()) {
        if (open_.last()) open_.last()->raise();
        return nullptr;
    }
    if (!keys_.canWrite()) return nullptr;
    context.contextTag = QString::fromUtf16(kTagArea);
    context.contextStack.clear();
    auto* w = new AssistantWindow(*this, QString::fromUtf16(kTagArea),
                                  translateCaption(QStringLiteral("Assistent tecles")),
                                  keys_.assistantStart(), mainWindow_);
    const int off = nestOffset(mainWindow_);
    if (mainWindow_) w->move(mainWindow_->pos() + QPoint(off, off));
    w->setWindowModality(Qt::WindowModal);
    open_.append(w);
    connect(w, &QDialog::finished, this, [this, w] { windowClosed(w); });
    w->show();
    return w;
}

void CommandAssistant::openNested(QDialog* child, QWidget* parent, const QString& tag) {
    context.push(tag);
    const int off = nestOffset(parent);
    child->move(parent->pos() + QPoint(off, off));
    child->setWindowModality(Qt::WindowModal);
    open_.append(child);
    connect(child, &QDialog::finished, this, [this, child] { windowClosed(child); });
    child->show();
}

void CommandAssistant::windowClosed(QDialog* window) {
    const qsizetype i = open_.indexOf(window);
    if (i < 0) return;
    open_.removeAt(i);
    context.pop();
    if (open_.isEmpty()) {
        context.contextStack.clear();
        emit closed();
    }
}

template <typename W>
static QList<W*> windowsOf(const QList<QPointer<QDialog>>& open) {
    QList<W*> out;
    for (const QPointer<QDialog>& w : open)
        if (auto* typed = qobject_cast<W*>(w.data())) out << typed;
    return out;
}

QList<AssistantWindow*> CommandAssistant::assistants() const {
    return windowsOf<AssistantWindow>(open_);
}
QList<DataWindow*> CommandAssistant::dataWindows() const {
    return windowsOf<DataWindow>(open_);
}
QList<ConditionWindow*> CommandAssistant::conditionWindows() const {
    return windowsOf<ConditionWindow>(open_);
}

}  // namespace vexil
