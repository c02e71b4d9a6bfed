// The voice recogniser against the test set of bench/voice_testset.sh: for each command set
// and voice, the recogniser is trained with three takes per label, read from their files
// through the same capture interface as the sound server, then every test file is listened
// to. Prints the share of labels recognised, of wrong labels, of non-label words accepted,
// the delay from the end of a sound to its label, and the processor time while listening.
//   voice-accuracy MANIFEST
// VOICE_ACCURACY_TRACE=1 writes what was judged in each file to standard error.
// VOICE_ACCURACY_NOISY_TAKES=SNR also trains each label on its takes with white noise SNR dB
// under them (an experiment; the program trains on clean takes).
// VOICE_ACCURACY_SOUNDLESS_TAKES=1 keeps no sound of the takes, so that every file is judged
// against the takes as trained: the limits of a room the takes cannot be heard in (a pause
// too short to measure it).
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <random>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "platform/voice/capture.h"
#include "voice/trained_recognizer.h"

using namespace vexil;

namespace {

struct Item {
    QString role, cond;
    int label = 0;
    QString path;
};

struct Tally {
    // `uncut`: labels missed because no sound was cut out of the file at all.
    int labels = 0, correct = 0, wrong = 0, missed = 0, uncut = 0, others = 0, accepted = 0;
};

bool waitFor(const std::function<bool()>& done, int ms = 30000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A copy of a sound file with white noise `snr` dB under the word's level (taken over the
// 10 ms frames within 30 dB of the loudest), as a WAV file in the temporary folder.
QString noisyCopy(const QString& path, double snr, int n) {
    std::vector<float> s;
    if (!voice::FileCapture::readSamples(path, s, nullptr)) return {};
    std::vector<double> power;
    for (std::size_t at = 0; at + 160 <= s.size(); at += 160) {
        double p = 0;
        for (std::size_t i = at; i < at + 160; ++i) p += double(s[i]) * s[i];
        power.push_back(p / 160);
    }
    const double loudest = power.empty() ? 0 : *std::max_element(power.begin(), power.end());
    double sum = 0;
    int count = 0;
    for (double p : power)
        if (p > loudest / 1000) sum += p, ++count;
    const double noise = std::sqrt((count ? sum / count : 0) / std::pow(10.0, snr / 10));
    std::mt19937 random{unsigned(n)};
    std::normal_distribution<float> white(0.0f, float(noise));
    for (float& x : s) x += white(random);
    const QString raw = QDir::tempPath() + QStringLiteral("/voice-accuracy-noisy.raw");
    const QString wav = QDir::tempPath() + QStringLiteral("/voice-accuracy-noisy-%1.wav").arg(n);
    QFile f(raw);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(reinterpret_cast<const char*>(s.data()), qint64(s.size() * sizeof(float)));
    f.close();
    std::system(qPrintable(QStringLiteral("sox -t f32 -r 16000 -c 1 %1 %2").arg(raw, wav)));
    return wav;
}

// Three takes of each label, read from their files; with VOICE_ACCURACY_NOISY_TAKES=SNR set,
// each also once more with white noise SNR dB under it (an experiment: the program trains on
// what it hears).
void train(voice::TrainedSoundRecognizer& r, const std::vector<Item>& items, QString& source) {
    std::map<int, std::vector<voice::Take>> takes;
    const QByteArray noisy = qgetenv("VOICE_ACCURACY_NOISY_TAKES");
    int n = 0;
    for (const Item& it : items) {
        if (it.role != u"train") continue;
        QStringList files{it.path};
        if (!noisy.isEmpty()) files << noisyCopy(it.path, noisy.toDouble(), n++);
        for (const QString& file : files) {
            source = file;
            bool done = false;
            r.recordTake([&](std::optional<voice::Take> t) {
                if (t) takes[it.label].push_back(std::move(*t));
                done = true;
            });
            waitFor([&] { return done; });
        }
    }
    if (!qgetenv("VOICE_ACCURACY_SOUNDLESS_TAKES").isEmpty())
        for (auto& [label, t] : takes)
            for (voice::Take& take : t) take.samples.clear();
    for (auto& [label, t] : takes) r.model()->setTakes(label, std::move(t));
    r.modelChanged();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: voice-accuracy MANIFEST\n");
        return 2;
    }
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "voice-accuracy: cannot read %s: %s\n", argv[1], qPrintable(f.errorString()));
        return 2;
    }
    std::map<QString, QStringList> labels;
    std::map<QString, std::vector<Item>> items;
    QStringList order;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QStringList c = in.readLine().split(u'\t');
        if (c.size() < 5) continue;
        if (!labels.count(c[0]) && !items.count(c[0])) order << c[0];
        if (c[1] == u"labels")
            labels[c[0]] = c[4].split(u',');
        else
            items[c[0]].push_back({c[1], c[2], c[3].toInt(), c[4]});
    }

    std::map<QString, Tally> byCond;     // "20", "10"
    std::map<QString, Tally> byGroupCond;
    std::map<QString, Tally> byVoiceCond;  // "es 10"...
    std::vector<double> delays;          // ms from the end of the sound to the label
    std::vector<double> computeMs;
    QString source;
    // VOICE_ACCURACY_TRACE set: every file is written to standard error with what was judged
    // in it.
    const bool traceFiles = qEnvironmentVariableIsSet("VOICE_ACCURACY_TRACE");
    for (const QString& group : order) {
        voice::VoiceModel model;
        model.setLabels(labels[group]);
        voice::TrainedSoundRecognizer r([&] { return std::make_unique<voice::FileCapture>(source); });
        std::atomic<bool> ended{false};
        r.onStreamEnd([&] { ended = true; });
        std::mutex m;
        std::vector<voice::TrainedSoundRecognizer::Heard> judged;
        r.onJudged([&](const voice::TrainedSoundRecognizer::Heard& h) {
            std::lock_guard lock(m);
            judged.push_back(h);
        });
        r.initialise(model, nullptr);
        r.setRecognitionTenths(1);
        train(r, items[group], source);
        for (const Item& it : items[group]) {
            if (it.role == u"train") continue;
            source = it.path;
            std::vector<int> heard;
            ended = false;
            {
                std::lock_guard lock(m);
                judged.clear();
            }
            r.start(labels[group], [&](int l) { heard.push_back(l); });
            waitFor([&] { return bool(ended); });
            QCoreApplication::processEvents();
            r.stop();
            if (traceFiles) {
                std::fprintf(stderr, "%s (label %d):", qPrintable(it.path), it.label);
                for (const auto& h : judged)
                    std::fprintf(stderr, " [%.2f s: %d at %.3f of %.3f, stretch %.3f, next %.3f, noise %.2f, in the room %.3f, trained %.3f, beats %.2f]",
                                 double(h.end) / 16000.0, h.result.nearest, double(h.result.distance),
                                 double(h.result.threshold), double(h.result.worstStretch),
                                 double(h.result.runnerUp), double(h.noiseDb), double(h.result.roomSpread),
                                 double(h.result.spread), double(h.result.beatsApart));
                std::fprintf(stderr, " -> %d heard\n", int(heard.size()));
            }
            for (const auto& h : judged) {
                if (h.result.label > 0) delays.push_back(double(h.judgedAt - h.end) / 16.0 + h.computeMs);
                computeMs.push_back(h.computeMs);
            }
            // The TEST label is a label like the others here.
            const QString voice = group.section(u'/', 1);
            const bool cut = !judged.empty();
            for (Tally* t : {&byCond[it.cond], &byGroupCond[group + u' ' + it.cond],
                             &byVoiceCond[voice + u' ' + it.cond]}) {
                if (it.role == u"other") {
                    ++t->others;
                    if (!heard.empty()) ++t->accepted;
                } else {
                    ++t->labels;
                    if (heard.size() == 1 && heard[0] == it.label) ++t->correct;
                    else if (heard.empty()) {
                        ++t->missed;
                        if (!cut) ++t->uncut;
                    }
                    else ++t->wrong;
                }
            }
        }
    }
    const auto pct = [](int a, int b) { return b ? 100.0 * a / b : 0.0; };
    std::printf("%-28s %8s %8s %8s %8s %10s\n", "group snr", "labels", "correct", "wrong",
                "missed", "false acc.");
    for (const auto& [k, t] : byGroupCond)
        std::printf("%-28s %8d %7.1f%% %7.1f%% %7.1f%% %9.1f%%\n", qPrintable(k), t.labels,
                    pct(t.correct, t.labels), pct(t.wrong, t.labels), pct(t.missed, t.labels),
                    pct(t.accepted, t.others));
    std::printf("\n%-22s %8s %8s %8s %8s %8s %10s\n", "voice noise", "labels", "correct",
                "wrong", "missed", "uncut", "false acc.");
    for (const auto& [k, t] : byVoiceCond)
        std::printf("%-22s %8d %7.1f%% %7.1f%% %7.1f%% %7.1f%% %9.1f%%\n", qPrintable(k), t.labels,
                    pct(t.correct, t.labels), pct(t.wrong, t.labels), pct(t.missed, t.labels),
                    pct(t.uncut, t.labels), pct(t.accepted, t.others));
    std::printf("\n");
    for (const auto& [k, t] : byCond)
        std::printf("ALL %s%s: labels %d, correct %.1f%%, wrong %.1f%%, missed %.1f%%, "
                    "non-label words accepted %.1f%% of %d\n",
                    qPrintable(k), k == u"clean" ? "" : " dB", t.labels, pct(t.correct, t.labels),
                    pct(t.wrong, t.labels), pct(t.missed, t.labels), pct(t.accepted, t.others), t.others);
    std::sort(delays.begin(), delays.end());
    std::sort(computeMs.begin(), computeMs.end());
    if (!delays.empty())
        std::printf("delay from the end of a sound to its label (window 1 tenth, without the "
                    "capture fragment of 20 ms): median %.0f ms, 95th percentile %.0f ms, "
                    "max %.0f ms\n",
                    delays[delays.size() / 2], delays[delays.size() * 95 / 100], delays.back());
    if (!computeMs.empty())
        std::printf("features and comparison of one sound: median %.1f ms, max %.1f ms\n",
                    computeMs[computeMs.size() / 2], computeMs.back());

    // Processor time while listening, at the pace of real time: 20 s of the last group's
    // test files in a row.
    if (!order.isEmpty()) {
        const QString group = order.back();
        std::vector<float> stream;
        for (const Item& it : items[group]) {
            if (it.role == u"train") continue;
            std::vector<float> s;
            voice::FileCapture::readSamples(it.path, s, nullptr);
            stream.insert(stream.end(), s.begin(), s.end());
            if (stream.size() > 16000 * 20) break;
        }
        const QString path = QDir::tempPath() + QStringLiteral("/voice-accuracy-cpu.raw");
        QFile raw(path);
        raw.open(QIODevice::WriteOnly);
        raw.write(reinterpret_cast<const char*>(stream.data()), qint64(stream.size() * sizeof(float)));
        raw.close();
        const QString wav = QDir::tempPath() + QStringLiteral("/voice-accuracy-cpu.wav");
        std::system(qPrintable(QStringLiteral("sox -t f32 -r 16000 -c 1 %1 %2").arg(path, wav)));
        bool paced = false;
        voice::VoiceModel model;
        model.setLabels(labels[group]);
        voice::TrainedSoundRecognizer r(
            [&] { return std::make_unique<voice::FileCapture>(source, paced); });
        std::atomic<bool> ended{false};
        r.onStreamEnd([&] { ended = true; });
        r.initialise(model, nullptr);
        train(r, items[group], source);
        source = wav;
        paced = true;
        ended = false;
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = cpuSeconds();
        r.start(labels[group], [](int) {});
        // Asleep meanwhile, so that the time counted is the recogniser's.
        while (!ended && wall.elapsed() < 60000) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const double cpu = cpuSeconds() - cpu0;
        r.stop();
        std::printf("processor while listening: %.1f%% of one core (%.2f s over %.1f s)\n",
                    100.0 * cpu / (double(wall.elapsed()) / 1000.0), cpu,
                    double(wall.elapsed()) / 1000.0);
    }
    return 0;
}
