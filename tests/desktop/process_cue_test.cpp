#include "platform/qt/process_cue.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vexil;

TEST(ProcessCue, VoiceAndRate) {
    EXPECT_EQ(ProcessCue::voiceName(99, 1), "ca");
    EXPECT_EQ(ProcessCue::voiceName(101, 2), "es+f2");
    EXPECT_EQ(ProcessCue::voiceName(99, 7), "ca+f2");
    EXPECT_EQ(ProcessCue::rateFor(100), 175);
    EXPECT_EQ(ProcessCue::rateFor(0), 175);
    EXPECT_EQ(ProcessCue::rateFor(10), 80);
    EXPECT_EQ(ProcessCue::rateFor(400), 450);
}

TEST(ProcessCue, AnOutputTheServerDoesNotOfferIsMissing) {
    ProcessCue cue;
    EXPECT_TRUE(cue.setOutput(QString()));
    EXPECT_FALSE(cue.setOutput(QStringLiteral("no-such-sink-for-vexil")));
}

TEST(ProcessCue, SaysTheCueIntoTheFileAndTellsWhenItEnded) {
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("cue.wav"));
    qputenv("VEXIL_CUE_WAV", wav.toUtf8());
    ProcessCue cue;
    qunsetenv("VEXIL_CUE_WAV");
    int finished = 0;
    cue.onFinished([&] { ++finished; });
    cue.say(QStringLiteral("bon dia"), CueStyle{});
    EXPECT_TRUE(cue.busy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cue.busy(); }, 10000));
    EXPECT_EQ(finished, 1);
    EXPECT_GT(QFileInfo(wav).size(), 1000);
    // Cut off: no end is reported.
    cue.say(QStringLiteral("una frase prou llarga per tallar-la abans que acabi"), CueStyle{});
    cue.stop();
    EXPECT_FALSE(cue.busy());
    QTest::qWait(200);
    EXPECT_EQ(finished, 1);
}
