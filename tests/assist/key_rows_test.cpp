// Cutting key sequences into the assistant's rows and joining them back.
#include "assist/key_rows.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>
#include <random>

#include "assist/command_catalogue.h"
#include "commands/command_scan.h"
#include "commands/keystroke_parser.h"
#include "i18n/texts.h"

using namespace vexil;

inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}

namespace {

const std::vector<MacroEntry> kNoMacros;

// Record 0 is the empty one, as the catalogue holds them.
std::vector<MacroEntry> sampleMacros() {
    return {MacroEntry{},
            {QStringLiteral("Copiar"), QStringLiteral("^c"), QString(), QStringLiteral("COPIA.BMP")},
            {QStringLiteral("Enganxar"), QStringLiteral("^v"), QString(), QString()},
            {QStringLiteral("Desar"), QStringLiteral("^g{ENTER}"), QString(), QStringLiteral("DESA.BMP")},
            {QStringLiteral("Buida"), QString(), QString(), QString()}};
}

int c() { return catalogueCaptionCount(); }

QString roundTrip(const QString& s, const std::vector<MacroEntry>& macros = kNoMacros) {
    return confegir_codi(cutKeySequence(s, macros), macros).keys;
}

TEST(CommandCatalogue, HasThirtyTwoRowsAndEmptyTextsOutsideThem) {
    EXPECT_EQ(c(), 32);
    EXPECT_EQ(commandCatalogue(0, 0), QStringLiteral("Escriu"));
    EXPECT_EQ(commandCatalogue(0, 1), QString());
    EXPECT_EQ(commandCatalogue(2, 1), QStringLiteral("{|Enganxa _VALOR_ }^v"));
    EXPECT_EQ(commandCatalogue(9, 1), QStringLiteral("{|Llegeix /I:c /L:1 /V:100 /F:"));
    EXPECT_EQ(commandCatalogue(28, 2), QStringLiteral("Cordenades"));
    EXPECT_EQ(commandCatalogue(31, 0), QStringLiteral("Mouse Retrocedir"));
    for (const auto& [index, column] : {std::pair{-1, 0}, {32, 0}, {5, 3}, {5, -1}})
        EXPECT_EQ(commandCatalogue(index, column), QString()) << index << "," << column;
}

// Every command of the catalogue, written as a board holds it, comes back as its own row and
// the same text.
TEST(CutKeySequence, EveryCatalogueCommandIsItsOwnRowAndComesBackTheSame) {
    const struct {
        int row;
        const char16_t* command;
        const char16_t* param;
    } cases[] = {
        {1, u"{|Carrega FRASES.VXL}", u"FRASES.VXL"},
        {3, u"{|Enganxa NOTES.TXT}", u"NOTES.TXT"},
        {4, u"{|Sona GAT.WAV}", u"GAT.WAV"},
        {5, u"{|Executa CALC.EXE}", u"CALC.EXE"},
        {6, u"{|Nivell -1}", u""},
        {7, u"{|Nivell 0}", u""},
        {8, u"{|Llegir bon dia}", u"bon dia"},
        {9, u"{|Llegeix /I:c /L:1 /V:100 /F:CONTE.TXT}", u"CONTE.TXT"},
        {10, u"{|RCW }", u""},
        {11, u"{|Espera 2}", u"2"},
        {12, u"{|SIM 5 {si}{no}}", u"5 {si}{no}"},
        {13, u"{|Tancar}", u""},
        {14, u"{|Tria [a#b#c]}", u"[a#b#c]"},
        {15, u"{|CM }", u""},
        {17, u"{|RM }", u""},
        {18, u"{|M- 3}", u"3"},
        {19, u"{|M+ abc}", u"abc"},
        // The "dret" rows work the right button, which stored commands write with E.
        {20, u"{|Mouse AE}", u""},
        {21, u"{|Mouse AD}", u""},
        {22, u"{|Mouse A 5}", u"5"},
        {23, u"{|Mouse CE}", u""},
        {24, u"{|Mouse CD}", u""},
        {25, u"{|Mouse 2CE}", u""},
        {26, u"{|Mouse 2CD}", u""},
        {27, u"{|Mouse E 4}", u"4"},
        {28, u"{|Mouse M 10 20}", u"10 20"},
        {29, u"{|Mouse PE 1 2}", u"1 2"},
        {30, u"{|Mouse PD 3 4}", u"3 4"},
        {31, u"{|Mouse R 7}", u"7"},
    };
    std::set<int> seen;
    for (const auto& tc : cases) {
        const QString command = QString::fromUtf16(tc.command);
        const std::vector<KeyRow> rows = cutKeySequence(command, kNoMacros);
        ASSERT_EQ(rows.size(), 1u) << command;
        EXPECT_EQ(rows[0].choice, tc.row) << command;
        EXPECT_EQ(rows[0].param2, QString::fromUtf16(tc.param)) << command;
        EXPECT_EQ(confegir_codi(rows, kNoMacros).keys, command);
        seen.insert(tc.row);
    }
    // The two rows whose opening text holds more than one command: their sequences are cut
    // into the commands they are made of.
    EXPECT_EQ(seen.size(), size_t(c() - 3));
    const std::vector<KeyRow> picture = cutKeySequence(QStringLiteral("{|Enganxa GAT.BMP }^v"), kNoMacros);
    ASSERT_EQ(picture.size(), 2u);
    EXPECT_EQ(picture[0].choice, 3);
    EXPECT_EQ(picture[1], (KeyRow{0, QString(), QStringLiteral("^v")}));
    const std::vector<KeyRow> memory = cutKeySequence(QStringLiteral("{|CM }{|M+ hola}"), kNoMacros);
    ASSERT_EQ(memory.size(), 2u);
    EXPECT_EQ(memory[0].choice, 15);
    EXPECT_EQ(memory[1].choice, 19);
}

// Every row chosen in the list, with a parameter, writes the command the player reads.
TEST(ConfegirCodi, EveryChosenCatalogueRowWritesItsCommand) {
    const QString p = QStringLiteral("P");
    for (int i = 0; i < c(); ++i) {
        KeyRow row;
        chooseRow(row, i, kNoMacros);
        const bool takesParameter = !commandCatalogue(i, 2).isEmpty();
        if (takesParameter) row.param2 = p;
        const QString joined = confegir_codi({row}, kNoMacros).keys;
        QString expected = commandCatalogue(i, 1);
        if (i == 0) expected = p;
        else if (i == 2) expected = QStringLiteral("{|Enganxa P }^v");  // one closing brace only
        else expected += (takesParameter ? p : QString()) + u'}';
        EXPECT_EQ(joined, expected) << i;
        // Braces balance, so that the player sees the command the author chose.
        EXPECT_EQ(joined.count(u'{'), joined.count(u'}')) << i;
    }
}

TEST(CutKeySequence, ThePartsExamples) {
    const std::vector<KeyRow> rows = cutKeySequence(QStringLiteral("hola{|Espera 2}adeu"), kNoMacros);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (KeyRow{0, QString(), QStringLiteral("hola")}));
    EXPECT_EQ(rows[1], (KeyRow{11, QStringLiteral("{|Espera "), QStringLiteral("2")}));
    EXPECT_EQ(rows[2], (KeyRow{0, QString(), QStringLiteral("adeu")}));
    EXPECT_EQ(confegir_codi(rows, kNoMacros).keys, QStringLiteral("hola{|Espera 2}adeu"));

