#include "auxkeys/aux_keys.h"

#include <gtest/gtest.h>

#include <set>

#include "commands/keystroke_parser.h"
#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

struct KeyCase {
    int index;
    const char* text;
};

// Every special key of the keyboard and what it writes; 25 has no button.
const KeyCase kKeys[] = {
    {0, "{F12}"},   {1, "{INSERT}"}, {2, "{HOME}"},      {3, "{PGUP}"},  {4, "{F2}"},
    {5, "{DEL}"},   {6, "{END}"},    {7, "{PGDN}"},      {8, "{F3}"},    {9, "{TAB}"},
    {10, "{BK}"},   {11, "{+}"},     {12, "{F4}"},       {13, "{ESC}"},  {14, "{PRTSC}"},
    {15, "{NUMLOCK}"}, {16, "{F5}"}, {17, "{LEFT}"},     {18, "{UP}"},   {19, "{RIGHT}"},
    {20, "{SCROLLOCK}"}, {21, "{BREAK}"}, {22, "{DOWN}"}, {23, "{ENTER}"}, {24, "{F6}"},
    {26, "{F11}"},  {27, "{F10}"},   {28, "{F9}"},       {29, "{F8}"},   {30, "{F1}"},
    {31, "{F7}"},
};

}  // namespace

TEST(AuxKeys, EverySpecialKeyWritesItsName) {
    for (const KeyCase& k : kKeys)
        EXPECT_EQ(auxKeyText(k.index), QString::fromLatin1(k.text)) << k.index;
    EXPECT_EQ(auxKeyButtons().size(), std::size(kKeys));
    for (int missing : {25, -1, 32}) EXPECT_TRUE(auxKeyText(missing).isEmpty()) << missing;
}

TEST(AuxKeys, ThePlayerTypesEveryKeyTheKeyboardWrites) {
    // What the keyboard offers must be notation the key sender accepts, alone and after a
    // modifier button.
    for (const AuxKeyButton& b : auxKeyButtons()) {
        for (const QString& prefix : {QString(), QStringLiteral("+"), QStringLiteral("^%")}) {
            const QString text = prefix + QString::fromLatin1(b.text);
            const KeyParseResult r = parseKeystrokes(text);
            EXPECT_EQ(r.error, KeyParseError::None) << text.toStdString();
        }
    }
}

TEST(AuxKeys, CaptionsAreAllDifferent) {
    std::set<QString> seen;
    for (const AuxKeyButton& b : auxKeyButtons())
        EXPECT_TRUE(seen.insert(QString::fromUtf8(b.caption)).second) << b.caption;
}

TEST(AuxKeys, InsertionAtTheCursor) {
    struct Case {
        const char* field;
        int cursor;
        const char* inserted;
        const char* result;
        int cursorAfter;
    };
    const Case cases[] = {
        {"abcdef", 3, "{TAB}", "abc{TAB}def", 8},
        {"abcdef", 0, "{TAB}", "{TAB}abcdef", 5},
        {"abcdef", 6, "~", "abcdef~", 7},
        {"", 0, "{ENTER}", "{ENTER}", 7},
        {"abc", 99, "+", "abc+", 4},   // a cursor past the end writes at the end
        {"abc", -4, "^", "^abc", 1},   // and one before the start at the start
        {"àé", 1, "{|Espera 1}", "à{|Espera 1}é", 12},
    };
    for (const Case& c : cases) {
        const FieldEdit e = insertAtCursor(QString::fromUtf8(c.field), c.cursor,
                                           QString::fromUtf8(c.inserted));
        EXPECT_EQ(e.text, QString::fromUtf8(c.result)) << c.field << " " << c.cursor;
        EXPECT_EQ(e.cursor, c.cursorAfter) << c.field << " " << c.cursor;
    }
}

