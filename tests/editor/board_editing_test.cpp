#include <gtest/gtest.h>

#include "editor/file_commands.h"
#include "editor_fixture.h"
#include "template/template_writer.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class BoardEditingTest : public EditorFixture {};

TEST_F(BoardEditingTest, ClickSelectsTheHighestNumberedAreaBordersIncluded) {
    rootedBoard({rect(10, 10, 100, 100), rect(50, 50, 150, 150), rect(200, 200, 300, 300)});
    struct Case {
        double x, y;
        int selected;
    } cases[] = {
        {20, 20, 2},      // only area 2
        {60, 60, 3},      // areas 2 and 3 overlap: the later wins
        {100, 100, 3},    // on both borders
        {10, 10, 2},      // a corner belongs to the area
        {300.4, 300, 4},  // rounds to the border
        {400, 400, 1},    // only the root
    };
    for (const Case& c : cases) {
        click(c.x, c.y);
        EXPECT_EQ(t().currentArea, c.selected) << c.x << "," << c.y;
        EXPECT_EQ(panel().msgArea, QStringLiteral("%1/4 àrees").arg(c.selected));
    }
}

TEST_F(BoardEditingTest, ClickOnEmptyBoardOrWithShiftChangesNothing) {
    board({rect(100, 100, 200, 200, 0)});
    click(150, 150);
    ASSERT_EQ(t().currentArea, 1);
    t().currentArea = 0;
    click(10, 10);
    EXPECT_EQ(t().currentArea, 0);
    click(150, 150, {.shift = true});
    EXPECT_EQ(t().currentArea, 0);
}

TEST_F(BoardEditingTest, FirstAreaSnapsToACornerAndSpansTheLongerDirection) {
    struct Case {
        double x0, y0, x1, y1;
        QRect expected;
    } cases[] = {
        {10, 10, 600, 100, QRect(QPoint(0, 0), QPoint(640, 100))},      // wider: full width
        {630, 440, 100, 400, QRect(QPoint(0, 400), QPoint(640, 445))},  // from bottom right
        {5, 5, 128, 89, QRect(QPoint(0, 0), QPoint(128, 445))},         // equal: full height
        {600, 20, 500, 400, QRect(QPoint(500, 0), QPoint(640, 445))},   // taller: full height
    };
    for (const Case& c : cases) {
        t().clearTemplate();
        editor.setDrawingMode(true);
        drag(c.x0, c.y0, c.x1, c.y1);
        ASSERT_EQ(t().areaCount(), 1) << c.x1 << "," << c.y1;
        EXPECT_EQ(areaRect(1), c.expected);
        EXPECT_EQ(t().area(1).level, 0);
        EXPECT_EQ(t().currentArea, 1);
        EXPECT_FALSE(editor.context.drawing.drawingMode);
    }
}

TEST_F(BoardEditingTest, LaterAreasAreClippedToTheCurrentAreaAndBelongToIt) {
    rootedBoard({rect(100, 100, 300, 300)});
    click(150, 150);
    editor.board.addArea();
    EXPECT_TRUE(editor.context.drawing.drawingMode);
    EXPECT_EQ(t().area(2).isGroup, -1);
    EXPECT_TRUE(t().coverOutdated);
    drag(250, 50, 350, 200);  // reaches outside area 2
    ASSERT_EQ(t().areaCount(), 3);
    EXPECT_EQ(areaRect(3), QRect(QPoint(250, 100), QPoint(300, 200)));
    EXPECT_EQ(t().area(3).level, 2);
    EXPECT_EQ(t().currentArea, 3);
    EXPECT_TRUE(t().modified);
}

TEST_F(BoardEditingTest, DegenerateOrOutsideDrawingAddsNothing) {
    rootedBoard({});
    t().setArea(1, rect(10, 10, 600, 400, 0));
    click(100, 100);
    editor.board.addArea();
    drag(100, 100, 100, 300);  // no width
    EXPECT_EQ(t().areaCount(), 1);
    EXPECT_TRUE(editor.context.drawing.drawingMode);
    drag(200, 200, 300, 200);  // no height
    EXPECT_EQ(t().areaCount(), 1);
    // A press on the root's border is outside it while drawing: nothing starts.
    editor.board.mouseDown(MouseButton::Left, {}, 10, 100);
    EXPECT_FALSE(editor.context.drawing.dragging);
    editor.board.mouseUp(MouseButton::Left, 300, 300);
    EXPECT_EQ(t().areaCount(), 1);
    drag(50, 50, 80, 90);
    EXPECT_EQ(t().areaCount(), 2);
}

