#include <gtest/gtest.h>

#include <QCoreApplication>

#include "command_fixture.h"
#include "commands/placement.h"
#include "commands/player.h"
#include "commands/program_aliases.h"

using namespace vexil;
using vexil::test::CommandFixture;

namespace {

class Launch : public CommandFixture, public ::testing::Test {
protected:
    void SetUp() override {
        Area frame;
        frame.x0 = 0;
        frame.y0 = 0;
        frame.x1 = 640;
        frame.y1 = 200;
        session->tmpl.appendArea(frame);
    }
};

TEST_F(Launch, WindowsProgramRunsItsAliasAndBecomesTheTarget) {
    fake.launcher.opensWindow(QStringLiteral("mousepad"), QStringLiteral("Sense títol - Mousepad"));
    playKeySequence(*session, QStringLiteral("{|Executa NOTEPAD.EXE C:\\DOCS\\a.txt}hola"));
    ASSERT_EQ(fake.launcher.started.size(), 1);
    EXPECT_EQ(fake.launcher.started.first(),
              QStringLiteral("/usr/bin/mousepad ") + session->realPath(QStringLiteral("C:\\DOCS\\a.txt")));
    const WindowHandle w = session->player.targetWindow;
    EXPECT_GT(w, 0);
    EXPECT_EQ(session->player.targetHistory, handleHex(w) + u' ');
    EXPECT_EQ(host.calls.first(), QStringLiteral("launch:NOTEPAD.EXE C:\\DOCS\\a.txt=%1").arg(w));
    // Placed below the board and typed into; never kept above the program's own windows.
    EXPECT_EQ(ops({QStringLiteral("place"), QStringLiteral("topMost"), QStringLiteral("keys")}),
              (QStringList{QStringLiteral("place:0,375 1024x393"), QStringLiteral("keys:hola")}));
    EXPECT_EQ(fake.clock.now(), 0);  // the window was there at once: no waiting
}

// A program that settles its own geometry just after its window appears (Tk puts its window
// back where it asked to be) is placed again once it has settled, while the board's sequence
// goes on without waiting; not when the target has changed meanwhile.
TEST_F(Launch, AProgramThatPutsItselfBackIsPlacedAgainOnceSettled) {
    struct Case {
        const char* name;
        bool movesBack;
        bool otherTarget;
        int places;
    };
    for (const Case& c : {Case{"stays", false, false, 1}, Case{"moves back", true, false, 3},
                          Case{"moves back, another target by then", true, true, 2}}) {
        SCOPED_TRACE(c.name);
        fake.recorder.clear();
        fake.launcher.opensWindow(QStringLiteral("wish"), QStringLiteral("Recorder"));
        const QRect own(200, 30, 600, 250);
        auto settle = fake.clock.createTimer(QStringLiteral("program settles"));
        settle->setInterval(100);
        WindowHandle started = 0;
        settle->onTimeout([&] {
            settle->setEnabled(false);
            if (c.movesBack) fake.windows.moveResize(started, own);
        });
        settle->setEnabled(true);
        playKeySequence(*session, QStringLiteral("{|Executa wish}hola"));
        started = session->player.targetWindow;
        ASSERT_GT(started, 0);
        EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:hola")});
        if (c.otherTarget) openTarget(QStringLiteral("Other"));
        fake.clock.advance(kWindowSettleMs + 100);
        const QRect wanted = appWindowRect(session->tmpl.area(1), fake.windows.screenSize());
        EXPECT_EQ(fake.windows.geometry(started), c.movesBack && c.otherTarget ? own : wanted);
        // The board's placement, the program's own move, and the placement again.
        EXPECT_EQ(ops({QStringLiteral("place")}).size(), c.places);
    }
}

TEST_F(Launch, CataloguedProgramStartsThroughItsPath) {
    session->catalogue.programCatalogue = QStringLiteral("|CALC.EXE|C:\\WINDOWS\\CALC.EXE|");
    fake.launcher.opensWindow(QStringLiteral("calculator"), QStringLiteral("Calculadora"));
    playKeySequence(*session, QStringLiteral("{|Ejecuta CALC.EXE}"));
    EXPECT_EQ(fake.launcher.started, QStringList{QStringLiteral("/usr/bin/gnome-calculator")});
    EXPECT_TRUE(host.calls.first().startsWith(QStringLiteral("launch:C:\\WINDOWS\\CALC.EXE=")));
    EXPECT_EQ(fake.windows.title(session->player.targetWindow), QStringLiteral("Calculadora"));
}

TEST_F(Launch, NoWindowWithinTheWaitGivesMinusOne) {
    const WindowHandle before = openTarget(QStringLiteral("Old"));
    fake.recorder.clear();
    playKeySequence(*session, QStringLiteral("{|Executa silent.exe}x"));
    EXPECT_EQ(session->player.targetWindow, before);  // -1 was passed over for "Old"
    EXPECT_GE(fake.clock.now(), kLaunchWaitMaxMs);
    EXPECT_LT(fake.clock.now(), kLaunchWaitMaxMs + 2 * kLaunchWaitStepMs);
    EXPECT_TRUE(host.calls.contains(QStringLiteral("launch:silent.exe=-1")));
    EXPECT_FALSE(ops().join(u' ').contains(QStringLiteral("place")));  // no window to place
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:x")});

    // The program was only slow: once its window has come (and not before, nor another
    // program's), the keys go there, and it is the target from then on.
    fake.windows.addWindow(QStringLiteral("Another"), 7);
    playKeySequence(*session, QStringLiteral("y"));
    EXPECT_EQ(session->player.targetWindow, before);
    const WindowHandle slow = fake.windows.addWindow(QStringLiteral("Slow"), 100);
    playKeySequence(*session, QStringLiteral("z"));
    EXPECT_EQ(session->player.targetWindow, slow);
    EXPECT_TRUE(session->player.targetHistory.startsWith(handleHex(slow) + u' '));
    EXPECT_EQ(fake.windows.title(fake.windows.active()), QStringLiteral("Slow"));
    EXPECT_TRUE(ops().join(u' ').contains(QStringLiteral("place")));
}

// Where no window can be seen (Wayland), the keys wait until the started program has come
// up, not the whole wait for a window, and go to the focused application.
TEST_F(Launch, WithoutAWindowListTheKeysWaitUntilTheProgramIsUp) {
    const WindowHandle focused = fake.windows.hideOtherWindows(4);
    fake.recorder.clear();
    playKeySequence(*session, QStringLiteral("{|Executa mousepad}hola"));
    EXPECT_EQ(fake.clock.now(), 4 * kLaunchWaitStepMs);
    EXPECT_EQ(session->player.targetWindow, focused);
    EXPECT_TRUE(host.calls.contains(QStringLiteral("launch:mousepad=%1").arg(focused)));
    EXPECT_EQ(typed(), QStringList{QStringLiteral("keys:hola")});
}

TEST_F(Launch, WindowsThatAppearLaterAreAwaitedAndTheStartedProcessWins) {
    // A window of another process appears first, the started program's own a little later.
    auto timer = fake.clock.createTimer(QStringLiteral("appear"));
    int ticks = 0;
    timer->setInterval(300);
    timer->onTimeout([&] {
        ++ticks;
        if (ticks == 1) fake.windows.addWindow(QStringLiteral("Other"), 5);
        if (ticks == 2) fake.windows.addWindow(QStringLiteral("Mine"), 100);  // the fake's first pid
        if (ticks == 3) fake.windows.addWindow(QStringLiteral("Late"), 100);
    });
    timer->setEnabled(true);
    const WindowHandle w = launchAndFindWindow(*session, QStringLiteral("prog.exe"));
    EXPECT_EQ(fake.windows.title(w), QStringLiteral("Mine"));
}

TEST_F(Launch, AForeignWindowIsTakenAfterTheGrace) {
    auto timer = fake.clock.createTimer(QStringLiteral("appear"));
    bool done = false;
    timer->setInterval(200);
    timer->onTimeout([&] {
        if (!done) fake.windows.addWindow(QStringLiteral("Handed over"), 5);
        done = true;
    });
    timer->setEnabled(true);
    const WindowHandle w = launchAndFindWindow(*session, QStringLiteral("prog.exe"));
    EXPECT_EQ(fake.windows.title(w), QStringLiteral("Handed over"));
    EXPECT_LE(fake.clock.now(), 200 + kLaunchForeignGraceMs + kLaunchWaitStepMs);
}

TEST_F(Launch, ThisProgramsOwnWindowsAreNeverTaken) {
    // The board's own window appears while the program starts; then the program's.
    auto timer = fake.clock.createTimer(QStringLiteral("appear"));
    int ticks = 0;
    timer->setInterval(200);
    timer->onTimeout([&] {
        ++ticks;
        if (ticks == 1)
            fake.windows.addWindow(QStringLiteral("Vexil - LLETRES.VXL"),
                                   ProcessId(QCoreApplication::applicationPid()));
        if (ticks == 4) fake.windows.addWindow(QStringLiteral("Editor"), 5);
    });
    timer->setEnabled(true);
    const WindowHandle w = launchAndFindWindow(*session, QStringLiteral("prog.exe"));
    EXPECT_EQ(fake.windows.title(w), QStringLiteral("Editor"));
}

TEST_F(Launch, UntitledChildAndHiddenWindowsAreNotTheProgramsWindow) {
    fake.launcher.opensWindow(QStringLiteral("prog"), QString());  // no title
    EXPECT_EQ(launchAndFindWindow(*session, QStringLiteral("prog.exe")), -1);
}

TEST_F(Launch, ProgramsStartWithoutAShell) {
    playKeySequence(*session, QStringLiteral("{|Executa notepad.exe a.txt; rm -rf ~ `id` $(id)}"));
    ASSERT_EQ(fake.launcher.started.size(), 1);
    // Everything after the program is handed over as plain arguments.
    EXPECT_EQ(fake.launcher.started.first(), QStringLiteral("/usr/bin/mousepad a.txt; rm -rf ~ `id` $(id)"));
}

struct SplitCase {
    const char* line;
    const char* program;
    std::vector<const char*> arguments;
};

TEST(CommandLine, SplitsTheWindowsWay) {
    const SplitCase cases[] = {
        {"NOTEPAD.EXE", "NOTEPAD.EXE", {}},
        {"  notepad.exe  a.txt ", "notepad.exe", {"a.txt"}},
        {"C:\\Program Files\\App\\APP.EXE /x \"a b\"", "C:\\Program Files\\App\\APP.EXE", {"/x", "a b"}},
        {"\"C:\\My Apps\\x.exe\" -v", "C:\\My Apps\\x.exe", {"-v"}},
        {"gimp file.png", "gimp", {"file.png"}},
        {"app.exes x", "app.exes", {"x"}},
        {"\"unclosed", "unclosed", {}},
        {"", "", {}},
    };
    for (const SplitCase& c : cases) {
        const CommandLineParts p = splitCommandLine(QString::fromUtf8(c.line));
        EXPECT_EQ(p.program, QString::fromUtf8(c.program)) << c.line;
        QStringList expected;
        for (const char* a : c.arguments) expected << QString::fromUtf8(a);
        EXPECT_EQ(p.arguments, expected) << c.line;
    }
}

TEST(ProgramAliasTable, BuiltInAndUserEntries) {
    ProgramAliases aliases;
    EXPECT_EQ(aliases.candidates(QStringLiteral("notepad.exe")).first(), QStringLiteral("mousepad"));
    EXPECT_EQ(aliases.candidates(QStringLiteral("NOTEPAD")).first(), QStringLiteral("mousepad"));
    EXPECT_FALSE(aliases.candidates(QStringLiteral("PBRUSH.EXE")).isEmpty());
    EXPECT_FALSE(aliases.candidates(QStringLiteral("WRITE.EXE")).isEmpty());
    EXPECT_TRUE(aliases.candidates(QStringLiteral("NONE.EXE")).isEmpty());
    aliases.read(QStringLiteral("# mine\n notepad.exe = gedit --new | kate \n\nbad line\n;x=y\n"));
    EXPECT_EQ(aliases.candidates(QStringLiteral("NOTEPAD.EXE")),
              (QStringList{QStringLiteral("gedit --new"), QStringLiteral("kate")}));
}

class LaunchAliases : public CommandFixture, public ::testing::Test {};

TEST_F(LaunchAliases, UserFileOverridesAndPlaceholdersFill) {
    writeFile(QStringLiteral("user/programs.txt"),
              "NOTEPAD.EXE = /nonexistent/editor | myeditor --flag\nSV.EXE = reader {lang} {/F}\n");
    auto cmd = resolveLaunch(*session, QStringLiteral("NOTEPAD.EXE x.txt"));
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, QStringLiteral("/usr/bin/myeditor"));
    EXPECT_EQ(cmd->arguments, (QStringList{QStringLiteral("--flag"), QStringLiteral("x.txt")}));

