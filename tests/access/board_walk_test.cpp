#include "access/board_walk.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"

using namespace vexil;
using vexil::test::makeArea;

TEST(BoardWalk, ScanOrderVisitsOnlyTheCurrentLevelAndWraps) {
    Template t;
    t.appendArea(makeArea(0, 0, 640, 445, 0));
    t.appendArea(makeArea(0, 0, 10, 10, 1));  // 2, slot 1
    t.appendArea(makeArea(0, 0, 10, 10, 2));  // 3, slot 2
    t.appendArea(makeArea(0, 0, 10, 10, 1));  // 4, slot 3
    t.appendArea(makeArea(0, 0, 10, 10, 2));  // 5, slot 4
    struct {
        int slot, level;
        std::optional<int> next;
    } cases[] = {
        {0, 1, 1},
        {1, 1, 3},
        {3, 1, 1},  // wraps past area 5 and area 1 (level 0)
        {0, 2, 2},
        {2, 2, 4},
        {4, 2, 2},
        {0, 0, 0},             // only area 1 has level 0
        {1, 7, std::nullopt},  // no area of level 7: one cycle, no move
        {40, 1, 1},            // a slot beyond the board wraps too
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextScanSlot(t, c.slot, c.level), c.next) << c.slot << " level " << c.level;
}

TEST(BoardWalk, SingleAreaLevelLandsOnItselfAndEmptyBoardHasNone) {
    Template t;
    EXPECT_EQ(nextScanSlot(t, 0, 1), std::nullopt);
    t.appendArea(makeArea(0, 0, 640, 445, 0));
    t.appendArea(makeArea(0, 0, 10, 10, 1));
    EXPECT_EQ(nextScanSlot(t, 1, 1), 1);
}

TEST(BoardWalk, ProbeWalkFindsTheNeighbourOrLeavesTheFrame) {
    Template t;
    vexil::test::addGridBoard(t);
    t.appendArea(makeArea(200, 205, 220, 235, 1));  // 6: a small key between rows
    struct {
        int from, key, expected;
    } cases[] = {
        {2, kCursorRight, 3}, {3, kCursorLeft, 2}, {2, kCursorDown, 4},
        {4, kCursorUp, 2},    {5, kCursorUp, 3},   {4, kCursorRight, 5},
        {2, kCursorLeft, 0},  // leaves the frame on the left
        {2, kCursorUp, 0},    {5, kCursorDown, 0}, {3, kCursorRight, 0},
        {2, 99, 0},  // not a cursor key
    };
    for (const auto& c : cases)
        EXPECT_EQ(probeWalk(t, c.from, c.key), c.expected) << c.from << " key " << c.key;
    // The probe goes straight down from the centre of area 2 (x 155): area 6 (200-220) is
    // beside its path, so the walk reaches area 4.
    EXPECT_EQ(probeWalk(t, 2, kCursorDown), 4);
    // From area 6 down, the centre x 210 meets area 4 at its top edge (bounds included).
    EXPECT_EQ(probeWalk(t, 6, kCursorDown), 4);
}

TEST(BoardWalk, PixelsBecomeBoardUnitsHalvesToEven) {
    Template t;
    t.appendArea(makeArea(100, 50, 500, 400, 0));
    const QPointF scale(2.0, 2.0);
    EXPECT_EQ(boardPointFromPixels(t, scale, {0, 0}), QPoint(100, 50));
    EXPECT_EQ(boardPointFromPixels(t, scale, {5, 7}), QPoint(102, 54));  // 2.5, 3.5
    EXPECT_EQ(boardPointFromPixels(t, scale, {3, 1}), QPoint(102, 50));  // 1.5, 0.5
    const QPointF s = useModeScale({1024, 768});
    EXPECT_DOUBLE_EQ(s.x(), 1.6);
    EXPECT_NEAR(s.y(), 1.61006, 1e-5);
}
