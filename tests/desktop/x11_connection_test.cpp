// The shared X connection opens when first needed; a display that cannot be opened leaves
// every helper answering nothing, never a crash.
#include <gtest/gtest.h>

#include "platform/x11/x11_connection.h"

namespace vexil::x11 {
namespace {

TEST(X11Connection, ADisplayThatCannotBeOpenedAnswersNothing) {
    // A display number no server listens on, with no TCP fallback.
    Connection c(":7391");
    EXPECT_EQ(c.name(), QStringLiteral(":7391"));  // known without opening
    EXPECT_FALSE(c.valid());
    EXPECT_FALSE(c.hasXTest());
    EXPECT_EQ(c.root(), 0u);
    EXPECT_EQ(c.atom("WM_NAME"), 0u);
    EXPECT_TRUE(c.cardinals(1, "_NET_WM_PID", 6).empty());
    EXPECT_TRUE(c.bytes(1, "WM_NAME", 31).isEmpty());
    EXPECT_FALSE(c.wmSupports("_NET_ACTIVE_WINDOW"));
    c.sendRootMessage(1, "_NET_ACTIVE_WINDOW", 1);
}

}  // namespace
}  // namespace vexil::x11
