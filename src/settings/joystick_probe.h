#pragma once
// Whether a joystick the profile may name answers, and the centre it is read from. The
// profile reader probes the joystick it names; detection (access/joystick_poll.h) probes
// each in turn.
#include <cstdint>

namespace vexil {

class Joystick;
struct JoystickState;
struct UserProfile;

// The joystick numbers looked at by detection (0-based).
inline constexpr int kJoystickSearchCount = 5;
// `n_joystic` of the mouse used as a joystick ("Multimouse").
inline constexpr int kMouseJoystick = 100;

// The profile's centre becomes this reading.
void takeJoystickCentre(UserProfile& profile, const JoystickState& state);
// True when joystick `id` (0-based) answers; its position becomes the centre, `n_joystic`
// becomes id + 1 and `joystic_sensi` 1. Otherwise the centre is cleared and nothing else
// changes.
bool probeJoystick(UserProfile& profile, Joystick& joystick, int id);

}  // namespace vexil
