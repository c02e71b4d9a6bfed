// The adaptations of the access engine on the virtual clock: switch filters, the scan's
// first-item delay and cycles, auditory scanning with its cue voice, dwell selection and
// the usage record.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <map>

#include "access/access_engine.h"
#include "access/switch_dispatch.h"
#include "access/usage_record.h"
#include "engine_fixture.h"
#include "platform/fake/fake_cue.h"

using namespace vexil;
using vexil::test::addGridBoard;

namespace {

// Writes what the engine shows and does into one log, progress only when it completes.
class AdaptView : public MainView {
public:
    explicit AdaptView(QStringList& log) : log_(log) {}
    void showHighlight(int area) override { log_ << QStringLiteral("highlight %1").arg(area); }
    void hideHighlight() override { log_ << QStringLiteral("hide"); }
    void setHighlightFill(double progress) override {
        fills << progress;
        if (progress >= 1) log_ << QStringLiteral("filled");
    }
    void setDwellProgress(int area, double progress) override {
        dwells << progress;
        if (progress == 0 || progress >= 1)
            log_ << QStringLiteral("dwell %1 %2").arg(area).arg(progress);
    }
    void setScanPaused(bool paused) override { log_ << (paused ? "paused" : "resumed"); }
    void showFilteredPress(FilteredPress why) override {
        log_ << (why == FilteredPress::TooShort   ? "filtered short"
                 : why == FilteredPress::DeadTime ? "filtered dead"
                                                  : "filtered same");
    }
    void setBoardSign(BoardSign sign, bool on) override {
        signs[int(sign)] = on;
    }
    std::map<int, bool> signs;
    QList<double> fills;
    QList<double> dwells;

private:
    QStringList& log_;
};

class AdaptActions : public AccessActions {
public:
    AdaptActions(QStringList& log, Session& s) : log_(log), s_(s) {}
    void activate(int area) override { log_ << QStringLiteral("activate %1").arg(area); }
    void announce(const Area& area) override {
        if (s_.profile.adapt.GuiaAuditiva != 0) announceCue(s_, area);
    }

private:
    QStringList& log_;
    Session& s_;
};

struct Rig : vexil::test::FakeSessionFixture {
    Rig() {
        session->setView(&view);
        session->setCue(&cue);
        session->programSettings.Interval = 500;
        session->timer1->setInterval(500);
        session->timer1->setEnabled(true);
        addGridBoard(session->tmpl);
        session->profile.temps = 10;  // one step a second
        sw(1, kEnterKey);
        sw(2, kSpaceKey);
    }
    ~Rig() { session->setCue(nullptr); }
    void sw(int n, int accio) { session->profile.switches[size_t(n)].accio = std::int16_t(accio); }
    AdaptSettings& adapt() { return session->profile.adapt; }
    void enter(int mode) { test::enterAccessMode(*session, engine, mode); }
    // One event of a script: "key 13" (key-down and its character; 13 Enter, 32 Space),
    // "down 37", "up 13", "char a", "wait 300", "press left", "release left",
    // "press left 100,100" (at a point, for mouse mode), "click left", "move 100,100",
    // "voice 1", "stick 1" (the joystick's buttons from now on), "level 6" (scanning
    // inside the group of area 6), and "picked", which logs the area waiting for
    // activation.
    void run(const QString& event) {
        const QStringList p = event.split(u' ');
        const QString& what = p[0];
        const QString arg = p.value(1);
        if (what == u"key") {
            engine.keyDown(arg.toInt());
            engine.keyPress(QChar(arg.toInt()));
        } else if (what == u"down") {
            engine.keyDown(arg.toInt());
        } else if (what == u"up") {
            engine.keyUp(arg.toInt());
        } else if (what == u"char") {
            engine.keyPress(arg[0]);
        } else if (what == u"wait") {
            fake.clock.advance(arg.toInt());
        } else if (what == u"press") {
            const QStringList xy = p.value(2, QStringLiteral("0,0")).split(u',');
            engine.mousePress(arg == u"left" ? PointerButton::Left : PointerButton::Right,
                              QPointF(xy[0].toDouble(), xy[1].toDouble()));
        } else if (what == u"release") {
            engine.mouseRelease(arg == u"left" ? PointerButton::Left : PointerButton::Right);
        } else if (what == u"click") {
            engine.click(arg == u"left" ? PointerButton::Left : PointerButton::Right);
        } else if (what == u"move") {
            const QStringList xy = arg.split(u',');
            engine.pointerMove(QPointF(xy[0].toDouble(), xy[1].toDouble()));
        } else if (what == u"voice") {
            engine.voice(arg.toInt());
        } else if (what == u"stick") {
            fake.joystick.sticks[0].buttons = arg.toInt();
        } else if (what == u"level") {
            session->player.currentLevel = std::int16_t(arg.toInt());
            session->access.scanPosition = 0;
        } else if (what == u"picked") {
            log << QStringLiteral("picked %1").arg(session->tmpl.currentArea);
        } else {
            ADD_FAILURE() << "unknown event " << event.toStdString();
        }
    }
    QStringList play(const QStringList& script) {
        log.clear();
        for (const QString& e : script) run(e);
        return log;
    }

