#include "platform/qt/process_cue.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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

// The sinks come from the sound module, which asks the server: a private one with a null
// sink of a name of its own.
TEST(ProcessCue, AnOutputTheServerOffersIsFoundAndListed) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
        GTEST_SKIP() << "pulseaudio is missing (make deps)";
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("default.pa")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("load-module module-native-protocol-unix auth-anonymous=1 socket=" +
                 QFile::encodeName(dir.filePath(QStringLiteral("socket"))) +
                 "\nload-module module-null-sink sink_name=vexil_cue_output "
                 "sink_properties=device.description=Auriculars\n");
    config.close();
    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());
    server.setProcessEnvironment(env);
    server.setStandardOutputFile(dir.filePath(QStringLiteral("log")));
    server.start(QStringLiteral("pulseaudio"),
                 {QStringLiteral("--daemonize=no"), QStringLiteral("-n"), QStringLiteral("-F"),
                  config.fileName(), QStringLiteral("--exit-idle-time=-1"),
                  QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes")});
    ASSERT_TRUE(server.waitForStarted());
    const QByteArray before = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir.filePath(QStringLiteral("socket"))));
    ProcessCue cue;
    const bool found =
        QTest::qWaitFor([&] { return cue.setOutput(QStringLiteral("vexil_cue_output")); }, 10000);
    const auto outputs = cue.outputs();
    const bool other = cue.setOutput(QStringLiteral("no-such-sink-for-vexil"));
    if (before.isEmpty())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", before);
    server.terminate();
    server.waitForFinished();
    EXPECT_TRUE(found);
    EXPECT_TRUE(outputs.contains(
        std::pair(QStringLiteral("vexil_cue_output"), QStringLiteral("Auriculars"))));
    EXPECT_FALSE(other);
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
