#pragma once
// Keystrokes injected with XTest into whatever window has the focus.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/keyboard.h"
#include "platform/x11/keymap_journal.h"
#include "platform/x11/spare_keycodes.h"
#include "platform/x11/x11_connection.h"

namespace vexil::x11 {

// The numeric failure codes the player shows in its message box.
enum KeyFailure : int {
    KeyFailNoDisplay = 1,       // no X display
    KeyFailNoXTest = 2,         // the server lacks the XTEST extension
    KeyFailUntypable = 3,       // a character no key can type (a control character)
    KeyFailNoSpareKeycode = 4,  // a keysym without a key and no empty keycode to bind it to
    KeyFailNoModifier = 5,      // Shift, Ctrl or Alt is missing from the keyboard map
};

class X11KeySender : public KeySender {
public:
    // `journalFolder` empty: the user's runtime folder. Bindings left over by a process
    // that died while typing on this display are put back here.
    explicit X11KeySender(Connection& connection, const QString& journalFolder = {});
    ~X11KeySender() override;  // the keyboard map goes back as it was
    X11KeySender(const X11KeySender&) = delete;
    X11KeySender& operator=(const X11KeySender&) = delete;

    // Run while waiting for the target to read its keys, so that the program can answer
    // it meanwhile (a paste asks the program for the clipboard).
    void setIdle(std::function<void()> idle) { idle_ = std::move(idle); }
    // The longest wait for the target to read its keys, in milliseconds.
    void setProcessTimeout(int ms) { processTimeoutMs_ = ms; }

    int send(const KeySequence& keys) override;
    void waitUntilRead() override;
    void restoreKeyboard() override;

    // The keycodes bound now (for tests and diagnostics).
    std::vector<SpareBinding> bindings() const { return spares_.bindings(); }

private:
    // How a window tells that it has read its keys, learnt on first use.
    enum class Answer { Unknown, Process, Ping, Silent };
    struct Client {
        Answer answer = Answer::Unknown;
        long pid = 0;  // a local process, for the /proc check
    };
    Client& clientFor(unsigned long window);
    long processOf(unsigned long window);
    std::uint64_t activityOf(const Client& c) const;
    unsigned long activeWindow();
    // Returns once `target` has read every key sent so far; `before` is the target
    // process's scheduling count taken before the keys went out.
    // Before the map changes under keys the target may still translate, a quiet client is
    // given longer to prove it is done.
    enum class Settle { Read, BeforeMapChange };
    void waitUntilProcessed(unsigned long target, std::size_t taps, std::uint64_t before,
                            Settle settle = Settle::Read);
    bool waitForProcess(const Client& c, std::uint64_t before, int quietSamples);
    bool waitForPing(unsigned long target, bool patient);
    void pause(std::size_t taps);
    void watchDelivery();
    void waitUntilDelivered();
    std::vector<int> bindSpares(const std::vector<std::pair<int, KeySym>>& bindings,
                                const std::vector<SpareBinding>& replaced);
    void unbindAll();
    void recoverLeftovers();

    Connection& x_;
    KeymapJournal journal_;
    SpareKeycodes spares_;
    std::function<void()> idle_;
    int processTimeoutMs_ = 3000;
    unsigned long pingSerial_ = 1;
    std::map<unsigned long, Client> clients_;
    std::uint64_t stamp_ = 0;     // keys typed so far
    std::uint64_t readUpTo_ = 0;  // of those, the ones known to have been read
    unsigned long lastTarget_ = 0;
    // Key events handed to the server, and those it reported handled (XInput 2 raw events
    // of the XTEST keyboard).
    bool deliveryWatched_ = false;
    int xiOpcode_ = -1;
    int xtestKeyboard_ = -1;
    std::uint64_t keyEventsSent_ = 0;
    std::uint64_t keyEventsSeen_ = 0;
};

}  // namespace vexil::x11
