#include "app/ui/dialogs_on_screen.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace vexil {

namespace {

// Room the window manager's frame takes around a window not yet mapped (its title bar above,
// a border around): the frame itself is only known once the window is on the screen.
constexpr int kFrameTop = 32;
constexpr int kFrameSide = 6;

void bringOnScreen(QWidget* w) {
    const QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect room = screen->availableGeometry().adjusted(kFrameSide, kFrameTop, -kFrameSide,
                                                            -kFrameSide);
    QRect g = w->geometry();
    if (g.width() > room.width() || g.height() > room.height()) {
        g.setSize(g.size().boundedTo(room.size()).expandedTo(w->minimumSize().boundedTo(room.size())));
        w->resize(g.size());
    }
    const int x = std::clamp(g.x(), room.left(), std::max(room.left(), room.right() - g.width() + 1));
    const int y = std::clamp(g.y(), room.top(), std::max(room.top(), room.bottom() - g.height() + 1));
    if (x != g.x() || y != g.y()) w->move(x, y);
}

}  // namespace

DialogsOnScreen::DialogsOnScreen(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

bool DialogsOnScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow()) bringOnScreen(dialog);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vexil
