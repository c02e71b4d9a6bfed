#include "platform/x11/x11_keys.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/x11/client_activity.h"
#include "platform/x11/key_layout.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vexil::x11 {
namespace {

using std::chrono::microseconds;
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

// ":1.0" and ":1" are the same display for the record of bindings.
QString displayName(const Connection& connection) {
    QString name = connection.name();
    const int colon = int(name.lastIndexOf(u':'));
    const int dot = int(name.lastIndexOf(u'.'));
    if (colon >= 0 && dot > colon) name.truncate(dot);
    return name;
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
    // `sent` counts every key event handed to the server.
    HeldKeys(Display* d, std::uint64_t& sent) : d_(d), sent_(sent) {}
    ~HeldKeys() { releaseAll(); }
    void press(int keycode) {
        XTestFakeKeyEvent(d_, unsigned(keycode), True, CurrentTime);
        ++sent_;
        held_.push_back(keycode);
    }
    void release(int keycode) {
        XTestFakeKeyEvent(d_, unsigned(keycode), False, CurrentTime);
        ++sent_;
        std::erase(held_, keycode);
    }
    void releaseAll() {
        while (!held_.empty()) release(held_.back());
        XFlush(d_);
    }

private:
    Display* d_;
    std::uint64_t& sent_;
    std::vector<int> held_;
};

bool isCrBeforeLf(const std::vector<KeyStroke>& strokes, size_t i) {
    return strokes[i].key == NamedKey{} && strokes[i].character == U'\r' &&
           i + 1 < strokes.size() && strokes[i + 1].key == NamedKey{} &&
           strokes[i + 1].character == U'\n';
}

int firstKeycode(Display* d, KeySym a, KeySym b) {
    const int k = XKeysymToKeycode(d, a);
    return k ? k : XKeysymToKeycode(d, b);
}

QByteArray hostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return QByteArray(name);
}

// Gives several keycodes new keysyms (lower 0: none at all) in one request, so that the
// window manager and every client see one change of the map rather than one per keycode
// (each costs them a fresh read of the map, and a window manager regrabs its keys). The
// keycodes between them are sent back as they are. Without XKB, one core request each.
bool changeKeys(Display* d, const std::vector<SpareBinding>& keys) {
    if (keys.empty()) return true;
    ErrorTrap trap(d);
    // The actions come too: changing the type of a key that has a group looks at them.
    if (XkbDescPtr xkb = XkbGetMap(d, XkbKeyTypesMask | XkbKeySymsMask | XkbKeyActionsMask,
                                   XkbUseCoreKbd)) {
        XkbMapChangesRec changes{};
        bool ok = true;
        int first = 255, last = 0;
        for (const SpareBinding& k : keys) {
            first = std::min(first, k.keycode);
            last = std::max(last, k.keycode);
            if (!k.lower) {
                ok = ok && XkbChangeTypesOfKey(xkb, k.keycode, 0, XkbGroup1Mask, nullptr,
                                               &changes) == Success;
                continue;
            }
            const bool pair = k.upper != k.lower;
            int type = pair ? XkbAlphabeticIndex : XkbOneLevelIndex;
            if (XkbChangeTypesOfKey(xkb, k.keycode, 1, XkbGroup1Mask, &type, &changes) != Success) {
                ok = false;
                continue;
            }
            KeySym* syms = XkbResizeKeySyms(xkb, k.keycode, pair ? 2 : 1);
            if (!syms) {
                ok = false;
                continue;
            }
            syms[0] = k.lower;
            if (pair) syms[1] = k.upper;
        }
        // The whole range goes: each key changed above noted only its own.
        changes.changed |= XkbKeySymsMask;
        changes.first_key_sym = KeyCode(first);
        changes.num_key_syms = (unsigned char)(last - first + 1);
        if (ok) ok = XkbChangeMap(d, xkb, &changes);
        XkbFreeKeyboard(xkb, 0, True);
        if (ok) return !trap.failed();
    }
    for (const SpareBinding& k : keys) {
        KeySym levels[2] = {k.lower, k.upper};
        XChangeKeyboardMapping(d, k.keycode, k.lower ? 2 : 1, levels, 1);
    }
    return !trap.failed();
}

}  // namespace

X11KeySender::X11KeySender(Connection& connection, const QString& journalFolder)
    : x_(connection), journal_(journalFolder, displayName(connection)) {
    recoverLeftovers();
}