    QStringList log;
    AdaptView view{log};
    FakeCue cue{fake.recorder, fake.clock};
    AdaptActions actions{log, *session};
    AccessEngine engine{*session, actions};
};

struct FilterCase {
    const char* name;
    int mode;
    std::function<void(Rig&)> setup;
    QStringList script;
    QStringList expected;
};

const FilterCase kFilterCases[] = {
    {"AcceptanceReleasedEarlyCountsNothing", kModeAutoScan,
     [](Rig& r) { r.adapt().Acceptacio = 300; },
     {"wait 1000", "key 13", "wait 200", "up 13", "wait 200", "picked"},
     {"highlight 2", "filtered short", "picked -1"}},
    {"AcceptanceTakesThePressWhenReachedNotAtRelease", kModeAutoScan,
     [](Rig& r) { r.adapt().Acceptacio = 300; },
     {"wait 1000", "key 13", "wait 299", "picked", "wait 1", "picked", "wait 400", "up 13"},
     {"highlight 2", "picked -1", "filled", "activate 2", "picked -1"}},
    {"AcceptanceInManualScanningStepsAndSelects", kModeManualScan,
     [](Rig& r) { r.adapt().Acceptacio = 200; },
     {"key 13", "wait 200", "up 13", "key 13", "wait 100", "up 13", "key 32", "wait 200"},
     {"filled", "highlight 2", "filtered short", "filled", "activate 2"}},
    {"AcceptanceForCursorKeys", kModeCursorKeys,
     [](Rig& r) { r.adapt().Acceptacio = 200; },
     {"down 37", "wait 150", "up 37", "down 37", "wait 200", "up 37"},
     {"filtered short", "filled", "highlight 4"}},
    {"AcceptanceForAMouseButtonSwitch", kModeManualScan,
     [](Rig& r) {
         r.adapt().Acceptacio = 200;
         r.sw(1, kLeftClick);
     },
     {"click left", "press left", "wait 100", "release left", "press left", "wait 200",
      "release left"},
     {"filtered short", "filled", "highlight 2"}},
    {"AKeyThatRepeatsWhileHeldIsOnePress", kModeManualScan,
     [](Rig& r) { r.adapt().Acceptacio = 100; },
     {"key 13", "wait 100", "key 13", "key 13", "wait 500", "key 13", "up 13", "key 13",
      "wait 100"},
     {"filled", "highlight 2", "filled", "highlight 3"}},
    {"DeadTimeIgnoresPressesAfterAnAcceptedOne", kModeManualScan,
     [](Rig& r) { r.adapt().TempsMort = 1000; },
     {"key 13", "up 13", "wait 100", "key 13", "up 13", "wait 899", "key 13", "up 13",
      "wait 1", "key 13", "up 13"},
     {"highlight 2", "filtered dead", "filtered dead", "highlight 3"}},
    {"DeadTimeAppliesToPointerMovesToo", kModeManualScan,
     [](Rig& r) {
         r.adapt().TempsMort = 500;
         r.sw(1, kPointerMove);
     },
     {"move 1,1", "move 2,2", "move 3,3", "wait 500", "move 4,4"},
     {"highlight 2", "filtered dead", "filtered dead", "highlight 3"}},
    {"DeadTimeAfterAcceptanceCountsFromTheRelease", kModeManualScan,
     [](Rig& r) {
         r.adapt().Acceptacio = 200;
         r.adapt().TempsMort = 300;
     },
     {"key 13", "wait 200", "up 13", "key 13", "wait 200", "up 13", "wait 100", "key 13",
      "wait 200"},
     {"filled", "highlight 2", "filtered dead", "filled", "highlight 3"}},
    {"HoldToScanRunsWhileHeldAndReleaseSelects", kModeAutoScan,
     [](Rig& r) { r.adapt().MantenirPerEscanejar = 1; },
     {"wait 3000", "key 13", "wait 2000", "up 13", "picked", "wait 500", "wait 3000"},
     {"highlight 2", "highlight 3", "highlight 4", "picked 4", "activate 4"}},
    {"HoldToScanWithAcceptanceStartsOnceAccepted", kModeAutoScan,
     [](Rig& r) {
         r.adapt().MantenirPerEscanejar = 1;
         r.adapt().Acceptacio = 300;
     },
     {"key 13", "wait 100", "up 13", "wait 1000", "key 13", "wait 300", "wait 1000", "up 13",
      "picked"},
     {"filtered short", "filled", "highlight 2", "highlight 3", "picked 3"}},
    {"FirstItemDelay", kModeAutoScan,
     [](Rig& r) { r.adapt().PrimerElement = 500; },
     {"wait 1000", "wait 1000", "wait 500", "wait 1000"},
     {"highlight 2", "highlight 3", "highlight 4"}},
    {"FirstItemDelayAfterASelection", kModeAutoScan,
     [](Rig& r) { r.adapt().PrimerElement = 700; },
     {"wait 2700", "key 13", "up 13", "wait 1000", "wait 1000", "wait 700", "wait 999"},
     {"highlight 2", "highlight 3", "activate 3", "highlight 4", "highlight 5"}},
    {"ScanLoopsPauseAndTheNextPressResumes", kModeAutoScan,
     [](Rig& r) { r.adapt().Voltes = 1; },
     {"wait 4000", "wait 1000", "wait 5000", "key 13", "up 13", "picked", "wait 1000"},
     {"highlight 2", "highlight 3", "highlight 4", "highlight 5", "hide", "paused",
      "resumed", "highlight 2", "picked -1", "highlight 3"}},
    {"ScanLoopsCountAfreshAfterASelection", kModeAutoScan,
     [](Rig& r) { r.adapt().Voltes = 1; },
     {"wait 3000", "key 13", "wait 500", "wait 4000", "wait 1000"},
     {"highlight 2", "highlight 3", "highlight 4", "activate 4", "highlight 5", "highlight 2",
      "highlight 3", "highlight 4", "hide", "paused"}},
    {"DeadTimeRunsFromTheReleaseOfALongPress", kModeManualScan,
     [](Rig& r) { r.adapt().TempsMort = 300; },
     {"key 13", "wait 1000", "up 13", "wait 100", "key 13", "up 13", "wait 300", "key 13",
      "up 13"},
     {"highlight 2", "filtered dead", "highlight 3"}},
    {"DeadTimeBelongsToEachSwitch", kModeManualScan,
     [](Rig& r) { r.adapt().TempsMort = 1000; },
     {"key 13", "up 13", "wait 300", "key 32", "up 32", "wait 100", "key 13", "up 13"},
     {"highlight 2", "activate 2", "filtered dead"}},
    {"AJoystickButtonHeldIsOnePress", kModeJoystick,
     [](Rig& r) {
         r.adapt().TempsMort = 2000;
         UserProfile& p = r.session->profile;
         p.n_joystic = 1;
         p.joystic_retard = 10;
         p.joystic_sensi = 1;
         p.joystickCentre = {32768, 32768, 0, 0};
         p.joystickCentreTaken = true;
         r.fake.joystick.sticks[0] = JoystickState{32768, 32768, 0, 0};
     },
     {"stick 1", "wait 3000", "stick 0", "wait 1000", "stick 1", "wait 1000", "stick 0",
      "wait 2000", "stick 1", "wait 1000"},
     {"activate 5", "filtered dead", "activate 5"}},
    {"DwellThenAClickIsOneSelection", kModeMouse,
     [](Rig& r) { r.adapt().Permanencia = 500; },
     {"move 100,100", "wait 1000", "press left 100,100", "release left", "wait 1000",
      "press left 100,100", "release left", "wait 500", "move 600,100", "wait 200",
      "press left 600,100", "release left", "wait 2000"},
     {"dwell 2 0", "dwell 2 1", "activate 2", "filtered same", "dwell 2 0", "activate 2",
      "dwell 3 0", "dwell 3 0", "activate 3"}},
    {"LongPressSelectsAShortOneSteps", kModeManualScan,
     [](Rig& r) { r.adapt().PremudaLlarga = 1000; },
     {"key 13", "wait 300", "up 13", "key 13", "wait 999", "picked", "wait 1", "up 13",
      "wait 1000"},
     {"highlight 2", "picked -1", "activate 2"}},
    {"LongPressAfterTheAcceptanceTime", kModeManualScan,
     [](Rig& r) {
         r.adapt().PremudaLlarga = 1000;
         r.adapt().Acceptacio = 200;
     },
     {"key 13", "wait 100", "up 13", "key 13", "wait 500", "up 13", "key 13", "wait 1200"},
     {"filtered short", "filled", "highlight 2", "filled", "activate 2"}},
    {"AGroupIsLeftAfterItsRounds", kModeAutoScan,
     [](Rig& r) {
         r.adapt().VoltesGrup = 1;
         Template& t = r.session->tmpl;
         Area group = t.area(5);
         group.isGroup = true;
         t.setArea(5, group);
         t.appendArea(vexil::test::makeArea(350, 250, 480, 420, 5, QStringLiteral("e")));
         t.appendArea(vexil::test::makeArea(500, 250, 620, 420, 5, QStringLiteral("f")));
     },
     {"level 5", "wait 3000", "wait 2000"},
     {"highlight 6", "highlight 7", "highlight 2", "highlight 3", "highlight 4"}},
    {"ARecognisedSoundResumesAPausedScan", kModeVoiceOne,
     [](Rig& r) { r.adapt().Voltes = 2; },
     {"wait 9000", "voice 1", "picked"},
     {"highlight 2", "highlight 3", "highlight 4", "highlight 5", "highlight 2", "highlight 3",
      "highlight 4", "highlight 5", "hide", "paused", "resumed", "highlight 2", "picked -1"}},
};

class FilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, Script) {
    const FilterCase& c = GetParam();
    Rig rig;
    c.setup(rig);
    rig.enter(c.mode);
    EXPECT_EQ(rig.play(c.script), c.expected);
}

