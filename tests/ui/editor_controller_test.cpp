#include "app/ui/editor_controller.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "app/ui/edit_board.h"
#include "app/ui/main_window.h"
#include "editor/file_commands.h"
#include "editor/ui/area_panel_widget.h"
#include "editor/ui/layout_dialogs.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class EditorWindowTest : public ::testing::Test {
protected:
    EditorWindowTest() {
        window.show();
        board = window.editBoard();
    }
    // A root over the whole board with two areas on it.
    void rootedBoard() {
        Template& t = session.tmpl;
        Area root = areaRect(0, 0, 640, 445, 0);
        root.isGroup = -1;
        t.appendArea(root);
        t.appendArea(areaRect(100, 100, 300, 200));
        t.appendArea(areaRect(400, 300, 500, 400));
        t.modified = false;
        session.view->setDrawingArmed(false);
    }
    void click(QPoint p, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(board, Qt::LeftButton, mods, p);
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(board, Qt::LeftButton, {}, from);
        QTest::mouseMove(board, (from + to) / 2);
        bandWhileDragging = board->rubberBand();
        QTest::mouseRelease(board, Qt::LeftButton, {}, to);
    }
    int beeps() const { return int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size()); }
    QString msgArea() const { return window.findChild<QLabel*>(QStringLiteral("MsgArea"))->text(); }

    FakeSessionFixture f;
    Session& session = *f.session;
    MainWindow window{session};
    EditorController controller{session, window};
    EditBoard* board = nullptr;
    QRect bandWhileDragging;
};

TEST_F(EditorWindowTest, ThePanelTakesThePlaceOfItsFrame) {
    const QList<QWidget*> panels = window.findChildren<QWidget*>(QStringLiteral("fitxa_area"));
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels[0], controller.panelWidget());
}

TEST_F(EditorWindowTest, TheFirstAreaIsDrawnWithALiveOutlineAndSpansTheBoard) {
    session.view->setDrawingArmed(true);
    EXPECT_EQ(board->cursor().shape(), Qt::CrossCursor);
    drag(QPoint(10, 10), QPoint(300, 100));
    EXPECT_EQ(bandWhileDragging, QRect(QPoint(0, 0), QPoint(155, 55)));
    EXPECT_TRUE(board->rubberBand().isNull());
    ASSERT_EQ(session.tmpl.areaCount(), 1);
    const Area& a = session.tmpl.area(1);
    EXPECT_EQ(QRect(QPoint(a.x0, a.y0), QPoint(a.x1, a.y1)), QRect(QPoint(0, 0), QPoint(640, 100)));
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(msgArea(), QStringLiteral("1/1 àrees"));
}