    session->tmpl.settings.voiceLanguage = 1;
    cmd = resolveLaunch(*session, QStringLiteral("sv.exe /I:c /F:/tmp/a.txt"));
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->arguments, (QStringList{QStringLiteral("es"), QStringLiteral("/tmp/a.txt")}));

    // An option the candidate needs is missing: the next way, the name on the search path.
    cmd = resolveLaunch(*session, QStringLiteral("sv.exe /I:c"));
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, QStringLiteral("/usr/bin/sv"));
    EXPECT_EQ(cmd->arguments, QStringList{QStringLiteral("/I:c")});
}

TEST_F(LaunchAliases, UnknownProgramsAreLookedUpByName) {
    auto cmd = resolveLaunch(*session, QStringLiteral("C:\\APPS\\GIMP.EXE pic.png"));
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, QStringLiteral("/usr/bin/gimp"));
    // A program file of this machine named directly.
    const QString script = writeFile(QStringLiteral("tool.sh"), "#!/bin/sh\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
    cmd = resolveLaunch(*session, script + QStringLiteral(" a"));
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, script);
}

struct PlaceCase {
    int x0, y0, x1, y1;
    QRect board, app;
};

TEST(Placement, BoardAndApplicationRectangles) {
    const QSize screen(1024, 768);
    const PlaceCase cases[] = {
        // The whole reference board: the board fills the screen, the application takes the
        // bottom third over it, never off the screen.
        {0, 0, 640, 445, QRect(0, 0, 1024, 768), QRect(0, 512, 1024, 256)},
        // The top part: the application goes below it.
        {0, 0, 640, 200, QRect(0, 0, 1024, 374), QRect(0, 375, 1024, 393)},  // cut at the screen edge
        // The bottom part: above it.
        {0, 200, 640, 445, QRect(0, 270, 1024, 446), QRect(0, 0, 1024, 269)},
        // The right half: left of it, full height.
        {320, 0, 640, 445, QRect(512, 0, 512, 768), QRect(0, 0, 510, 768)},
        // The left half: right of it.
        {0, 0, 320, 445, QRect(0, 0, 512, 768), QRect(510, 0, 514, 768)},
        // Strips too thin to work in (a frame just below the top edge, a narrow left
        // margin) are no room either.
        {0, 20, 640, 300, QRect(0, -19, 1024, 502), QRect(0, 512, 1024, 256)},
        {60, 0, 640, 445, QRect(96, 0, 928, 768), QRect(0, 512, 1024, 256)},
    };
    for (const PlaceCase& c : cases) {
        Area r;
        r.x0 = std::int16_t(c.x0);
        r.y0 = std::int16_t(c.y0);
        r.x1 = std::int16_t(c.x1);
        r.y1 = std::int16_t(c.y1);
        EXPECT_EQ(boardWindowRect(r, screen), c.board) << c.x0 << "," << c.y0;
        EXPECT_EQ(appWindowRect(r, screen), c.app) << c.x0 << "," << c.y0;
    }
    // Twips per pixel other than 15 scale the board with them.
    Area half;
    half.x1 = 320;
    half.y1 = 445;
    EXPECT_EQ(boardWindowRect(half, screen, 12).width(), 410);
}

