// The recogniser of trained sounds over sound files made with espeak-ng: trained with three
// takes of each label, it finds the labels in a stream of words in a voice it was not
// trained at, and passes over words that are no label; capture that breaks off or never
// starts is reported and leaves the recogniser usable.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <mutex>
#include <random>

#include "platform/voice/capture.h"
#include "sound_files.h"
#include "voice/trained_recognizer.h"

using namespace vexil;
using namespace vexil::test;

namespace {

const QStringList kFive = {QStringLiteral("AVANZAR"), QStringLiteral("RECULAR"),
                           QStringLiteral("DERECHA"), QStringLiteral("ISQUIERDA"),
                           QStringLiteral("ACEPTAR"), QStringLiteral("TEST")};
// What espeak-ng says for each label.
const QStringList kSpoken = {QStringLiteral("avanzar"), QStringLiteral("recular"),
                             QStringLiteral("derecha"), QStringLiteral("izquierda"),
                             QStringLiteral("aceptar"), QStringLiteral("test")};

bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

voice::VoiceModel modelFor(const QStringList& labels) {
    voice::VoiceModel model;
    model.setLabels(labels);
    return model;
}

// A recogniser that reads whichever file `source` names when capture starts.
struct FileFed {
    QTemporaryDir dir;
    QString source;
    voice::VoiceModel model = modelFor(kFive);
    voice::TrainedSoundRecognizer recognizer{[this] {
        return std::make_unique<voice::FileCapture>(source);
    }};
    std::atomic<bool> ended{false};
    FileFed() {
        recognizer.onStreamEnd([this] { ended = true; });
        if (qEnvironmentVariableIsSet("VEXIL_VOICE_TRACE"))
            recognizer.onJudged([](const voice::TrainedSoundRecognizer::Heard& h) {
                fprintf(stderr, "judged nearest=%d d=%.2f thr=%.2f worst=%.2f second=%.2f -> %d\n",
                        h.result.nearest, double(h.result.distance), double(h.result.threshold),
                        double(h.result.worstStretch), double(h.result.runnerUp), h.result.label);
            });
    }
    QString write(const QString& name, const std::vector<float>& samples) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeWave(path, samples));
        return path;
    }
    // Records one take from `samples`.
    std::optional<voice::Take> take(const std::vector<float>& samples) {
        source = write(QStringLiteral("take.wav"), samples);
        bool done = false;
        std::optional<voice::Take> got;
        EXPECT_TRUE(recognizer.recordTake([&](std::optional<voice::Take> t) {
            got = std::move(t);
            done = true;
        }));
        EXPECT_TRUE(waitFor([&] { return done; }));
        return got;
    }
    void train(const QString& voiceName) {
        ASSERT_TRUE(recognizer.initialise(model, nullptr));
        const int pitches[3] = {40, 50, 62};
        const int speeds[3] = {150, 165, 180};
        for (int l = 1; l <= kFive.size(); ++l) {
            std::vector<voice::Take> takes;
            for (int k = 0; k < 3; ++k) {
                std::vector<float> s = quiet(300, 0.002f);
                append(s, spoken(kSpoken[l - 1], voiceName, pitches[k], speeds[k]));
                append(s, quiet(300, 0.002f));
                auto t = take(s);
                ASSERT_TRUE(t.has_value()) << kSpoken[l - 1].toStdString();
                takes.push_back(std::move(*t));
            }
            recognizer.model()->setTakes(l, std::move(takes));
        }
        recognizer.modelChanged();
    }
    // Listens to `samples` to the end and gives the labels heard, in order.
    std::vector<int> listen(const std::vector<float>& samples) {
        source = write(QStringLiteral("stream.wav"), samples);
        std::vector<int> heard;
        ended = false;
        EXPECT_TRUE(recognizer.start(kFive, [&](int label) { heard.push_back(label); }));
        EXPECT_TRUE(waitFor([&] { return bool(ended); }));
        QCoreApplication::processEvents();
        recognizer.stop();
        return heard;
    }
};

}  // namespace

TEST(TrainedSoundRecognizer, FindsTheLabelsOfAVoiceItWasTrainedOnAndIgnoresOtherWords) {
    FileFed f;
    f.train(QStringLiteral("es"));
    std::vector<float> stream = quiet(500, 0.002f);
    // The labels at a pitch and speed between those of the takes, then words that are no
    // label, then two labels again.
    for (int l : {1, 2, 3, 4, 5}) {
        append(stream, spoken(kSpoken[l - 1], QStringLiteral("es"), 55, 158));
        append(stream, quiet(700, 0.002f));
    }
    for (const char* other : {"ventana", "mesa", "caballo"}) {
        append(stream, spoken(QString::fromLatin1(other), QStringLiteral("es"), 55, 158));
        append(stream, quiet(700, 0.002f));
    }
    append(stream, spoken(kSpoken[4], QStringLiteral("es"), 45, 170));
    append(stream, quiet(700, 0.002f));
    append(stream, spoken(kSpoken[0], QStringLiteral("es"), 45, 170));
    const std::vector<int> heard = f.listen(stream);
    EXPECT_EQ(heard, (std::vector<int>{1, 2, 3, 4, 5, 5, 1}));
}

