// The keysym tables and the keyboard-map lookups of the X11 key sender, on made-up maps.
#include <gtest/gtest.h>

#include <set>

#include "platform/x11/key_layout.h"
#include "platform/x11/keysyms.h"
#include "desktop/sample_keymap.h"

namespace vexil::x11 {
namespace {

TEST(Keysyms, CharactersOfTheCodePage) {
    struct Case {
        char32_t c;
        KeySym sym;
    };
    const Case cases[] = {
        {U'a', 0x61},      {U'Z', 0x5a},       {U'~', 0x7e},       {U' ', 0x20},
        {U'à', 0xe0},      {U'À', 0xc0},       {U'ç', 0xe7},       {U'Ñ', 0xd1},
        {U'·', 0xb7},      {U'¿', 0xbf},       {U'¡', 0xa1},       {0xA0, 0xa0},
        {U'€', 0x20ac},    {U'–', 0xaaa},      {U'—', 0xaa9},      {U'…', 0xaae},
        {U'‘', 0xad0},     {U'’', 0xad1},      {U'“', 0xad2},      {U'”', 0xad3},
        {U'Š', 0x1a9},     {U'ž', 0x1be},      {U'Œ', 0x13bc},     {U'Ÿ', 0x13be},
        {U'ˆ', 0x10002c6}, {U'‹', 0x1002039},  {U'Ŝ', 0x100015c},
        {U'\n', 0xff0d},   {U'\r', 0xff0d},    {U'\t', 0xff09},    {U'\b', 0xff08},
        {0x1b, 0xff1b},    {0x01, 0},          {0x7f, 0},          {0x81, 0},
        {0xD800, 0},       {0x110000, 0},
    };
    for (const Case& k : cases)
        EXPECT_EQ(keysymForCharacter(k.c), k.sym) << "U+" << std::hex << unsigned(k.c);
}

TEST(Keysyms, UnicodeFormOnlyBeyondLatin1) {
    EXPECT_EQ(unicodeKeysym(U'é'), 0u);
    EXPECT_EQ(unicodeKeysym(U'€'), 0x10020acu);
    EXPECT_EQ(unicodeKeysym(U'Ŝ'), 0x100015cu);
    EXPECT_EQ(unicodeKeysym(0x01), 0u);
}

TEST(Keysyms, EveryNamedKeyHasItsOwnKeysym) {
    std::set<KeySym> seen;
    EXPECT_EQ(keysymForNamedKey(NamedKey::None), 0u);
    for (int k = int(NamedKey::Backspace); k <= int(NamedKey::Divide); ++k) {
        const KeySym s = keysymForNamedKey(NamedKey(k));
        EXPECT_NE(s, 0u) << k;
        EXPECT_TRUE(seen.insert(s).second) << "keysym shared by key " << k;
    }
    EXPECT_EQ(keysymForNamedKey(NamedKey::Enter), 0xff0du);
    EXPECT_EQ(keysymForNamedKey(NamedKey::F16), 0xffcdu);
    EXPECT_EQ(keysymForNamedKey(NamedKey::Add), 0xffabu);  // the keypad's plus
}

// A small map: keycode 8 empty, 9 a/A, 10 one-keysym b (both cases), 11 KP_1, 12 '1'/'!',
// 13 Shift_L (a modifier), 14 empty, 15 Catalan layout's ç/Ç, 16 a second '1' on a keypad
// key with KP_End first, 17 F13 with nothing else, 18 empty; four columns per keycode,
// group 2 carries Greek alpha on keycode 9.
}  // namespace

CoreKeymap sampleMap() {
    CoreKeymap m;
    m.minKeycode = 8;
    m.perKeycode = 4;
    m.syms = {
        0,      0,      0,     0,      // 8
        0x61,   0x41,   0x7e1, 0x7c1,  // 9  a A alpha Alpha
        0x62,   0,      0,     0,      // 10 b
        0xffb1, 0,      0,     0,      // 11 KP_1
        0x31,   0x21,   0,     0,      // 12 1 !
        0xffe1, 0,      0,     0,      // 13 Shift_L
        0,      0,      0,     0,      // 14
        0xe7,   0xc7,   0,     0,      // 15 ccedilla Ccedilla
        0xff9c, 0x31,   0,     0,      // 16 KP_End, 1
        0xffca, 0,      0,     0,      // 17 F13
        0,      0,      0,     0,      // 18
    };
    m.modifierKeycodes = {13};
    return m;
}

namespace {

TEST(KeyLayout, FindsLevelAndKeycode) {
    const CoreKeymap map = sampleMap();
    const KeyLayout layout(map);
    struct Case {
        KeySym sym;
        std::optional<KeyChoice> want;
    };
    const Case cases[] = {
        {0x61, KeyChoice{9, false}},   {0x41, KeyChoice{9, true}},
        {0x62, KeyChoice{10, false}},  {0x42, KeyChoice{10, true}},  // one keysym, two cases
        {0x31, KeyChoice{12, false}},  {0x21, KeyChoice{12, true}},
        {0xe7, KeyChoice{15, false}},  {0xc7, KeyChoice{15, true}},
        {0xffca, KeyChoice{17, false}}, {0xffb1, KeyChoice{11, false}},
        {0xe0, std::nullopt},          {0x7e1, std::nullopt},  // group 2 is not active
        {0x20ac, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(layout.find(c.sym), c.want) << std::hex << c.sym;
}

TEST(KeyLayout, ActiveSecondGroupUsesItsColumns) {
    CoreKeymap map = sampleMap();
    map.group = 1;
    const KeyLayout layout(map);
    EXPECT_EQ(layout.find(0x7e1), (KeyChoice{9, false}));
    EXPECT_EQ(layout.find(0x7c1), (KeyChoice{9, true}));
    EXPECT_EQ(layout.find(0x61), std::nullopt);
}

TEST(KeyLayout, LaterGroupsTypeEverythingThroughBoundKeycodes) {
    CoreKeymap map = sampleMap();
    map.group = 2;
    EXPECT_EQ(KeyLayout(map).find(0x61), std::nullopt);
}

TEST(KeyLayout, EmptyMapFindsNothing) {
    const CoreKeymap map;
    const KeyLayout layout(map);
    EXPECT_EQ(layout.find(0x61), std::nullopt);
    EXPECT_EQ(map.at(8, 0), 0u);
}

}  // namespace
}  // namespace vexil::x11
