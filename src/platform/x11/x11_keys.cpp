#include "platform/x11/x11_keys.h"

#include <chrono>
#include <map>
#include <thread>

#include "platform/x11/key_layout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vexil::x11 {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

CoreKeymap readKeymap(Display* d) {
    CoreKeymap map;
    int minKeycode = 0, maxKeycode = 0;
    XDisplayKeycodes(d, &minKeycode, &maxKeycode);
    int per = 0;
    KeySym* syms = XGetKeyboardMapping(d, KeyCode(minKeycode), maxKeycode - minKeycode + 1, &per);
    map.minKeycode = minKeycode;
    map.perKeycode = per;
    if (syms) {
        map.syms.assign(syms, syms + size_t(per) * size_t(maxKeycode - minKeycode + 1));
        XFree(syms);
    }
    if (XModifierKeymap* mods = XGetModifierMapping(d)) {
        for (int i = 0; i < 8 * mods->max_keypermod; ++i)
            if (mods->modifiermap[i]) map.modifierKeycodes.insert(mods->modifiermap[i]);
        XFreeModifiermap(mods);
    }
    XkbStateRec state{};
    if (XkbGetState(d, XkbUseCoreKbd, &state) == Success) map.group = state.group;
    return map;
}

// One press and release, with the keycodes of the modifiers held around it.
struct Tap {
    int keycode = 0;
    std::vector<int> modifiers;
};

// Keys pressed by this sender that are still down; released on every way out, so that no
// modifier is ever left held after a failure.
class HeldKeys {
public:
    explicit HeldKeys(Display* d) : d_(d) {}
    ~HeldKeys() { releaseAll(); }
    void press(int keycode) {
        XTestFakeKeyEvent(d_, unsigned(keycode), True, CurrentTime);
        held_.push_back(keycode);
    }
    void release(int keycode) {
        XTestFakeKeyEvent(d_, unsigned(keycode), False, CurrentTime);
        std::erase(held_, keycode);
    }
    void releaseAll() {
        while (!held_.empty()) release(held_.back());
        XFlush(d_);
    }

private:
    Display* d_;
    std::vector<int> held_;
};

// Keycodes bound to keysyms that have no key; their old keysyms go back at the end.
class Bindings {
public:
    Bindings(Display* d, const CoreKeymap& map) : d_(d), map_(map) {}
    ~Bindings() { restore(); }
    void bind(int keycode, KeySym keysym) {
        // Both levels carry the keysym, so that a capital is typed as itself and X does not
        // take it for the shifted level of its lower-case letter.
        KeySym both[2] = {keysym, keysym};
        XChangeKeyboardMapping(d_, keycode, 2, both, 1);
        bound_.push_back(keycode);
    }
    void restore() {
        for (int keycode : bound_) {
            std::vector<KeySym> old(size_t(std::max(map_.perKeycode, 1)), NoSymbol);
            for (int c = 0; c < map_.perKeycode; ++c) old[size_t(c)] = map_.at(keycode, c);
            XChangeKeyboardMapping(d_, keycode, std::max(map_.perKeycode, 1), old.data(), 1);
        }
        if (!bound_.empty()) XSync(d_, False);
        bound_.clear();
    }
    bool empty() const { return bound_.empty(); }

private:
    Display* d_;
    const CoreKeymap& map_;
    std::vector<int> bound_;
};

bool isCrBeforeLf(const std::vector<KeyStroke>& strokes, size_t i) {
    return strokes[i].key == NamedKey{} && strokes[i].character == U'\r' &&
           i + 1 < strokes.size() && strokes[i + 1].key == NamedKey{} &&
           strokes[i + 1].character == U'\n';
}

}  // namespace

