// Automatic scanning and the program's own speech, on the virtual clock with the real
// actions (announcements through the area's sound field, activation through the key
// player): what is said is heard whole, and the recogniser is told while it sounds.
#include <gtest/gtest.h>

#include "access/access_actions.h"
#include "access/access_engine.h"
#include "access/switch_dispatch.h"
#include "engine_fixture.h"

using namespace vexil;
using vexil::test::makeArea;

namespace {

// Logs each highlight with its time, and whether a reading was still under way then
// (the announcement the highlight starts would cut it).
class TimedView : public MainView {
public:
    TimedView(QStringList& log, FakePlatform& fake) : log_(log), fake_(fake) {}
    void showHighlight(int area) override {
        log_ << QStringLiteral("%1 highlight %2").arg(fake_.clock.now()).arg(area);
        if (fake_.speech.busy()) ++cut;
    }
    int cut = 0;

private:
    QStringList& log_;
    FakePlatform& fake_;
};

struct SpeechRig : vexil::test::FakeSessionFixture {
    QStringList log;
    TimedView view{log, fake};
    PlayerActions actions{*session};
    AccessEngine engine{*session, actions};

    // Four areas of level 1; each gets the sound field (its announcement) and the keys
    // given, in order.
    SpeechRig(const QStringList& sounds, const QStringList& keys) {
        Session& s = *session;
        s.setView(&view);
        fake.speech.installed = true;
        fake.speech.millisecondsPerCharacter = 100;  // "abcd" lasts 600 ms
        s.speech.speechAvailable = true;
        s.speech.speakerCount = 4;
        s.programSettings.Interval = 500;
        s.timer1->setInterval(500);
        s.timer1->setEnabled(true);
        s.tmpl.appendArea(makeArea(0, 0, 640, 445, 0, QStringLiteral("frame")));
        for (int i = 0; i < 4; ++i) {
            Area a = makeArea(10 + 160 * i, 10, 150 + 160 * i, 200, 1, keys.value(i));
            a.soundFile = sounds.value(i);
            s.tmpl.appendArea(a);
        }
        s.profile.temps = 10;  // one step a second
        s.profile.switches[1].accio = std::int16_t(kEnterKey);
    }
    void enter(int mode) { test::enterAccessMode(*session, engine, mode); }
    void press() {
        engine.keyDown(13);
        engine.keyPress(QChar(13));
    }
    QStringList reads() const {
        QStringList out;
        for (const auto& e : fake.recorder.eventsOf("speech"))
            if (e.value("call").toString() == u"upcTVRead")
                out << e.value("arg").toString() +
                           (e.contains("within")
                                ? QStringLiteral(" within %1").arg(e.value("within").toInt())
                                : QString());
        return out;
    }
};

}  // namespace

TEST(SpeechWait, AutomaticScanningLetsWhatIsSaidEnd) {
    struct Case {
        const char* name;
        QStringList sounds, keys;
        int fitted;         // AnunciAjustat
        int pressAt;        // ms; 0 no press
        QStringList highlights, reads;
    };
    const QString phrase = QStringLiteral("{|Llegir abcdefghijklmnopqrst}");  // 2.2 s
    const Case cases[] = {
        {"an announcement longer than the step holds the step until it ends",
         {"abcdefghijklm", "", "", ""}, {"", "b", "c", "d"}, 0, 0,
         {"1000 highlight 2", "2500 highlight 3", "3500 highlight 4", "4500 highlight 5",
          "5500 highlight 2"},
         {"ABCDEFGHIJKLM", "B", "C", "D", "ABCDEFGHIJKLM"}},
        {"fitted to the step, the announcement drops words and the step keeps time",
         {"ab cd ef gh ij kl", "", "", ""}, {"", "b", "c", "d"}, 1, 0,
         {"1000 highlight 2", "2000 highlight 3", "3000 highlight 4", "4000 highlight 5",
          "5000 highlight 2"},
         {"AB CD within 900", "B within 900", "C within 900", "D within 900",
          "AB CD within 900"}},
        {"what a selection says is heard whole before scanning goes on",
         {"", "", "", ""}, {phrase, "b", "c", "d"}, 0, 1100,
         {"1000 highlight 2", "3300 highlight 3", "4300 highlight 4"},
         {"abcdefghijklmnopqrst", "B", "C"}},
        {"fitting the announcement leaves the selection's speech whole",
         {"", "", "", ""}, {phrase, "b", "c", "d"}, 1, 1100,
         {"1000 highlight 2", "3300 highlight 3", "4300 highlight 4"},
         {"abcdefghijklmnopqrst", "B within 900", "C within 900"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpeechRig rig(c.sounds, c.keys);
        rig.session->profile.adapt.AnunciAjustat = std::int16_t(c.fitted);
        rig.enter(kModeAutoScan);
        const int end = c.highlights.size() > 3 ? 5500 : 4700;
        for (int t = 0; t < end; t += 10) {
            if (c.pressAt > 0 && rig.fake.clock.now() == c.pressAt) rig.press();
            rig.fake.clock.advance(10);
        }
        EXPECT_EQ(rig.log, c.highlights);
        EXPECT_EQ(rig.reads(), c.reads);
        EXPECT_EQ(rig.view.cut, 0) << "a highlight came while the program was speaking";
    }
}

TEST(SpeechWait, TheRecogniserIsToldWhileTheProgramSpeaks) {
    SpeechRig rig({"ab", "", "", ""}, {"{|Llegir abcdefgh}", "b", "c", "d"});
    rig.fake.recognizer.installed = true;
    rig.session->profile.recognitionState = -1;  // listening was started
    rig.enter(kModeVoiceOne);
    ASSERT_EQ(rig.session->profile.recognitionState, -2);
    // Read at each 10 ms: when the program's speech ends, and when the recogniser hears
    // of it.
    QStringList told;
    bool was = false;
    for (int t = 0; t < 3000; t += 10) {
        if (t == 1100) rig.fake.recognizer.hear(1);  // picks area 2: it says "abcdefgh"
        rig.fake.clock.advance(10);
        const bool now = rig.fake.recognizer.ownSound;
        if (now != was)
            told << QStringLiteral("%1 %2").arg(rig.fake.clock.now()).arg(now ? "on" : "off");
        was = now;
    }
    // The announcement of area 2, the selection's reading, activated at the press, and,
    // the step having waited for it, the announcement of area 3: the program speaks
    // without a gap from 1000 to 2400, and the recogniser hears of the end within one poll.
    ASSERT_EQ(told.size(), 2) << told.join(", ").toStdString();
    EXPECT_EQ(told[0], "1000 on");
    const int off = told[1].section(u' ', 0, 0).toInt();
    EXPECT_GE(off, 2400);
    EXPECT_LE(off, 2400 + AccessEngine::kOwnSoundPoll);
    // Listening stopped: the recogniser is no longer held.
    rig.session->profile.recognitionState = -1;
    rig.engine.stopRecognition();
    EXPECT_FALSE(rig.fake.recognizer.ownSound);
}
