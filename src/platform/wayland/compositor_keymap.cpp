#include "platform/wayland/compositor_keymap.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

namespace vexil::wayland {
namespace {

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    static_cast<CompositorKeymap*>(data)->onGlobal(registry, name, interface, version);
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

void capabilities(void* data, wl_seat*, std::uint32_t caps) {
    static_cast<CompositorKeymap*>(data)->onCapabilities(caps);
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener{capabilities, seatName};

void keymap(void* data, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
    static_cast<CompositorKeymap*>(data)->onKeymap(format, fd, size);
}
void enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void leave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
               std::uint32_t group) {
    static_cast<CompositorKeymap*>(data)->onGroup(group);
}
void repeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
const wl_keyboard_listener keyboardListener{keymap, enter, leave, key, modifiers, repeatInfo};

}  // namespace

CompositorKeymap::CompositorKeymap() {
    display_ = wl_display_connect(nullptr);
    if (!display_) return;
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, this);
    // The globals, then the seat's capabilities, then the keyboard's keymap.
    for (int i = 0; i < 3 && !keymap_; ++i) wl_display_roundtrip(display_);
}

CompositorKeymap::~CompositorKeymap() {
    if (keyboard_) wl_keyboard_destroy(keyboard_);
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
    if (display_) wl_display_disconnect(display_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

void CompositorKeymap::onGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                                std::uint32_t version) {
    if (seat_ || std::strcmp(interface, wl_seat_interface.name) != 0) return;
    seat_ = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, version < 5 ? version : 5));
    wl_seat_add_listener(seat_, &seatListener, this);
}

void CompositorKeymap::onCapabilities(std::uint32_t caps) {
    capabilities_ = caps;
    if (keyboard_ || !(caps & WL_SEAT_CAPABILITY_KEYBOARD)) return;
    keyboard_ = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard_, &keyboardListener, this);
}

void CompositorKeymap::onKeymap(std::uint32_t format, int fd, std::uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
        close(fd);
        return;
    }
    // Version 7 of the seat maps the fd private; before it, shared: read-only either way.
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    // The text may or may not end with its NUL inside `size`.
    xkb_keymap* map = xkb_keymap_new_from_buffer(
        context_, static_cast<const char*>(text), strnlen(static_cast<const char*>(text), size),
        XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (!map) return;
    xkb_keymap_unref(keymap_);
    keymap_ = map;
    group_ = 0;
    ++generation_;
}

void CompositorKeymap::onGroup(std::uint32_t group) {
    if (group == group_) return;
    group_ = group;
    ++generation_;
}

void CompositorKeymap::update() {
    if (!display_) return;
    while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
    wl_display_flush(display_);
    pollfd p{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&p, 1, 0) > 0)
        wl_display_read_events(display_);
    else
        wl_display_cancel_read(display_);
    wl_display_dispatch_pending(display_);
}

void CompositorKeymap::roundtrip() {
    if (display_) wl_display_roundtrip(display_);
}

bool CompositorKeymap::waitForKeymap(int ms) {
    for (int waited = 0; display_ && !keymap_ && waited < ms; waited += 10) {
        if (wl_display_roundtrip(display_) < 0) break;
        if (!keymap_) usleep(10000);
    }
    return keymap_ != nullptr;
}

}  // namespace vexil::wayland
