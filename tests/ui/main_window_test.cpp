#include "app/ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>

#include "access/access_actions.h"
#include "access/access_engine.h"
#include "app/ui/edit_board.h"
#include "app/ui/use_board.h"
#include "app/ui/window_controller.h"
#include "app/use_mode.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

struct WindowFixture {
    WindowFixture() {
        session.tmpl.appendArea(areaRect(0, 245, 640, 445, 0));
        session.tmpl.appendArea(areaRect(80, 278, 160, 311));
        session.access.scale = QPointF(1.6, 768.0 / 477.0);
        window.show();
    }
    FakeSessionFixture f;
    Session& session = *f.session;
    MainWindow window{session};
};

bool menuShown(const QMenu* menu) {
    return menu->menuAction()->isVisible();
}

}  // namespace

TEST(MainWindow, BecomesTheSessionsViewWithTheStartTitle) {
    WindowFixture w;
    EXPECT_EQ(w.session.view, static_cast<MainView*>(&w.window));
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("Vexil - (Sin nombre)"));
    w.session.view->setTitle(QStringLiteral("Vexil - C:\\A.VXL"));
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("Vexil - C:\\A.VXL"));
}

TEST(MainWindow, UseModeShowsTheBoardAloneAndComesBackToTheSavedRectangle) {
    WindowFixture w;
    w.window.setGeometry(50, 60, 700, 600);
    const QRect before = w.window.frameGeometry();
    const MainMenus& m = w.window.menus();
    EXPECT_TRUE(menuShown(m.fitxers));
    EXPECT_FALSE(m.finapc->isVisible());

    const QRect board(0, 343, 1024, 373);
    w.session.view->enterUseModeDisplay(board);
    EXPECT_TRUE(w.window.inUseMode());
    for (const QMenu* menu : {m.fitxers, m.veure, m.edicio, m.ajuda}) EXPECT_FALSE(menuShown(menu));
    EXPECT_TRUE(menuShown(m.accessibilitat));  // the access mode can change in use mode
    EXPECT_TRUE(m.finapc->isVisible());
    EXPECT_TRUE(m.canviPlafo->isVisible());
    EXPECT_FALSE(w.window.editBoard()->isVisible());
    EXPECT_FALSE(w.window.useModeButton()->isVisible());
    EXPECT_TRUE(w.window.useBoard()->isVisible());
    EXPECT_EQ(w.window.frameGeometry(), board);
    EXPECT_EQ(w.window.useBoard()->scaleX(), 1.6);

    w.session.view->leaveUseModeDisplay();
    EXPECT_FALSE(w.window.inUseMode());
    EXPECT_TRUE(menuShown(m.fitxers));
    EXPECT_FALSE(m.finapc->isVisible());
    EXPECT_TRUE(w.window.editBoard()->isVisible());
    EXPECT_EQ(w.window.frameGeometry(), before);
}

TEST(MainWindow, HighlightLiesOnTheAreaScaledFromAreaOne) {
    WindowFixture w;
    w.session.view->enterUseModeDisplay(QRect(0, 343, 1024, 373));
    w.session.view->setHighlightStyle(4, QColor(0, 255, 0));
    w.session.view->showHighlight(2);
    // (80-0)*1.6 = 128, (278-245)*1.61 = 53.1, 80*1.6 = 128 wide, 33*1.61 = 53.1 high.
    EXPECT_EQ(w.window.highlightRect(2), QRect(128, 53, 128, 53));
    HighlightFrame* marc = w.window.useBoard()->highlight();
    EXPECT_TRUE(marc->isVisible());
    EXPECT_EQ(marc->geometry(), QRect(128, 53, 129, 54));
    EXPECT_EQ(marc->thickness(), 4);
    EXPECT_EQ(marc->color(), QColor(0, 255, 0));
    w.session.view->hideHighlight();
    EXPECT_FALSE(marc->isVisible());
    // Areas outside the table move nothing.
    EXPECT_TRUE(w.window.highlightRect(3).isNull());
    EXPECT_TRUE(w.window.highlightRect(0).isNull());
}

