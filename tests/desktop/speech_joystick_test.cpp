// The embedded speech engine speaking into a file (the joystick's tests are in
// joystick_sdl_test.cpp).
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "platform/audio/file_sink.h"
#include "platform/speech/espeak_speech.h"

namespace vexil {
namespace {

audio::Sleeper noWait() {
    return [](std::chrono::microseconds) {};
}

float loudest(const std::vector<float>& v) {
    float p = 0;
    for (float s : v) p = std::max(p, std::fabs(s));
    return p;
}

TEST(EspeakSpeech, VoicesAndRates) {
    using speech::EspeakSpeech;
    struct Case {
        int language, speaker;
        const char* voice;
    };
    const Case cases[] = {
        {'c', 0, "ca"},    {'c', 1, "ca"},    {'c', 2, "ca+f2"}, {'c', 3, "ca+m3"},
        {'c', 4, "ca+f4"}, {'c', 5, "ca"},    {'c', 7, "ca+f2"}, {'c', -1, "ca+f4"},
        {'e', 0, "es"},    {'e', 2, "es+f2"}, {'e', 4, "es+f4"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EspeakSpeech::voiceName(c.language, c.speaker), QLatin1String(c.voice))
            << c.language << ' ' << c.speaker;
    EXPECT_EQ(EspeakSpeech::rateFor(100), 175);
    EXPECT_EQ(EspeakSpeech::rateFor(200), 350);
    EXPECT_EQ(EspeakSpeech::rateFor(50), 88);
    EXPECT_EQ(EspeakSpeech::rateFor(10), 80);    // espeak-ng's slowest
    EXPECT_EQ(EspeakSpeech::rateFor(1000), 450);  // and fastest
    EXPECT_EQ(EspeakSpeech::rateFor(-5), 80);
}

TEST(EspeakSpeech, ReadsCatalanAndSpanishWithoutWaiting) {
    QTemporaryDir dir;
    audio::FileSink sink(dir.filePath(QStringLiteral("speech.wav")), noWait());
    speech::EspeakSpeech engine(sink);
    ASSERT_TRUE(engine.available());
    EXPECT_EQ(engine.numberOfSpeakers(), 5);
    engine.setLanguage(99);
    engine.setSpeaker(1);
    engine.setSpeed(100);
    engine.read(QStringLiteral("Bon dia; què tal?"));
    engine.waitUntilDone();
    const auto catalan = sink.samples();
    // Speech of a second or so, not silence.
    EXPECT_GT(catalan.size() / 2, size_t(44100 / 2));
    EXPECT_GT(loudest(catalan), 0.05f);
    // The same text read twice as fast takes clearly less time.
    audio::FileSink fastSink(dir.filePath(QStringLiteral("fast.wav")), noWait());
    speech::EspeakSpeech fast(fastSink);
    fast.setSpeed(200);
    fast.read(QStringLiteral("Bon dia; què tal?"));
    fast.waitUntilDone();
    EXPECT_LT(fastSink.samples().size(), catalan.size() * 3 / 4);
    // An unknown language code keeps the language in use.
    engine.setLanguage(101);
    engine.setLanguage(42);
    engine.read(QStringLiteral("Buenos días"));
    engine.waitUntilDone();
    EXPECT_GT(sink.samples().size(), catalan.size());
}

// How long a reading sounds in a file sink of its own, in ms, and whether the engine said
// it was busy until it ended.
struct Heard {
    int ms = 0;
    bool busyAtStart = false, busyAfter = true;
    float lastSample = 0;
};
Heard hear(const QString& path, const QString& text, int within = 0) {
    audio::FileSink sink(path, noWait());
    speech::EspeakSpeech engine(sink);
    Heard h;
    if (within > 0) engine.readWithin(text, within);
    else engine.read(text);
    h.busyAtStart = engine.busy();
    engine.waitUntilDone();
    h.busyAfter = engine.busy();
    const auto s = sink.samples();
    h.ms = int(s.size() / audio::FileSink::kChannels * 1000 / audio::FileSink::kRate);
    h.lastSample = s.empty() ? 0 : std::fabs(s.back());
    return h;
}

TEST(EspeakSpeech, BusyUntilTheLastSoundAndAReadingWithinATimeFitsIt) {
    QTemporaryDir dir;
    const QString text = QStringLiteral("Avui fa un dia molt bonic per anar a passejar pel parc");
    const Heard whole = hear(dir.filePath(QStringLiteral("whole.wav")), text);
    EXPECT_TRUE(whole.busyAtStart);
    EXPECT_FALSE(whole.busyAfter);
    EXPECT_GT(whole.ms, 2000);
    // The closing silence is not played: the reading ends on its last sound.
    EXPECT_GT(whole.lastSample, 0.0005f);
    // Within half of it: said faster and shorter, still most of the words.
    const Heard half = hear(dir.filePath(QStringLiteral("half.wav")), text, whole.ms / 2);
    EXPECT_LE(half.ms, whole.ms / 2 + 25);
    EXPECT_GT(half.ms, whole.ms / 4);
    EXPECT_FALSE(half.busyAfter);
    // Within a time no word fits: the first word alone.
    const Heard first = hear(dir.filePath(QStringLiteral("first.wav")), text, 10);
    EXPECT_GT(first.ms, 100);
    EXPECT_LT(first.ms, whole.ms / 4);
    // A text that fits is read whole at its speed.
    const Heard fits = hear(dir.filePath(QStringLiteral("fits.wav")), text, whole.ms + 500);
    EXPECT_NEAR(fits.ms, whole.ms, 30);
}

}  // namespace
}  // namespace vexil
