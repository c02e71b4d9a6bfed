#include "platform/wayland/key_plan.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <memory>

#include "platform/x11/keysyms.h"

namespace vexil::wayland {
namespace {

struct StateDeleter {
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
struct ComposeStateDeleter {
    void operator()(xkb_compose_state* s) const { xkb_compose_state_unref(s); }
};
using State = std::unique_ptr<xkb_state, StateDeleter>;
using ComposeState = std::unique_ptr<xkb_compose_state, ComposeStateDeleter>;

State freshState(xkb_keymap* keymap, xkb_layout_index_t layout) {
    State s(xkb_state_new(keymap));
    if (s && layout) xkb_state_update_mask(s.get(), 0, 0, 0, 0, 0, layout);
    return s;
}

// The first key whose first level carries `sym` (a modifier key, found by what it types).
std::uint32_t keyWithSym(xkb_keymap* keymap, xkb_layout_index_t layout, xkb_keysym_t sym) {
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap); kc <= last; ++kc) {
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, kc, layout, 0, &syms) == 1 && syms[0] == sym)
            return kc;
    }
    return 0;
}

// The modifiers a modifier key sets while it is held.
xkb_mod_mask_t maskOf(xkb_keymap* keymap, xkb_layout_index_t layout, std::uint32_t key) {
    if (!key) return 0;
    State s = freshState(keymap, layout);
    xkb_state_update_key(s.get(), key, XKB_KEY_DOWN);
    return xkb_state_serialize_mods(s.get(), XKB_STATE_MODS_DEPRESSED);
}

bool isDeadKeysym(xkb_keysym_t sym) {
    return sym >= XKB_KEY_dead_grave && sym <= 0xfe8f;
}

void appendUtf8(std::u32string& out, const char* utf8) {
    for (char32_t c : QString::fromUtf8(utf8).toUcs4()) out.push_back(c);
}

}  // namespace

KeyPlanner::KeyPlanner(xkb_keymap* keymap, xkb_compose_table* compose, xkb_layout_index_t layout)
    : keymap_(keymap), compose_(compose), layout_(layout) {
    shift_ = keyWithSym(keymap, layout, XKB_KEY_Shift_L);
    if (!shift_) shift_ = keyWithSym(keymap, layout, XKB_KEY_Shift_R);
    level3_ = keyWithSym(keymap, layout, XKB_KEY_ISO_Level3_Shift);
    control_ = keyWithSym(keymap, layout, XKB_KEY_Control_L);
    if (!control_) control_ = keyWithSym(keymap, layout, XKB_KEY_Control_R);
    alt_ = keyWithSym(keymap, layout, XKB_KEY_Alt_L);
    if (!alt_) alt_ = keyWithSym(keymap, layout, XKB_KEY_Meta_L);
    caps_ = keyWithSym(keymap, layout, XKB_KEY_Caps_Lock);
    shiftMask_ = maskOf(keymap, layout, shift_);
    level3Mask_ = maskOf(keymap, layout, level3_);
}

// A key level is reached only with Shift and AltGr, the modifiers every layout gives a key
// of its own; levels that need Caps Lock, Num Lock, Control or Alt are left alone (those
// change more than the one key). Each candidate is checked by pressing it in a fresh
// state, and the one with the fewest modifiers wins.
KeyPlanner::Reach KeyPlanner::direct(xkb_keysym_t sym) const {
    Reach best;
    std::size_t bestMods = 99;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= last; ++kc) {
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap_, kc, layout_);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, kc, layout_, level, &syms) != 1 ||
                syms[0] != sym)
                continue;
            xkb_mod_mask_t masks[16];
            const std::size_t n =
                xkb_keymap_key_get_mods_for_level(keymap_, kc, layout_, level, masks, 16);
            for (std::size_t i = 0; i < n; ++i) {
                KeyTap tap{kc, {}};
                xkb_mod_mask_t rest = masks[i];
                if (shiftMask_ && (rest & shiftMask_) == shiftMask_) {
                    tap.modifiers.push_back(shift_);
                    rest &= ~shiftMask_;
                }
                if (level3Mask_ && (rest & level3Mask_) == level3Mask_) {
                    tap.modifiers.push_back(level3_);
                    rest &= ~level3Mask_;
                }
                if (rest || tap.modifiers.size() >= bestMods) continue;
                State s = freshState(keymap_, layout_);
                for (std::uint32_t m : tap.modifiers)
                    xkb_state_update_key(s.get(), m, XKB_KEY_DOWN);
                if (xkb_state_key_get_one_sym(s.get(), kc) != sym) continue;
                bestMods = tap.modifiers.size();
                best = {std::move(tap), true};
            }
        }
    }
    return best;
}

