#include "platform/speech/espeak_speech.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vexil::speech {

QString EspeakSpeech::voiceName(int languageCode, int speaker) {
    static constexpr const char* variants[kSpeakers] = {"", "", "+f2", "+m3", "+f4"};
    const int s = ((speaker % kSpeakers) + kSpeakers) % kSpeakers;
    const QString language = languageCode == 'e' ? QStringLiteral("es") : QStringLiteral("ca");
    return language + QLatin1String(variants[s]);
}

int EspeakSpeech::rateFor(int speed) {
    return std::clamp(int((175LL * std::max(speed, 0) + 50) / 100), int(espeakRATE_MINIMUM),
                      int(espeakRATE_MAXIMUM));
}

namespace {

// espeak-ng keeps one state for the whole process: it is started once, on first use, and
// never terminated (terminating it and starting it again hangs), and one reading at a time
// goes through it whichever engine object asks.
struct Runtime {
    bool ok = false;
    int sampleRate = 22050;
    std::mutex synth;
};

void start(Runtime& started) {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    if (espeak_ng_Initialize(&context) != ENS_OK) {
        espeak_ng_ClearErrorContext(&context);
        return;
    }
    if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 100, nullptr) != ENS_OK) return;
    if (espeak_SetVoiceByName("ca") != EE_OK) return;
    started.sampleRate = espeak_ng_GetSampleRate();
    espeak_SetSynthCallback([](short* samples, int count, espeak_EVENT* events) {
        return EspeakSpeech::onSamples(samples, count, events);
    });
    started.ok = true;
}

Runtime& runtime() {
    static Runtime r;
    static const bool once = (start(r), true);
    (void)once;
    return r;
}

}  // namespace

EspeakSpeech::EspeakSpeech(audio::AudioSink& sink) : sink_(sink) {
    Runtime& r = runtime();
    if (!r.ok) return;
    sampleRate_ = r.sampleRate;
    available_ = true;
    worker_ = std::thread([this] { run(); });
}

EspeakSpeech::~EspeakSpeech() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        pending_.reset();
    }
    cancel_ = true;
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void EspeakSpeech::setLanguage(int languageCode) {
    if (languageCode == 'c' || languageCode == 'e') language_ = languageCode;
}

void EspeakSpeech::setSpeaker(int speaker) {
    speaker_ = speaker;
}

void EspeakSpeech::setSpeed(int speed) {
    speed_ = speed;
}

void EspeakSpeech::read(const QString& text) {
    queue(Utterance{text, voiceName(language_, speaker_), rateFor(speed_), 0});
}

void EspeakSpeech::readWithin(const QString& text, int milliseconds) {
    queue(Utterance{text, voiceName(language_, speaker_), rateFor(speed_), std::max(milliseconds, 1)});
}

void EspeakSpeech::queue(Utterance u) {
    if (!available_) return;
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(u);
        cancel_ = busy_;
    }
    changed_.notify_all();
}

bool EspeakSpeech::busy() {
    std::lock_guard lock(mutex_);
    return busy_ || pending_.has_value();
}

void EspeakSpeech::synthesise(const Utterance& u, int rate, std::vector<float>& samples,
                              std::vector<std::size_t>& wordStarts) {
    samples.clear();
    wordStarts.clear();
    espeak_SetParameter(espeakRATE, rate, 0);
    collect_ = &samples;
    words_ = &wordStarts;
    const QByteArray utf8 = u.text.toUtf8();
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, this);
    collect_ = nullptr;
    words_ = nullptr;
}

void EspeakSpeech::waitUntilDone() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return quit_ || (!pending_ && !busy_); });
}

