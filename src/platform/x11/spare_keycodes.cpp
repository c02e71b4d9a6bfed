#include "platform/x11/spare_keycodes.h"

#include <algorithm>
#include <map>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vexil::x11 {
namespace {

bool carriesNothing(const CoreKeymap& map, int keycode) {
    for (int c = 0; c < map.perKeycode; ++c)
        if (map.at(keycode, c) != 0) return false;
    return true;
}

}  // namespace

// The server may copy the two levels into the other groups' columns when it rebuilds the
// core map from its own: anything but the two keysyms means someone else changed the key.
bool SpareKeycodes::carries(const CoreKeymap& map, const SpareBinding& b) {
    if (map.at(b.keycode, 0) != b.lower) return false;
    const KeySym second = map.at(b.keycode, 1);
    if (second != b.upper && !(second == 0 && b.upper == b.lower)) return false;
    for (int c = 2; c < map.perKeycode; ++c) {
        const KeySym s = map.at(b.keycode, c);
        if (s != 0 && s != b.lower && s != b.upper) return false;
    }
    return true;
}

std::pair<KeySym, KeySym> SpareKeycodes::levelsFor(KeySym keysym) {
    KeySym lower = 0, upper = 0;
    XConvertCase(keysym, &lower, &upper);
    if (lower != upper && (keysym == lower || keysym == upper)) return {lower, upper};
    return {keysym, keysym};
}

void SpareKeycodes::reconcile(const CoreKeymap& map) {
    std::map<int, SpareBinding> kept;
    for (const SpareBinding& b : slots_)
        if (b.bound() && carries(map, b)) kept[b.keycode] = b;
    for (int k = 0; k < map.keycodeCount(); ++k) {
        const int keycode = map.minKeycode + k;
        if (kept.count(keycode) || map.modifierKeycodes.count(keycode)) continue;
        if (!carriesNothing(map, keycode)) continue;
        SpareBinding free;
        free.keycode = keycode;
        // A spare that was used and then found empty again keeps its age, so that the
        // least recently used one is still the one bound anew.
        if (const SpareBinding* old = slot(keycode)) free.lastUse = old->lastUse;
        kept[keycode] = free;
    }
    slots_.clear();
    for (auto& [keycode, b] : kept) slots_.push_back(b);
}

std::optional<KeyChoice> SpareKeycodes::find(KeySym keysym) const {
    for (const SpareBinding& b : slots_) {
        if (!b.bound()) continue;
        if (b.lower == keysym) return KeyChoice{b.keycode, false};
        if (b.upper == keysym) return KeyChoice{b.keycode, true};
    }
    return std::nullopt;
}

std::optional<SpareBinding> SpareKeycodes::pick() const {
    const SpareBinding* best = nullptr;
    for (const SpareBinding& b : slots_) {
        if (!b.bound()) return b;
        if (!best || b.lastUse < best->lastUse) best = &b;
    }
    if (!best) return std::nullopt;
    return *best;
}

void SpareKeycodes::bind(int keycode, KeySym keysym) {
    SpareBinding* b = slot(keycode);
    if (!b) return;
    std::tie(b->lower, b->upper) = levelsFor(keysym);
}

void SpareKeycodes::use(int keycode, std::uint64_t stamp) {
    if (SpareBinding* b = slot(keycode)) b->lastUse = std::max(b->lastUse, stamp);
}

void SpareKeycodes::unbind(int keycode) {
    if (SpareBinding* b = slot(keycode)) b->lower = b->upper = 0;
}

std::vector<SpareBinding> SpareKeycodes::bindings() const {
    std::vector<SpareBinding> out;
    for (const SpareBinding& b : slots_)
        if (b.bound()) out.push_back(b);
    return out;
}

const SpareBinding* SpareKeycodes::slot(int keycode) const {
    auto it = std::lower_bound(slots_.begin(), slots_.end(), keycode,
                               [](const SpareBinding& b, int k) { return b.keycode < k; });
    return it != slots_.end() && it->keycode == keycode ? &*it : nullptr;
}

SpareBinding* SpareKeycodes::slot(int keycode) {
    return const_cast<SpareBinding*>(std::as_const(*this).slot(keycode));
}

}  // namespace vexil::x11
