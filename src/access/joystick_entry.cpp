#include "access/joystick_entry.h"

#include <algorithm>

#include "access/access_engine.h"
#include "access/switch_entry.h"

namespace vexil {

JoystickEntry joystickEntryFor(const UserProfile& profile) {
    JoystickEntry e;
    e.joystick = profile.accessMode == kModeJoystick;
    e.sensi = std::clamp<int>(profile.joystic_sensi, kJoystickSensiMin, kJoystickSensiMax);
    e.retard = std::clamp<int>(profile.joystic_retard, kJoystickRetardMin, kJoystickRetardMax);
    e.thickness = QString::number(profile.gruix);
    e.color = profile.color;
    return e;
}

void acceptJoystickEntry(UserProfile& profile, const JoystickEntry& entry) {
    profile.joystic_sensi =
        std::int16_t(std::clamp(entry.sensi, kJoystickSensiMin, kJoystickSensiMax));
    profile.joystic_retard =
        std::int16_t(std::clamp(entry.retard, kJoystickRetardMin, kJoystickRetardMax));
    const std::int16_t gruix = dialogNumber(entry.thickness).value_or(0);
    profile.gruix = gruix <= 0 ? std::int16_t(8) : gruix;
    profile.color = entry.color;
}

}  // namespace vexil
