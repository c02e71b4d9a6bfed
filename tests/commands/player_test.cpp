#include <gtest/gtest.h>

#include <QCoreApplication>

#include "command_fixture.h"
#include "commands/player.h"

using namespace vexil;
using vexil::test::CommandFixture;

namespace {

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items) out << QString::fromUtf8(i);
    return out;
}

class Player : public CommandFixture, public ::testing::Test {};

TEST_F(Player, PlainKeysGoToTheTargetAndThePointerComesBack) {
    openTarget(QStringLiteral("Notes"));
    playKeySequence(*session, QStringLiteral("abc"));
    EXPECT_EQ(ops(), list({"activate:Notes", "keys:abc"}));
    EXPECT_EQ(host.calls, list({"idle"}));

    // An access method that keeps the focus on the board gets it back after the keys.
    host.calls.clear();
    session->profile.accessMode = 2;
    playKeySequence(*session, QStringLiteral("d"));
    EXPECT_EQ(host.calls, list({"focusBoard", "idle"}));
    // Also when the sequence ends with a command, once, after it.
    host.calls.clear();
    playKeySequence(*session, QStringLiteral("e{|Nivell 0}"));
    EXPECT_EQ(host.calls, list({"busy", "focusBoard", "idle"}));
}

// Two windows titled "Terminal": the keys go to the target, not to the other one above it.
TEST_F(Player, KeysGoToTheTargetWindowNotToAnotherOfItsTitle) {
    const WindowHandle target = openTarget(QStringLiteral("Terminal"));
    const WindowHandle other = fake.windows.addWindow(QStringLiteral("Terminal"));
    playKeySequence(*session, QStringLiteral("ls"));
    EXPECT_EQ(fake.windows.active(), target);
    // Once the target is gone, the title still finds a window, as it always did.
    fake.windows.removeWindow(target);
    session->player.targetHistory = QStringLiteral("%1 ").arg(QString::number(other, 16));
    playKeySequence(*session, QStringLiteral("ls"));
    EXPECT_EQ(fake.windows.active(), other);
    EXPECT_EQ(typed(), list({"keys:ls", "keys:ls"}));
}

TEST_F(Player, KeysAroundACommandAreSentInOrder) {
    openTarget(QStringLiteral("Notes"));
    playKeySequence(*session, QStringLiteral("ab{|Espera 2}cd"));
    EXPECT_EQ(ops(), list({"activate:Notes", "keys:ab", "activate:Notes", "keys:cd"}));
    EXPECT_EQ(host.calls, list({"busy", "wait", "wait", "idle"}));
}

struct Conditional {
    const char* memory;
    const char* sequence;
    const char* typed;  // "" when nothing is typed
};

class Conditionals : public CommandFixture, public ::testing::TestWithParam<Conditional> {};

TEST_P(Conditionals, PlayTheChosenBlock) {
    const Conditional& c = GetParam();
    openTarget(QStringLiteral("Notes"));
    session->player.memory = QString::fromUtf8(c.memory);
    playKeySequence(*session, QString::fromUtf8(c.sequence));
    const QStringList expected =
        *c.typed ? QStringList{QStringLiteral("keys:") + QString::fromUtf8(c.typed)} : QStringList{};
    EXPECT_EQ(typed(), expected) << c.sequence << " with memory '" << c.memory << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Player, Conditionals,
    ::testing::Values(Conditional{"5", "{|SIM 5 {yes} {no}}", "yes"},
                      Conditional{"05", "{|SIM 5 {yes} {no}}", "no"},
                      Conditional{"", "{|SIM 5 {yes} {no}}", "no"},
                      Conditional{"Hola", "{|SIM hola {yes} {no}}", "no"},  // case matters
                      Conditional{"x", "{|SIM x { two words } {no}}", " two words "},
                      Conditional{"x", "{|SIM x {a{ENTER}} {b}}", "a{ENTER}"},
                      Conditional{"y", "{|SIM x {{|SIM y {c} {d}}} {{|SIM y {e} {f}}}}", "e"},
                      Conditional{"x", "{|sim x {a} {b}}", ""},  // lower case: not a conditional
                      Conditional{"y", "{|SIM x {a}", ""},       // no second block
                      Conditional{"x", "{|SIM x {a}", "a"},
                      Conditional{"x", "{|SIM x {a", "a"},       // unclosed block
                      Conditional{"x", "{|SIM", ""},
                      Conditional{"", "{|SIM ", ""}));

