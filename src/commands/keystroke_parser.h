#pragma once
// The keystroke notation of key sequences, parsed into key strokes:
//   characters type themselves; "+", "^", "%" hold Shift, Ctrl, Alt for the next key or for a
//   group in parentheses ("+(abc)"); "~" is Enter; a name in braces is a named key, with an
//   optional repeat count after a blank ("{LEFT 3}"); one character in braces is that
//   character ("{+}", "{{}", "{}}", "{a 5}"); names are matched without regard to case.
// The player sends what this gives; the editor uses it to check what an author typed.
#include <QString>
#include <optional>

#include "platform/keyboard.h"

namespace vexil {

// Failures, with the numeric code the player's message box shows.
enum class KeyParseError : int {
    None = 0,
    UnknownKeyName = 1001,         // "{FOO}"
    UnclosedBrace = 1002,          // "{ENTER" with no "}"
    UnbalancedParenthesis = 1003,  // "(ab" or "ab)"
    BadRepeatCount = 1004,         // "{LEFT x}", "{LEFT -1}", or a count above kMaxRepeat
    ModifierWithoutKey = 1005,     // "abc+" or "+)"
    EmptyBraces = 1006,            // "{}"
    TooManyStrokes = 1007,         // more than kMaxStrokes strokes in one stretch
    TooDeep = 1008,                // groups nested deeper than kMaxGroupDepth
    StrayClosingBrace = 1009,      // "a}b"
};

struct KeyParseResult {
    KeySequence sequence;  // complete only when error is None
    KeyParseError error = KeyParseError::None;
    int errorPosition = -1;  // index in the text where the fault was found
};

// Hard limits that keep hostile sequences harmless.
inline constexpr int kMaxRepeat = 1000;
inline constexpr int kMaxStrokes = 100000;
inline constexpr int kMaxGroupDepth = 32;

KeyParseResult parseKeystrokes(const QString& notation);

// The named key for a braced name (any case, Windows names and their usual variants), or
// nothing.
std::optional<NamedKey> namedKeyFromName(const QString& name);

// A short Spanish description of a failure, for the message box.
QString keyParseErrorText(KeyParseError error);

// `text` written so that it types itself literally: the notation's special characters
// are put in braces.
QString escapeKeystrokes(const QString& text);

}  // namespace vexil