    const std::optional<KeyRow> move = codi_trobar(QStringLiteral("{|Mouse M 10 20}"));
    ASSERT_TRUE(move);
    EXPECT_EQ(move->choice, 28);
    EXPECT_EQ(move->param2, QStringLiteral("10 20"));
}

TEST(CutKeySequence, MacrosAreFoundOnlyWhereTheirKeysStandExactly) {
    const std::vector<MacroEntry> macros = sampleMacros();
    const struct {
        const char16_t* keys;
        std::vector<KeyRow> rows;
    } cases[] = {
        {u"^cx", {{c() + 1, {}, {}}, {0, {}, QStringLiteral("x")}}},
        {u"ab^v", {{0, {}, QStringLiteral("ab")}, {c() + 2, {}, {}}}},
        // "^g" alone is not the macro "^g{ENTER}".
        {u"^g", {{0, {}, QStringLiteral("^g")}}},
        {u"^g{ENTER}^c", {{c() + 3, {}, {}}, {c() + 1, {}, {}}}},
        // Only at "%", "^", "+" or "<".
        {u"x^C", {{0, {}, QStringLiteral("x^C")}}},
    };
    for (const auto& tc : cases) {
        const QString keys = QString::fromUtf16(tc.keys);
        EXPECT_EQ(cutKeySequence(keys, macros), tc.rows) << keys;
        EXPECT_EQ(roundTrip(keys, macros), keys);
    }
}

