#include "app/use_mode.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <set>

#include "access/access_engine.h"
#include "access/switch_dispatch.h"
#include "commands/placement.h"
#include "engine_fixture.h"
#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "template/board_paths.h"
#include "template/template_writer.h"

using namespace vexil;
using vexil::test::makeArea;

namespace {

class UseModeView : public MainView {
public:
    void showHighlight(int area) override { log << QStringLiteral("highlight %1").arg(area); }
    void enterUseModeDisplay(const QRect& r) override {
        log << QStringLiteral("enter %1,%2 %3x%4")
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height());
    }
    void leaveUseModeDisplay() override { log << QStringLiteral("leave"); }
    void placeBoardWindow(const QRect&) override { log << QStringLiteral("place"); }
    void setCover(const QImage& cover) override {
        log << QStringLiteral("cover %1").arg(cover.width());
    }
    void exitProgram() override { log << QStringLiteral("exit"); }
    QStringList log;
};

class UseModeFixture : public vexil::test::FakeSessionFixture {
public:
    UseModeFixture() {
        session->setView(&view);
        vexil::test::addGridBoard(session->tmpl);
        session->tmpl.templateFolder = dir.path();
    }
    Session& s() { return *session; }
    std::vector<QJsonObject> events(const char* op) { return fake.recorder.eventsOf(op); }
    UseModeView view;
    PlayerActions actions{*session};
    AccessEngine engine{*session, actions};
    UseMode useMode{*session, engine};
};

// The ops of the recorded events, in order, without the timer reports.
QStringList ops(const FakeRecorder& r) {
    QStringList out;
    for (const auto& e : r.events()) out << e.value("op").toString();
    return out;
}

// In mouse mode, a press on the board (board point 400,304) 200 ms into the start actions.
auto pressDuringTheStart(UseModeFixture& f) {
    f.s().profile.accessMode = kModeMouse;
    auto press = f.fake.clock.createTimer(QStringLiteral("user"));
    press->setInterval(200);
    press->onTimeout([&f, timer = press.get()] {
        timer->setEnabled(false);
        f.engine.mousePress(PointerButton::Left, {640, 490});
    });
    press->setEnabled(true);
    return press;
}

}  // namespace

TEST(UseMode, NothingHappensWithoutAreas) {
    vexil::test::FakeSessionFixture f;
    PlayerActions actions{*f.session};
    AccessEngine engine{*f.session, actions};
    UseMode useMode{*f.session, engine};
    EXPECT_FALSE(useMode.enterUseMode());
    EXPECT_FALSE(f.session->access.useMode);
    EXPECT_TRUE(f.fake.recorder.events().empty());
}

TEST(UseMode, StartActionsRunInOrderAndTheWaitLetsTimeRun) {
    UseModeFixture f;
    TemplateSettings& ts = f.s().tmpl.settings;
    f.writeFile(QStringLiteral("inici.txt"), "bon dia \xe0");
    ts.templateClipFile = QStringLiteral("inici.txt");
    ts.templateClipKind = 0;
    ts.startProgram = QStringLiteral("mousepad||xterm");
    ts.startKeys = QStringLiteral("hola");
    f.fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Editor"));
    f.fake.launcher.opensWindow(QStringLiteral("xterm"), QStringLiteral("Terminal"));
    ASSERT_TRUE(f.useMode.enterUseMode());
    EXPECT_TRUE(f.s().access.useMode);
    // Two programs: the last one's window is the target, both are in the history.
    EXPECT_EQ(f.s().platform.windows.title(f.s().player.targetWindow), QStringLiteral("Terminal"));
    EXPECT_EQ(f.s().player.targetHistory.count(u' '), 2);
    const auto clip = f.events("clipboard");
    ASSERT_EQ(clip.size(), 2u);
    EXPECT_EQ(clip[1].value("text").toString(), QStringLiteral("bon dia à"));
    const QStringList o = ops(f.fake.recorder);
    const auto keysAt = o.indexOf(QStringLiteral("keys"));
    const auto placedAt = o.lastIndexOf(QStringLiteral("place"));
    ASSERT_GE(keysAt, 0);
    EXPECT_LT(o.indexOf(QStringLiteral("clipboard")), placedAt);
    EXPECT_LT(placedAt, keysAt);  // the target is placed before the start keys
    EXPECT_EQ(f.events("keys").front().value("text").toString(), QStringLiteral("hola"));
    // The half second passed with the timers running, and Timer1 activated nothing.
    EXPECT_GE(f.fake.clock.now(), 500);
    EXPECT_TRUE(f.events("beep").empty());
    EXPECT_EQ(f.s().tmpl.currentArea, -1);
    EXPECT_EQ(f.s().player.currentLevel, 1);
}