X11KeySender::~X11KeySender() {
    idle_ = nullptr;  // what it runs may already be gone
    restoreKeyboard();
}

// A process that died with keycodes bound left a record; each keycode that still carries
// what that process bound goes back to carrying nothing. Keycodes changed since (the
// layout was switched) are left as they are.
void X11KeySender::recoverLeftovers() {
    // Only a record left behind needs the server: the usual start opens no connection.
    const auto leftovers = journal_.leftovers();
    if (leftovers.empty()) return;
    Display* d = x_.display();
    if (!d) return;
    const CoreKeymap map = readKeymap(d);
    std::vector<SpareBinding> emptied;
    for (const auto& leftover : leftovers) {
        for (const SpareBinding& b : leftover.bindings)
            if (SpareKeycodes::carries(map, b)) emptied.push_back({b.keycode, 0, 0, 0});
        KeymapJournal::forget(leftover);
    }
    changeKeys(d, emptied);
}

// The bookkeeping holds the bindings already; the server gets them now. `replaced` are the
// bindings these keycodes carried until now. Returns the keycodes that could not be bound.
std::vector<int> X11KeySender::bindSpares(const std::vector<std::pair<int, KeySym>>& bindings,
                                          const std::vector<SpareBinding>& replaced) {
    Display* d = x_.display();
    // The record comes first, with what a keycode bound anew carried before as well: a
    // crash in the middle of the change leaves the one or the other on it.
    std::vector<SpareBinding> record = spares_.bindings();
    record.insert(record.end(), replaced.begin(), replaced.end());
    journal_.record(record);
    std::vector<SpareBinding> keys;
    for (const auto& [keycode, keysym] : bindings) {
        const auto [lower, upper] = SpareKeycodes::levelsFor(keysym);
        keys.push_back({keycode, lower, upper, 0});
    }
    if (changeKeys(d, keys)) return {};
    std::vector<int> failed;
    const CoreKeymap map = readKeymap(d);
    for (const SpareBinding& b : spares_.bindings()) {
        if (SpareKeycodes::carries(map, b)) continue;
        failed.push_back(b.keycode);
        spares_.unbind(b.keycode);
    }
    journal_.record(spares_.bindings());
    return failed;
}

void X11KeySender::unbindAll() {
    Display* d = x_.display();
    const auto bound = spares_.bindings();
    if (!d || bound.empty()) return;
    // Only keycodes that still carry what was bound here: a layout switched meanwhile
    // owns the others now.
    const CoreKeymap map = readKeymap(d);
    std::vector<SpareBinding> emptied;
    for (const SpareBinding& b : bound) {
        if (SpareKeycodes::carries(map, b)) emptied.push_back({b.keycode, 0, 0, 0});
        spares_.unbind(b.keycode);
    }
    changeKeys(d, emptied);
    journal_.record({});
}

void X11KeySender::restoreKeyboard() {
    if (!x_.display() || spares_.bindings().empty()) return;
    // A key typed with a bound keycode must be read before the keycode changes again.
    waitUntilProcessed(lastTarget_, size_t(stamp_ - readUpTo_), 0, Settle::BeforeMapChange);
    readUpTo_ = stamp_;
    unbindAll();
}