TEST(TrainedSoundRecognizer, TakesTrainedInAQuietRoomAreFoundWithNoiseAround) {
    // Trained with near silence around the takes, then heard with steady hiss 20 dB under
    // the words (a fan, a busy room) and 10 dB under them (a classroom): the labels are still
    // found, other words still not.
    FileFed f;
    f.train(QStringLiteral("es"));
    // A window long enough for the closures of espeak-ng's "aceptar", which the hiss
    // lengthens.
    f.recognizer.setRecognitionTenths(3);
    for (const double snr : {20.0, 10.0}) {
        std::vector<float> stream = quiet(1500);
        double speech = 0;
        std::size_t speechSamples = 0;
        const auto say = [&](const QString& text) {
            const std::vector<float> word = spoken(text, QStringLiteral("es"), 57, 162);
            for (float x : word)
                if (std::abs(x) > 0.01f) speech += double(x) * x, ++speechSamples;
            append(stream, word);
            append(stream, quiet(800));
        };
        for (int l : {3, 1, 5, 2, 4, 6}) say(kSpoken[l - 1]);
        for (const char* other : {"ventana", "caballo"}) say(QString::fromLatin1(other));
        say(kSpoken[0]);
        std::mt19937 random(20);
        const double rms = std::sqrt(speech / double(speechSamples));
        std::normal_distribution<float> hiss(0.0f, float(rms / std::pow(10.0, snr / 20)));
        for (float& x : stream) x += hiss(random);
        std::mutex m;
        std::vector<float> noise;
        f.recognizer.onJudged([&](const voice::TrainedSoundRecognizer::Heard& h) {
            std::lock_guard lock(m);
            noise.push_back(h.noiseDb);
        });
        EXPECT_EQ(f.listen(stream), (std::vector<int>{3, 1, 5, 2, 4, 6, 1})) << snr << " dB";
        // How loud the room was is measured under each word (its loudest part, so a little
        // further below than the level over all of it).
        std::lock_guard lock(m);
        ASSERT_FALSE(noise.empty());
        for (float n : noise) {
            EXPECT_LT(n, -snr + 1) << snr << " dB";
            EXPECT_GT(n, -snr - 8) << snr << " dB";
        }
    }
}

TEST(TrainedSoundRecognizer, NoiseAndSilenceSelectNothing) {
    FileFed f;
    f.train(QStringLiteral("es"));
    std::vector<float> stream = quiet(3000, 0.01f);
    append(stream, quiet(2000, 0.0f));
    // A short click and a long hiss.
    append(stream, quiet(30, 0.5f));
    append(stream, quiet(1000, 0.0f));
    append(stream, quiet(4000, 0.2f));
    EXPECT_TRUE(f.listen(stream).empty());
}

TEST(TrainedSoundRecognizer, TakesAreCutFromSilenceAndCarryTheirLevel) {
    FileFed f;
    ASSERT_TRUE(f.recognizer.initialise(f.model, nullptr));
    std::vector<float> s = quiet(800, 0.002f);
    const std::vector<float> word = spoken(QStringLiteral("derecha"), QStringLiteral("es"));
    append(s, word);
    append(s, quiet(800, 0.002f));
    const auto t = f.take(s);
    ASSERT_TRUE(t.has_value());
    // About as long as the word (the cut keeps a little before and after it).
    const int wordFrames = int(word.size() / 160);
    EXPECT_GT(t->features.frames(), wordFrames / 2);
    EXPECT_LT(t->features.frames(), wordFrames + 30);
    EXPECT_EQ(t->features.dims, 24);
    EXPECT_EQ(t->envelope.size(), std::size_t(t->features.frames()));
}

TEST(TrainedSoundRecognizer, WithoutASoundServerListeningDoesNotStartAndSaysWhy) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/vexil-test-socket");
    voice::VoiceModel model = modelFor(kFive);
    voice::TrainedSoundRecognizer r;
    ASSERT_TRUE(r.initialise(model, nullptr));
    EXPECT_FALSE(r.start(kFive, [](int) {}));
    EXPECT_FALSE(r.listening());
    EXPECT_FALSE(r.lastError().isEmpty());
    EXPECT_FALSE(r.recordTake([](std::optional<voice::Take>) {}));
    EXPECT_FALSE(r.monitorLevel([](float, float) {}));
    qunsetenv("PULSE_SERVER");
}

namespace {

// Capture that delivers some sound, then breaks off as a sound server that goes away.
class BreakingCapture : public voice::AudioCapture {
public:
    bool start(Block block, Ended ended, QString*) override {
        thread_ = std::thread([block, ended] {
            std::vector<float> s(160, 0.0f);
            for (int i = 0; i < 20; ++i) block(s.data(), s.size());
            ended(QStringLiteral("Connection terminated"));
        });
        return true;
    }
    void stop() override {
        if (thread_.joinable()) thread_.join();
    }
    ~BreakingCapture() override { stop(); }

private:
    std::thread thread_;
};

}  // namespace

TEST(TrainedSoundRecognizer, CaptureThatBreaksOffStopsListeningAndIsReportedOnce) {
    voice::VoiceModel model = modelFor(kFive);
    voice::TrainedSoundRecognizer r([] { return std::make_unique<BreakingCapture>(); });
    ASSERT_TRUE(r.initialise(model, nullptr));
    QStringList reasons;
    r.onFailure([&](const QString& why) { reasons << why; });
    bool takeEnded = false;
    std::optional<voice::Take> take;
    ASSERT_TRUE(r.start(kFive, [](int) {}));
    ASSERT_TRUE(r.recordTake([&](std::optional<voice::Take> t) {
        take = std::move(t);
        takeEnded = true;
    }));
    EXPECT_TRUE(waitFor([&] { return !reasons.isEmpty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(reasons, QStringList{QStringLiteral("Connection terminated")});
    EXPECT_FALSE(r.listening());
    EXPECT_TRUE(takeEnded);
    EXPECT_FALSE(take.has_value());
    // Usable again: listening starts anew (and breaks again).
    EXPECT_TRUE(r.start(kFive, [](int) {}));
    EXPECT_TRUE(waitFor([&] { return reasons.size() == 2; }));
}
