#include <gtest/gtest.h>

#include "access/access_engine.h"
#include "access/access_menu.h"
#include "access/joystick_entry.h"
#include "access/joystick_poll.h"
#include "engine_fixture.h"

using namespace vexil;
using vexil::test::addGridBoard;
using vexil::test::EngineFixture;

namespace {

// A stick detected at rest at `centre` (both axes), then moved to (x, y) with `buttons`.
QString pollAfterDetection(int sensi, std::int32_t centre, std::int32_t x, std::int32_t y,
                           std::uint32_t buttons, int id = 0) {
    EngineFixture f;
    f.fake.joystick.sticks[id] = JoystickState{centre, centre, 0, 0};
    detectJoystick(f.s());
    EXPECT_EQ(f.s().profile.n_joystic, id + 1);
    f.s().profile.joystic_sensi = std::int16_t(sensi);
    f.fake.joystick.sticks[id] = JoystickState{x, y, 0, buttons};
    return pollJoystick(f.s());
}

}  // namespace

TEST(JoystickPoll, StickLeavesTheBandAroundItsCentre) {
    struct {
        int sensi;
        std::int32_t centre, x, y;
        std::uint32_t buttons;
        const char* letters;
    } cases[] = {
        // sensi 1, centre 32767: the band runs from 29490.3 to 36043.7
        {1, 32767, 32767, 32767, 0, ""},
        {1, 32767, 36043, 32767, 0, ""},
        {1, 32767, 36044, 32767, 0, "D"},
        {1, 32767, 29491, 32767, 0, ""},
        {1, 32767, 29490, 32767, 0, "E"},
        {1, 32767, 32767, 36043, 0, ""},
        {1, 32767, 32767, 36044, 0, "R"},
        {1, 32767, 32767, 29491, 0, ""},
        {1, 32767, 32767, 29490, 0, "A"},
        // sensi 5, centre 32768: from 16384 to 49152, both ends inside the band
        {5, 32768, 49152, 16384, 0, ""},
        {5, 32768, 49153, 16383, 0, "DA"},
        {5, 32768, 16383, 49153, 0, "ER"},
        // sensi 9, centre 32768: only the far corners leave the band
        {9, 32768, 65535, 3276, 0, "DA"},
        {9, 32768, 62258, 3277, 0, ""},
        // buttons: 1 and 2 alone, both (Enter twice), others alone give nothing
        {1, 32767, 32767, 32767, 1, "1"},
        {1, 32767, 32767, 32767, 2, "2"},
        {1, 32767, 32767, 32767, 3, "12"},
        {1, 32767, 32767, 32767, 4, ""},
        {1, 32767, 32767, 32767, 5, ""},
        {1, 32767, 40000, 1000, 3, "DA12"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pollAfterDetection(c.sensi, c.centre, c.x, c.y, c.buttons),
                  QString::fromUtf8(c.letters))
            << "sensi " << c.sensi << " at " << c.x << "," << c.y << " buttons " << c.buttons;
    }
}

TEST(JoystickPoll, EveryDetectedStickIsPolled) {
    // Detection may settle on any of the five numbers; each must then drive the board.
    for (int id = 0; id < 5; ++id)
        EXPECT_EQ(pollAfterDetection(1, 1000, 2000, 1000, 1, id), QStringLiteral("D1")) << id;
}

TEST(JoystickPoll, LettersReplayAsCursorKeys) {
    EngineFixture f;
    addGridBoard(f.s().tmpl);
    f.fake.joystick.sticks[0] = JoystickState{32768, 32768, 0, 0};
    detectJoystick(f.s());
    f.enter(kModeJoystick);
    EXPECT_TRUE(f.s().timer3->enabled());
    EXPECT_EQ(f.s().timer3->interval(), 1000);
    f.take();
    struct {
        std::int32_t x, y;
        std::uint32_t buttons;
        int area;    // highlighted after the tick
        int picked;  // the area left waiting for activation, -1 none
    } steps[] = {
        {32768, 0, 0, 3, -1},      // up from area 5 (bottom right)
        {0, 32768, 0, 2, -1},      // left
        {32768, 32768, 0, 2, -1},  // at rest: nothing
        {0, 65535, 0, 4, -1},      // left leaves the board and stays; then down
        {32768, 32768, 1, 4, -1},  // button 1 activates the highlighted area at once
    };
    for (const auto& st : steps) {
        f.fake.joystick.sticks[0] = JoystickState{st.x, st.y, 0, st.buttons};
        f.engine.timer3Tick();
        EXPECT_EQ(f.s().access.scanPosition, st.area) << st.x << "," << st.y;
        EXPECT_EQ(f.s().tmpl.currentArea, st.picked) << st.x << "," << st.y;
    }
    EXPECT_TRUE(f.take().contains(QStringLiteral("activate 4 t3=0")));
}

