#include <gtest/gtest.h>

#include "app/ui/edit_board.h"
#include "app/ui/use_board.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

Template twoAreas() {
    Template t;
    Area root = areaRect(10, 20, 300, 220, 0);
    t.appendArea(root);
    t.appendArea(areaRect(40, 50, 120, 110));
    return t;
}

// Black pixels inside a rectangle's interior (edges excluded).
int blackInside(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top() + 1; y < r.bottom(); ++y)
        for (int x = r.left() + 1; x < r.right(); ++x)
            if (img.pixelColor(x, y) == Qt::black) ++n;
    return n;
}

}  // namespace

TEST(EditBoard, DrawsEveryOutlineAtDesignSize) {
    Template t = twoAreas();
    EditBoard board(t);
    EXPECT_EQ(board.size(), QSize(640, 445));
    const QImage img = board.grab().toImage();
    // Both edges of each area are drawn, on the units the file gives.
    for (auto [x, y] : {std::pair{10, 100},
                        {300, 100},
                        {150, 20},
                        {150, 220},
                        {40, 80},
                        {120, 80},
                        {80, 50},
                        {80, 110}})
        EXPECT_TRUE(isColor(img, x, y, Qt::black)) << x << "," << y;
    for (auto [x, y] : {std::pair{9, 100}, {301, 100}, {150, 19}, {150, 221}, {200, 150}})
        EXPECT_TRUE(isColor(img, x, y, Qt::white)) << x << "," << y;
    // No area is current: nothing is hatched.
    EXPECT_EQ(blackInside(img, QRect(QPoint(40, 50), QPoint(120, 110))), 0);
}

TEST(EditBoard, HatchesOnlyTheCurrentArea) {
    Template t = twoAreas();
    t.currentArea = 2;
    EditBoard board(t);
    const QImage img = board.grab().toImage();
    const int hatched = blackInside(img, QRect(QPoint(40, 50), QPoint(120, 110)));
    // A diagonal cross fill covers a fair share of the interior, never all of it.
    EXPECT_GT(hatched, 79 * 59 / 10);
    EXPECT_LT(hatched, 79 * 59);
    // The rest of area 1 stays clear.
    EXPECT_EQ(blackInside(img, QRect(QPoint(130, 120), QPoint(290, 210))), 0);

    t.currentArea = 3;  // beyond the table: nothing to hatch
    board.redraw();
    EXPECT_EQ(blackInside(board.grab().toImage(), QRect(QPoint(40, 50), QPoint(120, 110))), 0);
}

TEST(EditBoard, ShowsTheCoverOnAreaOneOnlyWhenAsked) {
    Template t = twoAreas();
    EditBoard board(t);
    QImage cover(400, 400, QImage::Format_RGB32);
    cover.fill(Qt::green);
    board.setCover(cover);
    QImage img = board.grab().toImage();
    EXPECT_TRUE(isColor(img, 200, 150, Qt::green));
    EXPECT_TRUE(isColor(img, 305, 150, Qt::white)) << "the cover is cut to area 1";
    EXPECT_TRUE(isColor(img, 5, 5, Qt::white));
    board.setCoverVisible(false);
    img = board.grab().toImage();
    EXPECT_TRUE(isColor(img, 200, 150, Qt::white));
}

TEST(UseBoard, ScalesOutlinesFromAreaOneAndStretchesTheCover) {
    Template t = twoAreas();
    UseBoard board(t);
    board.resize(600, 400);
    board.setScale(1.6, 1.5);
    QImage cover(10, 10, QImage::Format_RGB32);
    cover.fill(Qt::yellow);
    board.setCover(cover);
    const QImage img = board.grab().toImage();
    // Area 2 relative to area 1: x (40-10)*1.6 = 48 .. (120-10)*1.6 = 176; y 45 .. 135.
    EXPECT_TRUE(isColor(img, 48, 90, Qt::black));
    EXPECT_TRUE(isColor(img, 176, 90, Qt::black));
    EXPECT_TRUE(isColor(img, 100, 45, Qt::black));
    EXPECT_TRUE(isColor(img, 100, 135, Qt::black));
    // The cover fills area 1 scaled: 290*1.6 = 464 by 200*1.5 = 300.
    EXPECT_TRUE(isColor(img, 300, 200, Qt::yellow));
    EXPECT_TRUE(isColor(img, 400, 290, Qt::yellow));
    EXPECT_FALSE(isColor(img, 470, 200, Qt::yellow));
    // No hatching in use mode, even for the current area.
    t.currentArea = 2;
    EXPECT_EQ(blackInside(board.grab().toImage(), QRect(QPoint(48, 45), QPoint(176, 135))), 0);
}

TEST(UseBoard, HighlightFrameHasTheThicknessAndColourAsked) {
    Template t = twoAreas();
    UseBoard board(t);
    board.resize(600, 400);
    board.show();
    const QColor blue(0, 0, 255);
    board.showHighlight(QRect(48, 45, 128, 90), 5, blue);
    ASSERT_TRUE(board.highlight()->isVisible());
    const QImage img = board.grab().toImage();
    // The frame runs from 48 to 48+128 inclusive, 5 pixels thick, drawn inward.
    for (int x : {48, 52, 172, 176}) EXPECT_TRUE(isColor(img, x, 90, blue)) << x;
    for (int x : {47, 53, 171, 177}) EXPECT_FALSE(isColor(img, x, 90, blue)) << x;
    for (int y : {45, 49, 131, 135}) EXPECT_TRUE(isColor(img, 100, y, blue)) << y;
    for (int y : {44, 50, 130, 136}) EXPECT_FALSE(isColor(img, 100, y, blue)) << y;

    board.hideHighlight();
    EXPECT_FALSE(isColor(board.grab().toImage(), 48, 90, blue));
}

TEST(UseBoard, HandsKeysAndPointerOnAsTheEngineNamesThem) {
    struct Case {
        int qtKey;
        int code;
    };
    for (const Case c : {Case{Qt::Key_Return, 13},
                         {Qt::Key_Enter, 13},
                         {Qt::Key_Left, 37},
                         {Qt::Key_Up, 38},
                         {Qt::Key_Right, 39},
                         {Qt::Key_Down, 40},
                         {Qt::Key_A, 'A'},
                         {Qt::Key_F5, 0}})
        EXPECT_EQ(UseBoard::keyCodeOf(c.qtKey), c.code) << c.qtKey;
}
