#include "platform/wayland/wlr_keymap.h"

#include <QChar>
#include <algorithm>

#include <xkbcommon/xkbcommon.h>

#include "platform/x11/keysyms.h"

namespace vexil::wayland {
namespace {

// Windows-1252 beyond ASCII and Latin-1: the characters of 0x80..0x9F.
constexpr char32_t windows1252Extras[] = {
    0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178,
};

constexpr NamedKey namedKeys[] = {
    NamedKey::Backspace, NamedKey::Break,    NamedKey::CapsLock, NamedKey::Delete,
    NamedKey::Down,      NamedKey::End,      NamedKey::Enter,    NamedKey::Escape,
    NamedKey::Help,      NamedKey::Home,     NamedKey::Insert,   NamedKey::Left,
    NamedKey::NumLock,   NamedKey::PageDown, NamedKey::PageUp,   NamedKey::PrintScreen,
    NamedKey::Right,     NamedKey::ScrollLock, NamedKey::Tab,    NamedKey::Up,
    NamedKey::F1,  NamedKey::F2,  NamedKey::F3,  NamedKey::F4,  NamedKey::F5,  NamedKey::F6,
    NamedKey::F7,  NamedKey::F8,  NamedKey::F9,  NamedKey::F10, NamedKey::F11, NamedKey::F12,
    NamedKey::F13, NamedKey::F14, NamedKey::F15, NamedKey::F16,
    NamedKey::Add, NamedKey::Subtract, NamedKey::Multiply, NamedKey::Divide,
};

// Latin-1 keysyms are the code points; every other character gets its Unicode keysym,
// which every toolkit translates (GTK does not know some classic names, such as
// "permille").
std::uint32_t keysymOf(char32_t c) { return c <= 0xFF ? c : 0x1000000u + c; }

bool inWindows1252(char32_t c) {
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return true;
    return std::find(std::begin(windows1252Extras), std::end(windows1252Extras), c) !=
           std::end(windows1252Extras);
}

// The capital of a lower-case letter, when it is one character that turns back into it
// (not for ß or µ).
char32_t capitalOf(char32_t c) {
    const char32_t upper = QChar::toUpper(c);
    return upper != c && QChar::toLower(upper) == c ? upper : 0;
}

char32_t smallOf(char32_t c) {
    const char32_t lower = QChar::toLower(c);
    return lower != c && QChar::toUpper(lower) == c ? lower : 0;
}

QByteArray keysymName(std::uint32_t keysym) {
    char name[64] = {};
    xkb_keysym_get_name(keysym, name, sizeof name);
    return name;
}

// Key names of at most four characters, as X11 clients want them.
QByteArray keyName(std::uint32_t keycode) {
    return "<K" + QByteArray::number(keycode).rightJustified(3, '0') + '>';
}

template <typename Table>
std::optional<KeyPlace> lookUp(const Table& table, char32_t c) {
    const auto it = std::lower_bound(table.begin(), table.end(), c,
                                     [](const auto& e, char32_t v) { return e.first < v; });
    if (it == table.end() || it->first != c) return std::nullopt;
    return it->second;
}

}  // namespace

VirtualKeymap::VirtualKeymap() {
    std::uint32_t next = minKeycode + 1;  // 8 is the protocol's key 0, which no key has
    auto add = [&](std::uint32_t keysym) {
        fixed_.push_back({next, keysym, 0});
        return next++;
    };
    shiftKey_ = add(XKB_KEY_Shift_L);
    controlKey_ = add(XKB_KEY_Control_L);
    altKey_ = add(XKB_KEY_Alt_L);
    for (NamedKey k : namedKeys) {
        const std::uint32_t keycode = add(std::uint32_t(x11::keysymForNamedKey(k)));
        named_.emplace_back(k, keycode);
        if (k == NamedKey::CapsLock) capsKey_ = keycode;
    }
    // Every character of Windows-1252; a letter and its capital share a key.
    std::vector<char32_t> all;
    for (char32_t c = 0x20; c <= 0xFF; ++c)
        if (inWindows1252(c)) all.push_back(c);
    all.insert(all.end(), std::begin(windows1252Extras), std::end(windows1252Extras));
    for (char32_t c : all) {
        const char32_t small = smallOf(c);
        if (small && inWindows1252(small)) continue;  // with its small letter
        const char32_t capital = capitalOf(c);
        addCharacterKey(c, capital && inWindows1252(capital) ? capital : 0, fixed_);
        next = fixed_.back().keycode + 1;
    }
    firstExtensionKeycode_ = next;
    for (const Key& k : fixed_) index(k, fixedChars_);
    std::sort(fixedChars_.begin(), fixedChars_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::uint32_t VirtualKeymap::addCharacterKey(char32_t lower, char32_t upper,
                                             std::vector<Key>& keys) {
    const std::uint32_t keycode =
        keys.empty() ? firstExtensionKeycode_ : keys.back().keycode + 1;
    keys.push_back({keycode, keysymOf(lower), upper ? keysymOf(upper) : 0});
    return keycode;
}

void VirtualKeymap::index(const Key& key,
                          std::vector<std::pair<char32_t, KeyPlace>>& into) const {
    auto character = [](std::uint32_t keysym) {
        return char32_t(keysym >= 0x1000000 ? keysym - 0x1000000 : keysym);
    };
    // Modifier and named keys carry no character.
    if (key.keycode < firstExtensionKeycode_ &&
        (key.keycode <= altKey_ ||
         std::any_of(named_.begin(), named_.end(),
                     [&](const auto& n) { return n.second == key.keycode; })))
        return;
    into.emplace_back(character(key.lower), KeyPlace{key.keycode, false});
    if (key.upper) into.emplace_back(character(key.upper), KeyPlace{key.keycode, true});
}

std::optional<KeyPlace> VirtualKeymap::find(NamedKey key) const {
    for (const auto& [k, keycode] : named_)
        if (k == key) return KeyPlace{keycode, false};
    return std::nullopt;
}

std::optional<KeyPlace> VirtualKeymap::find(char32_t c) const {
    if (NamedKey k = namedKeyFor(c); k != NamedKey::None) return find(k);
    if (auto p = lookUp(fixedChars_, c)) return p;
    return lookUp(extraChars_, c);
}

NamedKey VirtualKeymap::namedKeyFor(char32_t c) {
    switch (c) {
        case U'\r':
        case U'\n': return NamedKey::Enter;
        case U'\t': return NamedKey::Tab;
        case U'\b': return NamedKey::Backspace;
        case 0x1B: return NamedKey::Escape;
        default: return NamedKey::None;
    }
}

bool VirtualKeymap::typable(char32_t c) {
    if (namedKeyFor(c) != NamedKey::None) return true;
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return false;
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF;
}

bool VirtualKeymap::inFixedPart(char32_t c) const {
    return namedKeyFor(c) != NamedKey::None || lookUp(fixedChars_, c).has_value();
}

std::size_t VirtualKeymap::extensionRoom() const {
    return maxKeycode + 1 - firstExtensionKeycode_;
}

std::size_t VirtualKeymap::keysFor(const std::vector<char32_t>& characters) {
    std::size_t keys = 0;
    for (char32_t c : characters) {
        const char32_t small = smallOf(c);
        if (small && std::find(characters.begin(), characters.end(), small) != characters.end())
            continue;
        ++keys;
    }
    return keys;
}

bool VirtualKeymap::setExtension(const std::vector<char32_t>& characters) {
    for (char32_t c : characters)
        if (!typable(c) || inFixedPart(c)) return false;
    if (keysFor(characters) > extensionRoom()) return false;
    extra_.clear();
    extraChars_.clear();
    extension_ = characters;
    auto has = [&](char32_t c) {
        return c && std::find(characters.begin(), characters.end(), c) != characters.end();
    };
    for (char32_t c : characters) {
        if (has(smallOf(c))) continue;  // on its small letter's key
        const char32_t capital = capitalOf(c);
        addCharacterKey(c, has(capital) ? capital : 0, extra_);
    }
    for (const Key& k : extra_) index(k, extraChars_);
    std::sort(extraChars_.begin(), extraChars_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return true;
}

QByteArray VirtualKeymap::text() const {
    QByteArray keycodes, symbols;
    auto describe = [&](const Key& k) {
        keycodes += "    " + keyName(k.keycode) + " = " + QByteArray::number(k.keycode) + ";\n";
        symbols += "    key " + keyName(k.keycode) + " { ";
        if (k.upper)
            symbols += "type = \"ALPHABETIC\", [ " + keysymName(k.lower) + ", " +
                       keysymName(k.upper) + " ]";
        else
            symbols += "type = \"ONE_LEVEL\", [ " + keysymName(k.lower) + " ]";
        symbols += " };\n";
    };
    for (const Key& k : fixed_) describe(k);
    for (const Key& k : extra_) describe(k);
    QByteArray out;
    out += "xkb_keymap {\n";
    out += "xkb_keycodes \"vexil\" {\n    minimum = " + QByteArray::number(minKeycode) +
           ";\n    maximum = " + QByteArray::number(maxKeycode) + ";\n" + keycodes +
           "    indicator 1 = \"Caps Lock\";\n};\n";
    out += "xkb_types \"vexil\" {\n"
           "    type \"ONE_LEVEL\" {\n"
           "        modifiers = none;\n"
           "        level_name[Level1] = \"Any\";\n"
           "    };\n"
           "    type \"ALPHABETIC\" {\n"
           "        modifiers = Shift+Lock;\n"
           "        map[Shift] = Level2;\n"
           "        map[Lock] = Level2;\n"
           "        level_name[Level1] = \"Base\";\n"
           "        level_name[Level2] = \"Caps\";\n"
           "    };\n"
           "};\n";
    // Shift, Ctrl and Caps Lock act on their real modifiers; Alt on Mod1, as every
    // toolkit reads it, and the virtual modifier Alt with it.
    out += "xkb_compatibility \"vexil\" {\n"
           "    virtual_modifiers Alt;\n"
           "    interpret Shift_L { action = SetMods(modifiers = Shift); };\n"
           "    interpret Control_L { action = SetMods(modifiers = Control); };\n"
           "    interpret Alt_L { virtualModifier = Alt; action = SetMods(modifiers = modMapMods); };\n"
           "    interpret Caps_Lock { action = LockMods(modifiers = Lock); };\n"
           "    indicator \"Caps Lock\" { whichModState = Locked; modifiers = Lock; };\n"
           "};\n";
    out += "xkb_symbols \"vexil\" {\n" + symbols;
    out += "    modifier_map Shift { " + keyName(shiftKey_) + " };\n";
    out += "    modifier_map Lock { " + keyName(capsKey_) + " };\n";
    out += "    modifier_map Control { " + keyName(controlKey_) + " };\n";
    out += "    modifier_map Mod1 { " + keyName(altKey_) + " };\n";
    out += "};\n};\n";
    return out;
}

std::vector<KeymapPart> planExtensions(const VirtualKeymap& map,
                                       const std::vector<KeyStroke>& strokes) {
    std::vector<KeymapPart> parts;
    KeymapPart part;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const KeyStroke& s = strokes[i];
        const char32_t c = s.character;
        if (s.key != NamedKey::None || !VirtualKeymap::typable(c) || map.inFixedPart(c))
            continue;
        if (std::find(part.extension.begin(), part.extension.end(), c) != part.extension.end())
            continue;
        part.extension.push_back(c);
        if (VirtualKeymap::keysFor(part.extension) <= map.extensionRoom()) continue;
        // This character starts a part of its own, with a map of its own.
        part.extension.pop_back();
        part.end = i;
        parts.push_back(std::move(part));
        part = KeymapPart{i, i, {c}};
    }
    part.end = strokes.size();
    parts.push_back(std::move(part));
    return parts;
}

}  // namespace vexil::wayland
