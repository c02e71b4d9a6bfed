#include <gtest/gtest.h>

#include "access/board_walk.h"
#include "access/switch_dispatch.h"
#include "engine_fixture.h"

using namespace vexil;
using vexil::test::EngineFixture;
using vexil::test::makeArea;

namespace {

QStringList L(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines) out << QString::fromUtf8(l);
    return out;
}

void setSwitch(Session& s, int n, int accio, const QString& list = QString()) {
    s.profile.switches[size_t(n)].accio = std::int16_t(accio);
    s.profile.switches[size_t(n)].variable = list;
}

}  // namespace

TEST(AccessEngine, ScanStepPeriodFollowsTempsAndInterval) {
    struct {
        int temps, interval, step;
        bool focusTimer;
    } cases[] = {
        {15, 500, 1500, true},  {3, 500, 500, true},    {0, 500, 1000, false},
        {-4, 500, 1000, false}, {12, 2000, 2000, true},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        f.s().profile.temps = std::int16_t(c.temps);
        f.s().programSettings.Interval = std::int16_t(c.interval);
        f.enter(kModeAutoScan);
        EXPECT_EQ(f.s().timer3->interval(), c.step) << c.temps;
        EXPECT_TRUE(f.s().timer3->enabled());
        EXPECT_EQ(f.s().timer2->enabled(), c.focusTimer) << c.temps;
    }
}

TEST(AccessEngine, AutomaticScanningSwitchActivatesAtOnceAfterBeep) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.s().profile.temps = 10;
    setSwitch(f.s(), 1, kEnterKey);
    f.enter(kModeAutoScan);
    f.take();
    f.fake.clock.advance(1000);  // Timer1 ticks twice with nothing picked, Timer3 once
    EXPECT_EQ(f.take(), L({"highlight 2", "announce a"}));
    f.fake.clock.advance(1000);
    EXPECT_EQ(f.take(), L({"highlight 3", "announce b"}));
    f.fake.recorder.clear();
    // No wait for the activation timer's next tick; scanning pauses during the activation
    // and goes on afterwards.
    f.engine.keyPress(QChar(13));
    EXPECT_EQ(f.take(), L({"activate 3 t3=0"}));
    EXPECT_EQ(f.fake.recorder.eventsOf("beep").size(), 1u);
    EXPECT_TRUE(f.s().timer3->enabled());
    EXPECT_EQ(f.s().tmpl.currentArea, -1);
    // The step restarts when scanning resumes: a full period after the activation.
    f.fake.clock.advance(999);
    EXPECT_TRUE(f.take().isEmpty());
    f.fake.clock.advance(1);
    EXPECT_EQ(f.take(), L({"highlight 4", "announce c"}));
}

TEST(AccessEngine, ActButonsByModeAndSwitch) {
    // Switch 1 is Enter, switch 2 is Space; the highlight stands on area 3 (slot 2).
    struct {
        int mode;
        QChar key;
        QStringList log;
        int currentArea;
    } cases[] = {
        {kModeManualScan, QChar(13), L({"highlight 4", "announce c"}), -1},
        {kModeManualScan, QChar(32), L({"activate 3 t3=0"}), -1},
        {kModeAutoScan, QChar(13), L({"activate 3 t3=0"}), -1},
        {kModeAutoScan, QChar(32), L({"activate 3 t3=0"}), -1},
        {kModeVoiceOne, QChar(32), L({"activate 3 t3=0"}), -1},
        {kModeVoiceTwo, QChar(13), L({"highlight 4", "announce c"}), -1},
        {kModeMouse, QChar(13), {}, -1},
        {kModeCursorKeys, QChar(32), {}, -1},
        {kModeManualScan, QChar('x'), {}, -1},  // not a switch
    };
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        setSwitch(f.s(), 1, kEnterKey);
        setSwitch(f.s(), 2, kSpaceKey);
        f.enter(c.mode);
        f.s().access.scanPosition = 2;
        f.take();
        f.engine.keyPress(c.key);
        EXPECT_EQ(f.take(), c.log) << "mode " << c.mode << " key " << int(c.key.unicode());
        EXPECT_EQ(f.s().tmpl.currentArea, c.currentArea) << "mode " << c.mode;
    }
}

