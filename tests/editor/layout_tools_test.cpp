#include <gtest/gtest.h>

#include "editor_fixture.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class LayoutToolsTest : public EditorFixture {};

TEST_F(LayoutToolsTest, AjustarGrowsToNeighboursAcrossTheMiddleLines) {
    struct Case {
        const char* name;
        std::vector<Area> others;
        QRect expected;
    } cases[] = {
        {"alone in its group", {}, QRect(QPoint(0, 0), QPoint(640, 445))},
        {"between two neighbours",
         {rect(0, 150, 100, 250), rect(500, 100, 640, 300)},
         QRect(QPoint(100, 0), QPoint(500, 445))},
        {"left neighbour above the middle line",
         {rect(0, 0, 100, 190)},
         QRect(QPoint(0, 0), QPoint(640, 445))},
        {"touching a neighbour stays",
         {rect(100, 150, 200, 250)},
         QRect(QPoint(200, 0), QPoint(640, 445))},
        {"a neighbour above and below",
         {rect(300, 0, 350, 50), rect(200, 400, 400, 445)},  // across x = 320
         QRect(QPoint(0, 50), QPoint(640, 400))},
    };
    for (const Case& c : cases) {
        t().clearTemplate();
        board({rect(0, 0, 640, 445, 0, -1)});
        for (const Area& o : c.others) t().appendArea(o);
        t().appendArea(rect(200, 150, 300, 250));
        const int n = t().areaCount();
        editor.panel.showArea(n);
        editor.layout.ajustarArees();
        EXPECT_EQ(areaRect(n), c.expected) << c.name;
        EXPECT_EQ(t().currentArea, n);
    }
}

TEST_F(LayoutToolsTest, AjustarKeepsEdgesOnTheGroupEdgeAndLeavesTheRoot) {
    board({rect(10, 10, 600, 400, 0, -1), rect(10, 10, 600, 400)});
    editor.panel.showArea(2);
    editor.layout.ajustarArees();
    editor.layout.ajustarArees();
    EXPECT_EQ(areaRect(2), QRect(QPoint(10, 10), QPoint(600, 400)));
    editor.panel.showArea(1);
    editor.layout.ajustarArees();
    EXPECT_EQ(areaRect(1), QRect(QPoint(10, 10), QPoint(600, 400)));
    EXPECT_FALSE(t().modified);
}

TEST_F(LayoutToolsTest, AjustarWithoutAnAreaBeeps) {
    board({rect(0, 0, 640, 445, 0)});
    editor.layout.ajustarArees();
    EXPECT_EQ(beeps(), 1);
}