TEST(MainWindow, SoundAndCoverBoxesFollowTheirMenuItems) {
    WindowFixture w;
    const MainMenus& m = w.window.menus();
    w.window.checkBox(0)->setChecked(true);
    EXPECT_EQ(w.session.tmpl.settings.soundOn, -1);
    EXPECT_TRUE(m.soActiu->isChecked());
    m.soActiu->trigger();
    EXPECT_EQ(w.session.tmpl.settings.soundOn, 0);
    EXPECT_FALSE(w.window.checkBox(0)->isChecked());

    EXPECT_TRUE(w.window.checkBox(2)->isChecked());
    w.window.checkBox(2)->setChecked(false);
    EXPECT_FALSE(m.caratula->isChecked());
    EXPECT_FALSE(w.window.editBoard()->coverVisible());
    m.caratula->trigger();
    EXPECT_TRUE(w.window.checkBox(2)->isChecked());
    EXPECT_TRUE(w.window.editBoard()->coverVisible());

    w.window.checkBox(1)->setChecked(true);
    EXPECT_TRUE(m.teclatAuxiliar->isChecked());
    w.session.view->closeAuxiliaryKeyboard();
    EXPECT_FALSE(w.window.checkBox(1)->isChecked());
    EXPECT_FALSE(m.teclatAuxiliar->isChecked());
}

TEST(MainWindow, AccessMenuIsOneRadioGroup) {
    WindowFixture w;
    const MainMenus& m = w.window.menus();
    auto checked = [&] {
        QList<int> out;
        for (QAction* a : m.tipusExploracio)
            if (a->isChecked()) out << a->data().toInt();
        return out;
    };
    EXPECT_EQ(checked(), QList<int>{0});
    w.session.view->setAccessMenuCheck(4);
    EXPECT_EQ(checked(), QList<int>{4});
    m.tipusExploracio.at(2)->trigger();
    EXPECT_EQ(checked(), QList<int>{2});
    w.session.view->setAccessMenuCheck(-1);
    EXPECT_TRUE(checked().isEmpty());
}

// Choosing another access mode on the board in use mode starts it at once.
TEST(MainWindow, AccessMenuInUseModeRestartsTheMode) {
    WindowFixture w;
    PlayerActions actions{w.session};
    AccessEngine engine{w.session, actions};
    UseMode useMode{w.session, engine};
    WindowController controller{w.session, w.window, engine, useMode};
    w.session.profile.accessMode = kModeAutoScan;
    ASSERT_TRUE(useMode.enterUseMode());
    EXPECT_TRUE(w.session.timer3->enabled());
    const MainMenus& m = w.window.menus();
    ASSERT_TRUE(menuShown(m.accessibilitat));

    m.tipusExploracio.at(3)->trigger();  // "Cursors &Teclat": no dialog
    EXPECT_EQ(w.session.profile.accessMode, kModeCursorKeys);
    EXPECT_FALSE(w.session.timer3->enabled());
    EXPECT_EQ(w.session.access.scanPosition, 2);  // the frame on the last area
    EXPECT_TRUE(w.window.useBoard()->highlight()->isVisible());
    useMode.leaveUseMode();
}

TEST(MainWindow, CaptionsPassThroughTheCaptionTable) {
    WindowFixture w;
    translateForm(&w.window);
    const MainMenus& m = w.window.menus();
    EXPECT_EQ(m.fitxers->title(), QStringLiteral("&Archivos"));
    EXPECT_EQ(m.sortir->text(), QStringLiteral("&Salir"));
    EXPECT_EQ(m.finapc->text(), QStringLiteral("&Salir"));
    EXPECT_EQ(m.tipusExploracio.at(0)->text(), QStringLiteral("Cursor &Ratón"));
    EXPECT_EQ(m.usuariNou->text(), QStringLiteral("Usuario &Nuevo"));
    EXPECT_EQ(w.window.checkBox(0)->text(), QStringLiteral("Sonido"));
    EXPECT_EQ(w.window.checkBox(2)->text(), QStringLiteral("Carátula"));
    // Captions the table does not hold stay as designed.
    EXPECT_EQ(m.canviPlafo->text(), QStringLiteral("&Canvi de plafó"));
    EXPECT_EQ(w.window.checkBox(1)->text(), QStringLiteral("Tec. Aux."));
}

// Back on the main window from a dialog of the program, the memory register is empty.
TEST(MainWindow, ReturnFromADialogEmptiesTheMemory) {
    WindowFixture w;
    PlayerActions actions{w.session};
    AccessEngine engine{w.session, actions};
    UseMode useMode{w.session, engine};
    WindowController controller{w.session, w.window, engine, useMode};
    const auto activate = [](QWidget* widget) {
        widget->activateWindow();
        for (int i = 0; i < 50 && QGuiApplication::focusWindow() != widget->windowHandle(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return QGuiApplication::focusWindow() == widget->windowHandle();
    };
    ASSERT_TRUE(activate(&w.window));
    w.session.player.memory = QStringLiteral("5");

    QDialog dialog(&w.window);
    dialog.show();
    ASSERT_TRUE(activate(&dialog));
    EXPECT_EQ(w.session.player.memory, QStringLiteral("5"));
    dialog.hide();
    ASSERT_TRUE(activate(&w.window));
    EXPECT_TRUE(w.session.player.memory.isEmpty());
}