// A target that puts itself back where it asked to be just after it appeared (as Tk does)
// is placed again before the start keys; one that stays is left where it was put.
TEST(UseMode, ATargetThatMovesItselfBackIsPlacedAgainBeforeTheStartKeys) {
    for (const bool movesBack : {false, true}) {
        SCOPED_TRACE(movesBack ? "moves back" : "stays");
        UseModeFixture f;
        f.s().tmpl.settings.startProgram = QStringLiteral("wish");
        f.s().tmpl.settings.startKeys = QStringLiteral("hola");
        f.fake.launcher.opensWindow(QStringLiteral("wish"), QStringLiteral("Recorder"));
        const QRect own(200, 30, 600, 250);
        auto settle = f.fake.clock.createTimer(QStringLiteral("target settles"));
        settle->setInterval(100);
        settle->onTimeout([&] {
            settle->setEnabled(false);
            if (movesBack) f.fake.windows.moveResize(f.s().player.targetWindow, own);
        });
        settle->setEnabled(true);
        ASSERT_TRUE(f.useMode.enterUseMode());
        const WindowHandle target = f.s().player.targetWindow;
        ASSERT_GT(target, 0);
        const QRect wanted = appWindowRect(f.s().tmpl.area(1), f.fake.windows.screenSize());
        EXPECT_EQ(f.fake.windows.geometry(target), wanted);
        const QStringList o = ops(f.fake.recorder);
        EXPECT_LT(o.lastIndexOf(QStringLiteral("place")), o.indexOf(QStringLiteral("keys")));
        EXPECT_EQ(o.count(QStringLiteral("place")), movesBack ? 3 : 1);
    }
}

// A desktop that does not let keys or windows work as on X11 (Wayland) says so once in the
// program's life, before the start keys are typed; one where all works says nothing.
TEST(UseMode, WhatTheDesktopDoesNotAllowIsSaidOnceBeforeTheStartKeys) {
    for (const bool limited : {false, true}) {
        UseModeFixture f;
        f.s().tmpl.settings.startProgram = QStringLiteral("mousepad");
        f.s().tmpl.settings.startKeys = QStringLiteral("hola");
        f.fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Editor"));
        if (limited) f.fake.platform.desktopNotice = QStringLiteral("no windows here");
        f.s().tmpl.modified = false;  // no save question
        ASSERT_TRUE(f.useMode.enterUseMode());
        f.useMode.leaveUseMode();
        f.s().tmpl.modified = false;
        ASSERT_TRUE(f.useMode.enterUseMode());
        const auto messages = f.events("message");
        ASSERT_EQ(messages.size(), limited ? 1u : 0u);
        if (!limited) continue;
        EXPECT_EQ(messages[0].value("text").toString(), QStringLiteral("no windows here"));
        const QStringList o = ops(f.fake.recorder);
        EXPECT_LT(o.indexOf(QStringLiteral("message")), o.indexOf(QStringLiteral("keys")));
    }
}

