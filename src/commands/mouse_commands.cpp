#include "commands/mouse_commands.h"

#include <algorithm>
#include <cmath>

#include "commands/interpreter.h"
#include "session/session.h"

namespace vexil {

namespace {

// Takes the next token off `rest`: the text before the first blank, the remainder trimmed.
QString nextToken(QString& rest) {
    const int blank = rest.indexOf(u' ');
    if (blank < 0) {
        QString token = rest;
        rest.clear();
        return token;
    }
    QString token = rest.left(blank);
    rest = rest.mid(blank + 1).trimmed();
    return token;
}

// A count token: its leading number rounded; huge values are held to the screen's reach.
int tokenNumber(const QString& token) {
    const double v = std::nearbyint(leadingValue(token));
    return int(std::clamp(v, -1e6, 1e6));
}

// The key field shows the right-button forms with "I" for "E" ("{|Mouse PI x y }"); a
// command typed in that spelling plays as the stored one.
QString storedSpelling(const QString& token) {
    static const QStringList shown = {QStringLiteral("CI"), QStringLiteral("2CI"),
                                      QStringLiteral("AI"), QStringLiteral("PI"),
                                      QStringLiteral("PI+")};
    if (!shown.contains(token)) return token;
    QString stored = token;
    stored[stored.indexOf(u'I')] = u'E';
    return stored;
}

}  // namespace

int toAbsolute(int pixel, int extent) {
    if (extent <= 0) return pixel;
    return int(std::lround(double(pixel) * 65535.0 / double(extent)));
}

int absoluteToPixel(int absolute, int extent) {
    if (extent <= 0) return absolute;
    const long p = std::lround(double(absolute) * double(extent) / 65535.0);
    return int(std::clamp<long>(p, 0, extent - 1));
}

void runMouseCommand(Session& session, const QString& argument) {
    Mouse& mouse = session.platform.mouse;
    const QPoint start = mouse.position();
    int x = start.x(), y = start.y();
    QString rest = argument;
    static const QStringList counted = {QStringLiteral("A"),  QStringLiteral("R"),
                                        QStringLiteral("E"),  QStringLiteral("D"),
                                        QStringLiteral("M"),  QStringLiteral("PD"),
                                        QStringLiteral("PE"), QStringLiteral("PD+"),
                                        QStringLiteral("PE+")};
    while (!rest.isEmpty()) {
        const QString token = storedSpelling(nextToken(rest));
        // The token after a counted sub-command is always its number, even another
        // sub-command ("D CD" is a five-pixel move, no click).
        const int n = counted.contains(token) ? tokenNumber(nextToken(rest)) : 0;
        const int step = n == 0 ? kMouseDefaultStep : n;
        QString action = token;
        if (token == u'A') {
            y -= step;
            action = QStringLiteral("M");
        } else if (token == u'R') {
            y += step;
            action = QStringLiteral("M");
        } else if (token == u'E') {
            x -= step;
            action = QStringLiteral("M");
        } else if (token == u'D') {
            x += step;
            action = QStringLiteral("M");
        } else if (token == u'M' || token == QLatin1String("PD") || token == QLatin1String("PE")) {
            const QRect r = session.platform.windows.geometry(session.player.targetWindow);
            x = r.left() + n;
            y = r.top() + tokenNumber(nextToken(rest));
        } else if (token == QLatin1String("PD+") || token == QLatin1String("PE+")) {
            const QPoint p = mouse.position();
            x = p.x() + n;
            y = p.y() + tokenNumber(nextToken(rest));
            action = token.left(2);
        }
        emitMouseAction(session, x, y, action);
    }
}

void emitMouseAction(Session& session, int x, int y, const QString& action) {
    static const QStringList known = {QStringLiteral("M"),   QStringLiteral("CD"),
                                      QStringLiteral("2CD"), QStringLiteral("CE"),
                                      QStringLiteral("2CE"), QStringLiteral("PD"),
                                      QStringLiteral("PE"),  QStringLiteral("AD"),
                                      QStringLiteral("AE")};
    if (!known.contains(action)) return;
    Mouse& mouse = session.platform.mouse;
    const QSize screen = session.platform.windows.screenSize();
    const int px = absoluteToPixel(toAbsolute(x, screen.width()), screen.width());
    const int py = absoluteToPixel(toAbsolute(y, screen.height()), screen.height());
    session.observer->mouseAction(action, px, py);

    // Button events act where the pointer already is.
    auto at = [&](MouseAction a) {
        const QPoint p = mouse.position();
        mouse.perform(a, p.x(), p.y());
    };
    const bool left = action.endsWith(u'D');
    const MouseAction down = left ? MouseAction::LeftDown : MouseAction::RightDown;
    const MouseAction up = left ? MouseAction::LeftUp : MouseAction::RightUp;
    if (action == u'M') {
        mouse.perform(MouseAction::Move, px, py);
    } else if (action == QLatin1String("CD")) {
        at(down);
        session.platform.clock.wait(11);  // the button is held a little over 0.01 s
        at(up);
    } else if (action == QLatin1String("CE")) {
        at(down);
        at(up);
    } else if (action.startsWith(u'2')) {
        at(down);
        at(up);
        at(down);
        at(up);
    } else if (action.startsWith(u'P')) {
        at(down);
        mouse.perform(MouseAction::Move, px, py);
        mouse.perform(up, px, py);
    } else {  // AD, AE
        at(up);
    }
}

}  // namespace vexil
