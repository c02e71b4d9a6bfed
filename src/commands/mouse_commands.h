#pragma once
// The MOUSE command: moves, clicks, double clicks and drags written as sub-commands
// ("{|Mouse D 20 CD}").
#include <QString>

namespace vexil {

class Session;

// The default step of the four moves, in pixels.
inline constexpr int kMouseDefaultStep = 5;

// Runs the sub-commands of one MOUSE command from the pointer's position.
void runMouseCommand(Session& session, const QString& argument);
// One action ("M", "CD", "CE", "2CD", "2CE", "PD", "PE", "AD", "AE") at (x, y) in screen
// pixels; any other action does nothing.
void emitMouseAction(Session& session, int x, int y, const QString& action);

// The absolute coordinate space of synthetic pointer input, 0..65535 across the screen,
// and back to pixels (clamped to the screen).
int toAbsolute(int pixel, int screenExtent);
int absoluteToPixel(int absolute, int screenExtent);

}  // namespace vexil