INSTANTIATE_TEST_SUITE_P(AdaptEngine, FilterTest, testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AdaptEngine, EverySettingOffLeavesKeyRepeatsAndReleasesAsBefore) {
    Rig rig;
    rig.enter(kModeManualScan);
    // Without filters a held key that repeats steps on every repeat, as it always did.
    EXPECT_EQ(rig.play({"key 13", "key 13", "up 13", "up 13", "key 13"}),
              QStringList({"highlight 2", "highlight 3", "highlight 4"}));
    EXPECT_TRUE(rig.view.fills.isEmpty());
}

TEST(AdaptEngine, TheFillGrowsWhileTheSwitchIsHeld) {
    Rig rig;
    rig.adapt().Acceptacio = 200;
    rig.enter(kModeManualScan);
    rig.play({"key 13", "wait 200"});
    EXPECT_EQ(rig.view.fills, QList<double>({0, 0.25, 0.5, 0.75, 1, 0}));
    // Let go early: the fill is taken away.
    rig.view.fills.clear();
    rig.play({"up 13", "key 13", "wait 60", "up 13"});
    EXPECT_EQ(rig.view.fills, QList<double>({0, 0.25, 0}));
}

TEST(AdaptEngine, LeavingTheModeDropsAPressBeingHeld) {
    Rig rig;
    rig.adapt().Acceptacio = 300;
    rig.enter(kModeAutoScan);
    rig.play({"wait 1000", "key 13", "wait 100"});
    rig.engine.stopScanning();
    EXPECT_EQ(rig.play({"wait 500", "picked"}), QStringList({"picked -1"}));
    EXPECT_FALSE(rig.session->timer3->enabled());
}

