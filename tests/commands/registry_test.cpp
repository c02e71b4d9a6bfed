#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "command_fixture.h"
#include "commands/interpreter.h"
#include "commands/sound_speech.h"
#include "settings/registry.h"

using namespace vexil;
using vexil::test::CommandFixture;

namespace {

const QString HKCU = QStringLiteral("HKEY_CURRENT_USER");
const QString HKLM = QStringLiteral("HKEY_LOCAL_MACHINE");

TEST(Registry, WritesTheValueForms) {
    RegistryStore r;
    EXPECT_TRUE(r.writeRegistryValue(HKCU, QStringLiteral("Software\\Test"), QString(), QStringLiteral("x")));
    EXPECT_TRUE(r.writeRegistryValue(HKCU, QStringLiteral("Software\\Test"), QStringLiteral("Color"),
                                     QStringLiteral("DWORD:000000ff")));
    // A text holding ":" with no known prefix writes nothing.
    EXPECT_FALSE(r.writeRegistryValue(HKCU, QStringLiteral("Software\\Test"), QStringLiteral("Path"),
                                      QStringLiteral("C:\\TEMP")));
    // A named value needs its key to exist.
    EXPECT_FALSE(r.writeRegistryValue(HKCU, QStringLiteral("Software\\None"), QStringLiteral("A"),
                                      QStringLiteral("1")));
    EXPECT_EQ(r.listSubkeys(HKCU, QStringLiteral("Software")), QStringLiteral("Test\r"));
    EXPECT_TRUE(r.listSubkeys(HKCU, QStringLiteral("Software\\None")).isEmpty());
    // Unknown roots reach nothing; known ones in any case.
    EXPECT_FALSE(r.writeRegistryValue(QStringLiteral("HKEY_CLASSES_ROOT"), QStringLiteral("x"), QString(),
                                      QStringLiteral("v")));
    EXPECT_TRUE(r.writeRegistryValue(QStringLiteral("hkey_local_machine"), QStringLiteral("A"), QString(),
                                     QStringLiteral("v")));
    EXPECT_EQ(r.readDefaultValue(HKLM, QStringLiteral("a")), QStringLiteral("v") + QChar(0));
    EXPECT_EQ(r.readDefaultValue(HKCU, QStringLiteral("Software\\Test")), QStringLiteral("x") + QChar(0));
    EXPECT_TRUE(r.readDefaultValue(HKCU, QStringLiteral("Software")).isEmpty());
}

TEST(Registry, SubkeysAreDirectChildrenInOrderAndSurviveAReload) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("registry.ini"));
    {
        RegistryStore r(file);
        r.setValue(HKLM, QStringLiteral("SOFTWARE\\UPC\\Zeta\\Deep"), QStringLiteral("n"), RegistryValue{4, "\x01\0\0\0"});
        r.setValue(HKLM, QStringLiteral("SOFTWARE\\UPC\\alpha [x]=%"), QString(), RegistryValue{1, "a"});
    }
    RegistryStore again(file);
    EXPECT_EQ(again.listSubkeys(HKLM, QStringLiteral("SOFTWARE\\UPC\\")),
              QStringLiteral("alpha [x]=%\rZeta\r"));
    again.removeKey(HKLM, QStringLiteral("SOFTWARE\\UPC\\Zeta"));
    EXPECT_EQ(RegistryStore(file).listSubkeys(HKLM, QStringLiteral("SOFTWARE\\UPC")),
              QStringLiteral("alpha [x]=%\r"));
}

TEST(Registry, LocalServerOfAClass) {
    RegistryStore r;
    r.setValue(HKLM, QStringLiteral("SOFTWARE\\Classes\\App.Doc\\CLSID"), QString(),
               RegistryValue{1, "{1234}"});
    r.setValue(HKLM, QStringLiteral("SOFTWARE\\Classes\\CLSID\\{1234}\\LocalServer32"), QString(),
               RegistryValue{1, "\"C:\\PROGRA~1\\APP\\app.exe\" /automation"});
    EXPECT_EQ(r.localServerPath(QStringLiteral("App.Doc")), QStringLiteral("C:\\PROGRA~1\\APP\\APP.EXE"));
    EXPECT_TRUE(r.localServerPath(QStringLiteral("None")).isEmpty());
}

class RegistryCommands : public CommandFixture, public ::testing::Test {};

TEST_F(RegistryCommands, RegWritesAndReports) {
    session->registry.writeRegistryValue(HKCU, QStringLiteral("Software\\Test"), QString(), QStringLiteral("k"));
    executeCommand(*session, QStringLiteral("{|REG [HKEY_CURRENT_USER\\Software\\Test]Color=DWORD:000000ff"));
    executeCommand(*session, QStringLiteral("{|REG [HKEY_CURRENT_USER\\Software\\Test]Path=C:\\TEMP"));
    executeCommand(*session, QStringLiteral("{|REG HKEY_CURRENT_USER\\Software\\Test Color=1"));  // no "]"
    executeCommand(*session, QStringLiteral("{|reg [HKEY_CURRENT_USER\\Software\\New]=hello"));
    // Reported as the store holds them: "0a,,ff" skips the empty item, and a default value
    // is text up to its first zero.
    executeCommand(*session, QStringLiteral("{|REG [HKEY_CURRENT_USER\\Software\\Test]Bytes=hex:0a,,ff"));
    executeCommand(*session, QStringLiteral("{|REG [HKEY_CURRENT_USER\\Software\\New]=hex:41,00,42"));
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("registry:HKEY_CURRENT_USER\\Software\\Test\\Color=4:ff000000"),
                                       QStringLiteral("registry:HKEY_CURRENT_USER\\Software\\New\\=1:68656c6c6f"),
                                       QStringLiteral("registry:HKEY_CURRENT_USER\\Software\\Test\\Bytes=3:0aff"),
                                       QStringLiteral("registry:HKEY_CURRENT_USER\\Software\\New\\=1:41")}));
    EXPECT_EQ(messages().size(), 6);  // "REG" each time, as boards have always shown it
}

TEST_F(RegistryCommands, SpeechStartsOnlyWithTheEngineKeyAlone) {
    fake.speech.installed = true;
    fake.speech.speakers = 4;
    registerSpeechEngine(*session);
    session->tmpl.settings.voiceSpeed = 150;
    startSpeech(*session);
    EXPECT_TRUE(session->speech.speechAvailable);
    EXPECT_EQ(session->speech.speakerCount, 4);
    EXPECT_EQ(session->speech.speakerCursor, 0);
    EXPECT_EQ(session->tmpl.settings.voiceSpeed, 100);
    EXPECT_EQ(ops({QStringLiteral("speech")}),
              (QStringList{QStringLiteral("speech:upcTVGetNumberOfSpeakers()"),
                           QStringLiteral("speech:upcTVSetLanguage(99)"),
                           QStringLiteral("speech:upcTVSetSpeaker(0)")}));

    // A second subkey beside the engine's: no speech.
    session->speech.speechAvailable = false;
    session->registry.setValue(HKLM, QStringLiteral("SOFTWARE\\UPC\\Other"), QString(), RegistryValue{});
    startSpeech(*session);
    EXPECT_FALSE(session->speech.speechAvailable);

    // The engine went away: its key goes too.
    session->registry.removeKey(HKLM, QStringLiteral("SOFTWARE\\UPC\\Other"));
    fake.speech.installed = false;
    registerSpeechEngine(*session);
    startSpeech(*session);
    EXPECT_FALSE(session->speech.speechAvailable);
}

}  // namespace
