#pragma once
// The access-mode menu `Tipus_exploracio` without its dialogs: what choosing an item does
// to the profile before its dialog opens, and which dialog that is. The window shows the
// dialog, then calls UseMode::accessModeChosen().
#include <cstdint>

#include "settings/user_profile.h"

namespace vexil {

class Session;
class AccessEngine;

enum class AccessDialog {
    None,      // items 0 and 3
    Switch,    // item 1: switch 1, then switch 2 when switch 1 has a gesture; item 2: switch 1
    Joystick,  // item 4
    Voice,     // item 5
};

// Item `index` (0 to 5) was chosen: recognition and the timers stop, the mode is set where
// the item fixes it (0, 3; 1 and 2 for the switch dialog; 4 or 8 after looking for a
// joystick; 5 unless a voice mode is set), and the dialog to show is returned. The
// joystick item looks for sticks again whenever the one named does not answer (none was
// found before, or it was unplugged), keeping the user's joystick settings.
AccessDialog chooseAccessMenuItem(Session& session, AccessEngine& engine, int index);

// What "Cancelar" of the switch, joystick and voice dialogs does to the mode: back to the
// mouse (the voice dialog only while its engine was never started).
void cancelAccessDialog(Session& session, AccessDialog dialog);

// "Cancelar" of the voice dialog: every setting as it was before its menu item was chosen
// (`before`), the switch codes and the mode included. What belongs to a recogniser started
// meanwhile stays with it: its state, its command set, and the voice mode of that set when
// the mode before was another voice mode.
void cancelVoiceDialog(Session& session, const UserProfile& before);

}  // namespace vexil
