#include "platform/wayland/wlr_keys.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "platform/wayland/wlr_session.h"
#include "virtual-keyboard-unstable-v1-client.h"

namespace vexil::wayland {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

std::uint32_t nowMs() {
    return std::uint32_t(std::chrono::duration_cast<milliseconds>(
                             steady_clock::now().time_since_epoch())
                             .count());
}

bool isCrBeforeLf(const std::vector<KeyStroke>& strokes, std::size_t i) {
    return strokes[i].key == NamedKey::None && strokes[i].character == U'\r' &&
           i + 1 < strokes.size() && strokes[i + 1].key == NamedKey::None &&
           strokes[i + 1].character == U'\n';
}

bool covers(const std::vector<char32_t>& loaded, const std::vector<char32_t>& needed) {
    return std::all_of(needed.begin(), needed.end(), [&](char32_t c) {
        return std::find(loaded.begin(), loaded.end(), c) != loaded.end();
    });
}

// Requests written without a flush, at most: the client library's buffer (4 KiB) must
// never fill, since a full socket then would cost the connection.
constexpr int maxUnflushed = 120;

}  // namespace

WlrKeySender::WlrKeySender(WlrSession& session) : session_(session) {
    context_ = xkb_context_new(
        xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context_ || !session_.keyboardManager() || !session_.seat()) return;
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
        session_.keyboardManager(), session_.seat());
    createdAt_ = steady_clock::now();
    if (!upload()) {
        zwp_virtual_keyboard_v1_destroy(keyboard_);
        keyboard_ = nullptr;
        return;
    }
    // sway gives a keyboard the map of its configuration whenever that is read again
    // (`swaymsg reload`, a new `input` layout), this keyboard's included. The seat hands
    // each new map to every client's keyboard, this program's own too: a map that is not
    // this one makes the next stretch hand it again.
    session_.watchKeymaps([this](const QByteArray& text) {
        seatMapForeign_ = text != compiled_;
    });
    session_.flush();
}

WlrKeySender::~WlrKeySender() {
    if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
    session_.flush();
    if (state_) xkb_state_unref(state_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (context_) xkb_context_unref(context_);
}

// The map goes to the compositor in a sealed memory file; a client reads the map it is
// handed before the keys that come after it, so the keys that follow use it.
bool WlrKeySender::upload() {
    const QByteArray text = map_.text();
    xkb_keymap* keymap = xkb_keymap_new_from_buffer(context_, text.constData(),
                                                    std::size_t(text.size()),
                                                    XKB_KEYMAP_FORMAT_TEXT_V1,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) return false;
    const int fd = memfd_create("vexil-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) {
        xkb_keymap_unref(keymap);
        return false;
    }
    const std::size_t size = std::size_t(text.size()) + 1;  // with its terminating zero
    bool ok = ftruncate(fd, off_t(size)) == 0;
    if (ok) {
        void* to = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        ok = to != MAP_FAILED;
        if (ok) {
            std::memcpy(to, text.constData(), size);
            munmap(to, size);
        }
        fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    }
    if (!ok) {
        close(fd);
        xkb_keymap_unref(keymap);
        return false;
    }
    zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   std::uint32_t(size));
    close(fd);
    // A new map starts with no modifier held; Caps Lock stays as it was.
    const std::uint32_t locked = sentModifiers_[2];
    if (state_) xkb_state_unref(state_);
    if (keymap_) xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = xkb_state_new(keymap_);
    char* compiled = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    compiled_ = compiled ? QByteArray(compiled) : QByteArray();
    std::free(compiled);
    seatMapForeign_ = false;
    sentModifiers_ = {};
    xkb_state_update_mask(state_, 0, 0, locked, 0, 0, 0);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, locked, 0);
    sentModifiers_[2] = locked;
    unflushed_ += 2;
    return true;
}