TEST(AccessEngine, ManualScanningWithAnyEventStepsOnKeysMovesAndListedKeySelects) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    setSwitch(f.s(), 1, kAnyEvent);
    setSwitch(f.s(), 2, kListedKey, QStringLiteral("s"));
    f.enter(kModeManualScan);
    EXPECT_TRUE(f.take() == L({"hide"}));  // no frame before the first step
    f.engine.keyPress(QChar('a'));
    f.engine.pointerMove({10, 10});
    f.engine.pointerMove({10, 10});  // the same position again is no move
    f.engine.keyPress(QChar(32));
    EXPECT_EQ(f.take(), L({"highlight 2", "announce a", "highlight 3", "announce b", "highlight 4",
                           "announce c"}));
    f.engine.keyPress(QChar('s'));
    EXPECT_EQ(f.take(), L({"activate 4 t3=0"}));
    EXPECT_EQ(f.s().access.mouseGesture, "m");
}

TEST(AccessEngine, ScanStepSkipsOtherLevelsAndEndsWhenTheLevelIsEmpty) {
    EngineFixture f;
    Template& t = f.s().tmpl;
    vexil::test::addGridBoard(t);
    Area group = t.area(2);
    group.isGroup = -1;
    t.setArea(2, group);
    t.appendArea(makeArea(20, 20, 100, 100, 2, QStringLiteral("g1")));   // 6
    t.appendArea(makeArea(120, 20, 200, 100, 2, QStringLiteral("g2")));  // 7
    f.enter(kModeManualScan);
    f.take();
    for (int i = 0; i < 5; ++i) f.engine.scanStep();
    EXPECT_EQ(f.take(),
              L({"highlight 2", "announce a", "highlight 3", "announce b", "highlight 4",
                 "announce c", "highlight 5", "announce d", "highlight 2", "announce a"}));
    // The group's sub-areas once the level is the group's.
    f.s().player.currentLevel = 2;
    f.engine.scanStep();
    f.engine.scanStep();
    f.engine.scanStep();
    EXPECT_EQ(f.take(), L({"highlight 6", "announce g1", "highlight 7", "announce g2",
                           "highlight 6", "announce g1"}));
    // A level no area has: one cycle, then nothing moves.
    f.s().player.currentLevel = 9;
    const auto before = f.s().access.scanPosition;
    f.engine.scanStep();
    EXPECT_TRUE(f.take().isEmpty());
    EXPECT_EQ(f.s().access.scanPosition, before);
}

TEST(AccessEngine, HighlightAnnouncesTheSoundFieldBeforeTheKeys) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    Area a = f.s().tmpl.area(3);
    a.soundFile = QStringLiteral("gat.wav");
    f.s().tmpl.setArea(3, a);
    f.engine.highlightArea(3);
    f.engine.highlightArea(2);
    f.engine.highlightArea(9);  // no such area
    EXPECT_EQ(f.take(), L({"highlight 3", "announce gat.wav", "highlight 2", "announce a"}));
}

TEST(AccessEngine, CursorModesStartOnTheLastAreaAndWalk) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.enter(kModeCursorKeys);
    EXPECT_EQ(f.take(), L({"hide", "highlight 5"}));  // no announcement at the start
    EXPECT_EQ(f.s().access.scanPosition, 5);
    f.engine.keyDown(kCursorUp);
    f.engine.keyDown(kCursorLeft);
    f.engine.keyDown(kCursorLeft);  // leftmost: the probe leaves the frame, nothing moves
    f.engine.keyDown(65);           // not a cursor key
    EXPECT_EQ(f.take(), L({"highlight 3", "announce b", "highlight 2", "announce a"}));
    // Enter activates at once: no pick is left waiting for the activation timer.
    f.engine.keyDown(kCursorEnter);
    EXPECT_EQ(f.take(), L({"activate 2 t3=0"}));
    EXPECT_EQ(f.s().tmpl.currentArea, -1);
}

