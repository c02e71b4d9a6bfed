#include "settings/joystick_probe.h"

#include "platform/joystick.h"
#include "settings/user_profile.h"

namespace vexil {

void takeJoystickCentre(UserProfile& p, const JoystickState& state) {
    p.joystickCentre = {state.x, state.y, state.z, std::int32_t(state.buttons)};
    p.joystickCentreTaken = true;
}

bool probeJoystick(UserProfile& p, Joystick& joystick, int id) {
    p.joystickCentre = {};
    p.joystickCentreTaken = false;
    // Numbers beyond the search (the mouse's 100 from a profile) never answer: the
    // joystick library is not even loaded for them.
    if (id < 0 || id >= kJoystickSearchCount) return false;
    const auto state = joystick.read(id);
    if (!state) return false;
    takeJoystickCentre(p, *state);
    p.n_joystic = std::int16_t(id + 1);
    p.joystic_sensi = 1;
    return true;
}

}  // namespace vexil