TEST(CutKeySequence, CommandsWithoutParameterPassThroughIntact) {
    for (const char16_t* text : {u"{|Tancar}", u"{|CM}", u"{|RM}", u"{|RCW}", u"{|CM }", u"{|Mouse CD}",
                                 u"{|Nivell 0}", u"{|Nivell -1}", u"{|Espera}", u"a{|Tancar}b"}) {
        const QString s = QString::fromUtf16(text);
        const std::vector<KeyRow> rows = cutKeySequence(s, kNoMacros);
        bool command = false;
        for (const KeyRow& r : rows) command = command || r.choice > 0;
        EXPECT_TRUE(command) << s << " is a command row";
        EXPECT_EQ(confegir_codi(rows, kNoMacros).keys, s);
    }
    EXPECT_EQ(codi_trobar(QStringLiteral("{|CM}"))->choice, 15);
    EXPECT_EQ(codi_trobar(QStringLiteral("{|Tancar}"))->choice, 13);
}

TEST(CutKeySequence, KeywordsInSpanishOrAnyCaseAreKnownAndKeptAsWritten) {
    const struct {
        const char16_t* command;
        int row;
    } cases[] = {
        {u"{|Carga A.VXL}", 1},   {u"{|Suena A.WAV}", 4},    {u"{|Ejecuta A.EXE}", 5},
        {u"{|Cerrar}", 13},       {u"{|Escoge [a#b]}", 14},  {u"{|espera 3}", 11},
        {u"{|ESPERA 3}", 11},     {u"{|Mouse CI}", 23},      {u"{|Leer hola}", 8},
        {u"{|tancar}", 13},
    };
    for (const auto& tc : cases) {
        const QString s = QString::fromUtf16(tc.command);
        const std::optional<KeyRow> row = codi_trobar(s);
        ASSERT_TRUE(row) << s;
        EXPECT_EQ(row->choice, tc.row) << s;
        EXPECT_EQ(roundTrip(s), s);
    }
    // The conditional is one only in upper case, as the player reads it.
    EXPECT_FALSE(codi_trobar(QStringLiteral("{|sim x {a}{b}}")));
}

TEST(CutKeySequence, BadInputIsKeptAsTextToType) {
    const struct {
        const char16_t* keys;
        size_t rows;
    } cases[] = {
        {u"ab{|Espera 2", 1},         // never closed
        {u"{|", 1},                    //
        {u"a}b{c", 1},                 // stray braces
        {u"{|Desconegut x}", 1},       // no catalogue row
        {u"x{|Espera 1}{|Foo}y", 3},   // known, then unknown merged with the text after it
        {u"{|SIM 5}", 1},              // a conditional without blocks is still one
        {u"{|SIM 5 {a}", 1},           // a conditional without its second block
        {u"{|SIM x {{|Sona A.WAV}} {b}}", 1},
        {u"", 0},
    };
    for (const auto& tc : cases) {
        const QString s = QString::fromUtf16(tc.keys);
        EXPECT_EQ(cutKeySequence(s, kNoMacros).size(), tc.rows) << s;
        EXPECT_EQ(roundTrip(s), s);
    }
    EXPECT_EQ(cutKeySequence(QStringLiteral("{|SIM 5}"), kNoMacros)[0].choice, 12);
}