TEST(AuxKeys, ShiftThenHomeWritesBothInOrder) {
    FakeSessionFixture f;
    FieldEdit e{QString(), 0};
    e = insertAtCursor(e.text, e.cursor, *auxPictureText(*f.session, 0));
    e = insertAtCursor(e.text, e.cursor, auxKeyText(2));
    EXPECT_EQ(e.text, QStringLiteral("+{HOME}"));
}

TEST(AuxKeys, PictureButtonsWithoutAFile) {
    FakeSessionFixture f;
    const std::pair<int, const char*> cases[] = {
        {0, "+"}, {1, "^"}, {2, "%"}, {3, "{|Espera 1}"}, {6, "{|Nivel 0}"}, {7, "{|Nivel -1}"},
    };
    for (const auto& [index, text] : cases)
        EXPECT_EQ(auxPictureText(*f.session, index), QString::fromLatin1(text)) << index;
    for (int nothing : {8, 9, -1}) EXPECT_FALSE(auxPictureText(*f.session, nothing)) << nothing;
    EXPECT_TRUE(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).empty());
}

TEST(AuxKeys, TemplateAndProgramButtonsAskForTheFile) {
    FakeSessionFixture f;
    Session& s = *f.session;
    s.tmpl.templateFolder = f.path(QStringLiteral("boards"));
    struct Case {
        int index;
        QString chosen;
        std::optional<QString> text;
    };
    const Case cases[] = {
        {4, f.path(QStringLiteral("boards/sub/menjar.vxl")), QStringLiteral("{|Carrega SUB/MENJAR.VXL}")},
        {5, QStringLiteral("/usr/bin/mousepad"), QStringLiteral("{|Executa /USR/BIN/MOUSEPAD}")},
        {4, QString(), std::nullopt},                  // cancelled
        {4, QStringLiteral("*.VXL"), std::nullopt},    // the pattern itself
        {5, QStringLiteral("a.ex"), std::nullopt},     // four characters or fewer
    };
    for (const Case& c : cases) {
        f.fake.dialogs.chosenFiles.clear();
        if (!c.chosen.isEmpty()) f.fake.dialogs.chosenFiles.push_back(c.chosen);
        EXPECT_EQ(auxPictureText(s, c.index), c.text) << c.chosen.toStdString();
    }
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), std::size(cases));
    EXPECT_EQ(dialogs[0]["title"].toString(), QStringLiteral("Fitxer de plantilla"));
    EXPECT_EQ(dialogs[1]["title"].toString(), QStringLiteral("Fitxers"));
}

// The keyboard stands where it hides nothing it writes into: beside the window when the
// screen has room, else beside the field, else over as little of the field as it can.
TEST(AuxKeys, TheKeyboardStandsClearOfWhatItWritesInto) {
    const QRect screen(0, 0, 1280, 800);
    const QSize keyboard(300, 200);
    const struct {
        QRect window, field;
        QPoint at;
    } cases[] = {
        // Room on the right of the window.
        {{100, 100, 800, 500}, {500, 450, 300, 24}, {900, 100}},
        // None on the right: on the left.
        {{400, 100, 800, 500}, {500, 450, 300, 24}, {100, 100}},
        // Neither side: below, its right edges with the window's.
        {{100, 50, 1100, 500}, {500, 450, 300, 24}, {900, 550}},
        // A window filling the screen: beside the field (here on its right).
        {{0, 0, 1280, 800}, {500, 450, 300, 24}, {800, 450}},
        // A field across the screen: below it, within the screen.
        {{0, 0, 1280, 800}, {0, 300, 1280, 24}, {980, 324}},
        // A field over the screen's whole height leaves no room: the least of it is hidden.
        {{0, 0, 1280, 800}, {0, 0, 1100, 800}, {980, 0}},
    };
    for (const auto& c : cases) {
        const QPoint at = auxKeyboardPosition(screen, keyboard, c.window, c.field);
        EXPECT_EQ(at, c.at) << c.window.x() << "," << c.window.width();
        EXPECT_TRUE(screen.contains(QRect(at, keyboard))) << at.x() << "," << at.y();
    }
}
