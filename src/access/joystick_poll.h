#pragma once
// Turns the joystick, or the mouse used as one, into direction letters once per poll:
// "D" right, "E" left, "R" down, "A" up, "1" and "2" the buttons.
#include <QString>

#include "settings/joystick_probe.h"

namespace vexil {

class Session;


// Finds the first joystick (0 to 4) that answers and takes its centre; without one the
// mouse is used ("Multimouse"). Sets the defaults of the joystick settings first.
void detectJoystick(Session& session);
// The search of detection alone, for a stick connected or unplugged since: each number
// in turn, `n_joystic` 100 until one answers. The user's settings stay.
void searchJoysticks(Session& session);
// True when the joystick the profile names (`n_joystic` 1 to 5) answers now.
bool joystickAnswers(Session& session);
// Polling starts (modes 4 and 8): the mouse's centre is where the pointer is now, so the
// first poll moves nothing by itself. A joystick keeps the centre of its detection.
void startJoystickPolling(Session& session);
// The letters of one poll (possibly none). A joystick that was not there when it was
// probed takes its centre at the first reading that answers, and that reading gives no
// letters.
QString pollJoystick(Session& session);
// The key code of `cursorMove` for a letter; 0 for any other letter.
int cursorKeyOfLetter(QChar letter);

}  // namespace vexil