TEST(JoystickPoll, MouseAsJoystickMovesItsCentre) {
    EngineFixture f;
    detectJoystick(f.s());  // no joystick answers: the mouse
    EXPECT_EQ(f.s().profile.n_joystic, 100);
    f.s().profile.joystic_sensi = 2;
    f.fake.mouse.perform(MouseAction::Move, 100, 100);
    // The first poll after detection only takes the centre: the pointer did not move.
    EXPECT_EQ(pollJoystick(f.s()), QString());
    f.fake.mouse.perform(MouseAction::Move, 110, 100);
    EXPECT_EQ(pollJoystick(f.s()), QString());  // 10 pixels: not beyond 10
    f.fake.mouse.perform(MouseAction::Move, 121, 100);
    EXPECT_EQ(pollJoystick(f.s()), QStringLiteral("D"));  // 11 from the moved centre
    f.fake.mouse.perform(MouseAction::Move, 100, 79);
    EXPECT_EQ(pollJoystick(f.s()), QStringLiteral("EA"));  // diagonal: horizontal first
    f.fake.mouse.perform(MouseAction::Move, 100, 90);
    EXPECT_EQ(pollJoystick(f.s()), QStringLiteral("R"));
}

TEST(JoystickPoll, MultimouseStartsWhereThePointerIs) {
    EngineFixture f;
    addGridBoard(f.s().tmpl);
    detectJoystick(f.s());
    f.s().profile.joystic_sensi = 1;
    f.fake.mouse.perform(MouseAction::Move, 700, 500);
    f.enter(kModeMultimouse);
    EXPECT_EQ(f.s().access.scanPosition, 5);
    f.engine.timer3Tick();  // the pointer has not moved since polling started
    EXPECT_EQ(f.s().access.scanPosition, 5);
    f.fake.mouse.perform(MouseAction::Move, 694, 500);
    f.engine.timer3Tick();
    EXPECT_EQ(f.s().access.scanPosition, 4);
}

TEST(JoystickPoll, StickMissingWhenProbedTakesItsCentreWhenItComes) {
    EngineFixture f;
    // A profile names joystick 1, which is not connected when it is loaded.
    f.s().profile.n_joystic = 1;
    EXPECT_FALSE(probeJoystick(f.s().profile, f.fake.joystick, 0));
    EXPECT_EQ(f.s().profile.n_joystic, 1);
    f.s().profile.joystic_sensi = 1;
    EXPECT_EQ(pollJoystick(f.s()), QString());  // still missing
    // Connected, at rest far from 0: its first reading is its centre, not a deflection.
    f.fake.joystick.sticks[0] = JoystickState{32768, 32768, 0, 0};
    EXPECT_EQ(pollJoystick(f.s()), QString());
    EXPECT_EQ(f.s().profile.joystickCentre[0], 32768);
    EXPECT_EQ(pollJoystick(f.s()), QString());
    f.fake.joystick.sticks[0] = JoystickState{65535, 32768, 0, 0};
    EXPECT_EQ(pollJoystick(f.s()), QStringLiteral("D"));
}

TEST(JoystickPoll, UnpluggedWhilePollingIsQuietAndComesBack) {
    EngineFixture f;
    addGridBoard(f.s().tmpl);
    f.fake.joystick.sticks[0] = JoystickState{32768, 32768, 0, 0};
    detectJoystick(f.s());
    f.enter(kModeJoystick);
    f.fake.joystick.sticks.clear();
    for (int i = 0; i < 3; ++i) f.engine.timer3Tick();
    EXPECT_EQ(f.s().access.scanPosition, 5);
    EXPECT_TRUE(f.s().timer3->enabled());
    EXPECT_TRUE(f.messages().isEmpty());
    // Plugged in again: the centre of its detection still holds.
    f.fake.joystick.sticks[0] = JoystickState{0, 32768, 0, 0};
    f.engine.timer3Tick();
    EXPECT_EQ(f.s().access.scanPosition, 4);
}

TEST(AccessMenu, ItemsSetTheModeAndNameTheirDialog) {
    struct {
        int index;
        bool joystick;
        int modeBefore, mode;
        AccessDialog dialog;
    } cases[] = {
        {0, false, 2, kModeMouse, AccessDialog::None},
        {1, false, 0, kModeManualScan, AccessDialog::Switch},
        {2, false, 0, kModeAutoScan, AccessDialog::Switch},
        {3, false, 0, kModeCursorKeys, AccessDialog::None},
        {4, true, 0, kModeJoystick, AccessDialog::Joystick},
        {4, false, 0, kModeMultimouse, AccessDialog::Joystick},
        {5, false, 0, kModeVoiceOne, AccessDialog::Voice},
        {5, false, 7, kModeVoiceFive, AccessDialog::Voice},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        if (c.joystick) f.fake.joystick.sticks[0] = JoystickState{500, 500, 0, 0};
        f.s().profile.accessMode = std::int16_t(c.modeBefore);
        f.s().timer3->setEnabled(true);
        EXPECT_EQ(chooseAccessMenuItem(f.s(), f.engine, c.index), c.dialog) << c.index;
        EXPECT_EQ(f.s().profile.accessMode, c.mode) << c.index;
        EXPECT_FALSE(f.s().timer3->enabled());
        if (c.index == 5) {
            EXPECT_EQ(f.s().profile.recognitionTenths, 5);
        }
    }
}