// --- auditory scanning -----------------------------------------------------------------------

TEST(AdaptEngine, CueSaysTheLabelOrPlaysTheSoundFile) {
    Rig rig;
    Template& t = rig.session->tmpl;
    const auto edit = [&](int n, auto change) {
        Area a = t.area(n);
        change(a);
        t.setArea(n, a);
    };
    edit(2, [](Area& a) { a.iconFile = QStringLiteral("Aigua"); });    // a text icon
    edit(3, [](Area& a) {
        a.iconFile = QStringLiteral("GOT.BMP");  // a picture: the keys say it
        a.keys = QStringLiteral("pa{ENTER}");
    });
    edit(4, [](Area& a) { a.soundFile = QStringLiteral("SO.WAV"); });
    edit(5, [](Area& a) { a.keys = QStringLiteral("{|Sona X.WAV}"); });  // nothing to say
    rig.adapt().GuiaAuditiva = 1;
    rig.adapt().GuiaVolum = 40;
    rig.adapt().GuiaVelocitat = 150;
    rig.enter(kModeAutoScan);
    rig.fake.recorder.clear();
    rig.play({"wait 4000"});
    const auto cues = rig.fake.recorder.eventsOf("cue");
    ASSERT_EQ(cues.size(), 4u);
    EXPECT_EQ(cues[0].value("text").toString(), "Aigua");
    EXPECT_EQ(cues[0].value("volume").toInt(), 40);
    EXPECT_EQ(cues[0].value("speed").toInt(), 150);
    EXPECT_EQ(cues[1].value("text").toString(), "pa");
    EXPECT_EQ(cues[2].value("call").toString(), "play");
    EXPECT_TRUE(cues[2].value("path").toString().endsWith("SO.WAV"));
    // Area 5 has nothing to say: the wave cue of area 4 is cut off.
    EXPECT_EQ(cues[3].value("call").toString(), "stop");
    // A cue turned all the way down says nothing, and no step waits for it.
    rig.adapt().GuiaVolum = 0;
    rig.fake.recorder.clear();
    rig.play({"wait 2000"});
    for (const auto& e : rig.fake.recorder.eventsOf("cue"))
        EXPECT_EQ(e.value("call").toString(), "stop");
    // Nothing went to the main speech engine.
    EXPECT_TRUE(rig.fake.recorder.eventsOf("speech").empty());
}

