#include "app/profile_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

TEST(ProfileCommands, UpperCasesOnlyTheFileName) {
    EXPECT_EQ(upperCaseFileName(QStringLiteral("/home/ana/perfils/joan.usr")),
              QStringLiteral("/home/ana/perfils/JOAN.USR"));
    EXPECT_EQ(upperCaseFileName(QStringLiteral("C:\\Vexil\\joan.usr")),
              QStringLiteral("C:\\Vexil\\JOAN.USR"));
    EXPECT_EQ(upperCaseFileName(QStringLiteral("joan.usr")), QStringLiteral("JOAN.USR"));
}

TEST(ProfileCommands, LoadTakesTheChosenProfileAndItsFolder) {
    FakeSessionFixture f;
    const QString file = f.writeFile(QStringLiteral("perfils/JOAN.USR"),
                                     "[Vexil]\r\nmodus= 2\r\ntemps= 15\r\naccio1= 3\r\n");
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("perfils/joan.usr")));
    loadUserCommand(*f.session);
    EXPECT_EQ(f.session->profile.accessMode, 2);
    EXPECT_EQ(f.session->profile.temps, 15);
    EXPECT_EQ(f.session->profile.switches[1].accio, 3);
    EXPECT_EQ(QDir(f.session->tmpl.templateFolder), QDir(f.path(QStringLiteral("perfils"))));
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Carregar el fitxer de l'usuari"));
    EXPECT_TRUE(QFile::exists(file));
}

TEST(ProfileCommands, LoadIgnoresCancelAndTheFilterItself) {
    for (const QString& chosen : {QString(), QStringLiteral("*.USR"), QStringLiteral("a.u")}) {
        FakeSessionFixture f;
        f.session->profile.temps = 7;
        f.session->tmpl.templateFolder = QStringLiteral("/before");
        if (!chosen.isEmpty()) f.fake.dialogs.chosenFiles.push_back(chosen);
        loadUserCommand(*f.session);
        EXPECT_EQ(f.session->profile.temps, 7) << chosen.toStdString();
        EXPECT_EQ(f.session->tmpl.templateFolder, QStringLiteral("/before"))
            << chosen.toStdString();
    }
}

TEST(ProfileCommands, LoadAsksTheSaveQuestionFirstWhenTheBoardChanged) {
    FakeSessionFixture f;
    f.session->tmpl.modified = true;
    loadUserCommand(*f.session);  // cancelled dialog: the question still came first
    ASSERT_FALSE(f.messages().isEmpty());
    EXPECT_EQ(f.messages().first(),
              QStringLiteral("Se ha modificado el fichero. Quiere guardarlo?"));
}

TEST(ProfileCommands, SaveWritesTheProfileUnderAnUpperCaseName) {
    FakeSessionFixture f;
    f.session->profile.accessMode = 1;
    f.session->profile.switches[1].accio = 2;
    f.session->profile.switches[2].accio = 3;
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("nou.usr")));
    saveUserCommand(*f.session);
    const QByteArray text = f.readFile(f.path(QStringLiteral("NOU.USR")));
    EXPECT_TRUE(text.contains("modus= 1")) << text.toStdString();
    EXPECT_TRUE(text.contains("accio2= 3")) << text.toStdString();
    EXPECT_FALSE(QFile::exists(f.path(QStringLiteral("nou.usr"))));
}

TEST(ProfileCommands, NewUserResetsTheProfile) {
    FakeSessionFixture f;
    f.session->profile.accessMode = 5;
    f.session->profile.gruix = 3;
    f.session->programSettings.Interval = 700;
    newUserCommand(*f.session);
    EXPECT_EQ(f.session->profile.accessMode, 0);
    EXPECT_EQ(f.session->profile.gruix, 8);
    EXPECT_EQ(f.session->profile.color, 255);
    EXPECT_EQ(f.session->programSettings.Interval, 700);
}