TEST_F(BoardEditingTest, AnAreaDrawnBesideTheCurrentOneAddsNothing) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    editor.board.addArea();
    drag(300, 300, 400, 400);
    EXPECT_EQ(t().areaCount(), 2);
    EXPECT_TRUE(editor.context.drawing.drawingMode);
    drag(150, 150, 400, 400);
    ASSERT_EQ(t().areaCount(), 3);
    EXPECT_EQ(areaRect(3), QRect(QPoint(150, 150), QPoint(200, 200)));
}

TEST_F(BoardEditingTest, AddAreaTwiceCancelsAndWithoutAreaBeeps) {
    rootedBoard({});
    editor.board.addArea();
    EXPECT_EQ(beeps(), 1);
    EXPECT_FALSE(editor.context.drawing.drawingMode);
    click(10, 10);
    editor.board.addArea();
    editor.board.addArea();
    EXPECT_FALSE(editor.context.drawing.drawingMode);
    EXPECT_EQ(beeps(), 1);
}

TEST_F(BoardEditingTest, DeleteRefusesRootGroupsAndNothing) {
    rootedBoard({rect(10, 10, 300, 300, 1, -1), rect(20, 20, 100, 100, 2)});
    struct Case {
        int current;
        const char* why;
    } refused[] = {{0, "no area"}, {1, "the root"}, {2, "a group"}, {7, "past the end"}};
    for (const Case& c : refused) {
        t().currentArea = std::int16_t(c.current);
        const int before = beeps();
        editor.board.deleteArea();
        EXPECT_EQ(beeps(), before + 1) << c.why;
        EXPECT_EQ(t().areaCount(), 3) << c.why;
    }
}

TEST_F(BoardEditingTest, DeletingTheLastSubAreaUngroupsAndUndoBringsItBack) {
    rootedBoard({rect(10, 10, 300, 300, 1, -1), rect(20, 20, 100, 100, 2)});
    click(50, 50);
    ASSERT_EQ(t().currentArea, 3);
    editor.board.keyDown(46);
    EXPECT_EQ(t().areaCount(), 2);
    EXPECT_EQ(t().area(2).isGroup, 0);
    EXPECT_EQ(t().currentArea, 2);
    EXPECT_TRUE(t().coverOutdated);
    editor.board.undo();
    ASSERT_EQ(t().areaCount(), 3);
    EXPECT_EQ(areaRect(3), QRect(QPoint(20, 20), QPoint(100, 100)));
    EXPECT_EQ(t().area(2).isGroup, -1);
}

// Area 2 starts the group; the table says how a Ctrl+click on each other area joins it.
TEST_F(BoardEditingTest, GroupSelectionJoinsOnlyEdgeAlignedAreasOfOneLevel) {
    struct Case {
        Area other;
        int result;
        QRect group;
    } cases[] = {
        {rect(100, 200, 200, 300), 1, QRect(QPoint(100, 100), QPoint(200, 300))},     // below
        {rect(100, 0, 200, 100), 2, QRect(QPoint(100, 0), QPoint(200, 200))},         // above
        {rect(200, 100, 300, 200), 3, QRect(QPoint(100, 100), QPoint(300, 200))},     // right
        {rect(0, 100, 100, 200), 4, QRect(QPoint(0, 100), QPoint(200, 200))},         // left
        {rect(200, 100, 300, 250), 0, QRect(QPoint(100, 100), QPoint(200, 200))},     // partly
        {rect(201, 100, 300, 200), 0, QRect(QPoint(100, 100), QPoint(200, 200))},     // a gap
        {rect(200, 100, 300, 200, 2), 0, QRect(QPoint(100, 100), QPoint(200, 200))},  // level
    };
    for (const Case& c : cases) {
        t().clearTemplate();
        rootedBoard({rect(100, 100, 200, 200), c.other});
        click(150, 150);
        const QRect o = QRect(QPoint(c.other.x0, c.other.y0), QPoint(c.other.x1, c.other.y1));
        click(o.center().x(), o.center().y(), {.ctrl = true});
        // Records 4 (the group) and 5 (the first member) exist from the first Ctrl+click.
        EXPECT_EQ(t().realAreaCount, 3);
        EXPECT_EQ(t().areaCount(), c.result ? 6 : 5) << c.result;
        EXPECT_EQ(t().currentArea, 4);
        EXPECT_EQ(areaRect(4), c.group) << c.result;
        EXPECT_EQ(t().area(4).mirrorOf, 2);
        EXPECT_EQ(t().area(4).isGroup, -1);
        EXPECT_EQ(t().area(5).level, 4);
        if (c.result) {
            EXPECT_EQ(t().area(6).mirrorOf, 3);
        }
        EXPECT_FALSE(t().modified);
    }
}

