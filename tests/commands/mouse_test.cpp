#include <gtest/gtest.h>

#include "assist/command_catalogue.h"
#include "command_fixture.h"
#include "i18n/texts.h"
#include "commands/mouse_commands.h"
#include "commands/player.h"

using namespace vexil;
using vexil::test::CommandFixture;

namespace {

class MouseCommand : public CommandFixture, public ::testing::Test {
protected:
    void SetUp() override {
        fake.mouse.perform(MouseAction::Move, 300, 200);
        fake.recorder.clear();
    }
    QStringList run(const char* argument) {
        fake.recorder.clear();
        host.calls.clear();
        runMouseCommand(*session, QString::fromUtf8(argument));
        return ops({QStringLiteral("mouse")});
    }
};

TEST_F(MouseCommand, MovesByStepsOrCounts) {
    EXPECT_EQ(run("D"), QStringList{QStringLiteral("mouse:move@305,200")});
    EXPECT_EQ(run("D 20 A 10"),
              (QStringList{QStringLiteral("mouse:move@325,200"), QStringLiteral("mouse:move@325,190")}));
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("mouse:M@325,200"), QStringLiteral("mouse:M@325,190")}));
    EXPECT_EQ(run("E 0 R x"),
              (QStringList{QStringLiteral("mouse:move@320,190"), QStringLiteral("mouse:move@320,195")}));
}

TEST_F(MouseCommand, CountTokenIsAlwaysTaken) {
    // "CD" is D's count (0, so five pixels); no click.
    EXPECT_EQ(run("D CD"), QStringList{QStringLiteral("mouse:move@305,200")});
}

TEST_F(MouseCommand, LowerCaseDoesNothing) {
    EXPECT_TRUE(run("cd").isEmpty());
    EXPECT_TRUE(run("d 5 xx m 1 2").isEmpty());
}

TEST_F(MouseCommand, PositionsRelativeToTheTarget) {
    openTarget(QStringLiteral("Notes"));  // the fake places new windows at (100, 100)
    EXPECT_EQ(run("M 100 50"), QStringList{QStringLiteral("mouse:move@200,150")});
    // A target that is gone: screen coordinates.
    fake.windows.removeWindow(session->player.targetWindow);
    EXPECT_EQ(run("M 10 20"), QStringList{QStringLiteral("mouse:move@10,20")});
}

TEST_F(MouseCommand, ClicksActWhereThePointerIs) {
    const std::int64_t before = fake.clock.now();
    EXPECT_EQ(run("CD"), (QStringList{QStringLiteral("mouse:leftDown@300,200"),
                                      QStringLiteral("mouse:leftUp@300,200")}));
    EXPECT_GT(fake.clock.now() - before, 10);  // held a little over 0.01 s
    EXPECT_EQ(run("2CD").size(), 4);
    EXPECT_EQ(run("CE"), (QStringList{QStringLiteral("mouse:rightDown@300,200"),
                                      QStringLiteral("mouse:rightUp@300,200")}));
    EXPECT_EQ(run("2CE").filter(QStringLiteral("right")).size(), 4);
    EXPECT_EQ(run("AD"), QStringList{QStringLiteral("mouse:leftUp@300,200")});
    EXPECT_EQ(run("AE"), QStringList{QStringLiteral("mouse:rightUp@300,200")});
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("mouse:AE@300,200")});
}

TEST_F(MouseCommand, DragFromThePointer) {
    EXPECT_EQ(run("PD+ 40 0"), (QStringList{QStringLiteral("mouse:leftDown@300,200"),
                                            QStringLiteral("mouse:move@340,200"),
                                            QStringLiteral("mouse:leftUp@340,200")}));
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("mouse:PD@340,200")});
    EXPECT_EQ(run("PE+ -40 10"), (QStringList{QStringLiteral("mouse:rightDown@340,200"),
                                              QStringLiteral("mouse:move@300,210"),
                                              QStringLiteral("mouse:rightUp@300,210")}));
}

TEST_F(MouseCommand, ThroughTheInterpreter) {
    openTarget(QStringLiteral("Notes"));
    playKeySequence(*session, QStringLiteral("{|Mouse D 20 CD}"));
    EXPECT_EQ(ops({QStringLiteral("mouse")}),
              (QStringList{QStringLiteral("mouse:move@320,200"), QStringLiteral("mouse:leftDown@320,200"),
                           QStringLiteral("mouse:leftUp@320,200")}));
}

// What the "Botó dret" and "Botó esquerra" items write, with the placeholders filled in as
// the author does in the key field and stored from it, works the button their caption names.
TEST_F(MouseCommand, MenuItemsWorkTheButtonTheirCaptionNames) {
    openTarget(QStringLiteral("Notes"));
    for (const auto& [menu, button] : {std::pair{CommandMenu::BotoDret, QStringLiteral("right")},
                                       std::pair{CommandMenu::BotoEsquerra, QStringLiteral("left")}}) {
        for (const CommandMenuItem& item : commandMenuItems(menu)) {
            const QString shown = translateCommands(QString::fromUtf16(item.text), 0)
                                      .replace(QStringLiteral("x y"), QStringLiteral("40 30"));
            fake.recorder.clear();
            playKeySequence(*session, translateCommands(shown, 1));
            const QStringList buttons = ops({QStringLiteral("mouse")}).filter(QStringLiteral("Down@")) +
                                        ops({QStringLiteral("mouse")}).filter(QStringLiteral("Up@"));
            const std::string caption = QString::fromUtf16(item.caption).toStdString();
            EXPECT_FALSE(buttons.isEmpty()) << caption;
            EXPECT_EQ(buttons.filter(button).size(), buttons.size()) << caption << " " << shown.toStdString();
        }
    }
}

TEST_F(MouseCommand, StaysOnTheScreen) {
    EXPECT_EQ(run("E 1000 A 1000"),
              (QStringList{QStringLiteral("mouse:move@0,200"), QStringLiteral("mouse:move@0,0")}));
    EXPECT_EQ(run("D 99999999999"), QStringList{QStringLiteral("mouse:move@1023,0")});
}

TEST(MouseScaling, EveryPixelSurvivesTheAbsoluteSpace) {
    for (int width : {640, 800, 1024, 1366, 1920, 3840, 7680}) {
        for (int x = 0; x < width; ++x) {
            const int a = toAbsolute(x, width);
            ASSERT_GE(a, 0);
            ASSERT_LE(a, 65535);
            ASSERT_EQ(absoluteToPixel(a, width), x) << width << " " << x;
        }
    }
    EXPECT_EQ(toAbsolute(512, 1024), 32768);
    EXPECT_EQ(toAbsolute(1023, 1024), 65471);
    EXPECT_EQ(absoluteToPixel(-5, 1024), 0);
    EXPECT_EQ(absoluteToPixel(70000, 1024), 1023);
}

}  // namespace