// The board shows while the start actions run; a press on it then is picked once the mode
// has started (and activated at the next Timer1 tick), not lost and not acted on early.
TEST(UseMode, InputDuringTheStartActionsWaitsForTheModeToStart) {
    UseModeFixture f;
    f.s().tmpl.settings.startKeys = QStringLiteral("hola");
    auto press = pressDuringTheStart(f);
    ASSERT_TRUE(f.useMode.enterUseMode());
    EXPECT_FALSE(f.s().access.startingUp);
    EXPECT_TRUE(f.events("beep").empty());  // nothing was activated during the start
    ASSERT_GT(f.s().tmpl.areaAt(400, 304), 1);
    EXPECT_EQ(f.s().tmpl.currentArea, f.s().tmpl.areaAt(400, 304));
    f.engine.timer1Tick();
    EXPECT_EQ(f.events("beep").size(), 1u);
}

TEST(UseMode, InputHeldDuringTheStartIsDroppedWhenAStartActionLeavesUseMode) {
    UseModeFixture f;
    f.s().tmpl.settings.startKeys = QStringLiteral("{|TANCAR}");
    auto press = pressDuringTheStart(f);
    ASSERT_TRUE(f.useMode.enterUseMode());
    EXPECT_FALSE(f.s().access.useMode);
    EXPECT_FALSE(f.s().access.startingUp);
    EXPECT_EQ(f.s().tmpl.currentArea, 0);
}

TEST(UseMode, LeavingClosesStartedApplicationsButNeverVexil) {
    UseModeFixture f;
    f.s().tmpl.settings.startProgram = QStringLiteral("mousepad|vexil");
    f.fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Editor"));
    f.fake.launcher.opensWindow(QStringLiteral("vexil"), QStringLiteral("Vexil - (Sin nombre)"));
    ASSERT_TRUE(f.useMode.enterUseMode());
    f.fake.recorder.clear();
    f.useMode.leaveUseMode();
    const auto closed = f.events("close");
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_FALSE(f.s().access.useMode);
    EXPECT_EQ(f.s().player.targetWindow, 0);
    EXPECT_TRUE(f.s().player.targetHistory.isEmpty());
    EXPECT_EQ(f.s().tmpl.currentArea, 0);
    EXPECT_FALSE(f.s().timer2->enabled());
    EXPECT_FALSE(f.s().timer3->enabled());
    EXPECT_TRUE(f.view.log.contains(QStringLiteral("leave")));
    EXPECT_EQ(f.fake.keys.restores, 1);  // the keyboard map is the user's again
    f.useMode.leaveUseMode();            // already out: nothing more
    EXPECT_EQ(f.fake.keys.restores, 1);
}

// The board keeps no started window above the others (they would cover its dialogs and the
// editor); leaving use mode still makes each an ordinary window, the one kept open for its
// name included.
TEST(UseMode, StartedWindowsAreNeverKeptOnTop) {
    UseModeFixture f;
    f.s().tmpl.settings.startProgram = QStringLiteral("mousepad|notes");
    f.fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Editor"));
    f.fake.launcher.opensWindow(QStringLiteral("notes"), QStringLiteral("NOTES VEXIL.TXT"));
    ASSERT_TRUE(f.useMode.enterUseMode());
    for (const auto& e : f.events("topMost")) EXPECT_FALSE(e.value("on").toBool());
    f.fake.recorder.clear();
    f.useMode.leaveUseMode();
    std::set<double> offTop;
    for (const auto& e : f.events("topMost")) {
        EXPECT_FALSE(e.value("on").toBool());
        offTop.insert(e.value("window").toDouble());
    }
    EXPECT_EQ(offTop.size(), 2u);
    EXPECT_EQ(f.events("close").size(), 1u);  // "NOTES VEXIL.TXT" stays open
}

TEST(UseMode, SecondEntryGivesTheFocusTimerItsPeriodBack) {
    UseModeFixture f;
    f.s().profile.accessMode = kModeAutoScan;
    f.s().profile.temps = 10;
    ASSERT_TRUE(f.useMode.enterUseMode());
    f.useMode.leaveUseMode();
    EXPECT_EQ(f.s().timer2->interval(), 0);
    ASSERT_TRUE(f.useMode.enterUseMode());
    EXPECT_EQ(f.s().timer2->interval(), 100);
    EXPECT_TRUE(f.s().timer2->enabled());
}

