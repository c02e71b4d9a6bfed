// The joystick path of the program on SDL's virtual joysticks: numbering across
// hot-plugging, game-pad crosses, and the access engine driven by a stick through the
// access menu, with the stick connected after start, unplugged and connected again.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <SDL.h>

#include "access/access_engine.h"
#include "access/access_menu.h"
#include "access/joystick_poll.h"
#include "platform/fake/fake_platform.h"
#include "platform/sdl/sdl_joystick.h"
#include "session/session.h"

namespace vexil {
namespace {

// One virtual stick, attached on construction and held open to move it.
class VirtualStick {
public:
    explicit VirtualStick(int hats = 0) {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 4, hats);
        EXPECT_GE(index, 0) << SDL_GetError();
        if (index >= 0) stick_ = SDL_JoystickOpen(index);
        EXPECT_NE(stick_, nullptr) << SDL_GetError();
        if (stick_) instance_ = SDL_JoystickInstanceID(stick_);
    }
    ~VirtualStick() { unplug(); }
    VirtualStick(const VirtualStick&) = delete;
    VirtualStick& operator=(const VirtualStick&) = delete;

    // SDL's own range: -32768..32767, 0 at rest.
    void move(int x, int y) {
        SDL_JoystickSetVirtualAxis(stick_, 0, Sint16(x));
        SDL_JoystickSetVirtualAxis(stick_, 1, Sint16(y));
    }
    void press(int button, bool down) {
        SDL_JoystickSetVirtualButton(stick_, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
    void hat(Uint8 value) { SDL_JoystickSetVirtualHat(stick_, 0, value); }
    void unplug() {
        if (!stick_) return;
        SDL_JoystickClose(stick_);
        stick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == instance_) {
                SDL_JoystickDetachVirtual(i);
                break;
            }
        }
    }

private:
    SDL_Joystick* stick_ = nullptr;
    SDL_JoystickID instance_ = -1;
};

class RecordingActions : public AccessActions {
public:
    void activate(int area) override { activated.push_back(area); }
    void announce(const Area&) override {}
    std::vector<int> activated;
};

Area area(int x0, int y0, int x1, int y1, int level) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    return a;
}

Folders foldersIn(const QTemporaryDir& dir) {
    Folders folders;
    folders.programFolder = dir.path();
    folders.userFolder = dir.path();
    return folders;
}

// A session over the recording platform whose joystick is SDL's.
struct SdlSession {
    SdlSession() {
        Template& t = session->tmpl;
        t.appendArea(area(0, 0, 640, 445, 0));
        t.appendArea(area(10, 10, 300, 200, 1));    // 2 top left
        t.appendArea(area(340, 10, 630, 200, 1));   // 3 top right
        t.appendArea(area(10, 240, 300, 430, 1));   // 4 bottom left
        t.appendArea(area(340, 240, 630, 430, 1));  // 5 bottom right
        session->timer1->setEnabled(true);
    }
    void enterUseMode() {
        session->access.useMode = true;
        session->access.scanPosition = 0;
        session->player.currentLevel = 1;
        session->tmpl.currentArea = -1;
        engine.startAccess();
    }
    int highlighted() const { return session->access.scanPosition; }

    sdl::SdlJoystick sticks;
    FakePlatform fake;
    Platform platform{fake.windows, fake.keys,   fake.mouse,      fake.clipboard,
                      fake.launcher, fake.sound, fake.speech,     sticks,
                      fake.recognizer, fake.dialogs, fake.clock};
    QTemporaryDir dir;
    std::unique_ptr<Session> session = std::make_unique<Session>(platform, foldersIn(dir));
    RecordingActions actions;
    AccessEngine engine{*session, actions};
};

TEST(SdlJoystick, ReadsTheVirtualJoystick) {
    sdl::SdlJoystick joysticks;
    ASSERT_TRUE(joysticks.started());
    EXPECT_FALSE(joysticks.read(0).has_value());
    VirtualStick stick;
    stick.move(-32768, 32767);
    stick.press(0, true);
    stick.press(2, true);
    auto state = joysticks.read(0);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->x, 0);
    EXPECT_EQ(state->y, 65535);
    EXPECT_EQ(state->z, 32768);
    EXPECT_EQ(state->buttons, 0b101u);
    stick.press(0, false);
    stick.move(0, 0);
    state = joysticks.read(0);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->x, 32768);
    EXPECT_EQ(state->buttons, 0b100u);
    EXPECT_FALSE(joysticks.read(1).has_value());
    EXPECT_FALSE(joysticks.read(-1).has_value());
    stick.unplug();
    EXPECT_FALSE(joysticks.read(0).has_value());
}

TEST(SdlJoystick, NumbersStayWithTheirSticksAcrossHotPlugging) {
    sdl::SdlJoystick joysticks;
    ASSERT_TRUE(joysticks.started());
    auto a = std::make_unique<VirtualStick>();
    auto b = std::make_unique<VirtualStick>();
    a->move(-20000, 0);
    b->move(20000, 0);
    ASSERT_TRUE(joysticks.read(0).has_value());
    EXPECT_EQ(joysticks.read(0)->x, 12768);
    EXPECT_EQ(joysticks.read(1)->x, 52768);
    // The first one unplugged: the second keeps its number, the first gives nothing.
    a.reset();
    EXPECT_FALSE(joysticks.read(0).has_value());
    ASSERT_TRUE(joysticks.read(1).has_value());
    EXPECT_EQ(joysticks.read(1)->x, 52768);
    // A stick connected now takes the free number.
    VirtualStick c;
    c.move(0, -32768);
    ASSERT_TRUE(joysticks.read(0).has_value());
    EXPECT_EQ(joysticks.read(0)->y, 0);
    EXPECT_EQ(joysticks.read(1)->x, 52768);
    EXPECT_FALSE(joysticks.read(2).has_value());
}