int X11KeySender::send(const KeySequence& keys) {
    Display* d = x_.display();
    if (!d) return KeyFailNoDisplay;
    if (!x_.hasXTest()) return KeyFailNoXTest;

    // The map is read afresh for every stretch: the user may have switched layouts.
    watchDelivery();
    // Whatever the server reported while nothing was being typed is not about these keys.
    while (XPending(d)) {
        XEvent stale;
        XNextEvent(d, &stale);
    }
    const CoreKeymap map = readKeymap(d);
    spares_.reconcile(map);
    const KeyLayout layout(map);
    const int shiftKey = firstKeycode(d, XK_Shift_L, XK_Shift_R);
    const int controlKey = firstKeycode(d, XK_Control_L, XK_Control_R);
    const int altKey = firstKeycode(d, XK_Alt_L, XK_Meta_L);
    const unsigned long target = activeWindow();
    lastTarget_ = target;
    std::uint64_t before = 0;  // the target's activity before the keys of a part went out

    int failure = 0;
    auto fail = [&failure](int code) { failure = failure ? failure : code; };
    // Caps Lock would turn the case of every letter typed through its own key.
    XkbStateRec state{};
    const bool capsLocked = XkbGetState(d, XkbUseCoreKbd, &state) == Success &&
                            (state.locked_mods & LockMask);
    const int capsKey = XKeysymToKeycode(d, XK_Caps_Lock);
    // A key the user still holds (the switch that chose the area) cannot be pressed again:
    // the server takes no second press of a key that is down. Its character goes through a
    // spare keycode instead.
    char down[32] = {};
    XQueryKeymap(d, down);
    auto isDown = [&down](int keycode) {
        return keycode > 0 && keycode < 256 && (down[keycode / 8] >> (keycode % 8)) & 1;
    };
    HeldKeys held(d, keyEventsSent_);
    auto tapCaps = [&] {
        held.press(capsKey);
        held.release(capsKey);
    };
    if (capsLocked && capsKey) tapCaps();

    // Keys are typed in parts. A part's new bindings are made first, and its keys go out
    // only once the target has taken the new map in: a client that reads a key in the
    // same batch as the change of map may still translate it with the old one.
    std::vector<Tap> taps;
    std::vector<std::pair<int, KeySym>> newBindings;
    std::vector<SpareBinding> replaced;
    Client& client = clientFor(target);
    auto typePart = [&] {
        if (!newBindings.empty()) {
            const std::uint64_t before = activityOf(client);
            for (int keycode : bindSpares(newBindings, replaced)) {
                fail(KeyFailNoSpareKeycode);
                std::erase_if(taps, [keycode](const Tap& t) { return t.keycode == keycode; });
            }
            newBindings.clear();
            replaced.clear();
            waitUntilProcessed(target, 0, before);
        }
        before = activityOf(client);
        XSync(d, False);
        for (const Tap& t : taps) {
            for (int m : t.modifiers) held.press(m);
            held.press(t.keycode);
            held.release(t.keycode);
            for (auto m = t.modifiers.rbegin(); m != t.modifiers.rend(); ++m) held.release(*m);
        }
        held.releaseAll();
        taps.clear();
        XSync(d, False);
    };

    const auto& strokes = keys.strokes;
    for (size_t i = 0; i < strokes.size(); ++i) {
        const KeyStroke& s = strokes[i];
        if (isCrBeforeLf(strokes, i)) continue;  // CR LF is one Enter
        const KeySym sym = s.key != NamedKey{} ? keysymForNamedKey(s.key)
                                               : keysymForCharacter(s.character);
        if (!sym) {
            fail(KeyFailUntypable);
            continue;
        }
        Tap tap;
        if (s.modifiers & ModControl) {
            if (!controlKey) { fail(KeyFailNoModifier); continue; }
            tap.modifiers.push_back(controlKey);
        }
        if (s.modifiers & ModAlt) {
            if (!altKey) { fail(KeyFailNoModifier); continue; }
            tap.modifiers.push_back(altKey);
        }
        bool shift = s.modifiers & ModShift;
        std::optional<KeyChoice> choice = layout.find(sym);
        if (!choice && s.key == NamedKey{})
            if (KeySym alt = unicodeKeysym(s.character)) choice = layout.find(alt);
        if (choice && isDown(choice->keycode)) choice.reset();
        // A character beyond Latin-1 is bound as its Unicode keysym, which every toolkit
        // translates (GTK does not know some classic ones, such as "permille" for "‰").
        KeySym spareSym = sym;
        if (s.key == NamedKey{})
            if (KeySym u = unicodeKeysym(s.character)) spareSym = u;
        if (!choice) choice = spares_.find(spareSym);
        if (!choice) {
            const std::optional<SpareBinding> spare = spares_.pick();
            if (!spare) {
                fail(KeyFailNoSpareKeycode);
                continue;
            }
            if (spare->lastUse > readUpTo_) {
                // Every spare is in use and this one typed keys the target may not have
                // read yet: it translates a key with the map it sees when it reads it.
                typePart();
                waitUntilProcessed(target, size_t(stamp_ - readUpTo_), before,
                                   Settle::BeforeMapChange);
                readUpTo_ = stamp_;
            }
            if (spare->bound()) replaced.push_back(*spare);
            spares_.bind(spare->keycode, spareSym);
            newBindings.emplace_back(spare->keycode, spareSym);
            choice = spares_.find(spareSym);
        }
        tap.keycode = choice->keycode;
        shift = shift || choice->shift;
        if (shift) {
            if (!shiftKey) { fail(KeyFailNoModifier); continue; }
            tap.modifiers.push_back(shiftKey);
        }
        spares_.use(tap.keycode, ++stamp_);
        taps.push_back(std::move(tap));
    }
    typePart();
    if (capsLocked && capsKey) tapCaps();
    held.releaseAll();
    XSync(d, False);
    // "Wait until processed": the keys have been read when the target says so.
    waitUntilProcessed(target, size_t(stamp_ - readUpTo_), before);
    readUpTo_ = stamp_;
    return failure;
}