TEST_F(EditorWindowTest, AfegirAreaArmsTheCrosshairAndDrawsInsideTheCurrentArea) {
    rootedBoard();
    click(QPoint(150, 150));
    EXPECT_EQ(session.tmpl.currentArea, 2);
    window.menus().afegirArea->trigger();
    EXPECT_EQ(board->cursor().shape(), Qt::CrossCursor);
    drag(QPoint(120, 120), QPoint(350, 180));
    ASSERT_EQ(session.tmpl.areaCount(), 4);
    const Area& a = session.tmpl.area(4);
    EXPECT_EQ(a.x0, 120);
    EXPECT_EQ(a.x1, 300);  // clipped to area 2
    EXPECT_EQ(a.level, 2);
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);

    // Twice before drawing: the drawing is cancelled.
    window.menus().afegirArea->trigger();
    window.menus().afegirArea->trigger();
    EXPECT_EQ(board->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(EditorWindowTest, ClicksSelectAndCtrlClicksGroup) {
    rootedBoard();
    Template& t = session.tmpl;
    t.appendArea(areaRect(300, 100, 400, 200));
    click(QPoint(300, 150));  // on the border of 2 and 4: the higher number wins
    EXPECT_EQ(t.currentArea, 4);
    click(QPoint(150, 150));
    click(QPoint(350, 150), Qt::ControlModifier);
    EXPECT_EQ(t.realAreaCount, 4);
    EXPECT_EQ(t.currentArea, 5);  // the group rectangle
    EXPECT_EQ(t.area(5).x1, 400);
    click(QPoint(450, 350));  // a plain click ends the group
    EXPECT_EQ(t.realAreaCount, 0);
    EXPECT_EQ(t.areaCount(), 4);
    EXPECT_EQ(t.currentArea, 3);
}

TEST_F(EditorWindowTest, DeleteKeyAndMenuDeleteWithTheirRefusalsAndUndoRedo) {
    rootedBoard();
    Template& t = session.tmpl;
    click(QPoint(450, 350));
    QTest::keyClick(board, Qt::Key_Delete);
    EXPECT_EQ(t.areaCount(), 2);
    click(QPoint(600, 20));  // the root cannot be deleted
    window.menus().eliminarArea->trigger();
    EXPECT_EQ(t.areaCount(), 2);
    EXPECT_EQ(beeps(), 1);

    // The click on the root took the last snapshot; the one before is from the deletion.
    window.menus().copiar.at(2)->trigger();
    EXPECT_EQ(t.areaCount(), 2);
    window.menus().copiar.at(2)->trigger();  // "Desfer" brings the area back
    EXPECT_EQ(t.areaCount(), 3);
    EXPECT_EQ(msgArea().section(u'/', 1), QStringLiteral("3 àrees"));
    window.menus().refer->trigger();
    EXPECT_EQ(t.areaCount(), 2);
}

TEST_F(EditorWindowTest, EditMenuShortcutsAndCaptions) {
    const MainMenus& m = window.menus();
    ASSERT_EQ(m.copiar.size(), 3);
    EXPECT_EQ(m.copiar[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(m.refer->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    for (const char* name : {"AfegirArea", "EliminarArea", "AjustArea", "RedimArea", "MnuQuad",
                             "CaratulaDesar", "CaratulaEditar", "mn_refer"})
        EXPECT_NE(window.findChild<QAction*>(QLatin1String(name)), nullptr) << name;
    translateForm(&window);
    EXPECT_EQ(m.arees->title(), QStringLiteral("Áreas"));
    EXPECT_EQ(m.caratulaMenu->title(), QStringLiteral("Carátula"));
    EXPECT_NE(m.copiar[2]->text(), QStringLiteral("Desfer"));
}

TEST_F(EditorWindowTest, CopyAndPasteWorkOnTheKeysField) {
    rootedBoard();
    click(QPoint(150, 150));
    auto* keys = window.findChild<QLineEdit*>(QStringLiteral("TxText"));
    QTest::keyClicks(keys, QStringLiteral("abcd"));
    keys->setSelection(1, 2);
    window.menus().copiar[0]->trigger();
    EXPECT_EQ(session.platform.clipboard.text(), QStringLiteral("bc"));
    keys->setCursorPosition(0);
    window.menus().copiar[1]->trigger();
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("bcabcd"));
    EXPECT_EQ(keys->text(), QStringLiteral("bcabcd"));
}

TEST_F(EditorWindowTest, RightButtonPopsUpTheAreaMenuOnTheAreaUnderIt) {
    rootedBoard();
    click(QPoint(450, 350));
    QTest::mousePress(board, Qt::RightButton, {}, QPoint(150, 150));
    EXPECT_TRUE(window.menus().arees->isVisible());
    window.menus().arees->hide();
    EXPECT_EQ(session.tmpl.currentArea, 2);
}

// After a click the board keeps the focus: Delete deletes the area selected, and what is
// typed goes into the key field, at the start of the area's keys.
TEST_F(EditorWindowTest, AfterAClickDeleteDeletesTheAreaAndTypingGoesToTheKeys) {
    rootedBoard();
    Area c = session.tmpl.area(3);
    c.keys = QStringLiteral("right");
    session.tmpl.setArea(3, c);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* keys = window.findChild<QLineEdit*>(QStringLiteral("TxText"));
    click(QPoint(150, 150));
    QTest::keyClicks(keys, QStringLiteral("ab"));
    keys->setCursorPosition(1);
    click(QPoint(450, 350));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
    EXPECT_EQ(session.tmpl.area(3).keys, QStringLiteral("qright"));
    EXPECT_EQ(QApplication::focusWidget(), keys);
    click(QPoint(150, 150));
    EXPECT_EQ(QApplication::focusWidget(), board);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    ASSERT_EQ(session.tmpl.areaCount(), 2);
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("qright"));
}

TEST_F(EditorWindowTest, AreaMenusAreEditModeOnly) {
    const MainMenus& m = window.menus();
    EXPECT_TRUE(m.arees->menuAction()->isVisible());
    session.view->enterUseModeDisplay(QRect(0, 0, 640, 445));
    EXPECT_FALSE(m.arees->menuAction()->isVisible());
    EXPECT_FALSE(m.caratulaMenu->menuAction()->isVisible());
    session.view->leaveUseModeDisplay();
    EXPECT_TRUE(m.caratulaMenu->menuAction()->isVisible());
    EXPECT_EQ(msgArea(), QStringLiteral("----- àrees"));
}

TEST_F(EditorWindowTest, ResizeDialogAppliesItsPercentagesOrNothingOnCancel) {
    rootedBoard();
    click(QPoint(150, 150));
    bool accept = false;
    controller.runDialog = [&](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("RDM"));
        d.findChildren<QScrollBar*>(QStringLiteral("VScroll1"))[0]->setValue(50);
        d.findChild<QLineEdit*>(QStringLiteral("ver"))->setText(QStringLiteral("abc"));
        return accept;
    };
    window.menus().redimArea->trigger();
    EXPECT_EQ(session.tmpl.area(2).x1, 300);
    accept = true;
    window.menus().redimArea->trigger();
    EXPECT_EQ(session.tmpl.area(2).x1, 200);  // 50 % of 200 wide
    EXPECT_EQ(session.tmpl.area(2).y1, 200);  // "abc" counts as 100
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("TxX1"))->text(), QStringLiteral("200"));
}

