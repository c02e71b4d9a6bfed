#include "platform/x11/keysyms.h"

#define XK_PUBLISHING  // the typographic keysyms (dashes, quotes, ellipsis)
#include <X11/keysym.h>

namespace vexil::x11 {
namespace {

struct ClassicSym {
    char32_t character;
    KeySym keysym;
};

// The characters of Windows-1252 outside Latin-1 that have a classic keysym. Keyboard maps
// (Spanish and Catalan among them) carry these forms, so a lookup must try them first.
constexpr ClassicSym classicSyms[] = {
    {0x20AC, XK_EuroSign},           {0x201A, XK_singlelowquotemark},
    {0x0192, 0x8f6 /* function */},  {0x201E, XK_doublelowquotemark},
    {0x2026, XK_ellipsis},           {0x2020, XK_dagger},
    {0x2021, XK_doubledagger},       {0x2030, XK_permille},
    {0x0160, XK_Scaron},             {0x0152, XK_OE},
    {0x017D, XK_Zcaron},             {0x2018, XK_leftsinglequotemark},
    {0x2019, XK_rightsinglequotemark}, {0x201C, XK_leftdoublequotemark},
    {0x201D, XK_rightdoublequotemark}, {0x2022, XK_enfilledcircbullet},
    {0x2013, XK_endash},             {0x2014, XK_emdash},
    {0x2122, XK_trademark},          {0x0161, XK_scaron},
    {0x0153, XK_oe},                 {0x017E, XK_zcaron},
    {0x0178, XK_Ydiaeresis},
};

}  // namespace

KeySym keysymForCharacter(char32_t c) {
    switch (c) {
        case U'\n':
        case U'\r': return XK_Return;
        case U'\t': return XK_Tab;
        case U'\b': return XK_BackSpace;
        case 0x1B: return XK_Escape;
        default: break;
    }
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return 0;
    if (c <= 0xFF) return KeySym(c);  // Latin-1 keysyms are the code points
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    for (const auto& s : classicSyms)
        if (s.character == c) return s.keysym;
    return 0x1000000 + KeySym(c);
}

KeySym unicodeKeysym(char32_t c) {
    if (c <= 0xFF || keysymForCharacter(c) == 0) return 0;
    return 0x1000000 + KeySym(c);
}

KeySym keysymForNamedKey(NamedKey key) {
    switch (key) {
        case NamedKey::None: return 0;
        case NamedKey::Backspace: return XK_BackSpace;
        case NamedKey::Break: return XK_Break;
        case NamedKey::CapsLock: return XK_Caps_Lock;
        case NamedKey::Delete: return XK_Delete;
        case NamedKey::Down: return XK_Down;
        case NamedKey::End: return XK_End;
        case NamedKey::Enter: return XK_Return;
        case NamedKey::Escape: return XK_Escape;
        case NamedKey::Help: return XK_Help;
        case NamedKey::Home: return XK_Home;
        case NamedKey::Insert: return XK_Insert;
        case NamedKey::Left: return XK_Left;
        case NamedKey::NumLock: return XK_Num_Lock;
        case NamedKey::PageDown: return XK_Page_Down;
        case NamedKey::PageUp: return XK_Page_Up;
        case NamedKey::PrintScreen: return XK_Print;
        case NamedKey::Right: return XK_Right;
        case NamedKey::ScrollLock: return XK_Scroll_Lock;
        case NamedKey::Tab: return XK_Tab;
        case NamedKey::Up: return XK_Up;
        case NamedKey::F1: return XK_F1;
        case NamedKey::F2: return XK_F2;
        case NamedKey::F3: return XK_F3;
        case NamedKey::F4: return XK_F4;
        case NamedKey::F5: return XK_F5;
        case NamedKey::F6: return XK_F6;
        case NamedKey::F7: return XK_F7;
        case NamedKey::F8: return XK_F8;
        case NamedKey::F9: return XK_F9;
        case NamedKey::F10: return XK_F10;
        case NamedKey::F11: return XK_F11;
        case NamedKey::F12: return XK_F12;
        case NamedKey::F13: return XK_F13;
        case NamedKey::F14: return XK_F14;
        case NamedKey::F15: return XK_F15;
        case NamedKey::F16: return XK_F16;
        case NamedKey::Add: return XK_KP_Add;
        case NamedKey::Subtract: return XK_KP_Subtract;
        case NamedKey::Multiply: return XK_KP_Multiply;
        case NamedKey::Divide: return XK_KP_Divide;
    }
    return 0;
}

}  // namespace vexil::x11
