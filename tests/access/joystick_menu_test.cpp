#include <gtest/gtest.h>

#include "access/access_engine.h"
#include "access/access_menu.h"
#include "access/joystick_poll.h"
#include "engine_fixture.h"

using namespace vexil;
using vexil::test::EngineFixture;

TEST(JoystickPoll, StickThresholdsAroundTheCentre) {
    struct {
        std::int32_t x, y;
        std::uint32_t buttons;
        const char* letters;
    } cases[] = {
        {32767, 32767, 0, ""},  {36043, 32767, 0, ""},  // 1.1 x centre is 36043.7: not beyond
        {36044, 32767, 0, "D"}, {29491, 32767, 0, ""},  // 0.9 x centre is 29490.3
        {29490, 32767, 0, "E"}, {32767, 40000, 0, "R"},
        {32767, 1000, 0, "A"},  {40000, 1000, 3, "DA12"},  // both buttons replay Enter twice
        {32767, 32767, 2, "2"}, {32767, 32767, 4, ""},     // a third button alone gives nothing
    };
    for (const auto& c : cases) {
        EngineFixture f;
        f.fake.joystick.sticks[0] = JoystickState{32767, 32767, 0, 0};
        detectJoystick(f.s());
        ASSERT_EQ(f.s().profile.n_joystic, 1);
        f.fake.joystick.sticks[0] = JoystickState{c.x, c.y, 0, c.buttons};
        EXPECT_EQ(pollJoystick(f.s()), QString::fromUtf8(c.letters)) << c.x << "," << c.y;
    }
}

TEST(JoystickPoll, MouseAsJoystickMovesItsCentre) {
    EngineFixture f;
    detectJoystick(f.s());  // no joystick answers: the mouse
    EXPECT_EQ(f.s().profile.n_joystic, 100);
    f.s().profile.joystic_sensi = 2;
    f.fake.mouse.perform(MouseAction::Move, 100, 100);
    pollJoystick(f.s());
    f.fake.mouse.perform(MouseAction::Move, 110, 100);
    EXPECT_EQ(pollJoystick(f.s()), QString());  // 10 pixels: not beyond 10
    f.fake.mouse.perform(MouseAction::Move, 121, 100);
    EXPECT_EQ(pollJoystick(f.s()), QStringLiteral("D"));  // 11 from the moved centre
    f.fake.mouse.perform(MouseAction::Move, 100, 79);
    EXPECT_EQ(pollJoystick(f.s()), QStringLiteral("EA"));  // diagonal: horizontal first
}

TEST(JoystickPoll, JoysticksThreeToFiveAreRememberedButSilent) {
    EngineFixture f;
    f.fake.joystick.sticks[3] = JoystickState{100, 100, 0, 0};
    detectJoystick(f.s());
    EXPECT_EQ(f.s().profile.n_joystic, 4);
    f.fake.joystick.sticks[3] = JoystickState{1000, 1000, 0, 1};
    EXPECT_EQ(pollJoystick(f.s()), QString());
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

TEST(AccessMenu, CancelReturnsToTheMouseExceptAStartedVoiceEngine) {
    EngineFixture f;
    f.s().profile.accessMode = kModeManualScan;
    cancelAccessDialog(f.s(), AccessDialog::Switch);
    EXPECT_EQ(f.s().profile.accessMode, kModeMouse);
    f.s().profile.accessMode = kModeVoiceTwo;
    f.s().profile.recognitionState = -1;
    cancelAccessDialog(f.s(), AccessDialog::Voice);
    EXPECT_EQ(f.s().profile.accessMode, kModeVoiceTwo);
    f.s().profile.recognitionState = 0;
    cancelAccessDialog(f.s(), AccessDialog::Voice);
    EXPECT_EQ(f.s().profile.accessMode, kModeMouse);
}
