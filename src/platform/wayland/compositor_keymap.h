#pragma once
// The compositor's current keyboard map, read as any Wayland client reads it: the seat's
// keyboard sends its keymap (an fd and a size) to every client, focused or not, and sends
// it again when the user switches layouts; the active group comes with the modifiers.
#include <xkbcommon/xkbcommon.h>

#include <cstdint>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;

namespace vexil::wayland {

class CompositorKeymap {
public:
    // Connects to WAYLAND_DISPLAY; valid() tells whether a keymap came.
    CompositorKeymap();
    ~CompositorKeymap();
    CompositorKeymap(const CompositorKeymap&) = delete;
    CompositorKeymap& operator=(const CompositorKeymap&) = delete;

    bool valid() const { return keymap_ != nullptr; }
    // Reads what the compositor sent since (a new keymap, a new group), without waiting.
    void update();
    // A round trip: everything the compositor had sent before is read.
    void roundtrip();
    // Round trips until a keymap has come or `ms` have passed.
    bool waitForKeymap(int ms);
    xkb_keymap* keymap() const { return keymap_; }
    // Whether the seat has a pointer (a compositor with no devices of its own has none
    // until a virtual one moves).
    bool seatHasPointer() const { return capabilities_ & 1u; }
    xkb_context* context() const { return context_; }
    xkb_layout_index_t group() const { return group_; }
    // Grows every time a new keymap or group arrives.
    std::uint64_t generation() const { return generation_; }

    // Listener entry points (called from C callbacks).
    void onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                  std::uint32_t version);
    void onCapabilities(std::uint32_t caps);
    void onKeymap(std::uint32_t format, int fd, std::uint32_t size);
    void onGroup(std::uint32_t group);

private:
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_layout_index_t group_ = 0;
    std::uint64_t generation_ = 0;
    std::uint32_t capabilities_ = 0;
};

}  // namespace vexil::wayland