TEST_F(BoardEditingTest, ValidarAreaConsecKnowsTheStartingArea) {
    rootedBoard({rect(100, 100, 200, 200), rect(100, 200, 200, 300)});
    click(150, 150);
    click(150, 250, {.ctrl = true});
    EXPECT_EQ(editor.board.validar_area_consec(2), 5);
    EXPECT_EQ(editor.board.validar_area_consec(1), 0);
}

TEST_F(BoardEditingTest, APlainClickEndsTheGroupSelectionAndSelectsTheRealArea) {
    rootedBoard({rect(100, 100, 200, 200), rect(100, 200, 200, 300)});
    click(150, 150);
    click(150, 250, {.ctrl = true});
    ASSERT_EQ(t().areaCount(), 6);
    click(150, 250);
    EXPECT_EQ(t().areaCount(), 3);
    EXPECT_EQ(t().realAreaCount, 0);
    EXPECT_EQ(t().currentArea, 3);
}

TEST_F(BoardEditingTest, MovingTheGroupRectangleCarriesItsMembers) {
    rootedBoard({rect(100, 100, 200, 200), rect(100, 200, 200, 300)});
    click(150, 150);
    click(150, 250, {.ctrl = true});
    ASSERT_EQ(t().currentArea, 4);
    // Stretch the group to twice its width from the right edge.
    editor.panel.edgeFocus(false);
    editor.panel.scrollChanged(Edge::X1, 300);
    editor.panel.edgeFocus(true);
    EXPECT_EQ(areaRect(2), QRect(QPoint(100, 100), QPoint(300, 200)));
    EXPECT_EQ(areaRect(3), QRect(QPoint(100, 200), QPoint(300, 300)));
    EXPECT_EQ(t().area(2).level, 1);
    EXPECT_EQ(t().area(2).mirrorOf, 0);
    EXPECT_EQ(t().currentArea, 4);
}

TEST_F(BoardEditingTest, ABoardAtTheLimitRefusesOneMoreAndLosesNothing) {
    t().reserveAreas(kMaxAreas);
    t().appendArea(rect(0, 0, 640, 445, 0, -1));
    for (int i = 2; i <= kMaxAreas; ++i) t().appendArea(rect(1, 1, 2, 2));
    t().addedAreaCount = 0;
    t().currentArea = 1;
    editor.setDrawingMode(true);
    drag(300, 300, 400, 400);
    EXPECT_EQ(t().areaCount(), kMaxAreas);
    EXPECT_EQ(f.messages(), QStringList{QStringLiteral("6 Desbordamiento")});
    EXPECT_EQ(areaRect(kMaxAreas), QRect(QPoint(1, 1), QPoint(2, 2)));
    // A group selection cannot start either, and leaves no record behind.
    editor.setDrawingMode(false);
    click(300, 300, {.ctrl = true});
    EXPECT_EQ(t().areaCount(), kMaxAreas);
    EXPECT_EQ(t().realAreaCount, 0);
}

TEST_F(BoardEditingTest, UndoStepsBackThroughSnapshotsAndRedoForward) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("a"));
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("ab"));
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("abc"));
    // The first step restores the last snapshot, exactly as the one-level undo.
    editor.board.undo();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("ab"));
    EXPECT_EQ(t().currentArea, 2);
    editor.board.undo();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("a"));
    editor.board.undo();
    EXPECT_EQ(t().area(2).keys, QString());
    editor.board.undo();  // nothing older
    EXPECT_EQ(t().area(2).keys, QString());
    editor.board.redo();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("a"));
    editor.board.redo();
    editor.board.redo();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("abc"));
    editor.board.redo();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("abc"));
}

TEST_F(BoardEditingTest, UndoKeepsAtMostFiftySteps) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    for (int i = 1; i <= 60; ++i) {
        editor.context.undo.snapshot();
        editor.panel.setKeysText(QString::number(i));
    }
    EXPECT_EQ(editor.context.undo.undoDepth(), UndoStore::kDepth);
    for (int i = 0; i < 70; ++i) editor.board.undo();
    // The oldest kept is the board before edit 11.
    EXPECT_EQ(t().area(2).keys, QStringLiteral("10"));
}

TEST_F(BoardEditingTest, CopyAndPasteWorkOnTheKeySequenceField) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("hola"));
    editor.panel.select(1, 2);
    editor.panel.copyKeys();
    EXPECT_EQ(f.fake.clipboard.text(), QStringLiteral("ol"));
    f.fake.clipboard.preset(QStringLiteral("XY"));
    editor.panel.select(1, 2);
    editor.panel.pasteKeys();
    // The selected text is kept, after the pasted one.
    EXPECT_EQ(t().area(2).keys, QStringLiteral("hXYola"));
    f.fake.clipboard.preset(QString());
    editor.panel.pasteKeys();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("hXYola"));
}