TEST(AdaptEngine, TheStepWaitsForTheCueWhenAsked) {
    Rig rig;
    rig.cue.millisecondsPerCharacter = 1000;  // "a" lasts 1.2 s, longer than the step
    rig.adapt().GuiaAuditiva = 1;
    rig.adapt().GuiaEspera = 1;
    rig.enter(kModeAutoScan);
    EXPECT_EQ(rig.play({"wait 1000"}), QStringList({"highlight 2"}));
    EXPECT_EQ(rig.play({"wait 1199"}), QStringList());
    EXPECT_EQ(rig.play({"wait 1"}), QStringList({"highlight 3"}));
    // Without waiting, the step cuts the cue off.
    rig.adapt().GuiaEspera = 0;
    rig.fake.recorder.clear();
    EXPECT_EQ(rig.play({"wait 1000"}), QStringList({"highlight 4"}));
    const auto cues = rig.fake.recorder.eventsOf("cue");
    ASSERT_EQ(cues.size(), 2u);
    EXPECT_EQ(cues[0].value("call").toString(), "stop");
}

TEST(AdaptEngine, AnActivationWhileWaitingForTheCueKeepsScanning) {
    Rig rig;
    rig.cue.millisecondsPerCharacter = 2000;  // "a" lasts 2.2 s
    rig.adapt().GuiaAuditiva = 1;
    rig.adapt().GuiaEspera = 1;
    rig.enter(kModeAutoScan);
    EXPECT_EQ(rig.play({"wait 2000", "key 13", "wait 500"}),
              QStringList({"highlight 2", "activate 2"}));
    EXPECT_TRUE(rig.session->timer3->enabled());
    EXPECT_EQ(rig.play({"wait 1000"}), QStringList({"highlight 3"}));
}

TEST(AdaptEngine, AMissingCueOutputFallsBackToTheMainOneWithOneMessage) {
    Rig rig;
    rig.cue.outputs = QStringList{QStringLiteral("auriculars")};
    rig.adapt().GuiaAuditiva = 1;
    rig.adapt().GuiaSortida = QStringLiteral("auriculars");
    rig.enter(kModeAutoScan);
    EXPECT_EQ(rig.cue.output(), "auriculars");
    EXPECT_TRUE(rig.messages().isEmpty());

    rig.adapt().GuiaSortida = QStringLiteral("no-hi-es");
    rig.enter(kModeAutoScan);
    rig.enter(kModeAutoScan);
    ASSERT_EQ(rig.messages().size(), 1);
    EXPECT_TRUE(rig.messages()[0].contains("no-hi-es"));
    EXPECT_EQ(rig.cue.output(), "");
    rig.fake.recorder.clear();
    rig.play({"wait 1000"});
    ASSERT_EQ(rig.fake.recorder.eventsOf("cue").size(), 1u);
    EXPECT_EQ(rig.fake.recorder.eventsOf("cue")[0].value("output").toString(), "");
}

