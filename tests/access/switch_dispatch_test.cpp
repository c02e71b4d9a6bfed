#include "access/switch_dispatch.h"

#include <gtest/gtest.h>

using namespace vexil;

namespace {

struct DispatchCase {
    const char* name;
    int accio1;
    const char* list1;
    int accio2;
    const char* list2;
    int code;
    const char* text;
    int expected;
};

UserProfile profileOf(const DispatchCase& c) {
    UserProfile p;
    p.switches[1].accio = std::int16_t(c.accio1);
    p.switches[1].variable = QString::fromUtf8(c.list1);
    p.switches[2].accio = std::int16_t(c.accio2);
    p.switches[2].variable = QString::fromUtf8(c.list2);
    return p;
}

}  // namespace

TEST(SwitchDispatch, WhichSwitchAnEventCountsAs) {
    const DispatchCase cases[] = {
        {"enter matches switch 1", 2, "", 3, "", 2, "", 1},
        {"space matches switch 2", 2, "", 3, "", 3, "", 2},
        {"an unset switch matches nothing", 0, "", 0, "", 2, "", 0},
        {"any event on switch 1 takes moves", 1, "", 2, "", 5, "", 1},
        {"any event on switch 1 loses to switch 2's own code", 1, "", 2, "", 2, "", 2},
        {"any event on switch 2 takes everything", 2, "", 1, "", 2, "", 2},
        {"same code on both: switch 2 wins", 2, "", 2, "", 2, "", 2},
        {"listed key of switch 1", 4, "ab", 4, "cd", 4, "a", 1},
        {"listed key of switch 2", 4, "ab", 4, "cd", 4, "d", 2},
        {"a key in neither list is no switch", 4, "ab", 4, "cd", 4, "x", 0},
        {"a key outside switch 2's list is not switch 2", 2, "", 4, "s", 4, "a", 0},
        {"any event on switch 1 with a key outside switch 2's list", 1, "", 4, "s", 4, "a", 1},
        {"a key of switch 2's list while switch 1 is any event", 1, "", 2, "z", 4, "z", 2},
        {"lists are case-sensitive", 4, "ab", 2, "", 4, "A", 0},
        {"a list counts even when the switch's code differs", 2, "", 3, "q", 4, "q", 2},
        {"empty list never matches", 2, "", 3, "", 4, "x", 0},
        {"voice sound 1", 1000, "", 0, "", 1000, "", 1},
        {"voice sound 2", 1000, "", 1001, "", 1001, "", 2},
        {"code 0 is no event, even for unset switches", 0, "", 0, "", 0, "", 0},
        {"voice sound 1 without the voice codes set", 0, "", 0, "", 1000, "", 1},
        {"voice sound 2 without the voice codes set", 0, "", 0, "", 1001, "", 2},
        {"voice sound 1 is switch 1 beside any event", 1, "", 1, "", 1000, "", 1},
        {"right click", 8, "", 9, "", 8, "", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(whichSwitch(profileOf(c), c.code, QString::fromUtf8(c.text)), c.expected)
            << c.name;
}
