#include "platform/x11/key_layout.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vexil::x11 {
namespace {

bool isKeypad(KeySym s) { return s >= XK_KP_Space && s <= XK_KP_Equal; }

}  // namespace

KeySym CoreKeymap::at(int keycode, int column) const {
    const int index = (keycode - minKeycode) * perKeycode + column;
    if (keycode < minKeycode || column < 0 || column >= perKeycode || index < 0 ||
        index >= int(syms.size()))
        return 0;
    return syms[size_t(index)];
}

KeyLayout::KeyLayout(const CoreKeymap& map) {
    // The core map lists group 1 in columns 0-1 and group 2 in columns 2-3; later groups
    // are not laid out predictably there, so they are typed through bound keycodes.
    const int base = map.group <= 1 ? map.group * 2 : -1;
    if (base < 0) return;
    std::map<KeySym, bool> chosenOnKeypad;
    for (int level = 0; level < 2; ++level) {
        for (int k = 0; k < map.keycodeCount(); ++k) {
            const int keycode = map.minKeycode + k;
            KeySym s = map.at(keycode, base + level);
            if (level == 1 && s == 0) {
                // A group holding one keysym stands for both levels: a letter in its two
                // cases, anything else twice.
                KeySym lower = 0, upper = 0;
                XConvertCase(map.at(keycode, base), &lower, &upper);
                if (upper != lower && map.at(keycode, base) == lower) s = upper;
            }
            if (s == 0) continue;
            const bool keypad = isKeypad(map.at(keycode, base)) || isKeypad(s);
            auto it = index_.find(s);
            if (it == index_.end()) {
                index_[s] = KeyChoice{keycode, level == 1};
                chosenOnKeypad[s] = keypad;
            } else if (chosenOnKeypad[s] && !keypad && it->second.shift == (level == 1)) {
                it->second = KeyChoice{keycode, level == 1};
                chosenOnKeypad[s] = false;
            }
        }
    }
}

std::optional<KeyChoice> KeyLayout::find(KeySym keysym) const {
    auto it = index_.find(keysym);
    if (it == index_.end()) return std::nullopt;
    return it->second;
}

}  // namespace vexil::x11
