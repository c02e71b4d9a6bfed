#include "access/joystick_poll.h"

#include "access/board_walk.h"
#include "session/session.h"

namespace vexil {

void detectJoystick(Session& session) {
    UserProfile& p = session.profile;
    p.joystic_retard = 10;
    p.joystic_sensi = 1;
    searchJoysticks(session);
}

void searchJoysticks(Session& session) {
    UserProfile& p = session.profile;
    for (int id = 0; id < kJoystickSearchCount; ++id) {
        p.n_joystic = kMouseJoystick;
        if (probeJoystick(p, session.platform.joystick, id)) break;
    }
}

bool joystickAnswers(Session& session) {
    const int n = session.profile.n_joystic;
    return n >= 1 && n <= kJoystickSearchCount &&
           session.platform.joystick.read(n - 1).has_value();
}

void startJoystickPolling(Session& session) {
    UserProfile& p = session.profile;
    if (p.n_joystic != kMouseJoystick) return;
    const QPoint pos = session.platform.mouse.position();
    p.joystickCentre[0] = pos.x();
    p.joystickCentre[1] = pos.y();
    p.joystickCentreTaken = true;
}

QString pollJoystick(Session& session) {
    UserProfile& p = session.profile;
    QString letters;
    if (p.n_joystic == kMouseJoystick) {
        const QPoint pos = session.platform.mouse.position();
        const int t = p.joystic_sensi * 5;
        const int cx = p.joystickCentre[0];
        const int cy = p.joystickCentre[1];
        if (p.joystickCentreTaken) {
            if (pos.x() > cx + t) letters += u'D';
            if (pos.x() < cx - t) letters += u'E';
            if (pos.y() > cy + t) letters += u'R';
            if (pos.y() < cy - t) letters += u'A';
        }
        p.joystickCentre[0] = pos.x();
        p.joystickCentre[1] = pos.y();
        p.joystickCentreTaken = true;
    } else if (p.n_joystic >= 1 && p.n_joystic <= kJoystickSearchCount) {
        // Every stick detection can find (1 to 5) is polled: detection stops at the first
        // that answers, so a stick numbered 3 is the user's own, and one that was found
        // but never moved the highlight would leave the board without a way in.
        const auto state = session.platform.joystick.read(p.n_joystic - 1);
        if (!state) return letters;
        if (!p.joystickCentreTaken) {
            // Not there when it was probed: its rest position is the one seen now.
            takeJoystickCentre(p, *state);
            return letters;
        }
        const double f = p.joystic_sensi / 10.0;
        // The centre is an unsigned reading kept in 32 bits.
        const double cx = double(std::uint32_t(p.joystickCentre[0]));
        const double cy = double(std::uint32_t(p.joystickCentre[1]));
        const double x = double(std::uint32_t(state->x));
        const double y = double(std::uint32_t(state->y));
        if (x > (1 + f) * cx) letters += u'D';
        if (x < (1 - f) * cx) letters += u'E';
        if (y > (1 + f) * cy) letters += u'R';
        if (y < (1 - f) * cy) letters += u'A';
        if (state->buttons == 1) letters += u'1';
        if (state->buttons == 2) letters += u'2';
        if (state->buttons == 3) letters += QStringLiteral("12");
    }
    return letters;
}

int cursorKeyOfLetter(QChar letter) {
    switch (letter.unicode()) {
        case u'D':
            return kCursorRight;
        case u'E':
            return kCursorLeft;
        case u'R':
            return kCursorDown;
        case u'A':
            return kCursorUp;
        case u'1':
        case u'2':
            return kCursorEnter;
        default:
            return 0;
    }
}

}  // namespace vexil
