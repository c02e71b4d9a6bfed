// Which engine speaks: the embedded one unless the desktop's service is asked for, and the
// embedded one whenever sound goes into a file.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/qt/desktop_platform.h"
#include "platform/qt/qt_speech.h"
#include "platform/media/media_loader.h"

namespace vexil {
namespace {

TEST(DesktopSpeech, TheEnvironmentNamesTheService) {
    const QByteArray saved = qgetenv("VEXIL_SPEECH");
    struct Case {
        const char* value;
        SpeechService service;
    };
    for (const Case& c : {Case{"desktop", SpeechService::Desktop},
                          Case{" Desktop ", SpeechService::Desktop},
                          Case{"espeak", SpeechService::Embedded},
                          Case{"", SpeechService::Embedded}}) {
        qputenv("VEXIL_SPEECH", c.value);
        EXPECT_EQ(speechServiceFromEnvironment(), c.service) << c.value;
    }
    qunsetenv("VEXIL_SPEECH");
    EXPECT_EQ(speechServiceFromEnvironment(), SpeechService::Embedded);
    if (!saved.isNull()) qputenv("VEXIL_SPEECH", saved);
}

TEST(DesktopSpeech, SoundIntoAFileIsAlwaysSpokenByTheEmbeddedEngine) {
    QTemporaryDir dir;
    DesktopOptions options;
    options.display = ":none";
    options.speechService = SpeechService::Desktop;
    options.audioOut = dir.filePath(QStringLiteral("out.wav"));
    DesktopPlatform desktop(options);
    EXPECT_NE(dynamic_cast<media::LazySpeech*>(&desktop.speech()), nullptr);
}

TEST(DesktopSpeech, RatesOfTheService) {
    const std::pair<int, double> cases[] = {{100, 0.0}, {0, -1.0}, {50, -0.5}, {150, 0.5},
                                            {200, 1.0}, {400, 1.0}, {-20, -1.0}};
    for (const auto& [speed, rate] : cases)
        EXPECT_DOUBLE_EQ(speech::QtSpeech::rateFor(speed), rate) << speed;
}

}  // namespace
}  // namespace vexil
