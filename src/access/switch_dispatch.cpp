#include "access/switch_dispatch.h"

namespace vexil {

int whichSwitch(const UserProfile& profile, int code, const QString& text) {
    const SwitchSetting& one = profile.switches[1];
    const SwitchSetting& two = profile.switches[2];
    // A typed character counts for a "key of the list" switch only when it is in that
    // switch's list: the code alone would make every character that switch.
    const auto matches = [&](const SwitchSetting& sw) {
        return sw.accio == kAnyEvent || (code == sw.accio && code != kListedKey);
    };
    int s = 0;
    if (matches(one)) s = 1;
    if (matches(two)) s = 2;
    if (code == kListedKey && !text.isEmpty()) {
        // Case-sensitive, as the lists are typed.
        if (one.variable.contains(text)) s = 1;
        if (two.variable.contains(text)) s = 2;
    }
    return s;
}

}  // namespace vexil
