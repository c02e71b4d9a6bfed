// The desktop platform loads sound, speech, joysticks and metafile drawing on first use:
// until then none of their libraries is in the process. A program of its own, so that no
// other test has loaded them before.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/media/media_loader.h"
#include "platform/qt/desktop_platform.h"

namespace vexil {
namespace {

// True when a file whose name holds `part` is mapped into this process.
bool mapped(const char* part) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return false;
    return maps.readAll().contains(part);
}

TEST(LazyMedia, LibrariesLoadOnFirstUseOnly) {
    QTemporaryDir dir;
    DesktopOptions options;
    options.display = ":none";
    options.speechService = SpeechService::Embedded;
    options.audioOut = dir.filePath(QStringLiteral("out.wav"));
    DesktopPlatform desktop(options);
    SpeechEngine& speech = desktop.speech();
    const char* libraries[] = {"libespeak-ng",    "libfluidsynth", "libsndfile",
                               "libpulse-simple", "libSDL2",       "libwmf"};
    for (const char* l : libraries) EXPECT_FALSE(mapped(l)) << l;

    // Start-up asks whether there is an engine and sets its voice: nothing loads for that.
    EXPECT_TRUE(speech.available());
    EXPECT_EQ(speech.numberOfSpeakers(), media::LazySpeech::kSpeakers);
    speech.setLanguage('e');
    speech.setSpeaker(2);
    speech.setSpeed(150);
    speech.resume();
    desktop.sound().midiCommand(QStringLiteral("close NOTHING.MID"));
    desktop.waitForSound(1000);
    EXPECT_FALSE(mapped("vexil-audio")) << "loaded before any sound";
    EXPECT_FALSE(mapped("libespeak-ng"));

    // The first reading loads the engine, with the voice set before, and is heard.
    speech.read(QStringLiteral("Hola, buenos días"));
    EXPECT_TRUE(mapped("vexil-audio"));
    EXPECT_TRUE(mapped("libespeak-ng"));
    EXPECT_TRUE(speech.available());
    desktop.waitForSound(10000);
    EXPECT_GT(QFileInfo(options.audioOut).size(), 44 + 22050);  // more than a quarter second
    // (fluidsynth brings SDL2 in too, so the modules are what tell.)
    EXPECT_FALSE(mapped("vexil-joystick"));
    EXPECT_FALSE(mapped("libwmf"));

    // The joystick and metafile modules likewise.
    (void)desktop.joystick().read(0);
    EXPECT_TRUE(mapped("vexil-joystick"));
    desktop.clipboard().setMetafile(QByteArray("no metafile"));
    EXPECT_TRUE(mapped("libwmf"));
}

TEST(LazyMedia, NoSpeechWithoutTheEngineData) {
    // espeak-ng looks in ESPEAK_DATA_PATH first; the system's folder still has the data.
    const QByteArray saved = qgetenv("ESPEAK_DATA_PATH");
    QTemporaryDir empty;
    qputenv("ESPEAK_DATA_PATH", empty.path().toLocal8Bit());
    EXPECT_TRUE(media::espeakDataPresent());
    qunsetenv("ESPEAK_DATA_PATH");
    if (!saved.isNull()) qputenv("ESPEAK_DATA_PATH", saved);
    EXPECT_TRUE(media::moduleBesideProgram(media::kAudioModuleFile));
    EXPECT_FALSE(media::moduleBesideProgram("vexil-nothing.so"));

    DesktopOptions options;
    options.display = ":none";
    options.noAudioDevice = true;
    options.speech = false;
    DesktopPlatform desktop(options);
    EXPECT_FALSE(desktop.speech().available());
}

}  // namespace
}  // namespace vexil
