#include <gtest/gtest.h>

#include "files/profile_files.h"
#include "settings/adapt_settings.h"
#include "settings/ini_file.h"
#include "settings/print_qt.h"
#include "support/test_support.h"

namespace vexil {
namespace {

class AdaptSettingsTest : public testing::Test, public test::FakeSessionFixture {
protected:
    AdaptSettingsTest() { resetUserProfile(*session); }
    AdaptSettings& adapt() { return session->profile.adapt; }
    void readProfile(const QByteArray& adaptLines) {
        readUserProfile(*session, writeFile("P.USR", "[Vexil]\r\nmodus= 2\r\ntemps= 15\r\n"
                                                     "[Adaptacio]\r\n" + adaptLines));
    }
};

TEST_F(AdaptSettingsTest, EverySettingIsOffInANewProfileAndInOneWithoutTheSection) {
    EXPECT_EQ(adapt(), AdaptSettings{});
    adapt().Acceptacio = 300;
    readUserProfile(*session, writeFile("OLD.USR", "[Vexil]\r\nmodus= 2\r\n"));
    EXPECT_EQ(adapt(), AdaptSettings{});
    adapt().Voltes = 3;
    resetUserProfile(*session);
    EXPECT_EQ(adapt(), AdaptSettings{});
}

struct AdaptCase {
    const char* line;
    std::int16_t AdaptSettings::*field;
    int expected;
};

const AdaptCase kAdaptCases[] = {
    {"Acceptacio= 300", &AdaptSettings::Acceptacio, 300},
    {"Acceptacio=-5", &AdaptSettings::Acceptacio, 0},
    {"Acceptacio=99999999999", &AdaptSettings::Acceptacio, 0},
    {"Acceptacio=40000", &AdaptSettings::Acceptacio, 0},
    {"Acceptacio=molt", &AdaptSettings::Acceptacio, 0},
    {"Acceptacio=2.5", &AdaptSettings::Acceptacio, 0},
    {"Acceptacio=12abc", &AdaptSettings::Acceptacio, 0},
    {"acceptacio= 200", &AdaptSettings::Acceptacio, 200},
    {"TempsMort= 500", &AdaptSettings::TempsMort, 500},
    {"MantenirPerEscanejar= 1", &AdaptSettings::MantenirPerEscanejar, 1},
    {"MantenirPerEscanejar= 2", &AdaptSettings::MantenirPerEscanejar, 0},
    {"MantenirPerEscanejar=-1", &AdaptSettings::MantenirPerEscanejar, 0},
    {"PrimerElement= 1000", &AdaptSettings::PrimerElement, 1000},
    {"Voltes= 3", &AdaptSettings::Voltes, 3},
    {"Voltes= 101", &AdaptSettings::Voltes, 0},
    {"VoltesGrup= 2", &AdaptSettings::VoltesGrup, 2},
    {"PremudaLlarga= 800", &AdaptSettings::PremudaLlarga, 800},
    {"AvisFiltre= 1", &AdaptSettings::AvisFiltre, 1},
    {"GuiaAuditiva= 1", &AdaptSettings::GuiaAuditiva, 1},
    {"GuiaEspera= 1", &AdaptSettings::GuiaEspera, 1},
    {"Permanencia= 1500", &AdaptSettings::Permanencia, 1500},
    {"PermanenciaRadi= 20", &AdaptSettings::PermanenciaRadi, 20},
    {"PermanenciaRadi= 5000", &AdaptSettings::PermanenciaRadi, 0},
    {"PermanenciaRepeticio= 3000", &AdaptSettings::PermanenciaRepeticio, 3000},
    {"RegistreUs= 1", &AdaptSettings::RegistreUs, 1},
    {"VolumGuia= 60", &AdaptSettings::GuiaVolum, 60},
    {"VolumGuia= 0", &AdaptSettings::GuiaVolum, 0},  // silent
    {"VolumGuia= 160", &AdaptSettings::GuiaVolum, 100},
    {"GuiaVolum= 60", &AdaptSettings::GuiaVolum, 60},  // the key of earlier versions...
    {"GuiaVolum= 0", &AdaptSettings::GuiaVolum, 100},  // ...where 0 was the normal volume
    {"GuiaVolum= 0\r\nVolumGuia= 0", &AdaptSettings::GuiaVolum, 0},
    {"GuiaVelocitat= 150", &AdaptSettings::GuiaVelocitat, 150},
    {"GuiaVeu= 3", &AdaptSettings::GuiaVeu, 3},
    {"AnunciAjustat= 1", &AdaptSettings::AnunciAjustat, 1},
    {"AnunciAjustat= 2", &AdaptSettings::AnunciAjustat, 0},
};

void PrintTo(const AdaptCase& c, std::ostream* out) {
    *out << '"' << c.line << '"';
}

class AdaptReadTest : public AdaptSettingsTest, public testing::WithParamInterface<AdaptCase> {};

TEST_P(AdaptReadTest, TakesValuesInRangeAndTurnsOthersOff) {
    const AdaptCase& c = GetParam();
    readProfile(QByteArray(c.line) + "\r\n");
    EXPECT_EQ(adapt().*c.field, c.expected) << c.line;
    // The rest of the profile loads all the same, without a message.
    EXPECT_EQ(session->profile.accessMode, 2);
    EXPECT_EQ(session->profile.temps, 15);
    EXPECT_TRUE(messages().isEmpty()) << c.line;
}

INSTANTIATE_TEST_SUITE_P(Keys, AdaptReadTest, testing::ValuesIn(kAdaptCases));

TEST_F(AdaptSettingsTest, ReportsTheKeysItTurnedOff) {
    IniFile ini("[Adaptacio]\r\nAcceptacio=-1\r\nVoltes= 2\r\nGuiaEspera=si\r\n");
    QStringList rejected;
    AdaptSettings a;
    readAdaptSettings(a, ini, &rejected);
    EXPECT_EQ(rejected, QStringList({"Acceptacio", "GuiaEspera"}));
    EXPECT_EQ(a.Voltes, 2);
}

TEST_F(AdaptSettingsTest, AProfileThatNeverUsedTheSettingsIsWrittenAsBefore) {
    const QByteArray old = "[Vexil]\r\nInterval= 500\r\nSo=Si\r\nmodus= 2\r\ntemps= 15\r\n"
                           "gruix= 8\r\ncolor= 255\r\naccio1= 3\r\naccio2= 0\r\nvariable1=\r\n"
                           "variable2=\r\nretard1= 10\r\nretard2= 0\r\nn_joystic= 0\r\n"
                           "joystic_sensi= 1\r\njoystic_retard= 10\r\n";
    const QString file = writeFile("OLD.USR", old);
    readUserProfile(*session, file);
    ASSERT_EQ(writeUserProfile(*session, file), 0);
    EXPECT_EQ(readFile("OLD.USR"), old);
}

TEST_F(AdaptSettingsTest, TheSectionGoesAfterTheOldOnesWhichStayByteForByte) {
    const QByteArray old = "; made elsewhere\r\n[Vexil]\r\nInterval= 500\r\nSo=Si\r\nmodus= 2\r\n"
                           "temps= 15\r\ngruix= 8\r\ncolor= 255\r\naccio1= 3\r\naccio2= 0\r\n"
                           "variable1=\r\nvariable2=\r\nretard1= 10\r\nretard2= 0\r\n"
                           "n_joystic= 0\r\njoystic_sensi= 1\r\njoystic_retard= 10\r\n"
                           "[Altres]\r\nclau=valor\r\n";
    const QString file = writeFile("P.USR", old);
    readUserProfile(*session, file);
    adapt().Acceptacio = 400;
    adapt().GuiaAuditiva = 1;
    adapt().GuiaSortida = QStringLiteral("alsa_output.usb-headset");
    ASSERT_EQ(writeUserProfile(*session, file), 0);
    const QByteArray now = readFile("P.USR");
    ASSERT_TRUE(now.startsWith(old)) << now.toStdString();
    const QByteArray added = now.mid(old.size());
    EXPECT_TRUE(added.startsWith("\r\n[Adaptacio]\r\nAcceptacio= 400\r\nTempsMort= 0\r\n"))
        << added.toStdString();
    EXPECT_TRUE(added.contains("GuiaAuditiva= 1\r\n"));
    EXPECT_TRUE(added.endsWith("GuiaSortida=alsa_output.usb-headset\r\n"));

    // And everything comes back.
    const AdaptSettings written = adapt();
    resetUserProfile(*session);
    readUserProfile(*session, file);
    EXPECT_EQ(adapt(), written);

    // Turning everything off again keeps the section, with every key 0.
    adapt() = AdaptSettings{};
    ASSERT_EQ(writeUserProfile(*session, file), 0);
    EXPECT_TRUE(readFile("P.USR").contains("Acceptacio= 0\r\n"));
    EXPECT_TRUE(readFile("P.USR").startsWith(old));
}

}  // namespace
}  // namespace vexil
