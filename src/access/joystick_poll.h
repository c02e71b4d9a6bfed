#pragma once
// Turns the joystick, or the mouse used as one, into direction letters once per poll:
// "D" right, "E" left, "R" down, "A" up, "1" and "2" the buttons.
#include <QString>

namespace vexil {

class Session;

// Finds the first joystick (0 to 4) that answers and takes its centre; without one the
// mouse is used ("Multimouse"). Sets `n_joystic` (number + 1, or 100) and the defaults of
// the joystick settings.
void detectJoystick(Session& session);
// True when joystick `id` (0-based) answers; its position becomes the centre.
bool probeJoystick(Session& session, int id);
// The letters of one poll (possibly none).
QString pollJoystick(Session& session);
// The key code of `cursorMove` for a letter; 0 for any other letter.
int cursorKeyOfLetter(QChar letter);

}  // namespace vexil
