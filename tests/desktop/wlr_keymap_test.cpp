// The virtual keyboard's own map on wlroots compositors: the text it hands the compositor
// compiles with xkbcommon, as every client compiles it, and each key types exactly its
// character (with Shift for the capital of a pair), whatever the stretch needs beyond
// Windows-1252.
#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <memory>

#include <xkbcommon/xkbcommon.h>

#include "platform/wayland/wlr_keymap.h"

namespace vexil::wayland {
namespace {

struct Compiled {
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{
        xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES), xkb_context_unref};
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap{nullptr, xkb_keymap_unref};

    explicit Compiled(const VirtualKeymap& map) {
        const QByteArray text = map.text();
        keymap.reset(xkb_keymap_new_from_string(context.get(), text.constData(),
                                                XKB_KEYMAP_FORMAT_TEXT_V1,
                                                XKB_KEYMAP_COMPILE_NO_FLAGS));
    }

    // What a client reads from the key at `place`, Shift held when the place says so.
    QString typed(const KeyPlace& place, std::uint32_t shiftKey) const {
        std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state{xkb_state_new(keymap.get()),
                                                                     xkb_state_unref};
        if (place.shift) xkb_state_update_key(state.get(), shiftKey, XKB_KEY_DOWN);
        char utf8[16] = {};
        xkb_state_key_get_utf8(state.get(), place.keycode, utf8, sizeof utf8);
        return QString::fromUtf8(utf8);
    }
};

std::vector<char32_t> windows1252() {
    std::vector<char32_t> all;
    for (int b = 0x20; b <= 0xFF; ++b) {
        if (b == 0x7F) continue;
        static const char32_t high[32] = {
            0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
            0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
        const char32_t u = b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char32_t(b);
        if (u) all.push_back(u);
    }
    return all;
}

TEST(WlrKeymap, EveryWindows1252CharacterTypesItself) {
    VirtualKeymap map;
    Compiled compiled(map);
    ASSERT_TRUE(compiled.keymap) << map.text().toStdString();
    const auto all = windows1252();
    ASSERT_EQ(all.size(), 218u);
    for (char32_t c : all) {
        const auto place = map.find(c);
        ASSERT_TRUE(place) << std::hex << unsigned(c);
        EXPECT_LE(place->keycode, 255u);
        EXPECT_TRUE(map.inFixedPart(c));
        EXPECT_EQ(compiled.typed(*place, map.shiftKey()), QString::fromUcs4(&c, 1))
            << std::hex << unsigned(c);
    }
    // The letters of a pair share a key, the capital on the shifted level; ß and µ, whose
    // capitals are not in the set, stand alone.
    struct Pair {
        char32_t small, capital;
    } pairs[] = {{U'a', U'A'}, {U'ñ', U'Ñ'}, {U'ç', U'Ç'}, {U'ÿ', U'Ÿ'}, {U'œ', U'Œ'}, {U'š', U'Š'}};
    for (const Pair& p : pairs) {
        EXPECT_EQ(map.find(p.small)->keycode, map.find(p.capital)->keycode);
        EXPECT_FALSE(map.find(p.small)->shift);
        EXPECT_TRUE(map.find(p.capital)->shift);
    }
    EXPECT_FALSE(map.find(U'ß')->shift);
    EXPECT_FALSE(map.find(U'µ')->shift);
}

TEST(WlrKeymap, NamedKeysAndModifiers) {
    VirtualKeymap map;
    Compiled compiled(map);
    ASSERT_TRUE(compiled.keymap);
    struct Named {
        NamedKey key;
        const char* keysym;
    } named[] = {{NamedKey::Enter, "Return"},     {NamedKey::Tab, "Tab"},
                 {NamedKey::Backspace, "BackSpace"}, {NamedKey::Escape, "Escape"},
                 {NamedKey::Left, "Left"},        {NamedKey::PageDown, "Next"},
                 {NamedKey::F16, "F16"},          {NamedKey::Divide, "KP_Divide"},
                 {NamedKey::PrintScreen, "Print"}, {NamedKey::Break, "Break"}};
    for (const Named& n : named) {
        const auto place = map.find(n.key);
        ASSERT_TRUE(place) << n.keysym;
        const xkb_keysym_t* syms = nullptr;
        ASSERT_EQ(xkb_keymap_key_get_syms_by_level(compiled.keymap.get(), place->keycode, 0, 0,
                                                   &syms),
                  1)
            << n.keysym;
        EXPECT_EQ(syms[0], xkb_keysym_from_name(n.keysym, XKB_KEYSYM_NO_FLAGS)) << n.keysym;
    }
    // Control characters are their named keys; others have no key.
    EXPECT_EQ(map.find(U'\n'), map.find(NamedKey::Enter));
    EXPECT_EQ(map.find(U'\r'), map.find(NamedKey::Enter));
    EXPECT_EQ(map.find(U'\t'), map.find(NamedKey::Tab));
    EXPECT_FALSE(VirtualKeymap::typable(0x01));
    EXPECT_FALSE(VirtualKeymap::typable(0x85));
    EXPECT_FALSE(VirtualKeymap::typable(0xD800));
    EXPECT_FALSE(map.find(char32_t(0x01)));

    // Each modifier key sets the modifier clients read; Caps Lock locks.
    struct Mod {
        std::uint32_t keycode;
        const char* name;
    } mods[] = {{map.shiftKey(), XKB_MOD_NAME_SHIFT},
                {map.controlKey(), XKB_MOD_NAME_CTRL},
                {map.altKey(), XKB_MOD_NAME_ALT}};
    for (const Mod& m : mods) {
        xkb_state* s = xkb_state_new(compiled.keymap.get());
        xkb_state_update_key(s, m.keycode, XKB_KEY_DOWN);
        EXPECT_EQ(xkb_state_mod_name_is_active(s, m.name, XKB_STATE_MODS_DEPRESSED), 1) << m.name;
        xkb_state_update_key(s, m.keycode, XKB_KEY_UP);
        EXPECT_EQ(xkb_state_mod_name_is_active(s, m.name, XKB_STATE_MODS_DEPRESSED), 0) << m.name;
        xkb_state_unref(s);
    }
    xkb_state* s = xkb_state_new(compiled.keymap.get());
    const std::uint32_t caps = map.find(NamedKey::CapsLock)->keycode;
    xkb_state_update_key(s, caps, XKB_KEY_DOWN);
    xkb_state_update_key(s, caps, XKB_KEY_UP);
    EXPECT_EQ(xkb_state_mod_name_is_active(s, XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED), 1);
    char utf8[8] = {};
    xkb_state_key_get_utf8(s, map.find(U'e')->keycode, utf8, sizeof utf8);
    EXPECT_STREQ(utf8, "E");
    xkb_state_unref(s);
}

std::vector<KeyStroke> strokesOf(const QString& text) {
    std::vector<KeyStroke> strokes;
    for (char32_t c : text.toUcs4()) strokes.push_back({0, NamedKey::None, c});
    return strokes;
}

// Characters beyond Windows-1252: the stretch is cut where one extension would overflow,
// and with each part's extension loaded every character of the part types itself.
TEST(WlrKeymap, ExtensionsCarryWhatTheStretchNeeds) {
    VirtualKeymap map;
    ASSERT_GE(map.extensionRoom(), 40u);
    QString beyond;
    for (char32_t c = 0x3B1; c < 0x3B1 + 25; ++c) beyond += QString::fromUcs4(&c, 1);  // α...
    for (char32_t c = 0x2600; c < 0x2600 + 40; ++c) beyond += QString::fromUcs4(&c, 1);  // ☀...
    const QString stretch = QString::fromUtf8("Hola «") + beyond + QString::fromUtf8("» Ñ€ ") +
                            beyond.left(3) + QString::fromUtf8("āĀ");
    const auto strokes = strokesOf(stretch);
    const auto parts = planExtensions(map, strokes);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts.front().begin, 0u);
    EXPECT_EQ(parts.back().end, strokes.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const KeymapPart& part = parts[i];
        if (i) {
            EXPECT_EQ(part.begin, parts[i - 1].end);
        }
        ASSERT_LE(VirtualKeymap::keysFor(part.extension), map.extensionRoom());
        ASSERT_TRUE(map.setExtension(part.extension));
        Compiled compiled(map);
        ASSERT_TRUE(compiled.keymap);
        for (std::size_t k = part.begin; k < part.end; ++k) {
            const char32_t c = strokes[k].character;
            const auto place = map.find(c);
            ASSERT_TRUE(place) << std::hex << unsigned(c);
            EXPECT_LE(place->keycode, VirtualKeymap::maxKeycode);
            EXPECT_EQ(compiled.typed(*place, map.shiftKey()), QString::fromUcs4(&c, 1))
                << std::hex << unsigned(c);
        }
    }
    // ā and Ā take one key between them; a stretch within Windows-1252 needs no extension.
    EXPECT_EQ(VirtualKeymap::keysFor({U'ā', U'Ā', U'✓'}), 2u);
    const auto plain = planExtensions(map, strokesOf(QString::fromUtf8("Això és il·lícit: «Ñ» 5 €")));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_TRUE(plain.front().extension.empty());
    // An extension that would hold a fixed character, or more than there is room for, is
    // refused and the loaded one stays.
    ASSERT_TRUE(map.setExtension({U'✓'}));
    EXPECT_FALSE(map.setExtension({U'é'}));
    std::vector<char32_t> tooMany;
    for (char32_t c = 0x2600; c < 0x2600 + map.extensionRoom() + 1; ++c) tooMany.push_back(c);
    EXPECT_FALSE(map.setExtension(tooMany));
    EXPECT_TRUE(map.find(U'✓'));
}

}  // namespace
}  // namespace vexil::wayland