// On a seat that had no keyboard before this one (a tablet, a headless session), each
// client binds its keyboard only once the compositor has told it the seat has one: keys
// sent before that are lost for it. The first stretch waits until this program has heard
// it too, and a moment more for the others.
void WlrKeySender::waitUntilClientsHaveKeyboards() {
    if (waitedForClients_) return;
    waitedForClients_ = true;
    if (session_.capabilitiesAtStart() & WL_SEAT_CAPABILITY_KEYBOARD) return;
    session_.waitFor(
        [this] { return (session_.capabilities() & WL_SEAT_CAPABILITY_KEYBOARD) != 0; }, 1000);
    const auto ready = createdAt_ + milliseconds(300);
    while (steady_clock::now() < ready)
        session_.waitFor([] { return false; },
                         int(std::chrono::duration_cast<milliseconds>(ready - steady_clock::now())
                                 .count()) + 1);
}

void WlrKeySender::countRequest() {
    if (++unflushed_ < maxUnflushed) return;
    session_.flush();
    unflushed_ = 0;
}

// One key event, and the modifiers' state after it when the key changed them: the
// compositor is told both, as a keyboard driver tells it.
void WlrKeySender::key(std::uint32_t keycode, bool down) {
    zwp_virtual_keyboard_v1_key(keyboard_, nowMs(), keycode - VirtualKeymap::minKeycode,
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                     : WL_KEYBOARD_KEY_STATE_RELEASED);
    countRequest();
    xkb_state_update_key(state_, keycode, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    const std::array<std::uint32_t, 4> mods{
        xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
        xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
        xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
        xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE)};
    if (mods == sentModifiers_) return;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, mods[0], mods[1], mods[2], mods[3]);
    sentModifiers_ = mods;
    countRequest();
}

void WlrKeySender::tap(std::uint32_t keycode) {
    key(keycode, true);
    key(keycode, false);
}

int WlrKeySender::send(const KeySequence& keys) {
    if (!keyboard_ || !session_.alive()) return WlrKeyFailNoDisplay;
    waitUntilClientsHaveKeyboards();
    session_.dispatchPending();
    if (seatMapForeign_ && !upload()) return WlrKeyFailNoDisplay;

    int failure = 0;
    auto fail = [&failure](int code) { failure = failure ? failure : code; };
    // Caps Lock, locked by an earlier {CAPSLOCK}, would turn the case of every letter:
    // it is let go around the stretch, as on X11.
    const std::uint32_t capsKey = map_.find(NamedKey::CapsLock)->keycode;
    const bool capsLocked =
        xkb_state_mod_name_is_active(state_, XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED) > 0;
    if (capsLocked) tap(capsKey);

    const auto& strokes = keys.strokes;
    for (const KeymapPart& part : planExtensions(map_, strokes)) {
        // Characters beyond the fixed map: a map with them goes out before their keys,
        // unless the one loaded has them already.
        if (!covers(map_.extension(), part.extension)) {
            map_.setExtension(part.extension);
            if (!upload()) return WlrKeyFailNoDisplay;
        }
        for (std::size_t i = part.begin; i < part.end; ++i) {
            const KeyStroke& s = strokes[i];
            if (isCrBeforeLf(strokes, i)) continue;  // CR LF is one Enter
            const std::optional<KeyPlace> place =
                s.key != NamedKey::None ? map_.find(s.key) : map_.find(s.character);
            if (!place) {
                fail(WlrKeyFailUntypable);
                continue;
            }
            std::vector<std::uint32_t> held;
            if (s.modifiers & ModControl) held.push_back(map_.controlKey());
            if (s.modifiers & ModAlt) held.push_back(map_.altKey());
            if ((s.modifiers & ModShift) || place->shift) held.push_back(map_.shiftKey());
            for (std::uint32_t m : held) key(m, true);
            tap(place->keycode);
            for (auto m = held.rbegin(); m != held.rend(); ++m) key(*m, false);
        }
    }
    if (capsLocked) tap(capsKey);
    // Returns once the compositor has taken every key and handed it to the focused client.
    if (!session_.flush() || !session_.roundtrip()) return WlrKeyFailNoDisplay;
    unflushed_ = 0;
    return failure;
}

// The compositor hands the keys on as it takes them; no protocol tells when the client
// has read them.
void WlrKeySender::waitUntilRead() { session_.roundtrip(); }

// The map belongs to this keyboard alone, and nothing of the user's was changed.
void WlrKeySender::restoreKeyboard() {}

}  // namespace vexil::wayland
