#include "platform/audio/audio_sink.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <thread>

namespace vexil::audio {
namespace {

std::chrono::microseconds lengthOf(std::size_t frames, int rate) {
    return std::chrono::microseconds(rate > 0 ? (long long)(frames) * 1000000LL / rate : 0);
}

class NullStream : public AudioStream {
public:
    NullStream(int rate, Sleeper& sleep) : rate_(rate), sleep_(sleep) {}
    void write(const float*, std::size_t frames) override { sleep_(lengthOf(frames, rate_)); }

private:
    int rate_;
    Sleeper& sleep_;
};

class PulseStream : public AudioStream {
public:
    PulseStream(pa_simple* s, int channels) : s_(s), channels_(channels) {}
    ~PulseStream() override {
        int error = 0;
        pa_simple_drain(s_, &error);
        pa_simple_free(s_);
    }
    void write(const float* samples, std::size_t frames) override {
        int error = 0;
        pa_simple_write(s_, samples, frames * size_t(channels_) * sizeof(float), &error);
    }

private:
    pa_simple* s_;
    int channels_;
};

}  // namespace

Sleeper realSleeper() {
    return [](std::chrono::microseconds d) { std::this_thread::sleep_for(d); };
}

std::unique_ptr<AudioStream> NullSink::open(int rate, int) {
    return std::make_unique<NullStream>(rate, sleep_);
}

std::unique_ptr<AudioStream> PulseSink::open(int rate, int channels) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32LE;
    spec.rate = uint32_t(rate);
    spec.channels = uint8_t(channels);
    // A short buffer, so that stopping music is heard at once.
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(rate / 10 * channels * int(sizeof(float)));
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    int error = 0;
    pa_simple* s = pa_simple_new(nullptr, "Vexil", PA_STREAM_PLAYBACK, nullptr, "sound", &spec,
                                 nullptr, &attr, &error);
    if (!s) return std::make_unique<NullStream>(rate, sleep_);
    return std::make_unique<PulseStream>(s, channels);
}

}  // namespace vexil::audio
