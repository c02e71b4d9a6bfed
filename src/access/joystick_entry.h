#pragma once
// What the joystick dialog `USR_JOYSTIC` shows and stores.
#include <QString>

#include "settings/user_profile.h"

namespace vexil {

// The ranges of the dialog's two scroll bars.
inline constexpr int kJoystickSensiMin = 1, kJoystickSensiMax = 9;
inline constexpr int kJoystickRetardMin = 1, kJoystickRetardMax = 100;

// The dialog's fields as they stand.
struct JoystickEntry {
    bool joystick = false;  // the option "Joystick" (mode 4) rather than "Multimouse"
    int sensi = 1;          // HScroll1 (0): `joystic_sensi`
    int retard = 10;        // HScroll1 (1): `joystic_retard`
    QString thickness;      // "Gruix del marc"
    double color = 255;     // the frame colour as the profile stores it
};

// The dialog's fields for the profile: a value beyond a scroll bar's range (a profile
// edited by hand) is shown at the nearest end of the bar.
JoystickEntry joystickEntryFor(const UserProfile& profile);

// "Acceptar": the two values (kept within the bars' ranges), the frame thickness (no
// number, 0 or less gives 8) and colour. The option is only shown, never stored.
void acceptJoystickEntry(UserProfile& profile, const JoystickEntry& entry);

}  // namespace vexil
