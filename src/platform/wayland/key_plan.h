#pragma once
// How each character is typed with the compositor's own keyboard map, when keys can only
// be sent as keycodes (GNOME's remote-desktop service drops keysyms the map lacks). Pure:
// an xkbcommon keymap and compose table in, key taps out; no connection to anything.
//
// The ways, tried in this order for every character:
//  1. Direct: a key of the current layout whose level carries the character's keysym,
//     with the modifier keys that reach that level (Shift, AltGr = ISO_Level3_Shift,
//     both). Most characters of every layout go this way.
//  2. Dead key: a dead key the layout has, then a key it types directly, when the compose
//     table of the user's locale turns the pair into the character (á with the Spanish
//     layout's dead_acute, ê with the French dead_circumflex). The receiving application
//     composes them itself, with the same table.
//  3. Clipboard: what neither reaches (every non-ASCII letter on the US layout, which has
//     no dead keys; "€" or "«" on layouts without them) is pasted. The plan says so; the
//     sender does it.
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/keyboard.h"

namespace vexil::wayland {

// One press and release of `keycode` (an xkb keycode: evdev + 8), with the modifier keys
// held around it, pressed in order and released in reverse.
struct KeyTap {
    std::uint32_t keycode = 0;
    std::vector<std::uint32_t> modifiers;
    friend bool operator==(const KeyTap&, const KeyTap&) = default;
};

enum class PlanKind : std::uint8_t { Direct, DeadKey, Clipboard, Untypable };

struct KeyPlan {
    PlanKind kind = PlanKind::Untypable;
    std::vector<KeyTap> taps;  // Direct: one; DeadKey: the dead key, then the base key
};

class KeyPlanner {
public:
    // `compose` may be null (no dead-key sequences then). Neither is owned; both must
    // outlive the planner. `layout` is the active group of the keymap.
    KeyPlanner(xkb_keymap* keymap, xkb_compose_table* compose, xkb_layout_index_t layout = 0);

    // The way to type `c`; control characters other than CR, LF, Tab, Backspace and
    // Escape are Untypable.
    const KeyPlan& plan(char32_t c);
    // A named key ({ENTER}, {F5}...), plus the modifiers of the stroke; Untypable when the
    // map has no key for it.
    KeyPlan planStroke(const KeyStroke& stroke);

    // The modifier keys of the map (0 when it has none).
    std::uint32_t shiftKey() const { return shift_; }
    std::uint32_t controlKey() const { return control_; }
    std::uint32_t altKey() const { return alt_; }
    std::uint32_t capsLockKey() const { return caps_; }

private:
    struct Reach {
        KeyTap tap;
        bool found = false;
    };
    Reach direct(xkb_keysym_t sym) const;
    void findDeadKeySequences();

    xkb_keymap* keymap_;
    xkb_compose_table* compose_;
    xkb_layout_index_t layout_;
    std::uint32_t shift_ = 0, level3_ = 0, control_ = 0, alt_ = 0, caps_ = 0;
    xkb_mod_mask_t shiftMask_ = 0, level3Mask_ = 0;
    bool deadKeysFound_ = false;
    std::unordered_map<char32_t, KeyPlan> deadKeyPlans_;
    std::unordered_map<char32_t, KeyPlan> plans_;
};

// What the taps type when replayed through a fresh state of `keymap` and a compose state
// of `compose` (may be null): the text the receiving application would show.
std::u32string replayTaps(xkb_keymap* keymap, xkb_compose_table* compose,
                          const std::vector<KeyTap>& taps, xkb_layout_index_t layout = 0);

}  // namespace vexil::wayland
