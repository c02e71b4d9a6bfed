#include "platform/speech/espeak_speech.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
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
    if (!available_) return;
    {
        std::lock_guard lock(mutex_);
        pending_ = Utterance{text, voiceName(language_, speaker_), rateFor(speed_)};
        cancel_ = busy_;
    }
    changed_.notify_all();
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
            espeak_SetParameter(espeakRATE, u.rate, 0);
            auto stream = sink_.open(sampleRate_, 1);
            stream_ = stream.get();
            const QByteArray utf8 = u.text.toUtf8();
            espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                         espeakCHARS_UTF8, nullptr, this);
            stream_ = nullptr;
        }
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        changed_.notify_all();
    }
}

int EspeakSpeech::onSamples(short* samples, int count, void* eventList) {
    auto* events = static_cast<espeak_EVENT*>(eventList);
    auto* self = events ? static_cast<EspeakSpeech*>(events->user_data) : nullptr;
    if (!self) return 0;
    if (self->cancel_) return 1;  // stop this reading
    if (samples && count > 0 && self->stream_) {
        std::vector<float> f(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) f[size_t(i)] = float(samples[i]) / 32768.f;
        self->stream_->write(f.data(), f.size());
    }
    return self->cancel_ ? 1 : 0;
}

}  // namespace vexil::speech