TEST(AccessEngine, CursorModeOnAFrameOnlyBoard) {
    EngineFixture f;
    f.s().tmpl.appendArea(makeArea(0, 0, 640, 445, 0, QStringLiteral("frame")));
    f.enter(kModeCursorKeys);
    EXPECT_EQ(f.s().access.scanPosition, 0);
    f.take();
    f.engine.keyDown(kCursorRight);
    EXPECT_EQ(f.s().access.scanPosition, 1);
    EXPECT_EQ(f.take(), L({"highlight 1", "announce frame"}));
    f.engine.keyDown(kCursorReevaluate);
    EXPECT_TRUE(f.take().isEmpty());
}

TEST(AccessEngine, JoystickModesPollOnTimer3) {
    struct {
        int retard, interval;
    } cases[] = {{10, 1000}, {3, 300}, {0, 1000}};
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        f.s().profile.joystic_retard = std::int16_t(c.retard);
        f.enter(kModeVoiceFive);
        EXPECT_EQ(f.s().timer3->interval(), c.interval);
        EXPECT_TRUE(f.s().timer3->enabled());
    }
    // Multimouse: the pointer moved right past the threshold steps right.
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.s().profile.n_joystic = 100;
    f.s().profile.joystic_sensi = 1;
    f.s().profile.joystic_retard = 2;
    f.enter(kModeMultimouse);
    f.engine.keyDown(kCursorLeft);  // from area 5 to area 4
    f.take();
    f.fake.clock.advance(200);  // the pointer stays at (0, 0), the centre: nothing
    EXPECT_TRUE(f.take().isEmpty());
    f.fake.mouse.perform(MouseAction::Move, 50, 0);
    f.fake.clock.advance(200);
    EXPECT_EQ(f.take(), L({"highlight 5", "announce d"}));
    EXPECT_EQ(f.s().access.scanPosition, 5);
}

TEST(AccessEngine, MouseModePressPicksTheAreaUnderThePointer) {
    struct {
        QPointF pixels;
        int area;
    } cases[] = {
        {{16, 16}, 2},     // board (10, 10): the corner of area 2, bounds included
        {{600, 400}, 5},   // (375, 248.4)
        {{500, 350}, 1},   // (312.5, 217.4): the frame alone
        {{1023, 767}, 0},  // beyond the frame's right edge
    };
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        f.enter(kModeMouse);
        f.take();
        f.engine.mousePress(PointerButton::Left, c.pixels);
        EXPECT_EQ(f.s().tmpl.currentArea, c.area) << c.pixels.x();
        f.fake.clock.advance(500);
        EXPECT_EQ(f.take(), QStringList{QStringLiteral("activate %1 t3=0").arg(c.area)});
        EXPECT_EQ(f.fake.recorder.eventsOf("beep").size(), 1u);
    }
}