TEST_F(BoardEditingTest, AShorterKeySequenceTakesTheSelectionWithIt) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("hola que tal"));
    editor.panel.select(8, 3);
    editor.panel.setKeysText(QStringLiteral("hola"));
    EXPECT_EQ(panel().selectionStart, 4);
    EXPECT_EQ(panel().selectionLength, 0);
    // The paste goes in at the end, and the caret stays inside the text.
    f.fake.clipboard.preset(QStringLiteral("XY"));
    editor.panel.pasteKeys();
    EXPECT_EQ(t().area(2).keys, QStringLiteral("holaXY"));
    EXPECT_EQ(panel().selectionStart, 6);
}

TEST_F(BoardEditingTest, PastingTheFieldIntoItselfStopsAtTheFieldsLimit) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    editor.panel.setKeysText(QString(1000, u'a'));
    for (int i = 0; i < 40; ++i) {
        editor.panel.select(0, kKeysFieldMaxLength);
        editor.panel.copyKeys();
        editor.panel.select(0, 0);
        editor.panel.pasteKeys();
    }
    EXPECT_EQ(t().area(2).keys.size(), kKeysFieldMaxLength);
    EXPECT_EQ(panel().txText.size(), kKeysFieldMaxLength);
}

TEST_F(BoardEditingTest, RightButtonSelectsTheAreaItsMenuActsOn) {
    struct MenuView : EditorView {
        int popups = 0;
        void popUpAreaMenu(int, int) override { ++popups; }
    } view;
    editor.setView(&view);
    rootedBoard({rect(100, 100, 200, 200), rect(300, 100, 400, 200)});
    click(150, 150);
    editor.board.mouseDown(MouseButton::Right, {}, 350, 150);
    EXPECT_EQ(view.popups, 1);
    EXPECT_EQ(t().currentArea, 3);
    editor.board.deleteArea();  // "&Eliminar àrea" of that menu
    ASSERT_EQ(t().areaCount(), 2);
    EXPECT_EQ(areaRect(2), QRect(QPoint(100, 100), QPoint(200, 200)));
    // Inside a group selection the right button leaves the selection as it is.
    t().clearTemplate();
    rootedBoard({rect(100, 100, 200, 200), rect(100, 200, 200, 300)});
    click(150, 150);
    click(150, 250, {.ctrl = true});
    editor.board.mouseDown(MouseButton::Right, {}, 150, 250);
    EXPECT_EQ(t().realAreaCount, 3);
    EXPECT_EQ(t().currentArea, 4);
}

// Area 2 is a group of 3 and 4; area 5 a group of 6, itself a group of 7.
TEST_F(BoardEditingTest, DeletingAnAreaRenumbersTheGroupsOfTheLaterOnes) {
    rootedBoard({rect(10, 10, 100, 100, 1, -1), rect(10, 10, 50, 50, 2), rect(50, 10, 100, 50, 2),
                 rect(200, 10, 400, 200, 1, -1), rect(200, 10, 300, 100, 5, -1),
                 rect(200, 10, 250, 50, 6)});
    click(30, 30);
    ASSERT_EQ(t().currentArea, 3);
    editor.board.deleteArea();
    struct Expected {
        int level, isGroup;
    } expected[] = {{0, -1}, {1, -1}, {2, 0}, {1, -1}, {4, -1}, {5, 0}};
    ASSERT_EQ(t().areaCount(), 6);
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(t().area(n).level, expected[n - 1].level) << n;
        EXPECT_EQ(t().area(n).isGroup, expected[n - 1].isGroup) << n;
    }
    // The board as saved and read again keeps that tree.
    saveTemplateAs(*f.session, f.path(QStringLiteral("TREE.VXL")));
    openTemplate(*f.session, f.path(QStringLiteral("TREE.VXL")));
    ASSERT_EQ(t().areaCount(), 6);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(t().area(n).level, expected[n - 1].level) << n;
}