// XTest input goes through the server's input queue: when this program's requests have
// been answered, the keys may not have reached the target yet. The server reports each
// key event of the XTEST keyboard as an XInput 2 raw event when it handles it, in the same
// step as it hands it to the focused client; counting them tells when every key sent has
// gone out to the target.
void X11KeySender::watchDelivery() {
    Display* d = x_.display();
    if (deliveryWatched_ || !d) return;
    deliveryWatched_ = true;
    int event = 0, error = 0;
    if (!XQueryExtension(d, "XInputExtension", &xiOpcode_, &event, &error)) return;
    int major = 2, minor = 0;
    if (XIQueryVersion(d, &major, &minor) != Success) return;
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(d, XIAllDevices, &count);
    for (int i = 0; i < count; ++i)
        if (devices[i].use == XISlaveKeyboard &&
            QByteArray(devices[i].name).contains("XTEST"))
            xtestKeyboard_ = devices[i].deviceid;
    if (devices) XIFreeDeviceInfo(devices);
    if (xtestKeyboard_ < 0) return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{xtestKeyboard_, int(sizeof bits), bits};
    XISelectEvents(d, x_.root(), &mask, 1);
    XSync(d, False);
    keyEventsSeen_ = keyEventsSent_;
}

void X11KeySender::waitUntilDelivered() {
    Display* d = x_.display();
    if (xtestKeyboard_ < 0) return;
    const auto start = steady_clock::now();
    while (keyEventsSeen_ < keyEventsSent_ && steady_clock::now() - start < milliseconds(1000)) {
        if (!XPending(d)) {
            std::this_thread::sleep_for(microseconds(200));
            continue;
        }
        XEvent in;
        XNextEvent(d, &in);
        if (in.type != GenericEvent || in.xcookie.extension != xiOpcode_) continue;
        if (in.xcookie.evtype == XI_RawKeyPress || in.xcookie.evtype == XI_RawKeyRelease)
            ++keyEventsSeen_;
    }
    // Another program typing through XTEST at the same time is counted too; a count that
    // went wrong starts afresh.
    keyEventsSeen_ = keyEventsSent_;
}

unsigned long X11KeySender::activeWindow() {
    auto active = x_.cardinals(x_.root(), "_NET_ACTIVE_WINDOW", AnyPropertyType);
    return active.empty() ? 0UL : active.front();
}

// The process behind a window's connection, when the server knows it (a client of this
// machine); else the one the window names, when it runs on this host.
long X11KeySender::processOf(unsigned long window) {
    Display* d = x_.display();
    int event = 0, error = 0;
    if (XResQueryExtension(d, &event, &error)) {
        XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
        long count = 0;
        XResClientIdValue* ids = nullptr;
        ErrorTrap trap(d);
        if (XResQueryClientIds(d, 1, &spec, &count, &ids) == Success) {
            pid_t pid = -1;
            for (long i = 0; i < count && pid < 0; ++i) pid = XResGetClientPid(&ids[i]);
            XResClientIdsDestroy(count, ids);
            if (pid > 0) return long(pid);
        }
    }
    const auto pid = x_.cardinals(window, "_NET_WM_PID", XA_CARDINAL);
    const QByteArray machine = x_.bytes(window, "WM_CLIENT_MACHINE", XA_STRING);
    if (!pid.empty() && (machine.isEmpty() || machine == hostName())) return long(pid.front());
    return 0;
}

X11KeySender::Client& X11KeySender::clientFor(unsigned long window) {
    Client& c = clients_[window];
    if (c.answer != Answer::Unknown || !window) return c;
    // A process of this machine is watched through /proc; any other window is asked with
    // pings.
    const long pid = processOf(window);
    if (pid > 0 && pid != long(getpid()) && readProcessActivity(pid)) {
        c.answer = Answer::Process;
        c.pid = pid;
    }
    return c;
}