TEST(AccessEngine, ClickMarkersArmPressGestures) {
    struct {
        const char* name;
        int accio;
        std::function<void(AccessEngine&)> arm;
        PointerButton press;
        bool selects;
    } cases[] = {
        {"left click", kLeftClick, [](AccessEngine& e) { e.click(); }, PointerButton::Left, true},
        {"left double click", kLeftDoubleClick, [](AccessEngine& e) { e.doubleClick(); },
         PointerButton::Left, true},
        {"right click", kRightClick, [](AccessEngine& e) { e.rightClick(); }, PointerButton::Right,
         true},
        {"right double click", kRightDoubleClick, [](AccessEngine& e) { e.rightDoubleClick(); },
         PointerButton::Right, true},
        {"a right click does not arm the left gesture", kLeftClick,
         [](AccessEngine& e) { e.rightClick(); }, PointerButton::Left, false},
        {"a left click does not arm a double click", kLeftDoubleClick,
         [](AccessEngine& e) { e.click(); }, PointerButton::Left, false},
        {"the wrong button", kRightClick, [](AccessEngine& e) { e.rightClick(); },
         PointerButton::Left, false},
        {"any event counts clicks", kAnyEvent, [](AccessEngine& e) { e.click(); },
         PointerButton::Left, true},
        {"any event counts right double clicks", kAnyEvent,
         [](AccessEngine& e) { e.rightDoubleClick(); }, PointerButton::Right, true},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        setSwitch(f.s(), 1, c.accio);
        f.enter(kModeAutoScan);
        f.s().access.scanPosition = 1;
        // The first press only arms: no marker yet.
        f.engine.mousePress(c.press, {10, 10});
        EXPECT_EQ(f.s().tmpl.currentArea, -1) << c.name;
        c.arm(f.engine);
        f.take();
        f.engine.mousePress(c.press, {10, 10});
        EXPECT_EQ(f.take().contains(QStringLiteral("activate 2 t3=0")), c.selects) << c.name;
    }
}

TEST(AccessEngine, MultimouseClickSelectsTheHighlightedArea) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.enter(kModeMultimouse);
    f.take();
    f.engine.click(PointerButton::Right);  // only the left button's click selects
    EXPECT_TRUE(f.take().isEmpty());
    f.engine.click(PointerButton::Left);
    EXPECT_EQ(f.take(), L({"activate 5 t3=0"}));
}

TEST(AccessEngine, VoiceLabelsByMode) {
    struct {
        int mode, label;
        QStringList log;
        int currentArea;
    } cases[] = {
        {kModeVoiceOne, 1, L({"activate 3 t3=0"}), -1},
        {kModeVoiceOne, 2, {}, -1},  // TEST does nothing
        {kModeVoiceTwo, 1, L({"highlight 4", "announce c"}), -1},
        {kModeVoiceTwo, 2, L({"activate 3 t3=0"}), -1},
        {kModeVoiceTwo, 3, {}, -1},
        {kModeVoiceFive, 2, L({"highlight 5", "announce d"}), -1},
        {kModeVoiceFive, 4, L({"highlight 2", "announce a"}), -1},
        {kModeVoiceFive, 5, L({"activate 3 t3=0"}), -1},
        {kModeVoiceFive, 6, {}, -1},
        {kModeVoiceFive, 40, {}, -1},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        setSwitch(f.s(), 1, kVoiceSound1);
        setSwitch(f.s(), 2, c.mode == kModeVoiceTwo ? kVoiceSound2 : 0);
        f.enter(c.mode);
        // Slot 2 (area 3) for scanning, area 3 for the cursor mode.
        f.s().access.scanPosition = c.mode == kModeVoiceFive ? 3 : 2;
        f.take();
        f.engine.voice(c.label);
        EXPECT_EQ(f.take(), c.log) << "mode " << c.mode << " label " << c.label;
        EXPECT_EQ(f.s().tmpl.currentArea, c.currentArea) << "mode " << c.mode;
    }
}

// A profile that names a voice mode without the voice codes on its switches (fresh, or
// written by hand): sound 1 still steps or picks, sound 2 still selects.
TEST(AccessEngine, VoiceSoundsDoNotMatchUnsetSwitches) {
    struct {
        int mode, label;
        QStringList log;
        int currentArea;
    } cases[] = {
        {kModeVoiceTwo, 1, L({"highlight 4", "announce c"}), -1},
        {kModeVoiceTwo, 2, L({"activate 3 t3=0"}), -1},
        {kModeVoiceOne, 1, L({"activate 3 t3=0"}), -1},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        f.enter(c.mode);
        f.s().access.scanPosition = 2;
        f.take();
        f.engine.voice(c.label);
        EXPECT_EQ(f.take(), c.log) << "mode " << c.mode << " label " << c.label;
        EXPECT_EQ(f.s().tmpl.currentArea, c.currentArea) << "mode " << c.mode;
    }
}

