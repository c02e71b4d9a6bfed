// The recogniser and the program's own speech, on the real sound path: the sound server's
// default source must hear its default sink (tests/e2e/own_voice.sh sets up a
// private PulseAudio whose source is the monitor of a null sink). The recogniser is trained from
// files with "uno" (label 1) and "tres" (label 2), then listens through the sound server.
// Each trial plays "uno" into the sink in one of three ways:
//   silence   the word alone;
//   told      the embedded speech engine first says an announcement, and the word's file
//             is played GAP ms after the announcement has been (the files of
//             tests/e2e/own_voice.sh start with 100 ms of silence); the recogniser is told of the
//             announcement as the access engine tells it (before it starts, then a look
//             every 20 ms until the engine is no longer busy);
//   untold    the same, without telling the recogniser.
// Prints, for each, how many trials gave label 1, another label, or nothing; and, on
// standard error, how long the first announcement kept the engine busy.
//   own-voice WORDS_FOLDER [TRIALS] [GAP_MS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "platform/audio/audio_sink.h"
#include "platform/speech/espeak_speech.h"
#include "platform/voice/capture.h"
#include "voice/trained_recognizer.h"

using namespace vexil;

namespace {

void runFor(int ms, const std::function<void()>& each = {}) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (each) each();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: own-voice WORDS_FOLDER [TRIALS] [GAP_MS]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int trials = argc > 2 ? std::atoi(argv[2]) : 10;
    const int gap = argc > 3 ? std::atoi(argv[3]) : 100;

    QString source;
    bool fromFile = true;
    voice::TrainedSoundRecognizer r([&]() -> std::unique_ptr<voice::AudioCapture> {
        if (fromFile) return std::make_unique<voice::FileCapture>(source);
        return std::make_unique<voice::PulseCapture>();
    });
    voice::VoiceModel model;
    model.setLabels({QStringLiteral("1"), QStringLiteral("2")});
    r.initialise(model, nullptr);
    r.setRecognitionTenths(2);
    for (int label : {1, 2}) {
        std::vector<voice::Take> takes;
        for (int k = 1; k <= 3; ++k) {
            source = QStringLiteral("%1/%2%3.wav").arg(dir, label == 1 ? "uno" : "tres").arg(k);
            bool done = false;
            r.recordTake([&](std::optional<voice::Take> t) {
                if (t) takes.push_back(std::move(*t));
                done = true;
            });
            QElapsedTimer t;
            t.start();
            while (!done && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        if (takes.size() != 3) {
            std::fprintf(stderr, "own-voice: training label %d failed\n", label);
            return 1;
        }
        model.setTakes(label, std::move(takes));
    }
    r.modelChanged();

    std::vector<float> word;
    QString error;
    if (!voice::FileCapture::readSamples(dir + QStringLiteral("/uno.wav"), word, &error)) {
        std::fprintf(stderr, "own-voice: %s\n", qPrintable(error));
        return 1;
    }
    audio::PulseSink sink;
    speech::EspeakSpeech engine(sink);
    if (!engine.available()) {
        std::fprintf(stderr, "own-voice: espeak-ng did not start\n");
        return 1;
    }
    engine.setLanguage('c');
    engine.setSpeaker(2);

    fromFile = false;
    std::vector<int> heard;
    if (!r.start({}, [&](int label) { heard.push_back(label); })) {
        std::fprintf(stderr, "own-voice: no capture: %s\n", qPrintable(r.lastError()));
        return 1;
    }
    runFor(1500);  // the noise floor settles
    const char* announcements[] = {"la lletra e", "bon dia", "esborra", "la fila de les vocals"};
    struct Count {
        int right = 0, wrong = 0, none = 0;
    };
    std::map<std::string, Count> counts;
    const char* ways[] = {"silence", "told", "untold"};
    for (int trial = 0; trial < trials; ++trial) {
        for (const char* way : ways) {
            const std::string w = way;
            heard.clear();
            if (w != "silence") {
                const bool tell = w == "told";
                if (tell) r.setOwnSound(true);
                engine.read(QString::fromUtf8(announcements[trial % 4]));
                runFor(20);
                QElapsedTimer waited;
                waited.start();
                while (engine.busy() && waited.elapsed() < 10000) runFor(20);
                if (trial == 0)
                    std::fprintf(stderr, "own-voice: \"%s\" was being said for %lld ms\n",
                                 announcements[0], waited.elapsed() + 20);
                if (tell) r.setOwnSound(false);
                runFor(gap);
            }
            std::thread play([&] {
                auto stream = sink.open(voice::SoundCutter::kSampleRate, 1);
                stream->write(word.data(), word.size());
            });
            runFor(1500);
            play.join();
            runFor(300);
            Count& c = counts[w];
            if (heard.size() == 1 && heard[0] == 1) ++c.right;
            else if (heard.empty()) ++c.none;
            else ++c.wrong;
        }
    }
    r.stop();
    std::printf("%-8s %6s %6s %6s %6s   (the word's file %d ms after the announcement)\n", "way",
                "trials", "right", "wrong", "none", gap);
    for (const char* way : ways) {
        const Count& c = counts[way];
        std::printf("%-8s %6d %6d %6d %6d\n", way, trials, c.right, c.wrong, c.none);
    }
    return 0;
}
