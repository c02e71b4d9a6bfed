#include "access/switch_dispatch.h"

namespace vexil {

int whichSwitch(const UserProfile& profile, int code, const QString& text) {
    const SwitchSetting& one = profile.switches[1];
    const SwitchSetting& two = profile.switches[2];
    // A typed character counts for a "key of the list" switch only when it is in that
    // switch's list: the code alone would make every character that switch.
    const auto matches = [&](const SwitchSetting& sw) {
        // An unset switch (0) matches nothing.
        return sw.accio == kAnyEvent || (code == sw.accio && code != kListedKey && code != 0);
    };
    // Recognised sounds are the switches of the voice command sets: sound 1 is switch 1 and
    // sound 2 switch 2, as the voice options set them, also for a profile that names a
    // voice mode without those codes.
    if (code == kVoiceSound1) return 1;
    if (code == kVoiceSound2) return 2;
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
