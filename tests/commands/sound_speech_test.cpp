#include <gtest/gtest.h>

#include "command_fixture.h"
#include "commands/sound_speech.h"

using namespace vexil;
using vexil::test::CommandFixture;

namespace {

class SoundSpeech : public CommandFixture, public ::testing::Test {
protected:
    QStringList speech() const { return ops({QStringLiteral("speech")}); }
};

TEST_F(SoundSpeech, SoundFieldNamingAWaveFilePlaysIt) {
    writeFile(QStringLiteral("HOLA.WAV"), "RIFF");
    So_icona(*session, QStringLiteral(" hola.wav "));
    EXPECT_EQ(ops(), QStringList{QStringLiteral("wave:") + path(QStringLiteral("HOLA.WAV"))});
}

TEST_F(SoundSpeech, SoundFieldTextIsSaidWithTheAlternateVoice) {
    session->speech.speechAvailable = true;
    session->speech.speakerCount = 4;
    session->tmpl.settings.voiceSpeaker = 0;
    So_icona(*session, QStringLiteral("Bon dia."));
    EXPECT_EQ(speech(), (QStringList{QStringLiteral("speech:upcTVResume()"),
                                     QStringLiteral("speech:upcTVSetSpeaker(2)"),
                                     QStringLiteral("speech:upcTVRead(BON DIA;)"),
                                     QStringLiteral("speech:upcTVSetSpeaker(1)")}));
}

TEST_F(SoundSpeech, SoundFieldWithoutAnEngineIsSilent) {
    So_icona(*session, QStringLiteral("Bon dia"));
    So_icona(*session, QStringLiteral("   "));
    EXPECT_TRUE(ops().isEmpty());
}

TEST(SoundSpeechVoices, AlternateVoice) {
    struct Case {
        int voice, count, alternate;
    };
    for (const Case& c : {Case{0, 4, 2}, Case{1, 4, 3}, Case{2, 4, 1}, Case{0, 3, 2}, Case{1, 3, 1},
                          Case{0, 2, 1}, Case{3, 1, 1}, Case{0, 0, 1}, Case{5, -2, 1}})
        EXPECT_EQ(alternateSpeaker(c.voice, c.count), c.alternate) << c.voice << "/" << c.count;
}

TEST_F(SoundSpeech, EveryNewSoundClosesThePlayingMidiFile) {
    playMidi(*session, QStringLiteral("/m/A.MID"));
    playMidi(*session, QStringLiteral("/m/B.MID"));
    playWave(*session, QStringLiteral("/m/C.WAV"));
    playWave(*session, QStringLiteral("/m/D.WAV"));
    EXPECT_EQ(ops(), (QStringList{QStringLiteral("midi:play /m/A.MID"), QStringLiteral("midi:close /m/A.MID"),
                                  QStringLiteral("midi:play /m/B.MID"), QStringLiteral("midi:close /m/B.MID"),
                                  QStringLiteral("wave:/m/C.WAV"), QStringLiteral("wave:/m/D.WAV")}));
    EXPECT_TRUE(session->speech.openMidiDevice.isEmpty());
    playMidi(*session, QStringLiteral("/m/E.MID"));
    closeMidi(*session);
    closeMidi(*session);
    EXPECT_EQ(ops().filter(QStringLiteral("close /m/E.MID")).size(), 1);
}

TEST_F(SoundSpeech, NoEngineKeyNoSpeech) {
    fake.speech.installed = false;
    registerSpeechEngine(*session);
    startSpeech(*session);
    EXPECT_FALSE(session->speech.speechAvailable);
    EXPECT_TRUE(speech().isEmpty());
}

TEST_F(SoundSpeech, TemplateVoiceGoesToTheEngine) {
    applyTemplateVoice(*session);
    EXPECT_TRUE(speech().isEmpty());
    session->speech.speechAvailable = true;
    session->tmpl.settings.voiceLanguage = 1;
    session->tmpl.settings.voiceSpeaker = 1;
    session->tmpl.settings.voiceSpeed = 130;
    applyTemplateVoice(*session);
    EXPECT_EQ(speech(), (QStringList{QStringLiteral("speech:upcTVSetSpeaker(2)"),
                                     QStringLiteral("speech:upcTVSetLanguage(101)"),
                                     QStringLiteral("speech:upcTVSetSpeed(130)")}));
}

}  // namespace
