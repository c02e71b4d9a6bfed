#pragma once
// Keystrokes through a virtual keyboard of the program's own (zwp_virtual_keyboard_v1)
// that carries the map of wlr_keymap.h: each character goes out as the key that carries
// it there, so it arrives exactly whatever the user's layout.
#include <array>
#include <chrono>
#include <cstdint>

#include "platform/keyboard.h"
#include "platform/wayland/wlr_keymap.h"

struct zwp_virtual_keyboard_v1;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace vexil::wayland {

class WlrSession;

class WlrKeySender : public KeySender {
public:
    // Makes the keyboard and hands the compositor its map at once, so that clients that
    // had no keyboard until now have bound theirs before the first key.
    explicit WlrKeySender(WlrSession& session);
    ~WlrKeySender() override;
    WlrKeySender(const WlrKeySender&) = delete;
    WlrKeySender& operator=(const WlrKeySender&) = delete;

    bool valid() const { return keyboard_ != nullptr; }

    int send(const KeySequence& keys) override;
    void waitUntilRead() override;
    void restoreKeyboard() override;

private:
    bool upload();
    void waitUntilClientsHaveKeyboards();
    void key(std::uint32_t keycode, bool down);
    void tap(std::uint32_t keycode);
    void countRequest();

    WlrSession& session_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    VirtualKeymap map_;
    // The map as the compositor knows it, with the state its modifiers are in.
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    QByteArray compiled_;  // the map as the compositor hands it on
    bool seatMapForeign_ = false;
    std::array<std::uint32_t, 4> sentModifiers_{};
    std::chrono::steady_clock::time_point createdAt_;
    bool waitedForClients_ = false;
    int unflushed_ = 0;
};

}  // namespace vexil::wayland