// Every dead key of the layout against every key it types directly: the pairs the compose
// table turns into one character. A character with several pairs gets the one with the
// fewest modifiers.
void KeyPlanner::findDeadKeySequences() {
    deadKeysFound_ = true;
    if (!compose_) return;
    std::vector<xkb_keysym_t> dead, bases;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_keycode_t kc = xkb_keymap_min_keycode(keymap_); kc <= last; ++kc) {
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap_, kc, layout_);
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, kc, layout_, level, &syms) != 1) continue;
            if (isDeadKeysym(syms[0]))
                dead.push_back(syms[0]);
            else if (xkb_keysym_to_utf32(syms[0]))
                bases.push_back(syms[0]);
        }
    }
    auto unique = [](std::vector<xkb_keysym_t>& v) {
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
    };
    unique(dead);
    unique(bases);
    std::unordered_map<xkb_keysym_t, Reach> reach;
    for (xkb_keysym_t s : dead) reach[s] = direct(s);
    for (xkb_keysym_t s : bases) reach[s] = direct(s);
    ComposeState state(xkb_compose_state_new(compose_, XKB_COMPOSE_STATE_NO_FLAGS));
    if (!state) return;
    for (xkb_keysym_t d : dead) {
        if (!reach[d].found) continue;
        for (xkb_keysym_t b : bases) {
            if (!reach[b].found) continue;
            xkb_compose_state_reset(state.get());
            xkb_compose_state_feed(state.get(), d);
            xkb_compose_state_feed(state.get(), b);
            if (xkb_compose_state_get_status(state.get()) != XKB_COMPOSE_COMPOSED) continue;
            char utf8[16];
            xkb_compose_state_get_utf8(state.get(), utf8, sizeof utf8);
            std::u32string text;
            appendUtf8(text, utf8);
            if (text.size() != 1) continue;
            KeyPlan p{PlanKind::DeadKey, {reach[d].tap, reach[b].tap}};
            auto mods = [](const KeyPlan& k) {
                return k.taps[0].modifiers.size() + k.taps[1].modifiers.size();
            };
            auto [it, added] = deadKeyPlans_.try_emplace(text[0], p);
            if (!added && mods(p) < mods(it->second)) it->second = std::move(p);
        }
    }
}

const KeyPlan& KeyPlanner::plan(char32_t c) {
    if (auto it = plans_.find(c); it != plans_.end()) return it->second;
    KeyPlan p;
    const xkb_keysym_t sym = xkb_keysym_t(x11::keysymForCharacter(c));
    if (sym) {
        Reach r = direct(sym);
        if (!r.found)
            if (const auto u = xkb_keysym_t(x11::unicodeKeysym(c))) r = direct(u);
        if (r.found) {
            p = {PlanKind::Direct, {std::move(r.tap)}};
        } else if (c >= 0x20) {
            if (!deadKeysFound_) findDeadKeySequences();
            auto it = deadKeyPlans_.find(c);
            p = it != deadKeyPlans_.end() ? it->second : KeyPlan{PlanKind::Clipboard, {}};
        }
    }
    return plans_.emplace(c, std::move(p)).first->second;
}

KeyPlan KeyPlanner::planStroke(const KeyStroke& stroke) {
    KeyPlan p;
    if (stroke.key != NamedKey::None) {
        Reach r = direct(xkb_keysym_t(x11::keysymForNamedKey(stroke.key)));
        if (r.found) p = {PlanKind::Direct, {std::move(r.tap)}};
    } else {
        p = plan(stroke.character);
    }
    if (p.kind != PlanKind::Direct) return p;
    // The stroke's own modifiers go first, outside those the level needs.
    std::vector<std::uint32_t> outer;
    if ((stroke.modifiers & ModControl) && control_) outer.push_back(control_);
    if ((stroke.modifiers & ModAlt) && alt_) outer.push_back(alt_);
    KeyTap& tap = p.taps.front();
    if ((stroke.modifiers & ModShift) && shift_ &&
        std::find(tap.modifiers.begin(), tap.modifiers.end(), shift_) == tap.modifiers.end())
        outer.push_back(shift_);
    tap.modifiers.insert(tap.modifiers.begin(), outer.begin(), outer.end());
    return p;
}

std::u32string replayTaps(xkb_keymap* keymap, xkb_compose_table* compose,
                          const std::vector<KeyTap>& taps, xkb_layout_index_t layout) {
    std::u32string out;
    State s = freshState(keymap, layout);
    ComposeState cs(compose ? xkb_compose_state_new(compose, XKB_COMPOSE_STATE_NO_FLAGS) : nullptr);
    for (const KeyTap& t : taps) {
        for (std::uint32_t m : t.modifiers) xkb_state_update_key(s.get(), m, XKB_KEY_DOWN);
        const xkb_keysym_t sym = xkb_state_key_get_one_sym(s.get(), t.keycode);
        xkb_state_update_key(s.get(), t.keycode, XKB_KEY_DOWN);
        xkb_state_update_key(s.get(), t.keycode, XKB_KEY_UP);
        for (auto m = t.modifiers.rbegin(); m != t.modifiers.rend(); ++m)
            xkb_state_update_key(s.get(), *m, XKB_KEY_UP);
        if (cs && xkb_compose_state_feed(cs.get(), sym) == XKB_COMPOSE_FEED_ACCEPTED) {
            const auto status = xkb_compose_state_get_status(cs.get());
            if (status == XKB_COMPOSE_COMPOSING) continue;
            if (status == XKB_COMPOSE_COMPOSED) {
                char utf8[16];
                xkb_compose_state_get_utf8(cs.get(), utf8, sizeof utf8);
                appendUtf8(out, utf8);
                xkb_compose_state_reset(cs.get());
                continue;
            }
            if (status == XKB_COMPOSE_CANCELLED) {
                xkb_compose_state_reset(cs.get());
                continue;
            }
        }
        if (const char32_t c = xkb_keysym_to_utf32(sym)) out.push_back(c);
    }
    return out;
}

}  // namespace vexil::wayland