TEST(UseMode, GroupAreasChangeTheLevelThatScanningOffers) {
    UseModeFixture f;
    Template& t = f.s().tmpl;
    Area group = t.area(3);
    group.isGroup = -1;
    group.keys.clear();
    t.setArea(3, group);
    t.appendArea(makeArea(350, 20, 400, 100, 3, QStringLiteral("x")));  // 6
    t.appendArea(makeArea(450, 20, 500, 100, 3, QStringLiteral("y")));  // 7
    f.s().profile.accessMode = kModeManualScan;
    f.s().profile.switches[1].accio = kEnterKey;
    f.s().profile.switches[2].accio = kSpaceKey;
    ASSERT_TRUE(f.useMode.enterUseMode());
    f.view.log.clear();
    f.engine.keyPress(QChar(13));  // area 2
    f.engine.keyPress(QChar(13));  // area 3, the group
    f.engine.keyPress(QChar(32));  // activates it at once
    EXPECT_EQ(f.s().player.currentLevel, 3);
    // Scanning goes on from the group's slot and offers only its areas.
    f.engine.keyPress(QChar(13));
    f.engine.keyPress(QChar(13));
    f.engine.keyPress(QChar(13));
    EXPECT_EQ(f.view.log, QStringList({"highlight 2", "highlight 3", "highlight 6", "highlight 7",
                                       "highlight 6"}));
}

TEST(UseMode, BoardChangeStartsTheModeAgain) {
    UseModeFixture f;
    Template other;
    vexil::test::addGridBoard(other);
    f.s().profile.accessMode = kModeJoystick;
    f.s().profile.joystic_retard = 5;
    ASSERT_TRUE(f.useMode.enterUseMode());
    f.fake.dialogs.chosenFiles.push_back(QString());  // the user cancels the open dialog
    f.useMode.changeBoard();
    EXPECT_TRUE(f.s().timer3->enabled());
    EXPECT_EQ(f.s().timer3->interval(), 500);
    EXPECT_EQ(f.s().access.scanPosition, 5);
}

TEST(UseMode, TancarLeavesUseModeAndEnds) {
    UseModeFixture f;
    Template& t = f.s().tmpl;
    Area a = t.area(2);
    a.keys = QStringLiteral("{|TANCAR}");
    t.setArea(2, a);
    f.s().profile.accessMode = kModeMouse;
    ASSERT_TRUE(f.useMode.enterUseMode());
    f.engine.mousePress(PointerButton::Left, {100, 100});
    f.fake.clock.advance(500);
    EXPECT_FALSE(f.s().access.useMode);
    EXPECT_TRUE(f.view.log.contains(QStringLiteral("exit")));
    EXPECT_FALSE(f.s().timer3->enabled());
}

TEST(UseMode, CarregaRestartsScanningOnTheNewBoard) {
    UseModeFixture f;
    Template other;
    other.appendArea(makeArea(0, 0, 640, 445, 0));
    other.appendArea(makeArea(0, 0, 100, 100, 1, QStringLiteral("p")));
    other.appendArea(makeArea(200, 0, 300, 100, 1, QStringLiteral("q")));
    f.writeFile(QStringLiteral("other.vxl"), templateFileBytes(other));
    Area a = f.s().tmpl.area(2);
    a.keys = QStringLiteral("{|CARREGA other.vxl}");
    f.s().tmpl.setArea(2, a);
    f.s().profile.accessMode = kModeAutoScan;
    f.s().profile.temps = 10;
    f.s().profile.switches[1].accio = kEnterKey;
    ASSERT_TRUE(f.useMode.enterUseMode());
    f.fake.clock.advance(1000);  // highlight on area 2
    f.engine.keyPress(QChar(13));
    f.fake.clock.advance(500);  // activated: the other board is loaded
    EXPECT_EQ(f.s().tmpl.areaCount(), 3);
    EXPECT_EQ(f.s().access.scanPosition, 0);
    EXPECT_TRUE(f.s().timer3->enabled());
    f.view.log.clear();
    f.fake.clock.advance(1000);
    EXPECT_EQ(f.view.log, QStringList({"highlight 2"}));
}

