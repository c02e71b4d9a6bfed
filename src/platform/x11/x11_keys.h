#pragma once
// Keystrokes injected with XTest into whatever window has the focus.
#include <cstddef>
#include <functional>
#include <set>

#include "platform/keyboard.h"
#include "platform/x11/x11_connection.h"

namespace vexil::x11 {

// The numeric failure codes the player shows in its message box.
enum KeyFailure : int {
    KeyFailNoDisplay = 1,       // no X display
    KeyFailNoXTest = 2,         // the server lacks the XTEST extension
    KeyFailUntypable = 3,       // a character no key can type (a control character)
    KeyFailNoSpareKeycode = 4,  // a keysym without a key and no keycode left to bind it to
    KeyFailNoModifier = 5,      // Shift, Ctrl or Alt is missing from the keyboard map
};

class X11KeySender : public KeySender {
public:
    explicit X11KeySender(Connection& connection) : x_(connection) {}
    // Run while waiting for the target to read its keys, so that the program can answer
    // it meanwhile (a paste asks the program for the clipboard).
    void setIdle(std::function<void()> idle) { idle_ = std::move(idle); }
    // The longest wait for the target to say it has read the keys, in milliseconds.
    void setProcessTimeout(int ms) { processTimeoutMs_ = ms; }

    int send(const KeySequence& keys) override;
    void waitUntilRead() override;

private:
    unsigned long activeWindow();
    void waitUntilProcessed(unsigned long target, std::size_t taps);
    Connection& x_;
    std::function<void()> idle_;
    int processTimeoutMs_ = 3000;
    unsigned long pingSerial_ = 1;
    std::set<unsigned long> answeringWindows_;
    std::set<unsigned long> silentWindows_;
};

}  // namespace vexil::x11
