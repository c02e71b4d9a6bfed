#pragma once
// How the highlight moves over the areas of a board: the scan order over the areas of
// one level, the neighbour search of the cursor keys, and pointer positions in board units.
#include <QPointF>
#include <QSize>
#include <optional>

#include "template/template.h"

namespace vexil {

// Key codes of the cursor moves (those of the keyboard's key-down events).
enum CursorKey : int {
    kCursorReevaluate = -1,
    kCursorEnter = 13,
    kCursorLeft = 37,
    kCursorUp = 38,
    kCursorRight = 39,
    kCursorDown = 40,
};

// The next scan slot after `slot` (slot s stands for area s + 1) whose area belongs to
// `level`, visiting the areas in number order and wrapping from the last to area 1. Empty
// when no area has that level (after one full cycle) or the board has no areas.
std::optional<int> nextScanSlot(const Template& tmpl, int slot, int level);

// The area a cursor key leads to from area `from`: a probe starts just outside the area's
// side, level with its centre, and moves one board unit per step while only the board
// frame (area 1) lies under it. Gives the first other area met, or 0 once the probe has
// left the board frame. Levels play no part.
int probeWalk(const Template& tmpl, int from, int keyCode);

// Use-mode scale factors: one board unit in pixels of the use-mode board, horizontally
// (screen width / 640) and vertically (screen height / 477, from the 7155 twips of the
// reference height).
QPointF useModeScale(QSize screenPixels);

// A point of the use-mode board (pixels from its top-left corner) in board units, each
// coordinate rounded to the nearest integer, halves to even.
QPoint boardPointFromPixels(const Template& tmpl, QPointF scale, QPointF pixels);

}  // namespace vexil
