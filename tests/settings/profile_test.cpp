#include <gtest/gtest.h>

#include <QFile>

#include "files/profile_files.h"
#include "settings/ini_file.h"
#include "settings/number_text.h"
#include "settings/print_qt.h"
#include "support/test_support.h"

namespace vexil {
namespace {

class ProfileTest : public testing::Test, public test::FakeSessionFixture {
protected:
    ProfileTest() { resetUserProfile(*session); }
    UserProfile& profile() { return session->profile; }
    // Reads a profile holding `keys` (lines after the section header).
    void readProfile(const QByteArray& keys) {
        readUserProfile(*session, writeFile("P.USR", "[Vexil]\r\n" + keys));
    }
};

struct ReadRuleCase {
    const char* keys;
    std::int16_t UserProfile::*field;
    int expected;
};

const ReadRuleCase kReadRules[] = {
    {"gruix=-3", &UserProfile::gruix, 8},
    {"gruix=0", &UserProfile::gruix, 8},
    {"", &UserProfile::gruix, 8},
    {"gruix=5", &UserProfile::gruix, 5},
    {"", &UserProfile::joystic_retard, 10},
    {"joystic_retard=0", &UserProfile::joystic_retard, 10},
    {"joystic_retard=-2", &UserProfile::joystic_retard, -2},
    {"joystic_sensi=0", &UserProfile::joystic_sensi, 1},
    {"joystic_sensi=7", &UserProfile::joystic_sensi, 7},
    {"modus=2.5", &UserProfile::accessMode, 2},
    {"modus=3.5", &UserProfile::accessMode, 4},
    {"modus=-2.5", &UserProfile::accessMode, -2},
    {"modus= 6 # voice", &UserProfile::accessMode, 6},
    {"modus=7x", &UserProfile::accessMode, 7},
    {"modus=x7", &UserProfile::accessMode, 0},
    {"modus=.6", &UserProfile::accessMode, 1},
    {"modus=25E-1", &UserProfile::accessMode, 2},
    {"modus=1D1", &UserProfile::accessMode, 10},
    {"modus=8E", &UserProfile::accessMode, 8},
    {"temps=32767", &UserProfile::temps, 32767},
    {"temps=-32768", &UserProfile::temps, -32768},
    {"temps=\"15\"", &UserProfile::temps, 15},
};

void PrintTo(const ReadRuleCase& c, std::ostream* out) {
    *out << '"' << c.keys << '"';
}

class ProfileReadRuleTest : public ProfileTest, public testing::WithParamInterface<ReadRuleCase> {};

TEST_P(ProfileReadRuleTest, AppliesTheRuleOfItsKey) {
    const ReadRuleCase& c = GetParam();
    profile().*c.field = 99;  // what a key that is there must replace
    readProfile(QByteArray(c.keys) + "\r\n");
    EXPECT_EQ(profile().*c.field, c.expected) << c.keys;
    EXPECT_TRUE(messages().isEmpty()) << c.keys;
}

INSTANTIATE_TEST_SUITE_P(Keys, ProfileReadRuleTest, testing::ValuesIn(kReadRules));

TEST_F(ProfileTest, ColourBelowOneBecomesRed) {
    for (const char* keys : {"", "color=0", "color=0.5", "color=-1"}) {
        profile().color = 1234;
        readProfile(keys);
        EXPECT_EQ(profile().color, 255) << keys;
    }
    readProfile("color=16711680\r\ngruix=3");
    EXPECT_EQ(profile().color, 16711680);
    EXPECT_EQ(profile().gruix, 3);
    readProfile("color=1.5");
    EXPECT_EQ(profile().color, 1.5);  // the colour is no integer field
}

TEST_F(ProfileTest, IntervalAndSoOnlyWhenThereIsAValue) {
    session->programSettings.Interval = 300;
    session->programSettings.So = "No";
    readProfile("modus=1\r\nSo=\r\n");
    EXPECT_EQ(session->programSettings.Interval, 300);
    EXPECT_EQ(session->programSettings.So, "No");

    readProfile("Interval=50\r\nSo=Si\r\n");
    EXPECT_EQ(session->programSettings.Interval, 100);
    EXPECT_EQ(session->programSettings.So, "Si");
    EXPECT_EQ(session->timer1->interval(), 100);
    readProfile("Interval=750\r\n");
    EXPECT_EQ(session->programSettings.Interval, 750);
}

TEST_F(ProfileTest, SwitchTextsStayWhenTheFileHasNone) {
    profile().switches[1].variable = "ab";
    profile().switches[2].variable = "cd";
    readProfile("variable1=\r\nvariable2=xy\r\naccio1=4\r\nretard2=3\r\n");
    EXPECT_EQ(profile().switches[1].variable, "ab");
    EXPECT_EQ(profile().switches[2].variable, "xy");
    EXPECT_EQ(profile().switches[1].accio, 4);
    EXPECT_EQ(profile().switches[2].retard, 3);
}

TEST_F(ProfileTest, NumbersBeyondSixteenBitsShowErrorSixOnceAndReadingGoesOn) {
    profile().temps = 12;
    readProfile("temps=40000\r\nretard1=1E400\r\nmodus=3\r\ncolor=1E999\r\n");
    EXPECT_EQ(profile().temps, 12);  // the failing key leaves its field
    EXPECT_EQ(profile().accessMode, 3);
    EXPECT_EQ(messages(), QStringList{"1 Error 6"});
}

TEST_F(ProfileTest, JoystickNumberProbesThatJoystick) {
    fake.joystick.sticks[1] = JoystickState{100, 200, 300, 4};
    readProfile("n_joystic=2\r\njoystic_sensi=0\r\n");
    EXPECT_EQ(profile().n_joystic, 2);
    EXPECT_EQ(profile().joystickCentre, (std::array<std::int32_t, 4>{100, 200, 300, 4}));
    EXPECT_EQ(profile().joystic_sensi, 1);

    // A joystick that does not answer leaves the centre cleared and the number as read.
    readProfile("n_joystic=4\r\njoystic_sensi=5\r\n");
    EXPECT_EQ(profile().n_joystic, 4);
    EXPECT_EQ(profile().joystickCentre, (std::array<std::int32_t, 4>{}));
    EXPECT_EQ(profile().joystic_sensi, 5);
}

TEST_F(ProfileTest, WritesTheFifteenKeysInOrderWithTheLeadingBlank) {
    profile().accessMode = 2;
    profile().temps = -3;
    profile().switches[1] = {4, "ab", 5};
    profile().switches[2] = {0, "", 0};
    profile().n_joystic = 100;
    profile().joystic_sensi = 3;
    profile().joystic_retard = 10;
    EXPECT_EQ(writeUserProfile(*session, path("NEW.USR")), 0);
    EXPECT_EQ(readFile("NEW.USR"),
              "[Vexil]\r\nInterval= 500\r\nSo=Si\r\nmodus= 2\r\ntemps=-3\r\ngruix= 8\r\n"
              "color= 255\r\naccio1= 4\r\naccio2= 0\r\nvariable1=ab\r\nvariable2=\r\n"
              "retard1= 5\r\nretard2= 0\r\nn_joystic= 100\r\njoystic_sensi= 3\r\n"
              "joystic_retard= 10\r\n");
}

TEST_F(ProfileTest, WritingKeepsTheOtherLinesOfTheFile) {
    writeFile("OLD.USR",
              "; Ana's profile\r\n[Vexil]\r\nmodus = 5\r\nextra=1\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(writeUserProfile(*session, path("OLD.USR")), 0);
    const QByteArray out = readFile("OLD.USR");
    EXPECT_TRUE(
        out.startsWith("; Ana's profile\r\n[Vexil]\r\nmodus= 0\r\nextra=1\r\nInterval= 500"))
        << out.constData();
    EXPECT_TRUE(out.endsWith("joystic_retard= 0\r\n[Other]\r\nk=v\r\n")) << out.constData();
}

TEST_F(ProfileTest, SavedProfileLoadsBackWithEveryStoredField) {
    UserProfile& p = profile();
    p.accessMode = 8;
    p.switches[1] = {3, " a", 4};     // blanks at the ends survive
    p.switches[2] = {7, "\"q\"", 9};  // so does a text in quotes
    p.temps = 15;
    p.gruix = 4;
    p.color = 65280;
    p.n_joystic = 100;
    p.joystic_sensi = 6;
    p.joystic_retard = 12;
    session->programSettings.Interval = 250;
    session->programSettings.So = "No";
    const UserProfile saved = p;
    ASSERT_EQ(writeUserProfile(*session, path("ANA.USR")), 0);

    resetUserProfile(*session);
    session->programSettings = ProgramSettings{};
    readUserProfile(*session, path("ANA.USR"));
    EXPECT_EQ(profile(), saved);
    EXPECT_EQ(session->programSettings.Interval, 250);
    EXPECT_EQ(session->programSettings.So, "No");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ProfileTest, NumbersOfManyDigitsLoadBackAsTheyWereRead) {
    // Hand-edited colours that fifteen significant digits cannot hold.
    for (const char* colour : {"111111111111111111111111.7", "1.2345678901234567E+170",
                               "16777215.000000001", "0.1E+300"}) {
        readProfile(QByteArray("color=") + colour);
        const double read = profile().color;
        ASSERT_EQ(writeUserProfile(*session, path("NUM.USR")), 0);
        profile().color = 0;
        readUserProfile(*session, path("NUM.USR"));
        EXPECT_EQ(profile().color, read) << colour;
    }
    // Everyday numbers keep their short form.
    EXPECT_EQ(numberText(65280), " 65280");
    EXPECT_EQ(numberText(1.5), " 1.5");
    EXPECT_EQ(numberText(0.1), " .1");
    EXPECT_EQ(numberText(1e20), " 1E+20");
}

TEST_F(ProfileTest, FailedSaveShowsErrorThreeAndKeepsTheOldFile) {
    EXPECT_EQ(writeUserProfile(*session, path("nofolder/A.USR")), 76);
    EXPECT_EQ(messages(), QStringList{"3 Error76"});
}

TEST_F(ProfileTest, ProgramSettingsLoadTheLastProfileByItsFullPath) {
    // A path far longer than 39 characters, stored in lower case: found again whatever the
    // case, and read in full.
    const QString dirName = "a folder with a rather long name/and another one below it";
    const QString profilePath =
        writeFile(dirName + "/ana.usr", "[Vexil]\r\nmodus=5\r\ngruix=2\r\n");
    ASSERT_GT(profilePath.size(), 39);
    writeFile("user/Vexil.INI", ("[Vexil]\r\nInterval=50\r\nSo=" + QByteArray(60, 'x') +
                                 "\r\nusuari= " + profilePath.toUtf8() + " \r\n"));
    loadProgramSettings(*session);
    EXPECT_EQ(session->programSettings.Interval, 100);
    EXPECT_EQ(session->programSettings.So, QString(39, 'x'));
    EXPECT_EQ(profile().accessMode, 5);
    EXPECT_EQ(profile().gruix, 2);
    const IniFile ini = IniFile::read(programSettingsPath(*session));
    EXPECT_EQ(ini.value("Vexil", "usuari", "", 4096), profilePath.toUpper());
    EXPECT_EQ(ini.value("Vexil", "Interval"), "50");  // only usuari is written
}

TEST_F(ProfileTest, ProgramSettingsDefaultsAndMissingProfile) {
    writeFile("user/Vexil.INI", "[Vexil]\r\nusuari=/no/such/PROFILE.USR\r\n");
    loadProgramSettings(*session);
    EXPECT_EQ(session->programSettings.Interval, 500);
    EXPECT_EQ(session->programSettings.So, "Si");
    EXPECT_EQ(profile(), [] {
        UserProfile fresh;
        fresh.color = 255;
        fresh.gruix = 8;
        return fresh;
    }());
    EXPECT_EQ(readFile("user/Vexil.INI"), "[Vexil]\r\nusuari=/no/such/PROFILE.USR\r\n");
}

TEST_F(ProfileTest, ShippedSettingsServeUntilTheUserHasOwnOnes) {
    const QString profilePath = writeFile("p/A.USR", "[Vexil]\r\nmodus=1\r\n");
    writeFile("program/VEXIL.INI", "[Vexil]\r\nInterval=700\r\nSo=No\r\nusuari=\r\n");
    loadProgramSettings(*session);
    EXPECT_EQ(session->programSettings.Interval, 700);
    EXPECT_EQ(session->programSettings.So, "No");

    loadUserProfile(*session, profilePath.toUpper());
    EXPECT_EQ(profile().accessMode, 1);
    EXPECT_EQ(readFile("user/Vexil.INI"), "[Vexil]\r\nInterval=700\r\nSo=No\r\nusuari=" +
                                              profilePath.toUpper().toUtf8() + "\r\n");
    EXPECT_EQ(readFile("program/VEXIL.INI"), "[Vexil]\r\nInterval=700\r\nSo=No\r\nusuari=\r\n");
}

TEST_F(ProfileTest, IntervalInProgramSettingsIsAnInteger) {
    const struct {
        const char* value;
        int expected;
    } cases[] = {{"250", 250},        {"50", 100},    {"-300", 100}, {"abc", 100}, {"350.9", 350},
                 {"99999999", 32767}, {" 400 ", 400}, {"", 500},     {"\"\"", 500}};
    for (const auto& c : cases) {
        writeFile("user/Vexil.INI", QByteArray("[Vexil]\r\nInterval=") + c.value + "\r\n");
        loadProgramSettings(*session);
        EXPECT_EQ(session->programSettings.Interval, c.expected) << c.value;
    }
}

TEST_F(ProfileTest, LoadingChecksTheItemOfTheModeAndMissingFilesChangeNothing) {
    struct CheckView : MainView {
        std::vector<int> checks;
        void setAccessMenuCheck(int item) override { checks.push_back(item); }
    } view;
    session->setView(&view);
    loadUserProfile(*session, writeFile("V.USR", "[Vexil]\r\nmodus=6\r\n"));
    loadUserProfile(*session, writeFile("J.USR", "[Vexil]\r\nmodus=8\r\n"));
    EXPECT_EQ(view.checks, (std::vector<int>{5, 4}));

    resetUserProfile(*session);
    QFile::remove(programSettingsPath(*session));
    loadUserProfile(*session, path("NONE.USR"));
    EXPECT_EQ(view.checks, (std::vector<int>{5, 4, 0}));
    EXPECT_FALSE(QFile::exists(programSettingsPath(*session)));
    session->setView(nullptr);
}

TEST_F(ProfileTest, AProfileThatCannotBeReadChangesNothing) {
    profile().accessMode = 3;
    writeFile("DIR.USR/inside", "x");  // a folder where the file should be
    readUserProfile(*session, path("DIR.USR"));
    EXPECT_EQ(profile().accessMode, 3);
    EXPECT_EQ(messages(), QStringList{"1 Error 75"});
}

TEST(AccessMenu, ModesShareItems) {
    const int expected[] = {0, 1, 2, 3, 4, 5, 5, 5, 4};
    for (int mode = 0; mode <= 8; ++mode) EXPECT_EQ(accessMenuItem(mode), expected[mode]) << mode;
    EXPECT_EQ(accessMenuItem(9), -1);
    EXPECT_EQ(accessMenuItem(-1), -1);
}

TEST_F(ProfileTest, NewUserClearsEverythingButIntervalAndSo) {
    profile().voiceWords[3] = "si";
    profile().recognitionState = -2;
    profile().accessMode = 6;
    profile().color = 7;
    session->programSettings.Interval = 200;
    resetUserProfile(*session);
    UserProfile expected;
    expected.color = 255;
    expected.gruix = 8;
    EXPECT_EQ(profile(), expected);
    EXPECT_EQ(session->programSettings.Interval, 200);
}

}  // namespace
}  // namespace vexil