void EspeakSpeech::run() {
    for (;;) {
        Utterance u;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return quit_ || pending_.has_value(); });
            if (quit_) return;
            u = *pending_;
            pending_.reset();
            busy_ = true;
            cancel_ = false;
        }
        {
            std::lock_guard synth(runtime().synth);
            espeak_SetVoiceByName(u.voice.toUtf8().constData());
            if (u.within > 0) {
                playWithin(u);
            } else {
                espeak_SetParameter(espeakRATE, u.rate, 0);
                auto stream = sink_.open(sampleRate_, 1);
                stream_ = stream.get();
                held_.clear();
                const QByteArray utf8 = u.text.toUtf8();
                espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                             espeakCHARS_UTF8, nullptr, this);
                stream_ = nullptr;
            }
        }
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        changed_.notify_all();
    }
}

void EspeakSpeech::playWithin(const Utterance& u) {
    std::vector<float> samples;
    std::vector<std::size_t> words;
    const auto limit = std::size_t(std::int64_t(u.within) * sampleRate_ / 1000);
    synthesise(u, u.rate, samples, words);
    if (samples.size() > limit && !cancel_) {
        // Faster first: every word is still heard.
        const double needed = double(samples.size()) / double(std::max<std::size_t>(limit, 1));
        const int faster = std::min(int(u.rate * std::min(needed * 1.05, 2.0)), int(espeakRATE_MAXIMUM));
        if (faster > u.rate) synthesise(u, faster, samples, words);
    }
    // The closing silence is not part of the reading.
    while (!samples.empty() && std::abs(samples.back()) < kQuiet) samples.pop_back();
    if (samples.size() > limit) {
        // Then the words that do not fit are left out: the reading ends where the first of
        // them would start, faded over 20 ms. The first word is said whole.
        std::size_t end = 0;
        for (std::size_t w : words)
            if (w > 0 && w <= limit) end = std::max(end, w);
        if (end == 0)  // not even the first word fits: it alone is said
            for (std::size_t w : words)
                if (w > 0) end = end == 0 ? w : std::min(end, w);
        if (end > 0 && end < samples.size()) {
            samples.resize(end);
            const std::size_t fade = std::min<std::size_t>(end, std::size_t(sampleRate_ / 50));
            for (std::size_t i = 0; i < fade; ++i)
                samples[end - fade + i] *= float(fade - i) / float(fade);
        }
    }
    if (cancel_) return;
    auto stream = sink_.open(sampleRate_, 1);
    // Played in pieces of 20 ms, so that a new reading still cuts this one short.
    const auto piece = std::size_t(sampleRate_ / 50);
    for (std::size_t at = 0; at < samples.size() && !cancel_; at += piece)
        stream->write(samples.data() + at, std::min(piece, samples.size() - at));
}

int EspeakSpeech::onSamples(short* samples, int count, void* eventList) {
    auto* events = static_cast<espeak_EVENT*>(eventList);
    auto* self = events ? static_cast<EspeakSpeech*>(events->user_data) : nullptr;
    if (!self) return 0;
    if (self->cancel_) return 1;  // stop this reading
    if (self->collect_) {
        for (const espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e)
            if (e->type == espeakEVENT_WORD && self->words_)
                self->words_->push_back(std::size_t(std::int64_t(e->audio_position) *
                                                    self->sampleRate_ / 1000));
        if (samples && count > 0)
            for (int i = 0; i < count; ++i) self->collect_->push_back(float(samples[i]) / 32768.f);
        return 0;
    }
    if (samples && count > 0 && self->stream_) {
        // What follows the last sound of this piece is held back until more sound comes.
        std::vector<float>& f = self->held_;
        std::size_t sounding = 0;  // samples of f up to the last one that sounds
        for (int i = 0; i < count; ++i) {
            f.push_back(float(samples[i]) / 32768.f);
            if (std::abs(f.back()) >= kQuiet) sounding = f.size();
        }
        if (sounding > 0) {
            self->stream_->write(f.data(), sounding);
            f.erase(f.begin(), f.begin() + std::ptrdiff_t(sounding));
        }
    }
    return self->cancel_ ? 1 : 0;
}

}  // namespace vexil::speech
