#pragma once
// The program's own connection to a wlroots compositor, beside the one Qt keeps for its
// windows: the globals the input code binds, the layout of the outputs, the compositor's
// list of windows, and the helpers that keep requests flowing without ever blocking the
// program for long. Wayland types are only declared here; the generated protocol headers
// stay in the .cpp files.
#include <QByteArray>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;
struct wl_output;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
class QSocketNotifier;

namespace vexil::wayland {

// One window of the compositor's list (wlroots' foreign-toplevel protocol).
struct Toplevel {
    std::uint64_t id = 0;  // the handle the program knows it by
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    QString title;
    QString appId;
    bool activated = false;
    bool minimized = false;
    bool announced = false;  // its first "done" has come
    bool closed = false;
    zwlr_foreign_toplevel_handle_v1* parent = nullptr;
    std::uint64_t lastActive = 0;  // when it was last seen active (a count, for the order)
};

struct Output {
    std::uint32_t name = 0;  // the registry's
    wl_output* output = nullptr;
    zxdg_output_v1* xdg = nullptr;
    QRect logical;  // from xdg-output: compositor coordinates
    QPoint position;
    QSize mode;
    int scale = 1;
};

class WlrSession {
public:
    // Null, with the reason, when there is no such display.
    static std::unique_ptr<WlrSession> open(const QByteArray& name, QString* why);
    ~WlrSession();
    WlrSession(const WlrSession&) = delete;
    WlrSession& operator=(const WlrSession&) = delete;

    wl_display* display() const { return display_; }
    wl_seat* seat() const { return seat_; }
    // The seat's capabilities (wl_seat's bits) as the program found them, and now.
    std::uint32_t capabilitiesAtStart() const { return startCapabilities_; }
    std::uint32_t capabilities() const { return capabilities_; }
    zwp_virtual_keyboard_manager_v1* keyboardManager() const { return keyboardManager_; }
    zwlr_virtual_pointer_manager_v1* pointerManager() const { return pointerManager_; }
    bool hasToplevels() const { return toplevelManager_ != nullptr; }

    bool alive() const;
    // Hands every request written so far to the compositor, waiting (a while at most)
    // when its socket is full. False once the connection is lost.
    bool flush();
    // Returns true once the compositor has handled every request sent before; events
    // that arrive meanwhile are dispatched.
    bool roundtrip(int timeoutMs = 3000);
    // Dispatches the events that have arrived, without waiting.
    void dispatchPending();
    // Dispatches events until `done` holds or `timeoutMs` have passed.
    bool waitFor(const std::function<bool()>& done, int timeoutMs);

    // The extent of the output layout in compositor coordinates; empty when unknown.
    QRect layout() const;

    // The compositor's windows, in the order they were made.
    const std::vector<std::unique_ptr<Toplevel>>& toplevels() const { return toplevels_; }
    const Toplevel* toplevel(std::uint64_t id) const;
    void activate(std::uint64_t id);
    void close(std::uint64_t id);

    // Every map the seat hands its clients' keyboards (the map of whichever keyboard
    // typed last), as the text the compositor sends. Binds a keyboard of the seat's.
    void watchKeymaps(std::function<void(const QByteArray&)> onKeymap);

private:
    WlrSession() = default;
    void global(wl_registry* registry, std::uint32_t name, const char* interface,
                std::uint32_t version);
    void globalRemoved(std::uint32_t name);
    bool prepareRead();
    void watchOutput(Output& o);
    void addToplevel(zwlr_foreign_toplevel_handle_v1* handle);
    Toplevel* toplevelOf(zwlr_foreign_toplevel_handle_v1* handle);

    struct Listeners;
    friend struct Listeners;

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    std::uint32_t startCapabilities_ = 0;
    std::uint32_t capabilities_ = 0;
    wl_keyboard* keyboard_ = nullptr;
    std::function<void(const QByteArray&)> onKeymap_;
    zwp_virtual_keyboard_manager_v1* keyboardManager_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* toplevelManager_ = nullptr;
    zxdg_output_manager_v1* xdgOutputManager_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
    std::vector<std::unique_ptr<Toplevel>> toplevels_;
    std::uint64_t nextToplevelId_ = 1;
    std::uint64_t activations_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vexil::wayland
