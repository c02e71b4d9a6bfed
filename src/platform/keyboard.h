#pragma once
// Keystrokes into the active window.
#include <QString>
#include <cstdint>
#include <vector>

namespace vexil {

// Keys that have names in the keystroke notation ({ENTER}, {F1} ...). Characters are not
// named keys: they travel as code points.
enum class NamedKey : std::uint8_t {
    None,
    Backspace, Break, CapsLock, Delete, Down, End, Enter, Escape, Help, Home, Insert, Left,
    NumLock, PageDown, PageUp, PrintScreen, Right, ScrollLock, Tab, Up,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12, F13, F14, F15, F16,
    Add, Subtract, Multiply, Divide,  // the numeric keypad's operators
};

enum Modifier : std::uint8_t {
    ModShift = 1,
    ModControl = 2,
    ModAlt = 4,
};

// One key press and release with the modifiers held around it.
struct KeyStroke {
    std::uint8_t modifiers = 0;   // Modifier bits
    NamedKey key = NamedKey::None;
    char32_t character = 0;       // used when key is None

    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// A plain stretch of a key sequence: the notation as written and what it means.
struct KeySequence {
    QString notation;
    std::vector<KeyStroke> strokes;
};

class KeySender {
public:
    virtual ~KeySender() = default;
    // Types the strokes into the active window and returns once the window has processed
    // them. Returns 0, or a numeric failure code for the message box.
    virtual int send(const KeySequence& keys) = 0;
    // Returns once the active window has handled everything sent to it before (a paste
    // included), as `send` does after its keys.
    virtual void waitUntilRead() = 0;
    // Gives back whatever the sender changed in the keyboard map to type characters the
    // layout lacks, once the active window has read the keys that needed it.
    virtual void restoreKeyboard() = 0;
};

}  // namespace vexil