TEST_F(EditorWindowTest, SubdivideDialogCutsTheAreaIntoAGrid) {
    rootedBoard();
    click(QPoint(150, 150));
    controller.runDialog = [&](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("Quadricula"));
        d.findChild<QScrollBar*>(QStringLiteral("ScrollH"))->setValue(8);  // 3 columns
        d.findChild<QScrollBar*>(QStringLiteral("ScrollV"))->setValue(9);  // 2 rows
        return true;
    };
    window.menus().subdividir->trigger();
    EXPECT_EQ(session.tmpl.areaCount(), 9);
    EXPECT_EQ(session.tmpl.area(2).isGroup, -1);
    EXPECT_EQ(msgArea(), QStringLiteral("9/9 àrees"));
    // A group area is not subdivided again: a beep and no dialog.
    int opened = 0;
    controller.runDialog = [&](QDialog&) { return ++opened > 0; };
    click(QPoint(150, 150));  // on the border of the first cells of both rows
    EXPECT_EQ(session.tmpl.currentArea, 7);
    session.tmpl.currentArea = 2;
    window.menus().subdividir->trigger();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(beeps(), 1);
}

TEST_F(EditorWindowTest, SavingWithTheAutomaticCoverWritesTheCover) {
    rootedBoard();
    const QString folder = f.path(QStringLiteral("boards"));
    QDir().mkpath(folder);
    session.tmpl.settings.autoCover = 1;
    saveTemplateAs(session, folder + QStringLiteral("/menu.vxl"));
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'|').toStdString();
    const QString cover = session.realPath(session.tmpl.settings.pictureFile);
    EXPECT_TRUE(QFileInfo::exists(cover)) << cover.toStdString();
    EXPECT_EQ(QImage(cover).size(), QSize(640, 445));
}

TEST_F(EditorWindowTest, NouOpensTheirPropertiesWhenTheBoardAsksAndDadesGlobalsAlways) {
    QStringList opened;
    bool menusHeld = false;
    controller.runDialog = [&](QDialog& d) {
        opened << d.objectName();
        menusHeld = !window.menus().fitxers->menuAction()->isEnabled() &&
                    !window.menus().dadesGlobals->isEnabled();
        return false;
    };
    session.tmpl.settings.propertiesOnNew = 0;
    newTemplate(session);
    EXPECT_TRUE(opened.isEmpty());
    // "&Nou" asks again next time; the new board is drawn at once.
    EXPECT_EQ(board->cursor().shape(), Qt::CrossCursor);
    newTemplate(session);
    EXPECT_EQ(opened, QStringList{QStringLiteral("PlantForm")});
    EXPECT_TRUE(menusHeld);
    EXPECT_TRUE(window.menus().fitxers->menuAction()->isEnabled());
    window.menus().dadesGlobals->trigger();
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(EditorWindowTest, TheIconButtonOpensThePictureChooser) {
    rootedBoard();
    const QString folder = f.path(QStringLiteral("pics"));
    QDir().mkpath(folder);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(folder + QStringLiteral("/gat.bmp")));
    session.tmpl.templateFolder = folder;
    click(QPoint(150, 150));
    controller.runDialog = [&](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("rec_graf"));
        d.findChild<QListWidget*>(QStringLiteral("File1"))->setCurrentRow(0);
        d.findChildren<QPushButton*>(QStringLiteral("Command1"))[0]->click();
        return d.result() == QDialog::Accepted;
    };
    window.findChild<QPushButton*>(QStringLiteral("Icona_buscar"))->click();
    EXPECT_EQ(session.tmpl.area(2).iconFile, QStringLiteral("gat.bmp"));  // relative
}

