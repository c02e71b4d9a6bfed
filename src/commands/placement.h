#pragma once
// Where the board and the target application go on the screen in use mode. The board
// frame (area 1) is in board units of a 640 x 445 reference board; the screen is scaled by
// its size in twips over 9600 x 7155, and a twip is 1/twipsPerPixel of a pixel (15 at 96 dpi).
#include <QRect>
#include <QSize>

#include "platform/types.h"

namespace vexil {

class Session;
struct Area;

inline constexpr int kTwipsPerPixel = 15;

// The main window's rectangle in screen pixels over the board (with room for its title bar
// and menu above the frame).
QRect boardWindowRect(const Area& frame, QSize screen, int twipsPerPixel = kTwipsPerPixel);

// The target application's rectangle in screen pixels: the strip of a 640 x 480 reference
// screen that the board leaves free. When the board leaves no room (it fills the screen, or
// the strip is under a quarter of the screen), the bottom third of the screen, over the
// board. Always on the screen.
QRect appWindowRect(const Area& frame, QSize screen, int twipsPerPixel = kTwipsPerPixel);

// True when the board leaves no room beside it and the target application lies over it.
bool appOverBoard(const Area& frame, QSize screen, int twipsPerPixel = kTwipsPerPixel);

// Moves `window` to appWindowRect, above the board when it lies over it; windows of Vexil
// itself and handles that name no window are left alone.
void placeAppWindow(Session& session, WindowHandle window);
// Places `window` again when its corner is no longer where placeAppWindow put it. A program
// may settle its own geometry just after its window appears (Tk moves its window back to
// where it asked to be once the window manager has framed it), undoing a placement made as
// soon as the window was seen.
void keepAppWindowPlaced(Session& session, WindowHandle window);
// How long a program is given to settle its own geometry once its window has appeared.
inline constexpr int kWindowSettleMs = 500;
// keepAppWindowPlaced, kWindowSettleMs from now (the event loop runs meanwhile), if
// `window` is still the target then: for a program a board's command started, whose
// sequence goes on without waiting for it to settle. A newer call replaces the last.
void keepAppWindowPlacedLater(Session& session, WindowHandle window);
// Gives the board the focus. Taking it raises the board: a target application that lies
// over the board is then brought above it again, so that what is typed stays in sight.
void focusBoardOverApp(Session& session);

}  // namespace vexil
