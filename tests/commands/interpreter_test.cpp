#include <gtest/gtest.h>

#include <QRegularExpression>
#include <set>

#include "command_fixture.h"
#include "commands/interpreter.h"
#include "commands/player.h"
#include "commands/sound_speech.h"
#include "i18n/texts.h"
#include "settings/registry.h"

using namespace vexil;
using vexil::test::CommandFixture;

namespace {

class Interpreter : public CommandFixture, public ::testing::Test {
protected:
    // Plays `sequence` with the target "Notes" open.
    void play(const QString& sequence) { playKeySequence(*session, sequence); }
    void SetUp() override { target = openTarget(QStringLiteral("Notes")); }
    // The board frame, then a group at each of levels 1, 2 and 3.
    void addFrameAndNestedGroups() {
        Area frame;
        frame.x1 = 640;
        frame.y1 = 445;
        session->tmpl.appendArea(frame);
        for (int level : {1, 2, 3}) {
            Area g;
            g.level = std::int16_t(level);
            g.isGroup = -1;
            session->tmpl.appendArea(g);
        }
    }
    WindowHandle target = 0;
};

struct MemoryCase {
    const char* start;
    const char* commands;
    const char* memory;
};

class Memory : public Interpreter, public ::testing::WithParamInterface<MemoryCase> {};

TEST_P(Memory, Arithmetic) {
    const MemoryCase& c = GetParam();
    session->player.memory = QString::fromUtf8(c.start);
    play(QString::fromUtf8(c.commands));
    EXPECT_EQ(session->player.memory, QString::fromUtf8(c.memory)) << c.commands;
    EXPECT_TRUE(typed().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Interpreter, Memory,
    ::testing::Values(MemoryCase{"abc", "{|cm}", ""},
                      MemoryCase{"", "{|M+ 5}", "5"},
                      MemoryCase{"", "{|M+ 5}{|M- 2}", "3"},
                      MemoryCase{"", "{|M+ 5}{|M- 2}{|M- x}", "3"},
                      MemoryCase{"", "{|M+ 5}{|M+ 3}", "8"},
                      MemoryCase{"8", "{|M+ abc}", "8"},
                      MemoryCase{"", "{|M+ abc}{|M+ abc}", "abcabc"},
                      MemoryCase{"abc", "{|M- 1}", "abc"},
                      MemoryCase{"1.5", "{|m+ 1.5}", "3"},
                      MemoryCase{"0.5", "{|M+ 0.25}", "0.75"},
                      MemoryCase{"2", "{|M- 5}", "-3"},
                      MemoryCase{" 7 ", "{|M+ 3x}", "10"},
                      MemoryCase{"1e3", "{|M+ 1}", "2"},  // the arithmetic reads no exponent
                      MemoryCase{"x", "{|CM}{|M+ 1}{|M+ 1}", "2"}));

struct NumberCase {
    const char* text;
    bool numeric;
    double value;
};

class Numbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(Numbers, HostRules) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(isNumericText(QString::fromUtf8(c.text)), c.numeric) << c.text;
    EXPECT_DOUBLE_EQ(leadingValue(QString::fromUtf8(c.text)), c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Interpreter, Numbers,
                         ::testing::Values(NumberCase{"", false, 0}, NumberCase{"5", true, 5},
                                           NumberCase{" -5 ", true, -5}, NumberCase{"+.5", true, 0.5},
                                           NumberCase{"1.5.2", false, 1.5}, NumberCase{"12ab", false, 12},
                                           NumberCase{"ab12", false, 0}, NumberCase{".", false, 0},
                                           NumberCase{"2E3", true, 2}, NumberCase{"1e", false, 1},
                                           NumberCase{"&H1F", true, 0}, NumberCase{"-", false, 0}));

TEST(InterpreterNumbers, WrittenBackWithoutNeedlessDecimals) {
    EXPECT_EQ(numberToText(8), QStringLiteral("8"));
    EXPECT_EQ(numberToText(-3), QStringLiteral("-3"));
    EXPECT_EQ(numberToText(0.75), QStringLiteral("0.75"));
    EXPECT_EQ(numberToText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(numberToText(1e16), QStringLiteral("1E+16"));
    EXPECT_EQ(numberToText(-0.0), QStringLiteral("0"));
}

TEST_F(Interpreter, RecallPlaysTheMemoryAsKeys) {
    session->player.memory = QStringLiteral("hi{ENTER}");
    play(QStringLiteral("{|RM}"));
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:hi{ENTER}")});
}

TEST_F(Interpreter, ClipboardTextTypesItselfAndAnEmptyClipboardTypesNothing) {
    fake.clipboard.preset(QStringLiteral("50% {|CM}"));
    session->player.memory = QStringLiteral("kept");
    play(QStringLiteral("{|RCW}"));
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:50{%} {{}|CM{}}")});
    EXPECT_EQ(session->player.memory, QStringLiteral("kept"));

    fake.recorder.clear();
    fake.clipboard.preset(QString());
    play(QStringLiteral("{|RCW}"));
    EXPECT_TRUE(typed().isEmpty());
}

TEST_F(Interpreter, ClipboardReferenceInAnArgument) {
    fake.clipboard.preset(QStringLiteral("4"));
    session->player.memory = QStringLiteral("1");
    play(QStringLiteral("{|M+ {|RCW}}"));
    EXPECT_EQ(session->player.memory, QStringLiteral("5"));
}

struct ValueCase {
    const char* text;
    const char* value;
};

class Values : public CommandFixture, public ::testing::TestWithParam<ValueCase> {};

TEST_P(Values, LastReferenceReplaced) {
    session->player.memory = QStringLiteral("MEM");
    fake.clipboard.preset(QStringLiteral("CLIP"));
    EXPECT_EQ(valor_f(*session, QString::fromUtf8(GetParam().text)),
              QString::fromUtf8(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Interpreter, Values,
    ::testing::Values(ValueCase{"a{|RM}b", "aMEMb"}, ValueCase{"{|rm}", "rm"},
                      ValueCase{"{|rm }", "MEM"}, ValueCase{"{|RCW}", "CLIP"},
                      ValueCase{"{|RCW }", "CLIP"}, ValueCase{"{|RM}{|RCW}", "{|RM}CLIP"},
                      ValueCase{"{|TRIA [z]}", "z"}, ValueCase{"{|OTHER x}", "OTHER"},
                      ValueCase{"{|RM", "{|RM"}, ValueCase{"{a}|", "{a}|"}, ValueCase{"|x", "|x"},
                      ValueCase{"", ""}));

TEST_F(Interpreter, UnresolvableReferencesEnd) {
    session->player.memory = QStringLiteral("{|RM}{|RM}");
    play(QStringLiteral("{|M+ {|RM}}"));
    EXPECT_LE(session->player.memory.size(), kMaxArgumentLength + 20);
    play(QStringLiteral("{|M+ {|RM|}x}"));
    play(QStringLiteral("{|LLEGIR a|b{c}"));
}

TEST_F(Interpreter, MemoryStopsGrowingAtItsLimit) {
    session->player.memory = QString(u'x').repeated(kMaxArgumentLength - 3);
    play(QStringLiteral("{|M+ abcdef}"));
    EXPECT_EQ(session->player.memory.size(), kMaxArgumentLength);
    EXPECT_TRUE(session->player.memory.endsWith(QStringLiteral("xabc")));
    play(QStringLiteral("{|M+ more}"));
    EXPECT_EQ(session->player.memory.size(), kMaxArgumentLength);
}

std::set<QString> choices(CommandFixture& f, const QString& argument, int runs) {
    std::set<QString> seen;
    for (int i = 0; i < runs; ++i) seen.insert(pickRandom(*f.session, argument));
    return seen;
}

TEST_F(Interpreter, RandomChoiceOfItems) {
    EXPECT_EQ(choices(*this, QStringLiteral("[a#b#c]"), 200),
              (std::set<QString>{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // Items are not trimmed: the blank after "[" stays.
    EXPECT_EQ(choices(*this, QStringLiteral("[ x1#x2]"), 200),
              (std::set<QString>{QStringLiteral(" x1"), QStringLiteral("x2")}));
}

TEST_F(Interpreter, RandomRangeNeverReachesItsTop) {
    const std::set<QString> seen = choices(*this, QStringLiteral("[1#6]"), 500);
    EXPECT_EQ(seen, (std::set<QString>{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                       QStringLiteral("4"), QStringLiteral("5")}));
    EXPECT_EQ(choices(*this, QStringLiteral("[1.4#2.6#3]"), 200),
              (std::set<QString>{QStringLiteral("1"), QStringLiteral("3")}));
}

TEST_F(Interpreter, RandomChoiceFollowsTheSeed) {
    session->player.random.seed(99);
    const QString a = pickRandom(*session, QStringLiteral("[1#1000000]"));
    session->player.random.seed(99);
    EXPECT_EQ(pickRandom(*session, QStringLiteral("[1#1000000]")), a);
}

TEST_F(Interpreter, TriaPlaysTheChoice) {
    play(QStringLiteral("{|Escoge [only]}"));
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:only")});
}

TEST_F(Interpreter, SoundNeedsAnUpperCaseEnding) {
    session->tmpl.templateFolder = dir.path();
    writeFile(QStringLiteral("musica.mid"), "MThd");
    writeFile(QStringLiteral("MUSICA.MID"), "MThd");
    writeFile(QStringLiteral("HOLA.WAV"), "RIFF");
    play(QStringLiteral("{|Sona musica.mid}"));
    EXPECT_TRUE(ops({QStringLiteral("midi"), QStringLiteral("wave")}).isEmpty());
    play(QStringLiteral("{|Sona MUSICA.MID}{|SUENA HOLA.WAV}"));
    const QString mid = path(QStringLiteral("MUSICA.MID"));
    EXPECT_EQ(ops({QStringLiteral("midi"), QStringLiteral("wave")}),
              (QStringList{QStringLiteral("midi:play ") + mid, QStringLiteral("midi:close ") + mid,
                           QStringLiteral("wave:") + path(QStringLiteral("HOLA.WAV"))}));
    play(QStringLiteral("{|Sona NO.WAV}"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("NO.WAV")}.replaceInStrings(
                              QStringLiteral("NO.WAV"),
                              dir.path() + QStringLiteral("/NO.WAV\rVexil no encuentra el archivo ")));
}

TEST_F(Interpreter, WaitUnits) {
    const std::pair<const char*, int> cases[] = {{"0", 1},  {"1", 1}, {"3", 3}, {"-4", 1},
                                                 {"x", 1},  {"2.5", 2}, {"", 1},
                                                 {"99999999999", kMaxWaitUnits}};
    for (const auto& [n, units] : cases) {
        host.calls.clear();
        const std::int64_t before = fake.clock.now();
        executeCommand(*session, QStringLiteral("{|Espera ") + QString::fromUtf8(n));
        EXPECT_EQ(host.calls.count(QStringLiteral("wait")), units) << n;
        EXPECT_EQ(fake.clock.now() - before, std::int64_t(units) * kWaitUnitMs) << n;
    }
}

TEST_F(Interpreter, PasteATextFileIntoTheTarget) {
    session->tmpl.templateFolder = dir.path();
    writeFile(QStringLiteral("NOTES.TXT"), "Hola, m\xF3n");
    play(QStringLiteral("{|Enganxa NOTES.TXT}"));
    EXPECT_EQ(ops(), (QStringList{QStringLiteral("clipboard"), QStringLiteral("clipboard:Hola, món"),
                                  QStringLiteral("activate:Notes"), QStringLiteral("keys:^v")}));
    EXPECT_TRUE(host.calls.contains(QStringLiteral("paste:%1").arg(target)));

    // A missing file: the clipboard is emptied and nothing is pasted.
    fake.recorder.clear();
    host.calls.clear();
    play(QStringLiteral("{|ENGANCHA NONE.TXT}"));
    EXPECT_EQ(ops({QStringLiteral("clipboard"), QStringLiteral("keys")}),
              QStringList{QStringLiteral("clipboard")});
    EXPECT_FALSE(host.calls.join(u' ').contains(QStringLiteral("paste")));
}

// The "^v" boards and the menus write after a paste command belongs to that paste; the
// command pastes by itself, so the file arrives once whichever way it is written.
TEST_F(Interpreter, PasteFollowedByCtrlVPastesOnce) {
    session->tmpl.templateFolder = dir.path();
    writeFile(QStringLiteral("NOTES.TXT"), "abc");
    const std::pair<const char*, QStringList> cases[] = {
        {"{|Enganxa NOTES.TXT}", {"^v"}},
        {"{|Enganxa NOTES.TXT}^v", {"^v"}},
        {"{|Enganxa NOTES.TXT}^v{RIGHT}", {"^v", "{RIGHT}"}},
        {"{|Enganxa NOTES.TXT }^vx", {"^v", "x"}},
        {"{| engancha NOTES.TXT}^v", {"^v"}},
        {"{|SIM  {{|Enganxa NOTES.TXT}^v}{}}", {"^v"}},
        {"{|Enganxa NOTES.TXT}^v^v", {"^v", "^v"}},  // a second one is the author's own
        {"{|Enganxa NOTES.TXT}x^v", {"^v", "x^v"}},
        {"{|Enganxa NOTES.TXT}{|Espera 0}^v", {"^v", "^v"}},
        {"{|Sona NONE.WAV}^v", {"^v"}},
        {"^v", {"^v"}},
    };
    for (const auto& [sequence, keys] : cases) {
        fake.recorder.clear();
        play(QString::fromUtf8(sequence));
        EXPECT_EQ(typed(), QStringList(keys).replaceInStrings(QRegularExpression(QStringLiteral("^")),
                                                              QStringLiteral("keys:")))
            << sequence;
    }
}

// A command the author types into the key field in either language is stored by the
// field's translation and plays as typed: both spellings give the same events and the same
// level, and the level is the one the command names.
TEST_F(Interpreter, TypedInEitherLanguagePlaysAsTyped) {
    addFrameAndNestedGroups();
    session->tmpl.templateFolder = dir.path();
    writeFile(QStringLiteral("NOTES.TXT"), "abc");
    const struct {
        const char* catalan;
        const char* spanish;
        int level;
    } cases[] = {
        {"{|Nivell -1}", "{|Nivel -1}", 3},
        {"{|Nivell -1}{|Nivell -1}", "{|Nivel-1}{|nivel -1}", 2},
        {"{|Nivell 0}", "{|Nivel 0}", 1},
        {"{|Nivell -1}x{|Nivell 0}", "{|Nivel -1}x{|Nivel0}", 1},
        {"{|Enganxa NOTES.TXT}^v", "{|PEGA NOTES.TXT}^v", 4},
        {"{|Mouse CE}", "{|Mouse CI}", 4},
        {"{|Mouse 2CE AE}", "{|Mouse 2CI AI}", 4},
        {"{|Mouse PE 40 30 }", "{|Mouse PI 40 30 }", 4},
        {"{|Mouse PE+ 5 5}", "{|Mouse PI+ 5 5}", 4},
        {"{|Tria [a#b#c]}", "{|Escoge [a#b#c]}", 4},
        {"{|Llegeix /F:NOTES.TXT}{|Tancar}", "{|Lee /F:NOTES.TXT}{|Cerrar}", 4},
    };
    auto run = [&](const char* typed) {
        session->player.currentLevel = 4;
        session->player.random.seed(7);
        fake.mouse.perform(MouseAction::Move, 300, 200);
        fake.recorder.clear();
        host.calls.clear();
        play(translateCommands(QString::fromUtf8(typed), 1));
        return std::pair{session->player.currentLevel, ops() + host.calls};
    };
    for (const auto& c : cases) {
        const auto [level, events] = run(c.catalan);
        EXPECT_EQ(level, c.level) << c.catalan;
        EXPECT_FALSE(events.isEmpty() && level == 4) << c.catalan;
        EXPECT_EQ(run(c.spanish), std::pair(level, events)) << c.spanish;
    }
}

TEST_F(Interpreter, PasteWithTheTargetGoneDoesNothing) {
    session->tmpl.templateFolder = dir.path();
    writeFile(QStringLiteral("A.TXT"), "a");
    fake.windows.removeWindow(target);
    executeCommand(*session, QStringLiteral("{|ENGANXA A.TXT"));
    EXPECT_TRUE(ops({QStringLiteral("keys"), QStringLiteral("activate")}).isEmpty());
}

TEST_F(Interpreter, LevelCommands) {
    addFrameAndNestedGroups();
    session->player.currentLevel = 4;
    play(QStringLiteral("{|Nivell -1}"));
    EXPECT_EQ(session->player.currentLevel, 3);
    play(QStringLiteral("{|NIVEL -1}{|nivel -1}"));
    EXPECT_EQ(session->player.currentLevel, 1);
    play(QStringLiteral("{|Nivell -1}"));  // above the top is the top
    EXPECT_EQ(session->player.currentLevel, 1);
    session->player.currentLevel = 3;
    play(QStringLiteral("{|Nivell 0}"));
    EXPECT_EQ(session->player.currentLevel, 1);
    session->player.currentLevel = 999;  // a level the table does not hold
    play(QStringLiteral("{|Nivell -1}"));
    EXPECT_EQ(session->player.currentLevel, 1);
}

TEST_F(Interpreter, CloseLeavesUseModeEndsAndDropsTheRest) {
    play(QStringLiteral("a{|Cerrar}b"));
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:a")});
    EXPECT_TRUE(host.calls.contains(QStringLiteral("leaveUseMode")));
    EXPECT_EQ(host.calls.indexOf(QStringLiteral("exit")),
              host.calls.indexOf(QStringLiteral("leaveUseMode")) + 1);
    fake.recorder.clear();
    play(QStringLiteral("c"));  // a later sequence plays again
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:c")});
}

TEST_F(Interpreter, ReadAloudOnlyWithAnEngine) {
    play(QStringLiteral("{|Llegir Bon dia.}"));
    EXPECT_TRUE(ops({QStringLiteral("speech")}).isEmpty());
    session->speech.speechAvailable = true;
    session->tmpl.settings.voiceSpeaker = 2;
    play(QStringLiteral("{|LEER Bon dia. Adeu}"));
    EXPECT_EQ(ops({QStringLiteral("speech")}),
              (QStringList{QStringLiteral("speech:upcTVResume()"),
                           QStringLiteral("speech:upcTVSetSpeaker(3)"),
                           QStringLiteral("speech:upcTVRead(Bon dia; Adeu)")}));
}

TEST_F(Interpreter, ReadAFileWithTheBoardsVoice) {
    // Windows-1252 text, several sentences and lines: said as written, dots and all.
    writeFile(QStringLiteral("TEXT.TXT"), "Bon dia. Com est\xE0s?\r\nB\xE9!");
    writeFile(QStringLiteral("SUB/ALTRE.TXT"), "altre");
    session->speech.speechAvailable = true;
    session->tmpl.templateFolder = dir.path();
    session->tmpl.settings.voiceSpeaker = 1;
    play(QStringLiteral("{|Llegeix /I:c /L:1 /V:100 /F:TEXT.TXT}"));
    EXPECT_EQ(ops({QStringLiteral("speech")}),
              (QStringList{QStringLiteral("speech:upcTVResume()"),
                           QStringLiteral("speech:upcTVSetSpeaker(2)"),
                           QStringLiteral("speech:upcTVRead(Bon dia. Com estàs?\r\nBé!)")}));
    // No program is started for it.
    EXPECT_TRUE(fake.launcher.started.isEmpty());

    // Without "/F:" the whole argument is the name; names go through the path layer
    // (backslashes, case).
    fake.recorder.clear();
    play(QStringLiteral("{|LEE sub\\altre.txt}"));
    EXPECT_EQ(ops({QStringLiteral("speech")}).value(2), QStringLiteral("speech:upcTVRead(altre)"));

    // An empty file says nothing new but is no fault.
    writeFile(QStringLiteral("BUIT.TXT"), "");
    fake.recorder.clear();
    play(QStringLiteral("{|Llegeix /F:BUIT.TXT}"));
    EXPECT_EQ(ops({QStringLiteral("speech")}).value(2), QStringLiteral("speech:upcTVRead()"));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Interpreter, ReadAFileOnlyWhenItExistsAndAnEngineSpeaks) {
    writeFile(QStringLiteral("TEXT.TXT"), "Hola");
    session->tmpl.templateFolder = dir.path();
    // Without an engine nothing is read; a missing file is reported first, in both cases.
    play(QStringLiteral("{|LEE /F:TEXT.TXT}{|LEE NONE.TXT}"));
    EXPECT_TRUE(ops({QStringLiteral("speech")}).isEmpty());
    EXPECT_EQ(messages().size(), 1);
    session->speech.speechAvailable = true;
    play(QStringLiteral("{|Llegeix /F:NONE.TXT}"));
    EXPECT_TRUE(ops({QStringLiteral("speech")}).isEmpty());
    EXPECT_EQ(messages().size(), 2);
    EXPECT_TRUE(fake.launcher.started.isEmpty());
}

TEST_F(Interpreter, ReadAFileUpToTheLimit) {
    writeFile(QStringLiteral("GRAN.TXT"), QByteArray(kMaxReadFileBytes + 10, 'a'));
    session->speech.speechAvailable = true;
    session->tmpl.templateFolder = dir.path();
    play(QStringLiteral("{|Llegeix /F:GRAN.TXT}"));
    const auto reads = fake.recorder.eventsOf(QStringLiteral("speech"));
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.back().value(QStringLiteral("call")).toString(), QStringLiteral("upcTVRead"));
    EXPECT_EQ(reads.back().value(QStringLiteral("arg")).toString().size(), kMaxReadFileBytes);
}

TEST_F(Interpreter, UnknownAndMalformedCommandsDoNothing) {
    session->player.memory = QStringLiteral("m");
    play(QStringLiteral("{|}{|  }{|FOO bar}{|SIMX}{|M+}{|MOUSE}{| CM}{| M+ 1}"));
    EXPECT_EQ(ops(), QStringList{});
    EXPECT_EQ(session->player.memory, QStringLiteral("m"));
}

TEST_F(Interpreter, RegistryCommandShowsItsMessage) {
    play(QStringLiteral("{|Reg [HKEY_CURRENT_USER\\Software\\X]Name=abc}"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("REG")});
}

struct RegistryTextCase {
    const char* text;
    int type;       // 0: refused
    const char* hex;
};

class RegistryText : public ::testing::TestWithParam<RegistryTextCase> {};

// The value texts boards write, as the store keeps them.
TEST_P(RegistryText, Decodes) {
    const RegistryTextCase& c = GetParam();
    RegistryStore store;
    const QString root = QStringLiteral("HKEY_CURRENT_USER"), key = QStringLiteral("Software\\X");
    ASSERT_TRUE(store.writeRegistryValue(root, key, QString(), QStringLiteral("k")));
    const bool written = store.writeRegistryValue(root, key, QStringLiteral("V"), QString::fromUtf8(c.text));
    const RegistryValue* v = store.value(root, key, QStringLiteral("V"));
    if (c.type == 0) {
        EXPECT_FALSE(written || v) << c.text;
        return;
    }
    ASSERT_TRUE(written && v) << c.text;
    EXPECT_EQ(int(v->type), c.type);
    EXPECT_EQ(v->data.toHex(), QByteArray(c.hex)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Interpreter, RegistryText,
                         ::testing::Values(RegistryTextCase{"abc", 1, "616263"},
                                           RegistryTextCase{"\xC3\xA0", 1, "e0"},
                                           RegistryTextCase{"", 1, ""},
                                           RegistryTextCase{"HEX:0a,ff,00", 3, "0aff00"},
                                           RegistryTextCase{"hex:0a,,ff", 3, "0aff"},
                                           RegistryTextCase{"hex:1", 3, "01"},
                                           RegistryTextCase{"HEX:", 3, ""},
                                           RegistryTextCase{"HEX:zz", 0, ""},
                                           RegistryTextCase{"HEX:100", 0, ""},
                                           RegistryTextCase{"DWORD:0000001f", 4, "1f000000"},
                                           RegistryTextCase{"dword:12345678", 4, "78563412"},
                                           RegistryTextCase{"DWORD:123456789", 0, ""},
                                           RegistryTextCase{"C:\\x", 0, ""}));

TEST_F(Interpreter, CatalogueNamesBecomePaths) {
    session->catalogue.programCatalogue = QStringLiteral("|CALC.EXE|C:\\WINDOWS\\CALC.EXE|");
    const std::pair<const char*, const char*> cases[] = {
        {"CALC.EXE", "C:\\WINDOWS\\CALC.EXE"},
        {"calc.exe /x", "C:\\WINDOWS\\CALC.EXE /x"},
        {"D:\\OLD\\CALC.EXE", "C:\\WINDOWS\\CALC.EXE"},
        {"NOTEPAD.EXE a", "NOTEPAD.EXE a"},
        {"calc", "calc"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(resolveProgramAlias(*session, QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

}  // namespace