TEST(ConfegirCodi, IconsComeFromMacrosAndPictureParameters) {
    const std::vector<MacroEntry> macros = sampleMacros();
    const struct {
        std::vector<KeyRow> rows;
        std::optional<QString> icon;
    } cases[] = {
        {{{c() + 1, {}, {}}}, QStringLiteral("COPIA.BMP")},
        // A macro without an icon leaves the area's as it is.
        {{{c() + 2, {}, {}}}, std::nullopt},
        {{{2, QStringLiteral("{|Enganxa _VALOR_ }^v"), QStringLiteral("GAT.JPG")}}, QStringLiteral("GAT.JPG")},
        {{{3, QStringLiteral("{|Enganxa "), QStringLiteral("DIBUIX.bmp ")}}, QStringLiteral("DIBUIX.bmp")},
        {{{3, QStringLiteral("{|Enganxa "), QStringLiteral("NOTES.TXT")}}, std::nullopt},
        // Text to type is not a picture, whatever it ends with; nor a name ending in "MPG".
        {{{0, {}, QStringLiteral("hola BMP")}}, std::nullopt},
        {{{0, {}, QStringLiteral("GAT.GIF")}}, std::nullopt},
        {{{5, QStringLiteral("{|Executa "), QStringLiteral("VIDEO.MPG")}}, std::nullopt},
        // The last row that names one wins.
        {{{c() + 1, {}, {}}, {c() + 3, {}, {}}}, QStringLiteral("DESA.BMP")},
    };
    for (const auto& tc : cases) EXPECT_EQ(confegir_codi(tc.rows, macros).icon, tc.icon);
}

TEST(RowList, AddRemoveAndMoveUp) {
    RowList list;
    list.moveUp();
    list.removeSelected();
    EXPECT_EQ(list.count(), 0);
    for (const char* p : {"a", "b", "c"}) {
        list.add();
        list.current()->param2 = QLatin1String(p);
    }
    EXPECT_EQ(list.selected, 3);
    list.moveUp();
    EXPECT_EQ(list.selected, 2);
    EXPECT_EQ(confegir_codi(list.rows, kNoMacros).keys, QStringLiteral("acb"));
    list.selected = 1;
    list.moveUp();  // "^ Codi" on row 1 does nothing
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(confegir_codi(list.rows, kNoMacros).keys, QStringLiteral("acb"));
    list.selected = 3;
    list.removeSelected();  // the last row: the selection follows to the new last
    EXPECT_EQ(list.selected, 2);
    list.selected = 1;
    list.removeSelected();
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(confegir_codi(list.rows, kNoMacros).keys, QStringLiteral("c"));
    list.removeSelected();
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(list.current(), nullptr);
}

TEST(ChooseRow, SaysWhatTheRowNeedsAndDropsAParameterNoCommandTakes) {
    const std::vector<MacroEntry> macros = sampleMacros();
    const struct {
        int choice;
        ChoiceAction action;
        int fileKind;
    } cases[] = {
        {0, ChoiceAction::Data, -1},      {1, ChoiceAction::File, 2},   {2, ChoiceAction::File, 5},
        {3, ChoiceAction::File, 3},       {4, ChoiceAction::File, 1},   {5, ChoiceAction::File, 0},
        {9, ChoiceAction::File, 3},       {11, ChoiceAction::Data, -1}, {12, ChoiceAction::Condition, -1},
        {13, ChoiceAction::Nothing, -1},  {14, ChoiceAction::Data, -1}, {28, ChoiceAction::Data, -1},
        {c() + 1, ChoiceAction::Nothing, -1},
    };
    for (const auto& tc : cases) {
        KeyRow row{0, QString(), QStringLiteral("old")};
        int kind = -1;
        EXPECT_EQ(chooseRow(row, tc.choice, macros, &kind), tc.action) << tc.choice;
        EXPECT_EQ(kind, tc.fileKind) << tc.choice;
        EXPECT_EQ(row.choice, tc.choice);
        const bool keeps = tc.action == ChoiceAction::Data || tc.action == ChoiceAction::Condition ||
                           tc.action == ChoiceAction::File;
        EXPECT_EQ(row.param2, keeps ? QStringLiteral("old") : QString()) << tc.choice;
        EXPECT_EQ(row.param1, tc.choice < c() ? commandCatalogue(tc.choice, 1) : QString());
    }
    KeyRow row;
    EXPECT_EQ(chooseRow(row, choiceCount(macros), macros), ChoiceAction::Nothing);
    EXPECT_EQ(row.choice, 0);
}

TEST(ChoiceCaption, CataloguesCaptionsInTheInterfaceLanguageThenMacroTitles) {
    const std::vector<MacroEntry> macros = sampleMacros();
    EXPECT_EQ(choiceCount(macros), c() + 5);
    EXPECT_EQ(choiceCaption(0, macros), translateCaption(QStringLiteral("Escriu")));
    EXPECT_EQ(choiceCaption(11, macros), QStringLiteral("Retardo"));
    EXPECT_EQ(choiceCaption(c(), macros), QString());
    EXPECT_EQ(choiceCaption(c() + 3, macros), QStringLiteral("Desar"));
    EXPECT_EQ(choiceCaption(c() + 5, macros), QString());
    EXPECT_EQ(choiceCount(kNoMacros), c());
}