std::uint64_t X11KeySender::activityOf(const Client& c) const {
    if (c.answer != Answer::Process) return 0;
    const auto a = readProcessActivity(c.pid);
    return a ? a->timesScheduled : 0;
}

void X11KeySender::waitUntilRead() {
    if (!x_.display()) return;
    const unsigned long target = activeWindow();
    waitUntilProcessed(target, 0, activityOf(clientFor(target)));
}

// The first way that gives an answer: the target's process seen asleep again after its
// keys (local clients that say their process), else a _NET_WM_PING answer (a client
// handles its events in order, so when the answer comes back it has read every key sent
// before; Tk answers pings without announcing them in WM_PROTOCOLS, so every window is
// asked), else a pause that grows with the keys sent.
void X11KeySender::waitUntilProcessed(unsigned long target, std::size_t taps,
                                      std::uint64_t before, Settle settle) {
    Display* d = x_.display();
    XSync(d, False);
    waitUntilDelivered();
    if (!target) return pause(taps);
    Client& c = clientFor(target);
    switch (c.answer) {
    case Answer::Process:
        if (waitForProcess(c, before, settle == Settle::BeforeMapChange ? 20 : 2)) return;
        break;
    case Answer::Ping:
        if (waitForPing(target, true)) return;
        break;
    case Answer::Unknown:
        if (waitForPing(target, false)) {
            c.answer = Answer::Ping;
            return;
        }
        c.answer = Answer::Silent;
        break;
    case Answer::Silent:
        break;
    }
    pause(taps);
}

void X11KeySender::pause(std::size_t taps) {
    const auto start = steady_clock::now();
    const auto length = milliseconds(30 + long(taps) / 5);
    while (steady_clock::now() - start < length) {
        if (idle_) idle_();
        std::this_thread::sleep_for(milliseconds(2));
    }
}

// The keys were written to the client's socket before the server answered this program's
// last request; the kernel then woke the client. Once every thread of it sleeps again and
// none has run for two milliseconds, it has read them. A client that waits for an answer of
// the server in the middle of its keys sleeps too, so before the map changes under keys
// it may still translate, the quiet has to last longer (`quietSamples`, about a
// millisecond each). `before` (its scheduling count from
// before the keys) tells that it has run since; a client that never wakes (the keys went
// to a window of another process) is not waited for beyond a short while.
bool X11KeySender::waitForProcess(const Client& c, std::uint64_t before, int quietSamples) {
    const auto start = steady_clock::now();
    const auto limit = milliseconds(processTimeoutMs_);
    std::optional<ProcessActivity> last;
    int quiet = 0;  // samples in a row with every thread asleep and none run meanwhile
    while (steady_clock::now() - start < limit) {
        const auto now = readProcessActivity(c.pid);
        if (!now) return true;  // the process is gone: nothing is left to read the keys
        const bool woke = now->timesScheduled != before || before == 0;
        const bool still = now->allAsleep && last && last->allAsleep &&
                           last->timesScheduled == now->timesScheduled;
        quiet = still ? quiet + 1 : 0;
        if (woke && quiet >= quietSamples) return true;
        if (!woke && steady_clock::now() - start > milliseconds(250)) return false;
        last = now;
        if (idle_) idle_();
        std::this_thread::sleep_for(microseconds(1000));
    }
    return false;
}

bool X11KeySender::waitForPing(unsigned long target, bool patient) {
    Display* d = x_.display();
    const auto start = steady_clock::now();
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(d, x_.root(), &rootAttributes);
    if (!(rootAttributes.your_event_mask & SubstructureNotifyMask))
        XSelectInput(d, x_.root(), rootAttributes.your_event_mask | SubstructureNotifyMask);
    const XAtom ping = x_.atom("_NET_WM_PING");
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
        if (trap.failed()) return false;
    }
    // A window that has answered before may take its time (it may be busy with a paste);
    // one that never has gets a short chance.
    const auto limit = milliseconds(patient ? processTimeoutMs_ : 250);
    while (steady_clock::now() - start < limit) {
        while (XPending(d)) {
            XEvent in;
            XNextEvent(d, &in);
            if (in.type == ClientMessage && in.xclient.window == x_.root() &&
                XAtom(in.xclient.data.l[0]) == ping && in.xclient.data.l[1] == stamp)
                return true;
        }
        if (idle_) idle_();
        std::this_thread::sleep_for(milliseconds(1));
    }
    return false;
}

}  // namespace vexil::x11