TEST_F(EditorWindowTest, PropertiesAtStartUpShowTheEditorFirst) {
    window.hide();
    bool shownBehind = false;
    controller.runDialog = [&](QDialog&) {
        shownBehind = window.isVisible();
        return false;
    };
    session.view->openTemplateProperties();
    EXPECT_TRUE(shownBehind);
}

TEST_F(EditorWindowTest, CtrlZAndCtrlYUndoAndRedoEvenFromTheKeysField) {
    rootedBoard();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    click(QPoint(450, 350));
    window.menus().eliminarArea->trigger();
    ASSERT_EQ(session.tmpl.areaCount(), 2);
    auto* keys = window.findChild<QLineEdit*>(QStringLiteral("TxText"));
    keys->setFocus();
    QTest::keyClick(keys, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(session.tmpl.areaCount(), 3);
    QTest::keyClick(keys, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(session.tmpl.areaCount(), 2);
}

// Started on a board in use mode, the program makes the area panel only when the editor first
// shows it: each way into the editor makes it once, in its frame's place, translated as the
// rest of the window, and showing the area of the moment.
TEST(EditorPanelMadeLate, EachWayIntoTheEditorMakesItOnceTranslatedAndCurrent) {
    struct Way {
        const char* what;
        std::function<void(Session&, MainWindow&)> go;
    };
    const Way ways[] = {
        {"use mode left",
         [](Session& s, MainWindow&) {
             s.view->enterUseModeDisplay(QRect(0, 0, 640, 445));
             s.view->setDrawingArmed(false);
             s.view->leaveUseModeDisplay();
         }},
        {"shown in edit mode", [](Session&, MainWindow& w) { w.show(); }},
        {"a new board", [](Session& s, MainWindow&) { newTemplate(s); }},
        {"drawing armed", [](Session& s, MainWindow&) { s.view->setDrawingArmed(true); }},
    };
    for (const Way& way : ways) {
        FakeSessionFixture f;
        Session& session = *f.session;
        MainWindow window{session};
        EditorController controller{session, window, EditorController::Panel::WhenShown};
        controller.runDialog = [](QDialog&) { return false; };
        translateForm(&window);
        session.view->setDrawingArmed(false);
        ASSERT_EQ(controller.panelWidget(), nullptr) << way.what;
        way.go(session, window);
        AreaPanelWidget* panel = controller.panelWidget();
        ASSERT_NE(panel, nullptr) << way.what;
        const QList<QWidget*> frames = window.findChildren<QWidget*>(QStringLiteral("fitxa_area"));
        EXPECT_EQ(frames, QList<QWidget*>{panel}) << way.what;
        EXPECT_EQ(controller.makePanel(), panel) << way.what;
        QStringList captions;
        for (const QLabel* label : panel->findChildren<QLabel*>()) captions << label->text();
        EXPECT_TRUE(captions.contains(QStringLiteral("Teclas:"))) << way.what;
        EXPECT_FALSE(captions.contains(QStringLiteral("Tecles:"))) << way.what;
        // The panel follows the editor from then on.
        Area root = areaRect(0, 0, 640, 445, 0);
        root.isGroup = -1;
        session.tmpl.appendArea(root);
        session.tmpl.appendArea(areaRect(100, 100, 300, 200));
        controller.editor().panel.showArea(2);
        EXPECT_EQ(panel->findChild<QLabel*>(QStringLiteral("MsgArea"))->text().section(u'/', 0, 0),
                  QStringLiteral("2"))
            << way.what;
    }
}

}  // namespace