TEST(UseMode, LeavingStopsListening) {
    UseModeFixture f;
    f.fake.recognizer.installed = true;
    f.s().profile.accessMode = kModeVoiceTwo;
    f.s().profile.recognitionState = -1;
    ASSERT_TRUE(f.useMode.enterUseMode());
    EXPECT_EQ(f.s().profile.recognitionState, -2);
    f.useMode.leaveUseMode();
    EXPECT_EQ(f.s().profile.recognitionState, -1);
    f.fake.recognizer.hear(1);  // nothing listens any more
    EXPECT_EQ(f.s().tmpl.currentArea, 0);
}

TEST(UseMode, BoardChangeKeepsTheTargetAsANormalWindowAndLoadsTheChosenBoard) {
    UseModeFixture f;
    Template other;
    other.appendArea(makeArea(0, 0, 320, 200, 0));
    other.appendArea(makeArea(0, 0, 100, 100, 1, QStringLiteral("p")));
    f.writeFile(QStringLiteral("other.vxl"), templateFileBytes(other));
    f.s().tmpl.settings.startProgram = QStringLiteral("mousepad");
    f.fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Editor"));
    f.s().profile.accessMode = kModeCursorKeys;
    ASSERT_TRUE(f.useMode.enterUseMode());
    const WindowHandle target = f.s().player.targetWindow;
    f.fake.recorder.clear();
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("other.vxl")));
    f.useMode.changeBoard();
    EXPECT_EQ(f.s().tmpl.areaCount(), 2);
    EXPECT_EQ(f.s().player.targetWindow, target);  // the new board types into the same window
    const auto topMost = f.events("topMost");
    ASSERT_FALSE(topMost.empty());
    EXPECT_FALSE(topMost.front().value("on").toBool());
    EXPECT_TRUE(f.events("keys").empty());  // the start actions do not run again
    EXPECT_EQ(f.s().access.scanPosition, 2);  // cursor keys start on the last area again
    EXPECT_EQ(f.s().player.currentLevel, 1);
}

// A clip file that is not there ends the start actions with the error's description: no
// program starts, nothing is typed, the board stays in use mode.
TEST(UseMode, MissingClipFileEndsTheStartActions) {
    UseModeFixture f;
    TemplateSettings& ts = f.s().tmpl.settings;
    ts.pictureFile = QStringLiteral("fons.bmp");
    ts.templateClipFile = QStringLiteral("gone.txt");
    ts.startProgram = QStringLiteral("mousepad");
    ts.startKeys = QStringLiteral("hola");
    f.fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Editor"));
    f.s().tmpl.modified = false;
    ASSERT_TRUE(f.useMode.enterUseMode());
    EXPECT_TRUE(f.s().access.useMode);
    EXPECT_EQ(f.messages(),
              QStringList{runtimeErrorDescription(errnum::FileNotFound) + u' '});
    EXPECT_TRUE(f.fake.launcher.started.isEmpty());
    EXPECT_TRUE(f.events("keys").empty());
}