TEST(SdlJoystick, TheCrossOfAGamePadCountsAsTheStick) {
    sdl::SdlJoystick joysticks;
    VirtualStick pad(1);
    struct {
        Uint8 hat;
        std::int32_t x, y;
    } cases[] = {
        {SDL_HAT_CENTERED, 32768, 32768}, {SDL_HAT_LEFT, 0, 32768},
        {SDL_HAT_RIGHTDOWN, 65535, 65535}, {SDL_HAT_UP, 32768, 0},
    };
    for (const auto& c : cases) {
        pad.hat(c.hat);
        const auto state = joysticks.read(0);
        ASSERT_TRUE(state.has_value());
        EXPECT_EQ(state->x, c.x) << int(c.hat);
        EXPECT_EQ(state->y, c.y) << int(c.hat);
    }
}

TEST(SdlJoystickAccess, StickConnectedAfterStartDrivesTheBoard) {
    SdlSession s;
    Session& ss = *s.session;
    // No stick at first: the item gives the mouse.
    EXPECT_EQ(chooseAccessMenuItem(ss, s.engine, 4), AccessDialog::Joystick);
    EXPECT_EQ(ss.profile.accessMode, kModeMultimouse);
    EXPECT_EQ(ss.profile.n_joystic, 100);

    // Connected later, resting a little off zero: the next choice finds it and its
    // position then is the centre.
    VirtualStick stick;
    stick.move(300, -200);
    EXPECT_EQ(chooseAccessMenuItem(ss, s.engine, 4), AccessDialog::Joystick);
    EXPECT_EQ(ss.profile.accessMode, kModeJoystick);
    EXPECT_EQ(ss.profile.n_joystic, 1);
    EXPECT_EQ(ss.profile.joystickCentre[0], 33068);
    EXPECT_EQ(ss.profile.joystickCentre[1], 32568);
    ss.profile.joystic_sensi = 2;  // the band is 20 % of the centre either way

    s.enterUseMode();
    EXPECT_EQ(s.highlighted(), 5);
    EXPECT_TRUE(ss.timer3->enabled());
    struct {
        int x, y;       // SDL's axis values
        int buttons;    // bit 0 button 1, bit 1 button 2
        int area;       // highlighted after the poll
        int activated;  // activated by that poll, 0 none
    } steps[] = {
        {300, -200, 0, 5, 0},      // at rest
        {6800, -200, 0, 5, 0},     // 39568: inside the band (up to 39681.6)
        {6950, -200, 0, 5, 0},     // 39718: right, but nothing lies right of area 5
        {-7000, -200, 0, 4, 0},    // 25768 < 26454.4: left
        {300, -32768, 0, 2, 0},    // up
        {32767, 32767, 0, 5, 0},   // right and down in one poll
        {300, -200, 1, 5, 5},      // button 1
        {300, -200, 2, 5, 5},      // button 2
    };
    for (const auto& st : steps) {
        stick.move(st.x, st.y);
        stick.press(0, st.buttons & 1);
        stick.press(1, st.buttons & 2);
        s.actions.activated.clear();
        s.engine.timer3Tick();
        EXPECT_EQ(s.highlighted(), st.area) << st.x << "," << st.y;
        s.engine.timer1Tick();  // nothing is left for the activation timer
        if (st.activated) {
            EXPECT_EQ(s.actions.activated, std::vector<int>{st.activated}) << st.x;
        } else {
            EXPECT_TRUE(s.actions.activated.empty()) << st.x;
        }
    }

    // Unplugged while polling: the polls give nothing, the board stays as it was.
    stick.unplug();
    for (int i = 0; i < 3; ++i) s.engine.timer3Tick();
    EXPECT_EQ(s.highlighted(), 5);
    EXPECT_TRUE(ss.timer3->enabled());

    // Connected again: it is joystick 1 again and keeps the centre of its detection.
    VirtualStick again;
    again.move(-32768, 0);
    s.engine.timer3Tick();
    EXPECT_EQ(s.highlighted(), 4);
    EXPECT_EQ(ss.profile.joystickCentre[0], 33068);
}

TEST(SdlJoystickAccess, UnpluggedStickGivesWayToTheMouseAtTheNextChoice) {
    SdlSession s;
    Session& ss = *s.session;
    auto stick = std::make_unique<VirtualStick>();
    EXPECT_EQ(chooseAccessMenuItem(ss, s.engine, 4), AccessDialog::Joystick);
    EXPECT_EQ(ss.profile.accessMode, kModeJoystick);
    ss.profile.joystic_retard = 4;
    stick.reset();
    EXPECT_EQ(chooseAccessMenuItem(ss, s.engine, 4), AccessDialog::Joystick);
    EXPECT_EQ(ss.profile.accessMode, kModeMultimouse);
    EXPECT_EQ(ss.profile.n_joystic, 100);
    EXPECT_EQ(ss.profile.joystic_retard, 4);
}

}  // namespace
}  // namespace vexil