// --- dwell -----------------------------------------------------------------------------------

// Pixels: area 2 is 16,16 - 480,322; area 3 starts at x 544.
TEST(AdaptEngine, DwellActivatesOnceUntilThePointerLeaves) {
    Rig rig;
    rig.adapt().Permanencia = 1000;
    rig.adapt().PermanenciaRadi = 10;
    rig.enter(kModeMouse);
    EXPECT_EQ(rig.play({"move 100,100", "wait 999"}), QStringList({"dwell 2 0"}));
    EXPECT_EQ(rig.view.dwells.mid(0, 3), QList<double>({0, 0.1, 0.2}));
    EXPECT_EQ(rig.play({"wait 1", "picked", "wait 500"}),
              QStringList({"dwell 2 1", "picked 2", "activate 2"}));
    // Resting on, and jitter just past its edge, activate nothing more.
    EXPECT_EQ(rig.play({"move 300,200", "move 485,200", "wait 5000"}), QStringList());
    // Out of the tolerance: it counts as left; back on it, it is ready again.
    EXPECT_EQ(rig.play({"move 500,200", "move 100,100", "wait 1500"}),
              QStringList({"dwell 2 0", "dwell 2 0", "dwell 2 1", "activate 2"}));
}

TEST(AdaptEngine, DwellResetsWhenThePointerMovesToAnotherArea) {
    Rig rig;
    rig.adapt().Permanencia = 1000;
    rig.enter(kModeMouse);
    EXPECT_EQ(rig.play({"move 100,100", "wait 600", "move 600,100", "wait 600", "picked"}),
              QStringList({"dwell 2 0", "dwell 2 0", "dwell 3 0", "picked -1"}));
    // The board frame and outside the board are not dwelled on.
    EXPECT_EQ(rig.play({"move 500,350", "wait 3000", "picked"}),
              QStringList({"dwell 3 0", "picked -1"}));
}

TEST(AdaptEngine, DwellRepeatsAfterTheRepeatTime) {
    Rig rig;
    rig.adapt().Permanencia = 800;
    rig.adapt().PermanenciaRepeticio = 2000;
    rig.enter(kModeMouse);
    EXPECT_EQ(rig.play({"move 100,100", "wait 1000", "wait 2000"}),
              QStringList({"dwell 2 0", "dwell 2 1", "activate 2", "dwell 2 1", "activate 2"}));
}

TEST(AdaptEngine, DwellIsOffByDefaultAndOnlyInMouseMode) {
    Rig rig;
    rig.enter(kModeMouse);
    EXPECT_EQ(rig.play({"move 100,100", "wait 5000", "picked"}), QStringList({"picked -1"}));
    rig.adapt().Permanencia = 500;
    rig.enter(kModeCursorKeys);
    rig.log.clear();
    EXPECT_EQ(rig.play({"move 100,100", "wait 5000", "picked"}), QStringList({"picked -1"}));
}

// --- usage record ------------------------------------------------------------------------------