TEST_F(LayoutToolsTest, AcceptedPercentages) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"50", 50},     {"100", 100}, {"1", 1},     {"abc", 100},
                 {"0", 100},     {"500", 100}, {"", 100},    {"-5", 100},
                 {"25.5", 25.5}, {" 75%", 75}, {"101", 100}, {"0.5", 100}};
    for (const Case& c : cases)
        EXPECT_EQ(LayoutTools::acceptedPercent(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST_F(LayoutToolsTest, RedimensionarShrinksByDockingAndCarriesSubAreas) {
    struct Case {
        const char* name;
        Area area;
        int current;
        const char* h;
        const char* v;
        QRect expected;
    } cases[] = {
        {"plain area", rect(100, 100, 300, 200), 2, "50", "50",
         QRect(QPoint(100, 100), QPoint(200, 150))},
        {"root docked top: height only", rect(0, 0, 640, 300, 0), 1, "50", "50",
         QRect(QPoint(0, 0), QPoint(640, 150))},
        {"root docked right keeps its right edge", rect(100, 0, 640, 445, 0), 1, "50", "100",
         QRect(QPoint(370, 0), QPoint(640, 445))},
        {"root docked bottom keeps its bottom", rect(0, 45, 640, 445, 0), 1, "100", "25",
         QRect(QPoint(0, 345), QPoint(640, 445))},
        {"impossible texts change nothing", rect(100, 100, 300, 200), 2, "abc", "500",
         QRect(QPoint(100, 100), QPoint(300, 200))},
        {"zero changes nothing", rect(100, 100, 300, 200), 2, "0", "0",
         QRect(QPoint(100, 100), QPoint(300, 200))},
    };
    for (const Case& c : cases) {
        t().clearTemplate();
        if (c.current == 1) {
            board({c.area});
        } else {
            Area group = c.area;
            group.isGroup = -1;
            rootedBoard({group, rect(c.area.x0 + 100, c.area.y0, c.area.x1, c.area.y1, 2)});
        }
        editor.panel.showArea(c.current);
        editor.layout.redimensionarArees(QString::fromUtf8(c.h), QString::fromUtf8(c.v));
        EXPECT_EQ(areaRect(c.current), c.expected) << c.name;
        if (c.current == 2 && c.expected.width() == 100) {
            // The sub-area at the right half moves into the new right half.
            EXPECT_EQ(areaRect(3), QRect(QPoint(150, 100), QPoint(200, 150))) << c.name;
        }
        EXPECT_TRUE(t().coverOutdated);
    }
}

TEST_F(LayoutToolsTest, SubdividingMakesAGridNumberedRowByRow) {
    Area a = rect(100, 100, 200, 150);
    a.keys = QStringLiteral("k");
    a.iconFile = QStringLiteral("i.bmp");
    rootedBoard({a});
    editor.panel.showArea(2);
    editor.layout.subdividirArea(3, 2);
    ASSERT_EQ(t().areaCount(), 8);
    EXPECT_EQ(t().area(2).isGroup, -1);
    const QRect expected[] = {
        QRect(QPoint(100, 100), QPoint(133, 125)), QRect(QPoint(133, 100), QPoint(166, 125)),
        QRect(QPoint(166, 100), QPoint(199, 125)), QRect(QPoint(100, 125), QPoint(133, 150)),
        QRect(QPoint(133, 125), QPoint(166, 150)), QRect(QPoint(166, 125), QPoint(199, 150)),
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(areaRect(3 + i), expected[i]) << i;
        EXPECT_EQ(t().area(3 + i).level, 2);
        EXPECT_EQ(t().area(3 + i).keys, QStringLiteral("k"));
        EXPECT_EQ(t().area(3 + i).iconFile, QStringLiteral("i.bmp"));
        EXPECT_EQ(t().area(3 + i).isGroup, 0);
    }
    EXPECT_EQ(t().currentArea, 8);
    EXPECT_TRUE(t().coverOutdated);
    // A group area is not subdivided again.
    editor.panel.showArea(2);
    editor.layout.subdividirArea(2, 2);
    EXPECT_EQ(t().areaCount(), 8);
    EXPECT_EQ(beeps(), 1);
    // Nor anything when no area is current.
    editor.panel.showArea(0);
    editor.layout.subdividirArea(2, 2);
    EXPECT_EQ(beeps(), 2);
}

TEST_F(LayoutToolsTest, ASubdivisionThatWouldOverflowAddsNothing) {
    t().reserveAreas(kMaxAreas);
    board({rect(0, 0, 640, 445, 0, -1)});
    for (int i = 2; i <= kMaxAreas - 3; ++i) t().appendArea(rect(1, 1, 2, 2));
    t().appendArea(rect(100, 100, 200, 200));
    t().addedAreaCount = 0;
    const int count = t().areaCount();
    editor.panel.showArea(count);
    editor.layout.subdividirArea(2, 2);
    EXPECT_EQ(t().areaCount(), count);
    EXPECT_EQ(t().area(count).isGroup, 0);
    EXPECT_EQ(f.messages(), QStringList{QStringLiteral("6 Desbordamiento")});
}

TEST_F(LayoutToolsTest, EachToolTakesAnUndoSnapshotFirst) {
    rootedBoard({rect(100, 100, 200, 150)});
    editor.panel.showArea(2);
    editor.layout.subdividirArea(2, 2);
    editor.board.undo();
    EXPECT_EQ(t().areaCount(), 2);
    EXPECT_EQ(t().area(2).isGroup, 0);
}

}  // namespace
