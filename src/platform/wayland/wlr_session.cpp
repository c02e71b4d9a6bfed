#include "platform/wayland/wlr_session.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <wayland-client.h>

#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"
#include "xdg-output-unstable-v1-client.h"

namespace vexil::wayland {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

struct WlrSession::Listeners {
    static WlrSession* of(void* data) { return static_cast<WlrSession*>(data); }
    static Output* output(void* data) { return static_cast<Output*>(data); }

    static constexpr wl_registry_listener registry = {
        .global = [](void* data, wl_registry* r, std::uint32_t name, const char* interface,
                     std::uint32_t version) { of(data)->global(r, name, interface, version); },
        .global_remove = [](void* data, wl_registry*,
                            std::uint32_t name) { of(data)->globalRemoved(name); },
    };

    static constexpr wl_seat_listener seat = {
        .capabilities = [](void* data, wl_seat*,
                           std::uint32_t caps) { of(data)->capabilities_ = caps; },
        .name = [](void*, wl_seat*, const char*) {},
    };

    static constexpr wl_keyboard_listener keyboard = {
        .keymap =
            [](void* data, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t size) {
                WlrSession* s = of(data);
                void* map = size ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
                ::close(fd);
                if (map == MAP_FAILED) return;
                const QByteArray text(static_cast<const char*>(map),
                                      qsizetype(strnlen(static_cast<const char*>(map), size)));
                munmap(map, size);
                if (s->onKeymap_) s->onKeymap_(text);
            },
        .enter = [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
        .leave = [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
        .key = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                  std::uint32_t) {},
        .modifiers = [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t) {},
        .repeat_info = [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
    };

    static constexpr wl_output_listener output_ = {
        .geometry = [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t,
                       std::int32_t, std::int32_t, const char*, const char*,
                       std::int32_t) { output(data)->position = QPoint(x, y); },
        .mode =
            [](void* data, wl_output*, std::uint32_t flags, std::int32_t w, std::int32_t h,
               std::int32_t) {
                if (flags & WL_OUTPUT_MODE_CURRENT) output(data)->mode = QSize(w, h);
            },
        .done = [](void*, wl_output*) {},
        .scale = [](void* data, wl_output*,
                    std::int32_t factor) { output(data)->scale = std::max(1, factor); },
    };

    static constexpr zxdg_output_v1_listener xdgOutput = {
        .logical_position =
            [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
                output(data)->logical.moveTo(x, y);
            },
        .logical_size =
            [](void* data, zxdg_output_v1*, std::int32_t w, std::int32_t h) {
                output(data)->logical.setSize(QSize(w, h));
            },
        .done = [](void*, zxdg_output_v1*) {},
    };

    static constexpr zwlr_foreign_toplevel_manager_v1_listener toplevels = {
        .toplevel = [](void* data, zwlr_foreign_toplevel_manager_v1*,
                       zwlr_foreign_toplevel_handle_v1* h) { of(data)->addToplevel(h); },
        .finished = [](void* data, zwlr_foreign_toplevel_manager_v1* m) {
            zwlr_foreign_toplevel_manager_v1_destroy(m);
            of(data)->toplevelManager_ = nullptr;
        },
    };

    static Toplevel* top(void* data, zwlr_foreign_toplevel_handle_v1* h) {
        return of(data)->toplevelOf(h);
    }

    static constexpr zwlr_foreign_toplevel_handle_v1_listener toplevel = {
        .title =
            [](void* data, zwlr_foreign_toplevel_handle_v1* h, const char* title) {
                if (Toplevel* t = top(data, h)) t->title = QString::fromUtf8(title);
            },
        .app_id =
            [](void* data, zwlr_foreign_toplevel_handle_v1* h, const char* id) {
                if (Toplevel* t = top(data, h)) t->appId = QString::fromUtf8(id);
            },
        .output_enter = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
        .output_leave = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
        .state =
            [](void* data, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) {
                Toplevel* t = top(data, h);
                if (!t) return;
                t->activated = t->minimized = false;
                const auto* s = static_cast<const std::uint32_t*>(states->data);
                for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
                    if (s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                        t->activated = true;
                    if (s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
                        t->minimized = true;
                }
                if (t->activated) t->lastActive = ++of(data)->activations_;
            },
        .done =
            [](void* data, zwlr_foreign_toplevel_handle_v1* h) {
                if (Toplevel* t = top(data, h)) t->announced = true;
            },
        .closed =
            [](void* data, zwlr_foreign_toplevel_handle_v1* h) {
                WlrSession* s = of(data);
                std::erase_if(s->toplevels_, [h](const auto& t) { return t->handle == h; });
                zwlr_foreign_toplevel_handle_v1_destroy(h);
            },
        .parent =
            [](void* data, zwlr_foreign_toplevel_handle_v1* h,
               zwlr_foreign_toplevel_handle_v1* parent) {
                if (Toplevel* t = top(data, h)) t->parent = parent;
            },
    };
};

std::unique_ptr<WlrSession> WlrSession::open(const QByteArray& name, QString* why) {
    std::unique_ptr<WlrSession> s(new WlrSession);
    s->display_ = wl_display_connect(name.isEmpty() ? nullptr : name.constData());
    if (!s->display_) {
        if (why) *why = QStringLiteral("no hay pantalla Wayland");
        return nullptr;
    }
    s->registry_ = wl_display_get_registry(s->display_);
    wl_registry_add_listener(s->registry_, &Listeners::registry, s.get());
    // The globals first, then what they tell (the seat's capabilities, the outputs).
    if (!s->roundtrip() || !s->roundtrip()) {
        if (why) *why = QStringLiteral("el compositor Wayland no responde");
        return nullptr;
    }
    s->startCapabilities_ = s->capabilities_;
    // Events the compositor sends while the program is not typing (windows that open,
    // titles that change) are read as they come, so that they never pile up.
    if (QCoreApplication::instance()) {
        s->notifier_ = std::make_unique<QSocketNotifier>(wl_display_get_fd(s->display_),
                                                         QSocketNotifier::Read);
        QObject::connect(s->notifier_.get(), &QSocketNotifier::activated, [p = s.get()] {
            p->dispatchPending();
            // A compositor that went away leaves the socket readable for ever.
            if (!p->alive()) p->notifier_->setEnabled(false);
        });
    }
    return s;
}

WlrSession::~WlrSession() {
    notifier_.reset();
    if (!display_) return;
    for (const auto& t : toplevels_) zwlr_foreign_toplevel_handle_v1_destroy(t->handle);
    if (toplevelManager_) zwlr_foreign_toplevel_manager_v1_stop(toplevelManager_);
    for (const auto& o : outputs_) {
        if (o->xdg) zxdg_output_v1_destroy(o->xdg);
        wl_output_destroy(o->output);
    }
    if (xdgOutputManager_) zxdg_output_manager_v1_destroy(xdgOutputManager_);
    if (keyboard_) wl_keyboard_destroy(keyboard_);
    if (keyboardManager_) zwp_virtual_keyboard_manager_v1_destroy(keyboardManager_);
    if (pointerManager_) zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

void WlrSession::global(wl_registry* r, std::uint32_t name, const char* interface,
                        std::uint32_t version) {
    const auto is = [interface](const wl_interface& i) {
        return std::strcmp(interface, i.name) == 0;
    };
    if (is(wl_seat_interface) && !seat_) {
        seat_ = static_cast<wl_seat*>(
            wl_registry_bind(r, name, &wl_seat_interface, std::min(version, 5u)));
        wl_seat_add_listener(seat_, &Listeners::seat, this);
    } else if (is(wl_output_interface)) {
        auto o = std::make_unique<Output>();
        o->name = name;
        o->output = static_cast<wl_output*>(
            wl_registry_bind(r, name, &wl_output_interface, std::min(version, 2u)));
        wl_output_add_listener(o->output, &Listeners::output_, o.get());
        outputs_.push_back(std::move(o));
        watchOutput(*outputs_.back());
    } else if (is(zxdg_output_manager_v1_interface)) {
        xdgOutputManager_ = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(r, name, &zxdg_output_manager_v1_interface, 1));
        for (const auto& o : outputs_) watchOutput(*o);
    } else if (is(zwp_virtual_keyboard_manager_v1_interface)) {
        keyboardManager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(r, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (is(zwlr_virtual_pointer_manager_v1_interface)) {
        pointerManager_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(r, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (is(zwlr_foreign_toplevel_manager_v1_interface)) {
        toplevelManager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            r, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
        zwlr_foreign_toplevel_manager_v1_add_listener(toplevelManager_, &Listeners::toplevels,
                                                      this);
    }
}

void WlrSession::globalRemoved(std::uint32_t name) {
    std::erase_if(outputs_, [name](const std::unique_ptr<Output>& o) {
        if (o->name != name) return false;
        if (o->xdg) zxdg_output_v1_destroy(o->xdg);
        wl_output_destroy(o->output);
        return true;
    });
}

void WlrSession::watchOutput(Output& o) {
    if (o.xdg || !xdgOutputManager_) return;
    o.xdg = zxdg_output_manager_v1_get_xdg_output(xdgOutputManager_, o.output);
    zxdg_output_v1_add_listener(o.xdg, &Listeners::xdgOutput, &o);
}

void WlrSession::addToplevel(zwlr_foreign_toplevel_handle_v1* handle) {
    auto t = std::make_unique<Toplevel>();
    t->id = nextToplevelId_++;
    t->handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &Listeners::toplevel, this);
    toplevels_.push_back(std::move(t));
}

Toplevel* WlrSession::toplevelOf(zwlr_foreign_toplevel_handle_v1* handle) {
    for (const auto& t : toplevels_)
        if (t->handle == handle) return t.get();
    return nullptr;
}

const Toplevel* WlrSession::toplevel(std::uint64_t id) const {
    for (const auto& t : toplevels_)
        if (t->id == id) return t.get();
    return nullptr;
}

void WlrSession::activate(std::uint64_t id) {
    if (const Toplevel* t = toplevel(id); t && seat_)
        zwlr_foreign_toplevel_handle_v1_activate(t->handle, seat_);
}

void WlrSession::close(std::uint64_t id) {
    if (const Toplevel* t = toplevel(id)) zwlr_foreign_toplevel_handle_v1_close(t->handle);
}

void WlrSession::watchKeymaps(std::function<void(const QByteArray&)> onKeymap) {
    onKeymap_ = std::move(onKeymap);
    if (keyboard_ || !seat_) return;
    keyboard_ = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard_, &Listeners::keyboard, this);
}

QRect WlrSession::layout() const {
    QRect box;
    for (const auto& o : outputs_) {
        QRect r = o->logical;
        if (r.isEmpty() && !o->mode.isEmpty())
            r = QRect(o->position, o->mode / o->scale);
        box |= r;
    }
    return box;
}

bool WlrSession::alive() const { return display_ && wl_display_get_error(display_) == 0; }

// Readies the reading of events, dispatching what is queued first; false once the
// connection is lost (the queue then never empties).
bool WlrSession::prepareRead() {
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0) return false;
    return true;
}

void WlrSession::dispatchPending() {
    if (!alive() || !prepareRead()) return;
    wl_display_flush(display_);
    pollfd p{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&p, 1, 0) > 0 && (p.revents & POLLIN))
        wl_display_read_events(display_);
    else
        wl_display_cancel_read(display_);
    wl_display_dispatch_pending(display_);
}

bool WlrSession::waitFor(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    while (alive()) {
        if (!prepareRead()) return false;
        if (done()) {
            wl_display_cancel_read(display_);
            return true;
        }
        // Requests still waiting to go out are written as the socket takes them.
        const bool pendingOut = wl_display_flush(display_) < 0 && errno == EAGAIN;
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) {
            wl_display_cancel_read(display_);
            return false;
        }
        pollfd p{wl_display_get_fd(display_), short(POLLIN | (pendingOut ? POLLOUT : 0)), 0};
        if (poll(&p, 1, int(left)) > 0 && (p.revents & (POLLIN | POLLERR | POLLHUP)))
            wl_display_read_events(display_);
        else
            wl_display_cancel_read(display_);
        wl_display_dispatch_pending(display_);
    }
    return false;
}

bool WlrSession::flush() {
    const auto deadline = steady_clock::now() + milliseconds(3000);
    while (alive()) {
        if (wl_display_flush(display_) >= 0) return true;
        if (errno != EAGAIN || steady_clock::now() > deadline) return false;
        // The compositor has not read what came before yet: wait until it has room,
        // reading what it sent meanwhile.
        pollfd p{wl_display_get_fd(display_), POLLOUT | POLLIN, 0};
        if (poll(&p, 1, 100) > 0 && (p.revents & POLLIN)) dispatchPending();
    }
    return false;
}

bool WlrSession::roundtrip(int timeoutMs) {
    if (!alive()) return false;
    bool done = false;
    static constexpr wl_callback_listener answered = {
        .done = [](void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; },
    };
    wl_callback* callback = wl_display_sync(display_);
    wl_callback_add_listener(callback, &answered, &done);
    const bool ok = waitFor([&done] { return done; }, timeoutMs);
    wl_callback_destroy(callback);
    return ok;
}

}  // namespace vexil::wayland
