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
// screen that the board leaves free; when the board leaves no room at all, a place just out
// of sight. Widths and heights are at least one pixel.
QRect appWindowRect(const Area& frame, QSize screen, int twipsPerPixel = kTwipsPerPixel);

// Moves `window` to appWindowRect and keeps it above other windows; windows of Vexil itself
// and handles that name no window are left alone.
void placeAppWindow(Session& session, WindowHandle window);

}  // namespace vexil
