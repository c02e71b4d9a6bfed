#include "app/startup.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "access/access_engine.h"
#include "app/use_mode.h"
#include "engine_fixture.h"
#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "template/template_writer.h"

using namespace vexil;

TEST(CommandLine, ArgumentWithExtension) {
    struct {
        const char* line;
        const char* ext;
        const char* expected;
    } cases[] = {
        {"teclat.vxl", ".Vxl", "teclat.Vxl"},
        {"C:\\Plantilles\\TECLAT.VXL", ".Vxl", "C:\\Plantilles\\TECLAT.Vxl"},
        {"\"C:\\Plantilles\\Teclat 1.vxl\"", ".Vxl", "C:\\Plantilles\\Teclat 1.Vxl"},
        {"ana.usr teclat.vxl", ".usr", "ana.usr"},
        {"ana.usr teclat.vxl", ".Vxl", "teclat.Vxl"},
        {"teclat.vxl ana.USR", ".usr", "ana.usr"},
        {"\"C:\\Usuaris\\Ana Pi.usr\" \"C:\\P\\el teclat.vxl\"", ".usr", "C:\\Usuaris\\Ana Pi.usr"},
        {"\"C:\\Usuaris\\Ana Pi.usr\" \"C:\\P\\el teclat.vxl\"", ".Vxl", "C:\\P\\el teclat.Vxl"},
        {"  /home/ana/boards/lletres.vxl  ", ".Vxl", "/home/ana/boards/lletres.Vxl"},
        {":\\Plantilles\\t.vxl", ".Vxl", ":\\Plantilles\\t.Vxl"},
        {"teclat.vxl", ".usr", ""},
        {"", ".Vxl", ""},
        // Characters whose upper case is longer keep every position in place.
        {"stra\xc3\x9f"
         "e.usr x.vxl",
         ".Vxl", "x.Vxl"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(argumentWithExtension(QString::fromUtf8(c.line), QString::fromUtf8(c.ext)),
                  QString::fromUtf8(c.expected))
            << c.line << " / " << c.ext;
}

TEST(CommandLine, ArgumentsJoinedWithQuotesAroundBlanks) {
    const QString line =
        commandLineOf({QStringLiteral("/home/ana/Ana Pi.usr"), QStringLiteral("/b/teclat.vxl")});
    EXPECT_EQ(line, QStringLiteral("\"/home/ana/Ana Pi.usr\" /b/teclat.vxl"));
    EXPECT_EQ(argumentWithExtension(line, QStringLiteral(".usr")),
              QStringLiteral("/home/ana/Ana Pi.usr"));
    EXPECT_EQ(argumentWithExtension(line, QStringLiteral(".Vxl")), QStringLiteral("/b/teclat.Vxl"));
}

TEST(CommandLine, ColonLeadingBoardGetsTheProgramsDrive) {
    Folders folders;
    folders.programFolder = QStringLiteral("/opt/vexil/share");
    EXPECT_EQ(boardArgument(QStringLiteral(":\\P\\t.vxl"), folders),
              QStringLiteral("C:\\P\\t.Vxl"));
    folders.drives = DriveMap::fromText(QStringLiteral("C=/home/ana;E=/opt/vexil"));
    EXPECT_EQ(programDriveLetter(folders), QChar(u'E'));
    EXPECT_EQ(boardArgument(QStringLiteral("x.usr :\\P\\t.vxl"), folders),
              QStringLiteral("E:\\P\\t.Vxl"));
    EXPECT_EQ(boardArgument(QStringLiteral("x.usr"), folders), QString());
}

namespace {

class StartupFixture : public vexil::test::FakeSessionFixture {
public:
    StartupFixture() { session->setView(&view); }
    class TitleView : public MainView {
    public:
        void setTitle(const QString& t) override { title = t; }
        void setDrawingArmed(bool a) override { armed = a; }
        QString title;
        bool armed = false;
    } view;
    PlayerActions actions{*session};
    AccessEngine engine{*session, actions};
    UseMode useMode{*session, engine};
};

}  // namespace

TEST(Startup, NoArgumentsGiveANewBoardToDraw) {
    StartupFixture f;
    startUp(*f.session, f.useMode, QString());
    EXPECT_EQ(f.view.title, QStringLiteral("Vexil - (Sin nombre)"));
    EXPECT_TRUE(f.view.armed);
    EXPECT_FALSE(f.session->access.useMode);
    EXPECT_TRUE(f.session->timer1->enabled());
    EXPECT_EQ(f.session->timer1->interval(), 500);
}

TEST(Startup, ProfileThenBoardInUseMode) {
    StartupFixture f;
    Template board;
    vexil::test::addGridBoard(board);
    f.writeFile(QStringLiteral("boards/teclat.vxl"), templateFileBytes(board));
    f.writeFile(QStringLiteral("Ana Pi.usr"), "[Vexil]\r\nmodus= 2\r\ntemps= 15\r\naccio1= 2\r\n");
    const QString line = commandLineOf(
        {f.path(QStringLiteral("boards/teclat.vxl")), f.path(QStringLiteral("Ana Pi.usr"))});
    startUp(*f.session, f.useMode, line);
    Session& s = *f.session;
    EXPECT_EQ(s.tmpl.areaCount(), 5);
    EXPECT_TRUE(s.access.useMode);
    // The profile was loaded before use mode started: automatic scanning at 1.5 s.
    EXPECT_EQ(s.profile.accessMode, 2);
    EXPECT_TRUE(s.timer3->enabled());
    EXPECT_EQ(s.timer3->interval(), 1500);
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
}

TEST(Startup, UnreadableBoardLeavesEditMode) {
    StartupFixture f;
    startUp(*f.session, f.useMode, f.path(QStringLiteral("missing.vxl")));
    EXPECT_FALSE(f.session->access.useMode);
    EXPECT_EQ(f.session->tmpl.areaCount(), 0);
    // Reported as missing, not as a board of another format.
    const QString path = f.path(QStringLiteral("missing.VXL"));
    EXPECT_EQ(f.messages(),
              QStringList{messageText(3) + path + QString::number(errnum::FileNotFound) + u' ' +
                          runtimeErrorDescription(errnum::FileNotFound)});
    EXPECT_EQ(f.view.title, QStringLiteral("Vexil - ") + path);
}

// Names keep their case here: the board is named, and titled, as it is spelt on disk.
TEST(Startup, BoardKeepsTheCaseItHasOnDisk) {
    struct {
        const char* typed;
    } cases[] = {{"Plafons/Lletres.vxl"}, {"PLAFONS/LLETRES.VXL"}, {"plafons/lletres.Vxl"}};
    for (const auto& c : cases) {
        StartupFixture f;
        Template board;
        vexil::test::addGridBoard(board);
        f.writeFile(QStringLiteral("Plafons/Lletres.vxl"), templateFileBytes(board));
        startUp(*f.session, f.useMode, f.path(QString::fromUtf8(c.typed)));
        const QString onDisk = f.path(QStringLiteral("Plafons/Lletres.vxl"));
        EXPECT_EQ(f.session->tmpl.templatePath, onDisk) << c.typed;
        EXPECT_EQ(f.view.title, QStringLiteral("Vexil - ") + onDisk) << c.typed;
        EXPECT_EQ(f.session->tmpl.areaCount(), 5) << c.typed;
        EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    }
}

// "vexil examples/LLETRES.VXL" from the source folder: the name is relative to the folder
// the program was started in, and its folder is not joined to it twice.
TEST(Startup, RelativeBoardNameIsTakenFromTheStartingFolder) {
    for (const char* typed : {"Plafons/Lletres.vxl", "Lletres.vxl"}) {
        StartupFixture f;
        Template board;
        vexil::test::addGridBoard(board);
        const bool named = QString::fromUtf8(typed).contains(u'/');
        const QString folder = named ? QString() : QStringLiteral("Plafons");
        f.writeFile(QStringLiteral("Plafons/Lletres.vxl"), templateFileBytes(board));
        f.session->currentDirectory = folder.isEmpty() ? f.dir.path() : f.path(folder);
        startUp(*f.session, f.useMode, QString::fromUtf8(typed));
        const QString onDisk = f.path(QStringLiteral("Plafons/Lletres.vxl"));
        EXPECT_EQ(f.session->tmpl.templatePath, onDisk) << typed;
        EXPECT_EQ(f.session->tmpl.areaCount(), 5) << typed;
        EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    }
}

TEST(Startup, ProfileAloneLoadsItAndGivesANewBoard) {
    StartupFixture f;
    f.writeFile(QStringLiteral("ana.usr"), "[Vexil]\r\nmodus= 3\r\n");
    startUp(*f.session, f.useMode, f.path(QStringLiteral("ana.usr")));
    EXPECT_EQ(f.session->profile.accessMode, 3);
    EXPECT_FALSE(f.session->access.useMode);
    EXPECT_TRUE(f.view.armed);
    EXPECT_EQ(f.view.title, QStringLiteral("Vexil - (Sin nombre)"));
    EXPECT_TRUE(f.messages().isEmpty());
}

// "vexil A.USR" in the profile's folder, then a start from elsewhere with no arguments: the
// profile comes back because Vexil.INI holds its whole path. Once it is gone, the start
// says which profile it did not find instead of quietly coming up in mouse mode.
TEST(Startup, LastProfileNamedRelativelyComesBackFromAnotherFolder) {
    StartupFixture f;
    const QString profile = f.writeFile(QStringLiteral("Perfils/A.usr"), "[Vexil]\r\nmodus= 2\r\n");
    f.session->currentDirectory = f.path(QStringLiteral("Perfils"));
    startUp(*f.session, f.useMode, QStringLiteral("A.USR"));
    ASSERT_EQ(f.session->profile.accessMode, 2);
    const QString iniPath = f.session->folders.userFolder + QStringLiteral("/Vexil.INI");
    const QByteArray ini = f.readFile(iniPath);
    EXPECT_TRUE(ini.contains(("usuari=" + profile + "\r\n").toUtf8())) << ini.toStdString();
    // Started so again, nothing is written: the profile named is the one remembered.
    const QDateTime earlier = QDateTime::currentDateTime().addDays(-1);
    {
        QFile file(iniPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(earlier, QFileDevice::FileModificationTime));
    }
    startUp(*f.session, f.useMode, QStringLiteral("A.USR"));
    EXPECT_EQ(QFileInfo(iniPath).lastModified(), earlier);
    EXPECT_EQ(f.readFile(iniPath), ini);

    f.session->currentDirectory = f.dir.path();
    startUp(*f.session, f.useMode, QString());
    EXPECT_EQ(f.session->profile.accessMode, 2);
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();

    // The path is kept upper-cased, as Windows wrote it; found here without regard to case.
    QFile::remove(profile);
    startUp(*f.session, f.useMode, QString());
    EXPECT_EQ(f.session->profile.accessMode, 0);
    EXPECT_EQ(f.messages(), QStringList{messageText(15) + profile.toUpper()});
}