TEST(AdaptEngine, UsageRecordWritesEachActivationAfterIt) {
    Rig rig;
    rig.session->folders.dataFolder = rig.path("dades");
    rig.session->tmpl.templatePath = QStringLiteral("/plafons/MENJAR, BEURE.VXL");
    Area two = rig.session->tmpl.area(2);
    two.iconFile = QStringLiteral("Aigua \"freda\"");
    rig.session->tmpl.setArea(2, two);
    // The record shared by every profile in earlier versions, readable by all.
    const QString shared = rig.writeFile("dades/usage.csv", "time,board,area,label\n");
    QFile::setPermissions(shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ReadOther);
    rig.adapt().RegistreUs = 1;
    rig.enter(kModeAutoScan);
    EXPECT_TRUE(rig.view.signs[int(BoardSign::Recording)]);
    rig.play({"wait 1000", "key 13", "wait 500"});
    // One file for each profile, in the data folder, readable by the user alone.
    const QString path = UsageRecord::pathFor(*rig.session);
    EXPECT_EQ(path, rig.path("dades/registre/SENSE-USUARI.csv"));
    const auto open = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                      QFileDevice::WriteOther;
    EXPECT_EQ(QFileInfo(path).permissions() & open, 0);
    EXPECT_EQ(QFileInfo(shared).permissions() & open, 0);
    const QList<QByteArray> lines = rig.readFile("dades/registre/SENSE-USUARI.csv").split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "time,board,area,label");
    EXPECT_TRUE(lines[1].endsWith(",\"/plafons/MENJAR, BEURE.VXL\",2,\"Aigua \"\"freda\"\"\""))
        << lines[1].toStdString();
    const auto counts = usageCounts(*rig.session, rig.session->tmpl.templatePath);
    EXPECT_EQ(counts.value(2), 1);
    EXPECT_EQ(counts.size(), 1);
    // Another profile has a record of its own; clearing takes this one and the shared one.
    rig.writeFile("user/Vexil.INI", "[Vexil]\r\nusuari=C:\\USUARIS\\ANNA.USR\r\n");
    ASSERT_NE(UsageRecord::pathFor(*rig.session), path);
    EXPECT_TRUE(usageCounts(*rig.session, rig.session->tmpl.templatePath).isEmpty());
    rig.writeFile("user/Vexil.INI", "[Vexil]\r\n");
    EXPECT_TRUE(clearUsageRecord(*rig.session));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(shared));
}

TEST(AdaptEngine, UsageRecordIsOffByDefault) {
    Rig rig;
    rig.session->folders.dataFolder = rig.path("dades");
    rig.enter(kModeAutoScan);
    rig.play({"wait 1000", "key 13", "wait 500"});
    EXPECT_FALSE(QDir(rig.path("dades")).exists());
    EXPECT_FALSE(rig.view.signs[int(BoardSign::Recording)]);
}

TEST(AdaptEngine, AUsageRecordThatCannotBeWrittenTurnsItselfOffAndActivationGoesOn) {
    Rig rig;
    // The data folder is a file: nothing can be written under it.
    rig.session->folders.dataFolder = rig.writeFile("dades", "not a folder");
    rig.adapt().RegistreUs = 1;
    rig.enter(kModeAutoScan);
    EXPECT_EQ(rig.play({"wait 1000", "key 13", "wait 500", "wait 1000", "key 13", "wait 500"}),
              QStringList({"highlight 2", "activate 2", "highlight 3", "activate 3"}));
    EXPECT_EQ(rig.messages().size(), 1);
    EXPECT_TRUE(rig.engine.usageRecord().failed());
}

TEST(UsageRecord, PastTheCapTheFileMovesAsideAndANewOneStarts) {
    vexil::test::FakeSessionFixture f;
    f.session->folders.dataFolder = f.path("d");
    f.session->profile.adapt.RegistreUs = 1;
    UsageRecord record;
    record.capBytes = 200;
    const QDateTime when(QDate(2026, 1, 2), QTime(3, 4, 5));
    for (int i = 0; i < 10; ++i) record.append(*f.session, "B.VXL", 2 + i % 3, "x", when);
    EXPECT_LE(QFileInfo(f.path("d/registre/SENSE-USUARI.csv")).size(), 200);
    EXPECT_LE(QFileInfo(f.path("d/registre/SENSE-USUARI.1.csv")).size(), 200);
    EXPECT_TRUE(f.readFile("d/registre/SENSE-USUARI.csv").startsWith("time,board,area,label\n"));
    // Both files count; other boards do not.
    record.append(*f.session, "ALTRE.VXL", 2, "y", when);
    const auto counts = usageCounts(*f.session, "B.VXL");
    int total = 0;
    for (int n : counts) total += n;
    EXPECT_GT(total, 3);
    EXPECT_LE(total, 10);
    EXPECT_FALSE(record.failed());
}

TEST(UsageRecord, CsvFieldsRoundTrip) {
    for (const QString& text : {QString("pla"), QString("a,b"), QString("di \"hola\""),
                                QString(""), QString(",\",")}) {
        const QStringList back = csvFields(csvField(text) + "," + csvField("z"));
        ASSERT_EQ(back.size(), 2) << text.toStdString();
        EXPECT_EQ(back[0], text);
        EXPECT_EQ(back[1], "z");
    }
}

}  // namespace