TEST(AccessMenu, JoystickItemFindsSticksConnectedOrUnpluggedSince) {
    struct {
        const char* what;
        int n_before;
        std::vector<int> sticks;  // connected when the item is chosen
        int n_after, mode;
        int sensi, retard;        // 3 and 25 kept, or the defaults of a first detection
    } cases[] = {
        {"first detection, none", 0, {}, 100, kModeMultimouse, 1, 10},
        {"first detection, stick 2", 0, {1, 2}, 2, kModeJoystick, 1, 10},
        {"the mouse before, still none", 100, {}, 100, kModeMultimouse, 3, 25},
        {"the mouse before, a stick now", 100, {0}, 1, kModeJoystick, 1, 25},
        {"stick 1 still there", 1, {0, 1}, 1, kModeJoystick, 3, 25},
        {"stick 1 unplugged, none", 1, {}, 100, kModeMultimouse, 3, 25},
        {"stick 1 unplugged, stick 3", 1, {2}, 3, kModeJoystick, 1, 25},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        UserProfile& p = f.s().profile;
        p.n_joystic = std::int16_t(c.n_before);
        p.joystic_sensi = 3;
        p.joystic_retard = 25;
        for (int id : c.sticks) f.fake.joystick.sticks[id] = JoystickState{700 + id, 800, 0, 0};
        EXPECT_EQ(chooseAccessMenuItem(f.s(), f.engine, 4), AccessDialog::Joystick) << c.what;
        EXPECT_EQ(p.n_joystic, c.n_after) << c.what;
        EXPECT_EQ(p.accessMode, c.mode) << c.what;
        EXPECT_EQ(p.joystic_sensi, c.sensi) << c.what;
        EXPECT_EQ(p.joystic_retard, c.retard) << c.what;
        if (c.mode == kModeJoystick && c.n_after != c.n_before) {
            EXPECT_EQ(p.joystickCentre[0], 700 + c.n_after - 1) << c.what;
        }
    }
}

TEST(AccessMenu, CancelReturnsToTheMouseExceptAStartedVoiceEngine) {
    EngineFixture f;
    f.s().profile.accessMode = kModeManualScan;
    cancelAccessDialog(f.s(), AccessDialog::Switch);
    EXPECT_EQ(f.s().profile.accessMode, kModeMouse);
    f.s().profile.accessMode = kModeJoystick;
    cancelAccessDialog(f.s(), AccessDialog::Joystick);
    EXPECT_EQ(f.s().profile.accessMode, kModeMouse);
    f.s().profile.accessMode = kModeVoiceTwo;
    f.s().profile.recognitionState = -1;
    cancelAccessDialog(f.s(), AccessDialog::Voice);
    EXPECT_EQ(f.s().profile.accessMode, kModeVoiceTwo);
    f.s().profile.recognitionState = 0;
    cancelAccessDialog(f.s(), AccessDialog::Voice);
    EXPECT_EQ(f.s().profile.accessMode, kModeMouse);
}

TEST(JoystickEntryRules, ValuesStayWithinTheBars) {
    struct {
        int sensi, retard;
        const char* thickness;
        int storedSensi, storedRetard, storedGruix;
    } cases[] = {
        {4, 30, "6", 4, 30, 6},
        {1, 1, "0", 1, 1, 8},       // a thickness of 0 becomes 8
        {9, 100, "-3", 9, 100, 8},
        {0, 0, "abc", 1, 1, 8},     // no number: 8
        {12, 500, " 7 px", 9, 100, 7},
    };
    for (const auto& c : cases) {
        UserProfile p;
        JoystickEntry e;
        e.sensi = c.sensi;
        e.retard = c.retard;
        e.thickness = QString::fromLatin1(c.thickness);
        e.color = 65280;
        acceptJoystickEntry(p, e);
        EXPECT_EQ(p.joystic_sensi, c.storedSensi) << c.sensi;
        EXPECT_EQ(p.joystic_retard, c.storedRetard) << c.retard;
        EXPECT_EQ(p.gruix, c.storedGruix) << c.thickness;
        EXPECT_EQ(p.color, 65280);
    }
    // A hand-edited profile shows at the ends of the bars.
    UserProfile p;
    p.joystic_sensi = 40;
    p.joystic_retard = -2;
    p.accessMode = kModeJoystick;
    const JoystickEntry shown = joystickEntryFor(p);
    EXPECT_EQ(shown.sensi, 9);
    EXPECT_EQ(shown.retard, 1);
    EXPECT_TRUE(shown.joystick);
    p.accessMode = kModeMultimouse;
    EXPECT_FALSE(joystickEntryFor(p).joystick);
}