// --- the round trip over many sequences ----------------------------------------------------

// Sequences the player accepts: keystroke text its parser takes, commands of the menus and
// the catalogue, conditionals nesting any of these, and macros.
class SequenceMaker {
public:
    explicit SequenceMaker(unsigned seed) : random_(seed) {}

    QString make(int depth = 0) {
        QString s;
        const int pieces = pick(1, 6);
        for (int i = 0; i < pieces; ++i) s += piece(depth);
        return s;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    QString piece(int depth) {
        static const QStringList keys = {"a",       "hola ",  "{ENTER}", "+{HOME}", "^c",    "%f",
                                         "{+}",     "~",      "{LEFT 3}", "^v",     "+(ab)", "{{}",
                                         "{}}",     "<",      "ç·à",    "{TAB}",   "^g{ENTER}"};
        static const QStringList commands = {
            "{|Espera 2}",     "{|Tancar}",          "{|CM}",           "{|CM }{|M+ abcd }",
            "{|RM }",          "{|Mouse M 10 20}",  "{|Mouse CD}",     "{|Tria [ x1#x2#x3]}",
            "{|Nivell -1}",    "{|Carrega A.VXL}",  "{|Enganxa B.BMP }^v", "{|Llegir bon dia}",
            "{|M+ {|RCW}}",    "{|Executa calc.exe /x}", "{|Desconegut}", "{|espera 1}"};
        switch (pick(0, depth < 3 ? 3 : 2)) {
            case 0: return keys[pick(0, int(keys.size()) - 1)];
            case 1:
            case 2: return commands[pick(0, int(commands.size()) - 1)];
            default:
                return QStringLiteral("{|SIM ") + QString::number(pick(0, 9)) + QStringLiteral(" {") +
                       make(depth + 1) + QStringLiteral("}") + (pick(0, 1) ? QStringLiteral(" ") : QString()) +
                       QStringLiteral("{") + make(depth + 1) + QStringLiteral("}}");
        }
    }

    std::mt19937 random_;
};

// Whether the player takes every plain stretch of the sequence without a fault.
bool playerAccepts(const QString& s) {
    for (const SequencePiece& p : splitKeySequence(s)) {
        if (p.kind == SequencePiece::Kind::Command) {
            if (!p.closed) return false;
            continue;
        }
        if (parseKeystrokes(p.text).error != KeyParseError::None) return false;
    }
    return true;
}

TEST(RoundTrip, EverySequenceThePlayerAcceptsComesBackTheSame) {
    const std::vector<MacroEntry> macros = sampleMacros();
    SequenceMaker maker(20240611);
    int checked = 0;
    for (int i = 0; i < 2000; ++i) {
        const QString s = maker.make();
        if (!playerAccepts(s)) continue;
        ++checked;
        ASSERT_EQ(roundTrip(s, macros), s);
        ASSERT_EQ(roundTrip(s), s);
        // Each conditional's branches come back too, as the condition window opens them
        // (split as the player splits them: "{{}" inside a block counts as an opening).
        for (const KeyRow& row : cutKeySequence(s, macros)) {
            if (row.choice != 12) continue;
            const ConditionParts parts = splitCondition(row.param2);
            ASSERT_GE(parts.blocks, 1) << s;
            ASSERT_EQ(roundTrip(parts.ifEqual, macros), parts.ifEqual);
            ASSERT_EQ(roundTrip(parts.ifDifferent, macros), parts.ifDifferent);
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(RoundTrip, AnyTextAtAllComesBackTheSame) {
    const std::vector<MacroEntry> macros = sampleMacros();
    const QString alphabet = QStringLiteral("{}|^%+<~ aSIM#[]Espera2ç");
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        QString s;
        const int n = std::uniform_int_distribution<int>(0, 30)(random);
        for (int k = 0; k < n; ++k)
            s += alphabet[std::uniform_int_distribution<int>(0, int(alphabet.size()) - 1)(random)];
        ASSERT_EQ(roundTrip(s, macros), s);
    }
}

}  // namespace
