// How characters are typed with the compositor's keyboard map on Wayland: every printable
// character of Windows-1252 gets a way under the US, Spanish, German and French layouts,
// and the keys of each way, replayed through xkbcommon as the receiving application reads
// them, give exactly that character.
#include "platform/wayland/key_plan.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <memory>
#include <string>

#include "platform/codepage.h"

namespace vexil::wayland {
namespace {

struct Xkb {
    explicit Xkb(const char* layout) {
        context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
        const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
        keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        compose =
            xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    }
    ~Xkb() {
        xkb_compose_table_unref(compose);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_compose_table* compose = nullptr;
};

std::u32string printable1252() {
    std::string bytes;
    for (int b = 0x20; b <= 0xFF; ++b)
        if (b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
            bytes.push_back(char(b));
    std::u32string out;
    for (char32_t c : decodeAnsi(bytes).toUcs4()) out.push_back(c);
    return out;
}

struct LayoutCase {
    const char* layout;
    std::u32string direct, deadKey, clipboard;  // a sample of each way, checked exactly
};

const LayoutCase layouts[] = {
    {"us", U"aZ1!@~`{|} €", U"", U"áÑçé·«»¡¿"},
    {"es", U"ñÑçºª·€¡¿@#~|¬«»", U"áÁéíóúÚàèòüÜâêôïÏ^`", U"…–—"},
    {"de", U"äÖüß€@{}~|µ§«»", U"áéÉàèâêôÂ^`", U"ñÑãõ"},
    {"fr", U"éèçàù€²µ§¤«»", U"âêîôûëïüÿÂÊ", U"ÇÑ…"},
};

TEST(KeyPlan, EveryCharacterOfTheCodePageHasAWayUnderEachLayout) {
    const std::u32string all = printable1252();
    ASSERT_EQ(all.size(), 218u);
    for (const LayoutCase& lc : layouts) {
        SCOPED_TRACE(lc.layout);
        Xkb xkb(lc.layout);
        ASSERT_TRUE(xkb.keymap && xkb.compose) << "xkb-data or the compose tables are missing";
        KeyPlanner planner(xkb.keymap, xkb.compose);
        ASSERT_TRUE(planner.shiftKey() && planner.controlKey());
        for (char32_t c : all) {
            SCOPED_TRACE(QString::fromUcs4(&c, 1).toStdString());
            const KeyPlan& p = planner.plan(c);
            ASSERT_NE(p.kind, PlanKind::Untypable);
            if (p.kind == PlanKind::Clipboard) continue;
            EXPECT_EQ(p.taps.size(), p.kind == PlanKind::Direct ? 1u : 2u);
            EXPECT_EQ(replayTaps(xkb.keymap, xkb.compose, p.taps), std::u32string(1, c));
        }
        auto expectKind = [&](const std::u32string& chars, PlanKind kind) {
            for (char32_t c : chars)
                EXPECT_EQ(planner.plan(c).kind, kind) << QString::fromUcs4(&c, 1).toStdString();
        };
        expectKind(lc.direct, PlanKind::Direct);
        expectKind(lc.deadKey, PlanKind::DeadKey);
        expectKind(lc.clipboard, PlanKind::Clipboard);
    }
}

TEST(KeyPlan, ControlCharactersNamedKeysAndModifiers) {
    Xkb xkb("es");
    KeyPlanner planner(xkb.keymap, xkb.compose);
    // Enter, Tab, Backspace and Escape type their control characters; others nothing.
    EXPECT_EQ(replayTaps(xkb.keymap, nullptr, planner.plan(U'\n').taps), U"\r");
    EXPECT_EQ(replayTaps(xkb.keymap, nullptr, planner.plan(U'\t').taps), U"\t");
    EXPECT_EQ(planner.plan(U'\x01').kind, PlanKind::Untypable);
    EXPECT_EQ(planner.plan(U'\x7f').kind, PlanKind::Untypable);
    // Control+Shift+a: both modifiers outside the key, Shift once.
    const KeyPlan ctrlA = planner.planStroke({ModControl | ModShift, NamedKey::None, U'A'});
    ASSERT_EQ(ctrlA.kind, PlanKind::Direct);
    EXPECT_EQ(ctrlA.taps[0].modifiers,
              (std::vector<std::uint32_t>{planner.controlKey(), planner.shiftKey()}));
    // A named key goes by its keysym; Alt is held around it.
    const KeyPlan altF4 = planner.planStroke({ModAlt, NamedKey::F4, 0});
    ASSERT_EQ(altF4.kind, PlanKind::Direct);
    EXPECT_EQ(altF4.taps[0].keycode, 70u);  // F4: evdev 62
    EXPECT_EQ(altF4.taps[0].modifiers, std::vector<std::uint32_t>{planner.altKey()});
    // "@" on the Spanish layout is AltGr+2, not Shift.
    const KeyPlan at = planner.plan(U'@');
    ASSERT_EQ(at.taps.size(), 1u);
    EXPECT_EQ(at.taps[0].keycode, 11u);
    EXPECT_EQ(at.taps[0].modifiers.size(), 1u);
    EXPECT_NE(at.taps[0].modifiers[0], planner.shiftKey());
}

}  // namespace
}  // namespace vexil::wayland
