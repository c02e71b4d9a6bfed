#include "access/access_menu.h"

#include "access/access_engine.h"
#include "access/joystick_poll.h"
#include "files/profile_files.h"
#include "session/session.h"

namespace vexil {

AccessDialog chooseAccessMenuItem(Session& session, AccessEngine& engine, int index) {
    UserProfile& p = session.profile;
    engine.beginModeChange();
    session.view->setAccessMenuCheck(index);
    switch (index) {
        case 0:
            p.accessMode = kModeMouse;
            return AccessDialog::None;
        case 1:
            p.accessMode = kModeManualScan;
            return AccessDialog::Switch;
        case 2:
            p.accessMode = kModeAutoScan;
            return AccessDialog::Switch;
        case 3:
            p.accessMode = kModeCursorKeys;
            return AccessDialog::None;
        case 4:
            if (p.n_joystic == 0) {
                detectJoystick(session);
            } else if (!joystickAnswers(session)) {
                // No stick when the mouse took its place, or the one named is gone: a stick
                // connected since is found now, and an unplugged one gives way to the mouse
                // instead of leaving a mode that can never move.
                searchJoysticks(session);
            }
            if (p.n_joystic > 0)
                p.accessMode = p.n_joystic == 100 ? kModeMultimouse : kModeJoystick;
            return AccessDialog::Joystick;
        case 5:
            if (p.accessMode < kModeVoiceOne || p.accessMode > kModeVoiceFive)
                p.accessMode = kModeVoiceOne;
            if (p.recognitionTenths == 0) p.recognitionTenths = 5;
            return AccessDialog::Voice;
        default:
            return AccessDialog::None;
    }
}

void cancelAccessDialog(Session& session, AccessDialog dialog) {
    if (dialog == AccessDialog::None) return;
    if (dialog == AccessDialog::Voice && session.profile.recognitionState != 0) return;
    session.profile.accessMode = kModeMouse;
    session.view->setAccessMenuCheck(0);
}

void cancelVoiceDialog(Session& session, const UserProfile& before) {
    UserProfile& p = session.profile;
    UserProfile back = before;
    back.recognitionState = p.recognitionState;
    back.engineVersion = p.engineVersion;
    if (p.recognitionState != 0) {
        back.voiceWords = p.voiceWords;
        back.voiceCommandCount = p.voiceCommandCount;
        back.recognitionTenths = p.recognitionTenths;
        const bool voiceBefore =
            before.accessMode >= kModeVoiceOne && before.accessMode <= kModeVoiceFive;
        if (voiceBefore) back.accessMode = p.accessMode;
    }
    p = back;
    session.view->setAccessMenuCheck(accessMenuItem(p.accessMode));
}

}  // namespace vexil