TEST(AccessEngine, RecognitionStartsInVoiceModesOnlyOnceTheEngineWasStarted) {
    for (int state : {0, -1}) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        f.fake.recognizer.installed = true;
        f.s().profile.recognitionState = std::int16_t(state);
        f.s().profile.voiceCommandCount = 2;
        f.s().profile.voiceWords[1] = QStringLiteral("1");
        f.s().profile.voiceWords[2] = QStringLiteral("TEST");
        setSwitch(f.s(), 1, kVoiceSound1);
        f.enter(kModeVoiceOne);
        EXPECT_EQ(f.s().profile.recognitionState, state == 0 ? 0 : -2);
        if (state == 0) continue;
        f.take();
        f.fake.recognizer.hear(1);
        // Nothing highlighted yet (slot 0): the frame, area 1, is what is picked.
        EXPECT_TRUE(f.take().join(u' ').contains(QStringLiteral("activate 1 "))) << state;
        f.engine.beginModeChange();
        EXPECT_EQ(f.s().profile.recognitionState, -1);
        EXPECT_FALSE(f.s().timer3->enabled());
        EXPECT_FALSE(f.s().timer2->enabled());
    }
}

TEST(AccessEngine, Timer1InEditModeKeepsTheEditorsCurrentArea) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.s().tmpl.currentArea = 4;
    f.fake.clock.advance(1500);
    EXPECT_EQ(f.s().tmpl.currentArea, 4);
    EXPECT_TRUE(f.take().isEmpty());
}

TEST(AccessEngine, ATickDuringAnActivationDoesNotActivateAgain) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.enter(kModeMouse);
    int depth = 0;
    f.actions.during = [&](int) {
        ++depth;
        f.fake.clock.wait(2000);  // a wait inside the key sequence: Timer1 ticks meanwhile
    };
    f.engine.mousePress(PointerButton::Left, {16, 16});
    f.fake.clock.advance(500);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(f.s().tmpl.currentArea, -1);
}

TEST(AccessEngine, LeavingUseModeDuringAnActivationKeepsScanningOff) {
    EngineFixture f;
    vexil::test::addGridBoard(f.s().tmpl);
    f.s().profile.temps = 10;
    setSwitch(f.s(), 1, kEnterKey);
    f.enter(kModeAutoScan);
    f.actions.during = [&](int) {
        f.s().access.useMode = false;
        f.engine.stopScanning();
        f.s().tmpl.currentArea = 0;
    };
    f.engine.keyPress(QChar(13));
    f.fake.clock.advance(500);
    EXPECT_FALSE(f.s().timer3->enabled());
    EXPECT_EQ(f.s().tmpl.currentArea, 0);
}

TEST(AccessEngine, FocusTimerGivesTheBoardTheFocusExceptInMouseMode) {
    for (int mode : {kModeMouse, kModeAutoScan}) {
        EngineFixture f;
        vexil::test::addGridBoard(f.s().tmpl);
        f.enter(mode);
        f.take();
        f.engine.timer2Tick();
        EXPECT_EQ(f.view.focusCount, mode != kModeMouse ? 1 : 0) << mode;
    }
}

TEST(AccessEngine, ALevelWithOneAreaReannouncesItOnEveryStep) {
    EngineFixture f;
    Template& t = f.s().tmpl;
    vexil::test::addGridBoard(t);
    t.appendArea(makeArea(20, 20, 100, 100, 4, QStringLiteral("sol")));  // 6, alone in level 4
    f.s().profile.temps = 5;
    f.enter(kModeAutoScan);
    f.s().player.currentLevel = 4;
    f.take();
    f.fake.clock.advance(1500);  // three steps of 500 ms
    EXPECT_EQ(f.take(), L({"highlight 6", "announce sol", "highlight 6", "announce sol",
                          "highlight 6", "announce sol"}));
}
