#pragma once
// What the switch dialog `usr` stores when "Acceptar" is pressed, and when it refuses.
#include <QColor>
#include <QString>
#include <optional>

#include "settings/user_profile.h"

namespace vexil {

// The dialog's fields as typed.
struct SwitchEntry {
    int option = -1;          // index of the selected gesture option, -1 when none
    QString keyList;          // "Llista de tecles"
    QString presentationTime; // retard (0): the scan step `temps`
    QString actionTime;       // retard (1): the switch's `retard`
    QString thickness;        // "Gruix del marc"
    double color = 255;       // the frame colour as the profile stores it
};

// The leading number of a dialog text (blanks skipped, empty gives 0) as a 16-bit integer,
// halves to even; nothing when the text does not start with a number or it does not fit.
std::optional<std::int16_t> dialogNumber(const QString& text);

// Stores `entry` for switch `number` (1 or 2) into `profile` and gives true, or gives false
// and leaves the profile untouched when the entry is refused: no gesture, "Tecla de la
// llista" without keys, switch 2 equal to switch 1 (unless both use different key lists),
// or a presentation time that is not a number.
bool acceptSwitchEntry(UserProfile& profile, int number, const SwitchEntry& entry);

// The dialog's fields for switch `number` as the profile holds it.
SwitchEntry switchEntryFor(const UserProfile& profile, int number);

}  // namespace vexil
