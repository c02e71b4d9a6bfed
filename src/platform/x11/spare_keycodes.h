#pragma once
// The keycodes the key sender binds to keysyms that the user's layout lacks (accented
// letters on a US map, "€" where it has no key...). Only keycodes that carry nothing on the
// layout are ever used, so that no real key is ever changed. A binding stays for as long as
// the program runs: a repeated accent then needs no change of the keyboard map, and a
// client can never translate a key with a map that changed under it. When every spare is
// taken, the one used longest ago is bound anew, and only after the keys typed with it
// have been read (the caller tells, through `lastUse`, which keys those were).
//
// Pure bookkeeping over a copy of the core map, so that it can be tested without a display.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/x11/key_layout.h"

namespace vexil::x11 {

struct SpareBinding {
    int keycode = 0;
    KeySym lower = 0;  // the unshifted level
    KeySym upper = 0;  // the shifted level: the capital of a letter, else the same keysym
    std::uint64_t lastUse = 0;  // stamp of the last key typed with it; 0 never used

    bool bound() const { return lower != 0; }
};

class SpareKeycodes {
public:
    // The two levels a keysym is bound with: a letter with its other case (so that one
    // binding types both "à" and "À", the capital with Shift), anything else twice, so
    // that X never takes the keysym for the shifted level of another.
    static std::pair<KeySym, KeySym> levelsFor(KeySym keysym);
    // Whether `map` still shows `binding` on its keycode, as this program bound it.
    static bool carries(const CoreKeymap& map, const SpareBinding& binding);

    // Brings the table in line with the server's map as read now. A spare whose keysyms
    // are no longer the ones bound here (the layout was changed) is forgotten and never put
    // back; keycodes that carry nothing and are no modifier become spares.
    void reconcile(const CoreKeymap& map);

    // Where a keysym bound here lies.
    std::optional<KeyChoice> find(KeySym keysym) const;

    // The spare to bind next: a free one (lowest keycode first), else the one used longest
    // ago. Nothing when there is no spare at all.
    std::optional<SpareBinding> pick() const;

    // Records that `keycode` now carries `keysym` (on the levels `levelsFor` gives).
    void bind(int keycode, KeySym keysym);
    // Records that a key was typed with `keycode` (stamps grow with every key typed).
    void use(int keycode, std::uint64_t stamp);
    // Records that `keycode` carries nothing again.
    void unbind(int keycode);

    bool isSpare(int keycode) const { return slot(keycode) != nullptr; }
    std::vector<SpareBinding> bindings() const;  // the bound spares, lowest keycode first
    std::size_t size() const { return slots_.size(); }

private:
    const SpareBinding* slot(int keycode) const;
    SpareBinding* slot(int keycode);
    std::vector<SpareBinding> slots_;  // by keycode
};

}  // namespace vexil::x11
