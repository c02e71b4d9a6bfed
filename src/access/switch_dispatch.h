#pragma once
// Which switch an input event counts as, from the two switch records of the profile.
#include <QString>

#include "settings/user_profile.h"

namespace vexil {

// Switch codes: the events the board turns into switch presses.
enum SwitchCode : int {
    kAnyEvent = 1,  // "Qualsevol tecla": every event counts
    kEnterKey = 2,
    kSpaceKey = 3,
    kListedKey = 4,  // a typed character; the character travels with the code
    kPointerMove = 5,
    kLeftClick = 6,
    kLeftDoubleClick = 7,
    kRightClick = 8,
    kRightDoubleClick = 9,
    kVoiceSound1 = 1000,
    kVoiceSound2 = 1001,
};

// 0 (no switch), 1 or 2. Switch 2 wins when both match. A typed character (code 4) counts
// for a switch set to "Tecla de la llista" only when its list holds it; the lists decide
// last: a character in the list of switch 1 gives 1, one in the list of switch 2 gives 2
// (whatever code that switch has), one in neither keeps what "Qualsevol tecla" gave.
// An unset switch (code 0) is never matched; the voice codes 1000 and 1001 are switches 1
// and 2 whatever the switches hold.
int whichSwitch(const UserProfile& profile, int code, const QString& text);

}  // namespace vexil
