#pragma once
// Which X keysym types a character or a named key. Pure tables, no X connection.
#include <cstdint>

#include "platform/keyboard.h"

namespace vexil::x11 {

using KeySym = unsigned long;

// The keysym that types `c`: Latin-1 keysyms for Latin-1 characters, the classic keysyms
// of the other Windows-1252 characters (EuroSign, endash...), Unicode keysyms for the
// rest; Return, Tab, BackSpace and Escape for their control characters; 0 for a control
// character that types nothing.
KeySym keysymForCharacter(char32_t c);

// The Unicode keysym (0x1000000 + code point) a keyboard map may carry instead of the
// classic one; 0 when there is no other form.
KeySym unicodeKeysym(char32_t c);

// The keysym of a named key; 0 for NamedKey::None.
KeySym keysymForNamedKey(NamedKey key);

}  // namespace vexil::x11