TEST_F(Player, ConditionalBlockRunsItsCommands) {
    writeFile(QStringLiteral("A.WAV"), "RIFF");
    session->tmpl.templateFolder = dir.path();
    openTarget(QStringLiteral("Notes"));
    session->player.memory = QStringLiteral("x");
    playKeySequence(*session, QStringLiteral("{|SIM x {{|Sona A.WAV}} {b}}"));
    EXPECT_EQ(ops({QStringLiteral("wave"), QStringLiteral("keys")}),
              QStringList{QStringLiteral("wave:") + path(QStringLiteral("A.WAV"))});
}

TEST_F(Player, ClosedTargetFallsBackThroughTheHistory) {
    openTarget(QStringLiteral("First"));
    const WindowHandle second = openTarget(QStringLiteral("Second"));
    fake.windows.removeWindow(second);
    playKeySequence(*session, QStringLiteral("x"));
    EXPECT_EQ(ops(), list({"activate:First", "keys:x"}));
    EXPECT_EQ(session->player.targetHistory, QString());  // both entries were taken

    // Nothing left: keys and the commands after them are dropped.
    fake.windows.removeWindow(session->player.targetWindow);
    fake.recorder.clear();
    session->player.memory = QStringLiteral("kept");
    playKeySequence(*session, QStringLiteral("y{|CM}z"));
    EXPECT_TRUE(ops().isEmpty());
    EXPECT_EQ(session->player.memory, QStringLiteral("kept"));
    EXPECT_EQ(win_actiu_titol(*session), QStringLiteral("|"));
}

TEST_F(Player, NoProgramStartedMeansNoKeys) {
    playKeySequence(*session, QStringLiteral("abc"));
    EXPECT_TRUE(ops().isEmpty());
}

TEST_F(Player, LongTitlesAreNotCut) {
    const QString title = QString(u'x').repeated(150);
    openTarget(title);
    EXPECT_EQ(win_actiu_titol(*session), title);
}

TEST_F(Player, HistoryHandlesAndTheMissingWindow) {
    EXPECT_EQ(handleHex(0x1a2b), QStringLiteral("1A2B"));
    EXPECT_EQ(handleHex(-1), QStringLiteral("FFFFFFFF"));
    const WindowHandle w = openTarget(QStringLiteral("Kept"));
    pushTarget(*session, -1);  // a program that opened no window
    EXPECT_EQ(session->player.targetHistory, QStringLiteral("FFFFFFFF %1 ").arg(handleHex(w)));
    EXPECT_EQ(win_actiu_titol(*session), QStringLiteral("Kept"));
    EXPECT_EQ(session->player.targetWindow, w);
}

TEST_F(Player, HistoryIsBounded) {
    for (int i = 0; i < kMaxHistoryEntries + 10; ++i) pushTarget(*session, 0x1000 + i);
    EXPECT_EQ(session->player.targetHistory.count(u' '), kMaxHistoryEntries);
    EXPECT_TRUE(session->player.targetHistory.startsWith(handleHex(0x1000 + kMaxHistoryEntries + 9)));
}

TEST_F(Player, BadNotationShowsItsCodeAndPlayingGoesOn) {
    openTarget(QStringLiteral("Notes"));
    playKeySequence(*session, QStringLiteral("a{FOO}b{|Espera 1}ok"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("1001 Nombre de tecla desconocido")});
    EXPECT_EQ(typed(), list({"keys:ok"}));
}

TEST_F(Player, KeySenderFailureCodeIsShown) {
    openTarget(QStringLiteral("Notes"));
    fake.keys.failWith = 87;
    playKeySequence(*session, QStringLiteral("a{|CM}b"));
    EXPECT_EQ(messages(), list({"87", "87"}));
}

