#include "platform/wayland/input_choice.h"

#include <gtest/gtest.h>

using namespace vexil::wayland;

namespace {

// The way keys go follows the session; VEXIL_INPUT forces it, and a forced Wayland way that
// fails still leaves XTest for the X11 clients.
TEST(InputChoice, FollowsTheSessionAndTheForcedChoice) {
    using B = InputBackend;
    using R = RemoteDesktopRoute;
    struct Case {
        SessionEnvironment env;
        std::vector<B> order;
        R route;
        bool wayland;
        bool error;
    };
    const Case cases[] = {
        {{"", "x11", "", ":0"}, {B::X11}, R::Auto, false, false},
        {{"", "", "", ":0"}, {B::X11}, R::Auto, false, false},
        {{"", "wayland", "wayland-0", ":0"}, {B::Wlroots, B::RemoteDesktop, B::X11}, R::Auto, true, false},
        {{"", "", "wayland-0", ""}, {B::Wlroots, B::RemoteDesktop, B::X11}, R::Auto, true, false},
        {{"", "Wayland", "", ":1"}, {B::Wlroots, B::RemoteDesktop, B::X11}, R::Auto, true, false},
        {{"auto", "x11", "", ":0"}, {B::X11}, R::Auto, false, false},
        {{" X11 ", "wayland", "wayland-0", ":0"}, {B::X11}, R::Auto, false, false},
        {{"wlroots", "", "", ":0"}, {B::Wlroots, B::X11}, R::Auto, true, false},
        {{"portal", "", "wayland-0", ""}, {B::RemoteDesktop, B::X11}, R::Portal, true, false},
        {{"gnome", "", "wayland-0", ""}, {B::RemoteDesktop, B::X11}, R::Mutter, true, false},
        {{"uinput", "", "wayland-0", ""}, {B::Wlroots, B::RemoteDesktop, B::X11}, R::Auto, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.env.input + " / " + c.env.sessionType + " / " + c.env.waylandDisplay).toStdString());
        const InputChoice got = chooseInput(c.env);
        EXPECT_EQ(got.order, c.order);
        EXPECT_EQ(got.route, c.route);
        EXPECT_EQ(got.waylandSession, c.wayland);
        EXPECT_EQ(!got.error.isEmpty(), c.error);
    }
}

}  // namespace