int X11KeySender::send(const KeySequence& keys) {
    Display* d = x_.display();
    if (!d) return KeyFailNoDisplay;
    if (!x_.hasXTest()) return KeyFailNoXTest;

    // The map is read afresh for every stretch: the user may have switched layouts.
    const CoreKeymap map = readKeymap(d);
    const KeyLayout layout(map);
    const int shiftKey = XKeysymToKeycode(d, XK_Shift_L) ? XKeysymToKeycode(d, XK_Shift_L)
                                                          : XKeysymToKeycode(d, XK_Shift_R);
    const int controlKey = XKeysymToKeycode(d, XK_Control_L) ? XKeysymToKeycode(d, XK_Control_L)
                                                              : XKeysymToKeycode(d, XK_Control_R);
    int altKey = XKeysymToKeycode(d, XK_Alt_L);
    if (!altKey) altKey = XKeysymToKeycode(d, XK_Meta_L);
    const unsigned long target = activeWindow();

    int failure = 0;
    // Caps Lock would turn the case of every letter typed through its own key.
    XkbStateRec state{};
    const bool capsLocked = XkbGetState(d, XkbUseCoreKbd, &state) == Success &&
                            (state.locked_mods & LockMask);
    const int capsKey = XKeysymToKeycode(d, XK_Caps_Lock);
    HeldKeys held(d);
    auto tapCaps = [&] {
        held.press(capsKey);
        held.release(capsKey);
    };
    if (capsLocked && capsKey) tapCaps();

    // Work out every tap; keysyms without a key get a spare keycode. When the spares run
    // out, the stretch is typed in parts and the spares are freed between them.
    std::vector<int> spares;
    std::map<KeySym, int> boundNow;
    Bindings bindings(d, map);
    size_t nextSpare = 0;
    std::vector<Tap> taps;

    auto flushPart = [&] {
        XSync(d, False);
        for (const Tap& t : taps) {
            for (int m : t.modifiers) held.press(m);
            held.press(t.keycode);
            held.release(t.keycode);
            for (auto m = t.modifiers.rbegin(); m != t.modifiers.rend(); ++m) held.release(*m);
        }
        held.releaseAll();
        const std::size_t tapCount = taps.size();
        taps.clear();
        XSync(d, False);
        // The bound keycodes may go back only once the target has read its keys: it
        // translates each key with the map it sees when it reads the key.
        if (!bindings.empty()) {
            waitUntilProcessed(target, tapCount);
            bindings.restore();
        }
        boundNow.clear();
        nextSpare = 0;
    };

    const auto& strokes = keys.strokes;
    for (size_t i = 0; i < strokes.size(); ++i) {
        const KeyStroke& s = strokes[i];
        if (isCrBeforeLf(strokes, i)) continue;  // CR LF is one Enter
        const KeySym sym = s.key != NamedKey{} ? keysymForNamedKey(s.key)
                                               : keysymForCharacter(s.character);
        if (!sym) {
            failure = failure ? failure : KeyFailUntypable;
            continue;
        }
        Tap tap;
        if (s.modifiers & ModControl) {
            if (!controlKey) { failure = failure ? failure : KeyFailNoModifier; continue; }
            tap.modifiers.push_back(controlKey);
        }
        if (s.modifiers & ModAlt) {
            if (!altKey) { failure = failure ? failure : KeyFailNoModifier; continue; }
            tap.modifiers.push_back(altKey);
        }
        bool shift = s.modifiers & ModShift;
        std::optional<KeyChoice> choice = layout.find(sym);
        if (!choice && s.key == NamedKey{})
            if (KeySym alt = unicodeKeysym(s.character)) choice = layout.find(alt);
        if (choice) {
            tap.keycode = choice->keycode;
            shift = shift || choice->shift;
        } else if (auto b = boundNow.find(sym); b != boundNow.end()) {
            tap.keycode = b->second;
        } else {
            if (spares.empty()) spares = layout.spareKeycodes(32);
            if (spares.empty()) {
                failure = failure ? failure : KeyFailNoSpareKeycode;
                continue;
            }
            if (nextSpare == spares.size()) flushPart();
            tap.keycode = spares[nextSpare++];
            bindings.bind(tap.keycode, sym);
            boundNow[sym] = tap.keycode;
        }
        if (shift) {
            if (!shiftKey) { failure = failure ? failure : KeyFailNoModifier; continue; }
            tap.modifiers.push_back(shiftKey);
        }
        taps.push_back(std::move(tap));
    }
    flushPart();
    if (capsLocked && capsKey) tapCaps();
    held.releaseAll();
    XSync(d, False);
    // "Wait until processed": the target has read everything when it answers.
    waitUntilProcessed(target, 0);
    return failure;
}

unsigned long X11KeySender::activeWindow() {
    auto active = x_.cardinals(x_.root(), "_NET_ACTIVE_WINDOW", AnyPropertyType);
    return active.empty() ? 0UL : active.front();
}

void X11KeySender::waitUntilRead() {
    if (x_.display()) waitUntilProcessed(activeWindow(), 0);
}

// Asks the target for a _NET_WM_PING answer: a client handles its events in order, so
// when the answer comes back it has read every key sent before. Tk answers pings without
// announcing them in WM_PROTOCOLS, so every window is asked; one that never answers
// (xterm, for one) is remembered and gets a pause that grows with the keys sent instead.
void X11KeySender::waitUntilProcessed(unsigned long target, std::size_t taps) {
    Display* d = x_.display();
    XSync(d, False);
    const auto start = steady_clock::now();
    auto pause = [&] {
        const auto length = milliseconds(30 + long(taps) / 5);
        while (steady_clock::now() - start < length) {
            if (idle_) idle_();
            std::this_thread::sleep_for(milliseconds(2));
        }
    };
    if (!target || silentWindows_.count(target)) return pause();
    bool announced = false;
    const XAtom ping = x_.atom("_NET_WM_PING");
    for (XAtom a : x_.atoms(target, "WM_PROTOCOLS"))
        if (a == ping) announced = true;
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(d, x_.root(), &rootAttributes);
    if (!(rootAttributes.your_event_mask & SubstructureNotifyMask))
        XSelectInput(d, x_.root(), rootAttributes.your_event_mask | SubstructureNotifyMask);
    const long stamp = long(++pingSerial_ | 0x40000000UL);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = x_.atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = long(target);
    {
        ErrorTrap trap(d);
        XSendEvent(d, target, False, NoEventMask, &event);
        if (trap.failed()) return;
    }
    // A window that has answered before may take its time (it may be busy with a paste);
    // one that never has gets a short chance.
    const bool trusted = announced || answeringWindows_.count(target);
    const auto limit = milliseconds(trusted ? processTimeoutMs_ : 250);
    while (steady_clock::now() - start < limit) {
        while (XPending(d)) {
            XEvent in;
            XNextEvent(d, &in);
            if (in.type == ClientMessage && in.xclient.window == x_.root() &&
                XAtom(in.xclient.data.l[0]) == ping && in.xclient.data.l[1] == stamp) {
                answeringWindows_.insert(target);
                return;
            }
        }
        if (idle_) idle_();
        std::this_thread::sleep_for(milliseconds(1));
    }
    if (!trusted) {
        silentWindows_.insert(target);
        pause();
    }
}

}  // namespace vexil::x11