TEST_F(Player, UnclosedCommandRunsToTheEnd) {
    openTarget(QStringLiteral("Notes"));
    playKeySequence(*session, QStringLiteral("ab{|Espera 1"));
    EXPECT_EQ(typed(), list({"keys:ab"}));
    EXPECT_EQ(host.calls.count(QStringLiteral("wait")), 1);
}

TEST_F(Player, BracesInsideACommandNest) {
    openTarget(QStringLiteral("Notes"));
    session->platform.clipboard.setText(QStringLiteral("clip"));
    playKeySequence(*session, QStringLiteral("{|M+ {|RCW}}after"));
    EXPECT_EQ(session->player.memory, QStringLiteral("clip"));
    EXPECT_EQ(typed(), list({"keys:after"}));
}

TEST_F(Player, SelfRecallingMemoryEnds) {
    openTarget(QStringLiteral("Notes"));
    session->player.memory = QStringLiteral("a{|RM}");
    playKeySequence(*session, QStringLiteral("{|RM}"));
    EXPECT_EQ(typed().size(), kMaxNesting - 1);  // one "a" per level below the outermost

    // Doubling at every level stops at the step budget.
    fake.recorder.clear();
    session->player.memory = QStringLiteral("{|RM}{|RM}x");
    playKeySequence(*session, QStringLiteral("{|RM}"));
    EXPECT_GT(typed().size(), 0);
    EXPECT_LE(typed().size(), kMaxPlayerSteps);
    // The author is told once why the rest was not typed; a sequence that ends well says
    // nothing.
    EXPECT_EQ(messages(), QStringList{QStringLiteral("%1 ").arg(kStepBoundCode) + stepBoundText()});
    playKeySequence(*session, QStringLiteral("ok"));
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(Player, RepeatedKeysPayForEveryKeystroke) {
    openTarget(QStringLiteral("Notes"));
    // 11 characters that type 1,000 keys, recalled far more often than the budget allows.
    session->player.memory = QStringLiteral("{LEFT 1000}");
    QString recalls;
    for (int i = 0; i < 2000; ++i) recalls += QStringLiteral("{|RM}");
    playKeySequence(*session, recalls);
    const qint64 allowed = qint64(kMaxPlayerSteps) * kCharactersPerStep;
    EXPECT_GT(fake.keys.strokesSent, allowed / 2);
    EXPECT_LE(fake.keys.strokesSent, allowed);

    // A short repeat costs no more than its characters: the budget is not spent early.
    fake.keys.strokesSent = 0;
    playKeySequence(*session, QStringLiteral("{LEFT 3}{|RM}x"));
    EXPECT_EQ(fake.keys.strokesSent, 3 + 1000 + 1);
}

TEST_F(Player, RandomChoiceThatRecallsItselfEnds) {
    openTarget(QStringLiteral("Notes"));
    session->player.memory = QStringLiteral("{|TRIA [{|RM}#{|RM}]}");
    playKeySequence(*session, QStringLiteral("{|RM}"));
    EXPECT_TRUE(typed().isEmpty());
}

// An area table: 1 the frame, 2 a group with 3 inside it.
class Activation : public Player {
protected:
    void SetUp() override {
        Area frame;
        frame.x1 = 640;
        frame.y1 = 445;
        session->tmpl.appendArea(frame);
        Area group;
        group.level = 1;
        group.isGroup = -1;
        session->tmpl.appendArea(group);
        Area key;
        key.level = 2;
        key.keys = QStringLiteral("hi");
        session->tmpl.appendArea(key);
        session->timer2->setEnabled(true);
    }
};

TEST_F(Activation, GroupChangesTheLevelWithoutKeys) {
    activateArea(*session, 2);
    EXPECT_EQ(session->player.currentLevel, 2);
    EXPECT_EQ(session->player.previousArea, 2);
    EXPECT_TRUE(ops({QStringLiteral("keys")}).isEmpty());
    EXPECT_TRUE(session->timer2->enabled());
}

TEST_F(Activation, AGroupWithNoSubAreasActsAsAPlainArea) {
    openTarget(QStringLiteral("Notes"));
    Area empty;
    empty.level = 1;
    empty.isGroup = -1;
    empty.keys = QStringLiteral("ok");
    session->tmpl.appendArea(empty);
    activateArea(*session, 4);
    // Its level would be empty, where scanning finds nothing to go on with.
    EXPECT_EQ(session->player.currentLevel, 1);
    EXPECT_EQ(ops({QStringLiteral("keys")}), list({"keys:ok"}));
}

TEST_F(Activation, KeysAreTypedAndTimer2IsPausedMeanwhile) {
    openTarget(QStringLiteral("Notes"));
    fake.recorder.recordTimers = true;
    activateArea(*session, 3);
    EXPECT_EQ(ops({QStringLiteral("timer"), QStringLiteral("keys")}),
              list({"timer", "keys:hi", "timer"}));
    EXPECT_TRUE(session->timer2->enabled());
    EXPECT_EQ(session->player.currentLevel, 1);
}

TEST_F(Activation, OutOfRangeAreasDoNothing) {
    for (int n : {0, -1, 4, 32767}) activateArea(*session, n);
    EXPECT_EQ(session->player.previousArea, 0);
    EXPECT_TRUE(session->timer2->enabled());
}

struct TargetAppCase {
    const char* targetApp;
    const char* focused;
    bool plays;
};

class TargetApp : public Activation, public ::testing::WithParamInterface<TargetAppCase> {};

TEST_P(TargetApp, OnlyTheNamedApplicationReceives) {
    const TargetAppCase& c = GetParam();
    openTarget(QStringLiteral("Notes"));
    session->tmpl.settings.targetApp = QString::fromUtf8(c.targetApp);
    fake.windows.setFocusedProgramFile(QString::fromUtf8(c.focused));
    activateArea(*session, 3);
    EXPECT_EQ(!typed().isEmpty(), c.plays) << c.targetApp << " / " << c.focused;
    EXPECT_TRUE(session->timer2->enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Player, TargetApp,
    ::testing::Values(TargetAppCase{"NOTEPAD.EXE", "C:\\WINDOWS\\NOTEPAD.EXE", true},
                      TargetAppCase{"notepad.exe", "c:\\windows\\Notepad.exe", true},
                      TargetAppCase{"NOTEPAD.EXE", "C:\\WINDOWS\\CALC.EXE", false},
                      TargetAppCase{"NOTEPAD.EXE", "/usr/bin/mousepad", true},  // its alias
                      TargetAppCase{"NOTEPAD.EXE", "/usr/bin/gnome-calculator", false},
                      TargetAppCase{"NOTEPAD.EXE", "", false},
                      TargetAppCase{"LONGNAME.EXE", "E.EXE", false}));

// Scanning keeps the focus on the board: the program compared is then the target window's,
// in every access mode, whichever program the board itself runs in.
TEST_F(Activation, WithTheBoardFocusedTheTargetWindowsProgramIsCompared) {
    session->tmpl.settings.targetApp = QStringLiteral("NOTEPAD.EXE");
    const WindowHandle notes = fake.windows.addWindow(QStringLiteral("Notes"), 4321,
                                                      QStringLiteral("/usr/bin/mousepad"));
    const WindowHandle calc = fake.windows.addWindow(QStringLiteral("Calc"), 4322,
                                                     QStringLiteral("/usr/bin/gnome-calculator"));
    const WindowHandle board = fake.windows.addWindow(
        QStringLiteral("Vexil"), ProcessId(QCoreApplication::applicationPid()),
        QStringLiteral("/usr/bin/vexil"));
    struct Case {
        WindowHandle target;
        bool plays;
    };
    for (const Case c : {Case{notes, true}, Case{calc, false}}) {
        for (int mode : {0, 1, 2, 3, 8}) {
            fake.recorder.clear();
            session->profile.accessMode = mode;
            session->player.targetWindow = c.target;
            fake.windows.activate(board);
            activateArea(*session, 3);
            EXPECT_EQ(!typed().isEmpty(), c.plays) << "mode " << mode;
        }
    }
}

TEST_F(Activation, TextClipFileGoesToTheClipboardWithoutPasting) {
    writeFile(QStringLiteral("board/NOTA.TXT"), "Bon dia \xE0");
    session->tmpl.templateFolder = path(QStringLiteral("board"));
    Area a = session->tmpl.area(3);
    a.clipFile = QStringLiteral("nota.txt");
    a.keys.clear();
    session->tmpl.setArea(3, a);
    openTarget(QStringLiteral("Notes"));
    activateArea(*session, 3);
    EXPECT_EQ(ops(), list({"clipboard", "clipboard:Bon dia à"}));
    EXPECT_FALSE(host.calls.join(u' ').contains(QStringLiteral("paste")));
}

TEST_F(Activation, PictureClipFileIsPastedIntoTheTarget) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    session->tmpl.templateFolder = path(QStringLiteral("board"));
    writeFile(QStringLiteral("board/x"), "");
    ASSERT_TRUE(image.save(path(QStringLiteral("board/GAT.BMP"))));
    Area a = session->tmpl.area(3);
    a.clipFile = QStringLiteral("GAT.BMP");
    a.clipKind = 1;
    a.keys.clear();
    session->tmpl.setArea(3, a);
    const WindowHandle w = openTarget(QStringLiteral("Paint"));
    activateArea(*session, 3);
    EXPECT_EQ(ops(), list({"clipboard", "clipboard", "clipboard:3x2", "activate:Paint", "keys:^v"}));
    EXPECT_TRUE(host.calls.contains(QStringLiteral("paste:%1").arg(w)));
}

struct DisplayCase {
    const char* keys;
    const char* shown;
};

class DisplayText : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayText, KeepsThePrintableCharacters) {
    EXPECT_EQ(keysDisplayText(QString::fromUtf8(GetParam().keys)), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Player, DisplayText,
                         ::testing::Values(DisplayCase{"^c{ENTER}Hola", "Hola"},
                                           DisplayCase{"+{HOME}x", "HOME}x"},
                                           DisplayCase{"+^ab", "b"}, DisplayCase{"%", ""},
                                           DisplayCase{"a{b", "a"},  // unclosed: the walk ends
                                           DisplayCase{"àb~c", "àb~c"}, DisplayCase{"", ""}));

TEST_F(Player, FilesAreTakenInTheTemplatesFolder) {
    session->tmpl.templateFolder = QStringLiteral("C:\\PLANT");
    EXPECT_EQ(resolvePath(*session, QStringLiteral("a.wav")), QStringLiteral("C:\\PLANT\\a.wav"));
    EXPECT_EQ(resolvePath(*session, QStringLiteral("\\a.wav")), QStringLiteral("C:\\PLANT\\a.wav"));
    EXPECT_EQ(resolvePath(*session, QStringLiteral("D:\\a.wav")), QStringLiteral("D:\\a.wav"));
    EXPECT_EQ(resolvePath(*session, QStringLiteral("/srv/a.wav")), QStringLiteral("/srv/a.wav"));
    EXPECT_EQ(commandFilePath(*session, QStringLiteral("x\\a:b")), QStringLiteral("C:\\PLANT\\x\\a:b"));
    EXPECT_EQ(commandFilePath(*session, QStringLiteral("D:a")), QStringLiteral("D:a"));
    // A folder of this machine joins with its own separator.
    session->tmpl.templateFolder = QStringLiteral("/srv/boards");
    EXPECT_EQ(resolvePath(*session, QStringLiteral("\\a.wav")), QStringLiteral("/srv/boards/a.wav"));
    EXPECT_EQ(commandFilePath(*session, QStringLiteral("SONS\\a.wav")),
              QStringLiteral("/srv/boards/SONS\\a.wav"));
    // No folder at all: the name as written.
    session->tmpl.templateFolder.clear();
    session->currentDirectory.clear();
    EXPECT_EQ(resolvePath(*session, QStringLiteral("a.wav")), QStringLiteral("a.wav"));
}

TEST_F(Player, MissingFileIsReportedAboveEveryWindow) {
    EXPECT_FALSE(fileExistsOrWarn(*session, QStringLiteral("NO.WAV")));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("NO.WAV\rVexil no encuentra el archivo ")});
    EXPECT_EQ(host.calls, list({"topMost", "notTopMost"}));
    writeFile(QStringLiteral("SI.WAV"), "x");
    EXPECT_TRUE(fileExistsOrWarn(*session, QStringLiteral("si.wav")));
}

}  // namespace
