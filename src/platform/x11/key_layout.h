#pragma once
// The keyboard map as the key sender sees it: which keycode and level type a keysym in the
// active group. Built from a copy of the server's core map so that it can be tested without
// a display.
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/x11/keysyms.h"

namespace vexil::x11 {

struct CoreKeymap {
    int minKeycode = 8;
    int perKeycode = 0;        // keysyms per keycode
    std::vector<KeySym> syms;  // perKeycode entries for each keycode from minKeycode on
    std::set<int> modifierKeycodes;
    int group = 0;             // the active layout group (0-based)

    int keycodeCount() const { return perKeycode ? int(syms.size()) / perKeycode : 0; }
    KeySym at(int keycode, int column) const;
};

struct KeyChoice {
    int keycode = 0;
    bool shift = false;  // the keysym sits on the shifted level

    friend bool operator==(const KeyChoice&, const KeyChoice&) = default;
};

class KeyLayout {
public:
    explicit KeyLayout(const CoreKeymap& map);

    // Where `keysym` lies on the active group's two levels; the unshifted level and the
    // lowest keycode win; keypad keycodes lose to other keys that carry the same keysym.
    std::optional<KeyChoice> find(KeySym keysym) const;

private:
    std::map<KeySym, KeyChoice> index_;
};

}  // namespace vexil::x11