TEST_F(Launch, OwnWindowsAndMissingHandlesAreNotPlaced) {
    const WindowHandle own = fake.windows.addWindow(QStringLiteral("Vexil - teclat.vxl"));
    placeAppWindow(*session, own);
    placeAppWindow(*session, -1);
    placeAppWindow(*session, 0);
    EXPECT_TRUE(ops().isEmpty());
}

}  // namespace

// The board takes the focus back (and is raised); a target lying over the board is raised
// again once the board has the focus, one time, and a target beside the board never is.
TEST(Placement, ATargetOverTheBoardIsRaisedAgainOnceTheBoardHasTheFocus) {
    for (const bool over : {true, false}) {
        CommandFixture f;
        Area frame;
        frame.x1 = 640;
        frame.y1 = over ? 445 : 200;
        f.session->tmpl.appendArea(frame);
        const WindowHandle target = f.fake.windows.addWindow(QStringLiteral("Recorder"));
        const WindowHandle own = f.fake.windows.addWindow(
            QStringLiteral("Vexil - A.VXL"), ProcessId(QCoreApplication::applicationPid()));
        f.session->player.targetWindow = target;
        f.fake.windows.activate(target);
        focusBoardOverApp(*f.session);  // the board asks for the focus: not yet raised
        EXPECT_TRUE(f.ops({QStringLiteral("raise")}).isEmpty()) << over;
        f.fake.windows.activate(own);
        focusBoardOverApp(*f.session);
        focusBoardOverApp(*f.session);
        EXPECT_EQ(f.ops({QStringLiteral("raise")}).size(), over ? 1 : 0) << over;
    }
}