TEST_F(BoardEditingTest, AGroupWithNothingDrawnInItIsAPlainArea) {
    rootedBoard({rect(100, 100, 200, 200), rect(300, 100, 400, 200)});
    click(150, 150);
    editor.board.addArea();
    const int before = beeps();
    drag(350, 150, 380, 180);  // outside area 2: nothing is drawn, and the beep says so
    EXPECT_EQ(t().areaCount(), 3);
    EXPECT_EQ(beeps(), before + 1);
    ASSERT_EQ(t().area(2).isGroup, -1);
    EXPECT_TRUE(editor.layout.canSubdivide());
    editor.board.deleteArea();
    EXPECT_EQ(t().areaCount(), 2);
    EXPECT_EQ(beeps(), before + 1);
    // "&Afegir àrea" chosen again before drawing: the area is no group after all.
    click(350, 150);
    editor.board.addArea();
    editor.board.addArea();
    EXPECT_EQ(t().area(2).isGroup, 0);
}

TEST_F(BoardEditingTest, AReleaseAnywhereEndsTheBandClippedToTheRoot) {
    rootedBoard({});
    t().setArea(1, rect(0, 0, 600, 400, 0));
    click(100, 100);
    editor.board.addArea();
    drag(300, 200, 700, 520);  // released outside the board
    EXPECT_FALSE(editor.context.drawing.dragging);
    ASSERT_EQ(t().areaCount(), 2);
    EXPECT_EQ(areaRect(2), QRect(QPoint(300, 200), QPoint(600, 400)));
    // The next click selects; it draws nothing.
    click(500, 300);
    EXPECT_EQ(t().areaCount(), 2);
    EXPECT_EQ(t().currentArea, 2);
}

TEST_F(BoardEditingTest, UndoCountsTheBoardModifiedWhenItDiffersFromItsFile) {
    rootedBoard({rect(100, 100, 200, 200), rect(200, 100, 300, 200)});
    saveTemplateAs(*f.session, f.path(QStringLiteral("B.VXL")));
    ASSERT_FALSE(t().modified);
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("HELLO"));
    click(250, 150);
    editor.board.keyDown(46);
    editor.board.undo();  // area 3 back, HELLO unsaved
    EXPECT_EQ(t().area(2).keys, QStringLiteral("HELLO"));
    EXPECT_TRUE(t().modified);
    editor.board.undo();  // the board as its file holds it
    EXPECT_EQ(t().area(2).keys, QString());
    EXPECT_FALSE(t().modified);
    editor.board.redo();
    EXPECT_TRUE(t().modified);
}

TEST_F(BoardEditingTest, UndoOfAnEdgeEditGoesBackBeforeTheSubAreasMoved) {
    rootedBoard({rect(100, 100, 200, 200, 1, -1), rect(100, 100, 150, 150, 2)});
    click(190, 190);
    ASSERT_EQ(t().currentArea, 2);
    const QByteArray before = templateFileBytes(t());
    editor.panel.edgeFocus(false);
    editor.panel.scrollChanged(Edge::X1, 300);
    editor.panel.edgeFocus(true);
    ASSERT_EQ(areaRect(3), QRect(QPoint(100, 100), QPoint(200, 150)));
    const QByteArray after = templateFileBytes(t());
    editor.board.undo();
    EXPECT_EQ(templateFileBytes(t()), before);
    editor.board.redo();
    EXPECT_EQ(templateFileBytes(t()), after);
}

TEST_F(BoardEditingTest, TheCaretStartsAtTheStartOfEachAreasKeys) {
    Area a = rect(100, 100, 200, 200), b = rect(300, 100, 400, 200);
    a.keys = QStringLiteral("abcdef");
    b.keys = QStringLiteral("uvwxyz");
    rootedBoard({a, b});
    click(150, 150);
    editor.panel.select(4, 0);
    click(350, 150);
    EXPECT_EQ(panel().selectionStart, 0);
    f.fake.clipboard.preset(QStringLiteral("XY"));
    editor.panel.pasteKeys();
    EXPECT_EQ(t().area(3).keys, QStringLiteral("XYuvwxyz"));
    // Staying on the area keeps the caret the teacher set, through an edge change too.
    editor.panel.select(5, 0);
    editor.panel.scrollChanged(Edge::X0, 310);
    EXPECT_EQ(panel().selectionStart, 5);
}

}  // namespace

namespace {

TEST_F(BoardEditingTest, AfterANewBoardUndoRestoresTheNewBoardOnly) {
    rootedBoard({rect(100, 100, 200, 200)});
    click(150, 150);
    editor.panel.setKeysText(QStringLiteral("a"));
    click(150, 150);
    t().modified = false;
    newTemplate(*f.session);
    ASSERT_EQ(t().areaCount(), 0);
    editor.board.undo();
    EXPECT_EQ(t().areaCount(), 0);
    editor.board.undo();
    EXPECT_EQ(t().areaCount(), 0);
    editor.board.redo();
    EXPECT_EQ(t().areaCount(), 0);
}

}  // namespace