// "&Activar" shows the cover as it is on disk: retouched meanwhile, it is read again; not
// changed, the one shown stays; gone, the error is said once.
TEST(UseMode, EnteringReadsAChangedCoverAgain) {
    UseModeFixture f;
    const QString real = f.path(QStringLiteral("fons.bmp"));
    const auto paint = [&real](int width, int secondsLater) {
        QImage image(width, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(real, "BMP"));
        QFile file(real);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(secondsLater),
                         QFileDevice::FileModificationTime);
    };
    paint(8, 0);
    Template& t = f.s().tmpl;
    t.settings.pictureFile = QStringLiteral("FONS.BMP");
    t.pictureFileTime = fileTimeText(real);  // as the loader read it
    const auto enterAndLeave = [&f] {
        f.view.log.clear();
        f.s().tmpl.modified = false;
        ASSERT_TRUE(f.useMode.enterUseMode());
        f.useMode.leaveUseMode();
    };
    enterAndLeave();
    EXPECT_FALSE(f.view.log.join(u',').contains(QStringLiteral("cover")));
    paint(16, 10);
    enterAndLeave();
    EXPECT_TRUE(f.view.log.contains(QStringLiteral("cover 16"))) << f.view.log.join(u',').toStdString();
    EXPECT_TRUE(f.messages().isEmpty());
    QFile::remove(real);
    enterAndLeave();
    EXPECT_FALSE(f.view.log.join(u',').contains(QStringLiteral("cover")));
    EXPECT_EQ(f.messages(), QStringList{messageText(3) + QStringLiteral("FONS.BMP") +
                                        QString::number(errnum::FileNotFound) + u' ' +
                                        runtimeErrorDescription(errnum::FileNotFound)});
}

// Each return to the main window from another of the program's windows empties the memory
// register and reads the screen again; a new screen size moves the board in use mode.
TEST(UseMode, ActivationEmptiesTheMemoryAndFollowsTheScreen) {
    UseModeFixture f;
    ASSERT_TRUE(f.useMode.enterUseMode());
    const QPointF before = f.s().access.scale;
    f.s().player.memory = QStringLiteral("5");
    f.view.log.clear();
    f.useMode.windowActivated();
    EXPECT_TRUE(f.s().player.memory.isEmpty());
    EXPECT_FALSE(f.view.log.contains(QStringLiteral("place")));
    f.fake.windows.setScreenSize({1920, 1080});
    f.useMode.windowActivated();
    EXPECT_NE(f.s().access.scale, before);
    EXPECT_TRUE(f.view.log.contains(QStringLiteral("place")));
}

// An area starts a program that opens no window. While its window is awaited the scan goes
// on and a press picks the area then highlighted, activated once the first one is done; a
// program that has already ended is given up on after a second, not after five.
TEST(UseMode, ScanningGoesOnWhileAStartedProgramsWindowIsAwaited) {
    for (const bool ends : {false, true}) {
        UseModeFixture f;
        UserProfile& p = f.s().profile;
        p.temps = 5;
        p.switches[1].accio = std::int16_t(kEnterKey);
        p.accessMode = kModeAutoScan;
        Area a = f.s().tmpl.area(2);
        a.keys = QStringLiteral("{|EXECUTA daemon}");
        f.s().tmpl.setArea(2, a);
        if (ends) f.fake.launcher.endsAtOnce(QStringLiteral("daemon"));
        f.s().tmpl.modified = false;
        ASSERT_TRUE(f.useMode.enterUseMode());
        auto press = f.fake.clock.createTimer(QStringLiteral("user"));
        press->setInterval(2000);
        press->onTimeout([&f, timer = press.get()] {
            timer->setEnabled(false);
            f.engine.keyPress(QChar(13));
        });
        press->setEnabled(true);
        f.view.log.clear();
        f.s().tmpl.currentArea = 2;
        const auto start = f.fake.clock.now();
        f.engine.timer1Tick();
        const auto waited = f.fake.clock.now() - start;
        EXPECT_EQ(f.fake.launcher.started, QStringList{QStringLiteral("/usr/bin/daemon")});
        if (ends) {
            EXPECT_LE(waited, 1200);
            EXPECT_EQ(f.s().tmpl.currentArea, -1);
            continue;
        }
        EXPECT_GE(waited, 5000);
        EXPECT_GE(f.view.log.filter(QStringLiteral("highlight")).size(), 5) << f.view.log.join(u',').toStdString();
        EXPECT_GE(f.s().tmpl.currentArea, 2);
        EXPECT_TRUE(f.s().timer3->enabled());
    }
}
