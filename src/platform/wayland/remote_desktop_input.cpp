#include "platform/wayland/remote_desktop_input.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <clocale>

#include "platform/wayland/compositor_keymap.h"
#include "platform/wayland/key_plan.h"
#include "platform/wayland/remote_desktop_session.h"

namespace vexil::wayland {
namespace {

// The failure codes of the player's message box, as the X11 sender gives them.
constexpr int kFailUntypable = 3;
constexpr int kFailSessionGone = 1;
// evdev's mouse buttons.
constexpr int kButtonLeft = 0x110, kButtonRight = 0x111;
// xkb keycodes are evdev's plus 8.
constexpr std::uint32_t kEvdevOffset = 8;
// The pause after a stretch, and after a composed character (milliseconds).
constexpr int kSettlePauseMs = 5;
constexpr int kComposePauseMs = 2, kComposedPauseMs = 5;

// The compose table of the user's locale: the one the receiving applications use to turn
// a dead key and a letter into one character.
xkb_compose_table* composeTable(xkb_context* context) {
    const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    const char* locale = nullptr;
    for (const char* n : names)
        if (const char* v = getenv(n); v && *v) {
            locale = v;
            break;
        }
    xkb_compose_table* t = xkb_compose_table_new_from_locale(context, locale ? locale : "C",
                                                             XKB_COMPOSE_COMPILE_NO_FLAGS);
    // "C" and locales without a table of their own compose as en_US.UTF-8 does.
    if (!t)
        t = xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    return t;
}

bool isCrBeforeLf(const std::vector<KeyStroke>& strokes, std::size_t i) {
    return strokes[i].key == NamedKey::None && strokes[i].character == U'\r' &&
           i + 1 < strokes.size() && strokes[i + 1].key == NamedKey::None &&
           strokes[i + 1].character == U'\n';
}

// A character typed as it is, with no modifier of the stroke's own.
bool isPlain(const KeyStroke& s) {
    return s.key == NamedKey::None && s.modifiers == 0 && s.character >= 0x20 &&
           s.character != 0x7F;
}

void pauseMs(int ms) {
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer tick;
    tick.start(2);
    while (t.elapsed() < ms) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

class Keys : public KeySender {
public:
    Keys(RemoteDesktopSession& session, CompositorKeymap& keymap)
        : session_(session), keymap_(keymap) {}
    ~Keys() override {
        if (compose_) xkb_compose_table_unref(compose_);
    }

    // Each character goes the first way the planner finds (key_plan.h): a key of the
    // layout with Shift/AltGr, a dead key and a key, or the clipboard. The keymap is the
    // compositor's own, read again whenever it sends a new one (the user switched
    // layouts), because the service takes keycodes: NotifyKeyboardKeysym looks the keysym
    // up in the current layout and drops what it lacks ("No keycode found for keyval").
    int send(const KeySequence& keys) override {
        KeyPlanner* planner = currentPlanner();
        if (!planner) return kFailUntypable;
        if (session_.closed()) return kFailSessionGone;
        int failure = 0;
        auto fail = [&failure](int code) { failure = failure ? failure : code; };
        // Caps Lock would turn the case of every letter typed through its own key.
        const bool caps = planner->capsLockKey() && session_.capsLocked();
        if (caps) tap({planner->capsLockKey(), {}});
        const auto& strokes = keys.strokes;
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            if (isCrBeforeLf(strokes, i)) continue;  // CR LF is one Enter
            KeyPlan p = planner->planStroke(strokes[i]);
            // Where the session has a clipboard, what a dead key would type is pasted
            // instead: Qt on Wayland commits a composed character through its input
            // method, out of step with the plain keys around it (measured on GNOME: with
            // keys sent at full speed, "ab`cd" arrives as "a`bcd", and pauses of several
            // milliseconds around each sequence still let one in a hundred slip), while a
            // paste is read before the keys that follow it.
            if (p.kind == PlanKind::DeadKey && session_.hasClipboard())
                p.kind = PlanKind::Clipboard;
            if (p.kind == PlanKind::Clipboard) {
                // One paste takes the whole run of plain characters from here on (the
                // ones keys could type too): one clipboard change and one Ctrl+V per
                // stretch rather than one per accented letter, each of which costs a
                // round trip through the application.
                QString run;
                std::size_t j = i;
                for (; j < strokes.size() && isPlain(strokes[j]) && !isCrBeforeLf(strokes, j); ++j)
                    run.append(QString::fromUcs4(&strokes[j].character, 1));
                if (j == i) {  // with Ctrl or Alt: nothing to paste it as
                    fail(kFailUntypable);
                    continue;
                }
                i = j - 1;
                if (!paste(*planner, run)) fail(kFailUntypable);
                continue;
            }
            if (p.kind == PlanKind::Untypable) {
                fail(kFailUntypable);
                continue;
            }
            // Without a clipboard (the portal route), dead keys it is: the sequence waits
            // until the keys before it have been read, and the keys after it until the
            // composed character has (see above; not certain under load).
            const bool composed = p.kind == PlanKind::DeadKey;
            if (composed && i > 0) settle(0, kComposePauseMs);
            for (const KeyTap& t : p.taps) tap(t);
            if (composed && i + 1 < strokes.size()) settle(0, kComposedPauseMs);
        }
        if (caps) tap({planner->capsLockKey(), {}});
        settle(strokes.size());
        return session_.closed() ? kFailSessionGone : failure;
    }

    void waitUntilRead() override { settle(0); }
    // Nothing to give back: the keyboard map is never changed (the clipboard is given
    // back right after each paste).
    void restoreKeyboard() override {}

private:
    KeyPlanner* currentPlanner() {
        keymap_.update();
        if (!keymap_.valid()) return nullptr;
        if (!planner_ || generation_ != keymap_.generation()) {
            if (!compose_) compose_ = composeTable(keymap_.context());
            planner_ = std::make_unique<KeyPlanner>(keymap_.keymap(), compose_, keymap_.group());
            generation_ = keymap_.generation();
        }
        return planner_.get();
    }

    void tap(const KeyTap& t) {
        for (std::uint32_t m : t.modifiers) session_.key(m - kEvdevOffset, true);
        session_.key(t.keycode - kEvdevOffset, true);
        session_.key(t.keycode - kEvdevOffset, false);
        for (auto m = t.modifiers.rbegin(); m != t.modifiers.rend(); ++m)
            session_.key(*m - kEvdevOffset, false);
    }

    // The keys before a paste must have arrived before the clipboard changes.
    bool paste(KeyPlanner& planner, const QString& text) {
        if (!session_.hasClipboard()) return false;
        const KeyPlan v = planner.planStroke({ModControl, NamedKey::None, U'v'});
        if (v.kind != PlanKind::Direct) return false;
        settle(0);
        return session_.paste(text, [&] {
            // The application must hold the new offer before it reads the Ctrl+V.
            keymap_.roundtrip();
            pauseMs(10);
            tap(v.taps.front());
            session_.sync();
        });
    }

    // The service has handled every event once it answers a call made after them; the
    // compositor then hands them to the focused application, which nothing here can
    // watch (Wayland tells a client nothing of the others), so a short pause follows that
    // grows with the keys.
    void settle(std::size_t strokes, int pause = kSettlePauseMs) {
        session_.sync();
        keymap_.roundtrip();
        pauseMs(pause + int(strokes / 50));
    }

    RemoteDesktopSession& session_;
    CompositorKeymap& keymap_;
    xkb_compose_table* compose_ = nullptr;
    std::unique_ptr<KeyPlanner> planner_;
    std::uint64_t generation_ = ~std::uint64_t(0);
};

// The pointer moves by relative motion from the top left corner: a move far up and left
// stops at (0, 0), and the move to the point follows. Absolute motion
// (NotifyPointerMotionAbsolute) names a screen-cast stream, and GNOME starts a session
// with a screen cast only when PipeWire runs; a board that types has no other use for
// one, and the corner works wherever the service does. Going by the corner every time
// also puts right a pointer the user moved meanwhile. GNOME applies no acceleration to
// this device's relative motion.
class Pointer : public Mouse {
public:
    explicit Pointer(RemoteDesktopSession& session) : session_(session) {}
    void perform(MouseAction action, int x, int y) override {
        session_.motion(-100000, -100000);
        session_.motion(x, y);
        position_ = {x, y};
        switch (action) {
            case MouseAction::Move:
                break;
            case MouseAction::LeftDown:
                session_.button(kButtonLeft, true);
                break;
            case MouseAction::LeftUp:
                session_.button(kButtonLeft, false);
                break;
            case MouseAction::RightDown:
                session_.button(kButtonRight, true);
                break;
            case MouseAction::RightUp:
                session_.button(kButtonRight, false);
                break;
        }
        session_.sync();
    }
    QPoint position() override { return position_; }

private:
    RemoteDesktopSession& session_;
    QPoint position_;
};

class Input : public RemoteDesktopInput {
public:
    Input(std::unique_ptr<CompositorKeymap> keymap, std::unique_ptr<RemoteDesktopSession> session)
        : keymap_(std::move(keymap)),
          session_(std::move(session)),
          keys_(*session_, *keymap_),
          pointer_(*session_) {}
    KeySender& keys() override { return keys_; }
    Mouse& mouse() override { return pointer_; }

private:
    std::unique_ptr<CompositorKeymap> keymap_;
    std::unique_ptr<RemoteDesktopSession> session_;
    Keys keys_;
    Pointer pointer_;
};

}  // namespace

std::unique_ptr<RemoteDesktopInput> RemoteDesktopInput::connect(RemoteDesktopRoute route,
                                                                const QString& dataFolder,
                                                                QString* why) {
    QString reason;
    using Route = RemoteDesktopSession::Route;
    using Opened = RemoteDesktopSession::Opened;
    std::unique_ptr<RemoteDesktopSession> session;
    Opened outcome = Opened::Absent;
    if (route != RemoteDesktopRoute::Mutter)
        session = RemoteDesktopSession::open(Route::Portal, dataFolder, &outcome, &reason);
    // GNOME's own service only where no portal offers the interface: a portal that asked
    // the user and was refused is the user's answer.
    if (!session && outcome == Opened::Absent && route != RemoteDesktopRoute::Portal) {
        QString direct;
        session = RemoteDesktopSession::open(Route::Mutter, dataFolder, &outcome, &direct);
        if (!session) reason = reason.isEmpty() ? direct : reason + QStringLiteral("; ") + direct;
    }
    if (!session) {
        if (why) *why = reason;
        return nullptr;
    }
    // The keymap comes with the seat's keyboard. A compositor with no keyboard of its own
    // (GNOME headless) gives the seat one only when the session's virtual keyboard first
    // sends a key: a Shift tap, which types nothing.
    auto keymap = std::make_unique<CompositorKeymap>();
    if (!keymap->valid()) {
        constexpr std::uint32_t kLeftShift = 42;
        session->key(kLeftShift, true);
        session->key(kLeftShift, false);
        session->sync();
        keymap->waitForKeymap(2000);
    }
    if (!keymap->valid()) {
        if (why) *why = QStringLiteral("el compositor Wayland no da su mapa de teclado");
        return nullptr;
    }
    // The same for the pointer: its first click would reach no application that has not
    // yet seen the seat's pointer. A move there and back, which leaves it where it was.
    keymap->roundtrip();
    if (!keymap->seatHasPointer()) {
        session->motion(1, 0);
        session->motion(-1, 0);
        session->sync();
    }
    return std::make_unique<Input>(std::move(keymap), std::move(session));
}

}  // namespace vexil::wayland
