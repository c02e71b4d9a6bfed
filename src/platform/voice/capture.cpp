#include "platform/voice/capture.h"

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>

namespace vexil::voice {

namespace {
constexpr int kRate = 16000;
constexpr std::size_t kBlock = 160;
}  // namespace

// --- sound server ----------------------------------------------------------------------------

PulseCapture::~PulseCapture() { stop(); }

bool PulseCapture::start(Block block, Ended ended, QString* error) {
    stop();
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32LE;
    spec.rate = kRate;
    spec.channels = 1;
    // Small fragments: a sound is judged soon after it ends.
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(kBlock * 2 * sizeof(float));
    attr.tlength = attr.prebuf = attr.minreq = std::uint32_t(-1);
    int err = 0;
    stream_ = pa_simple_new(nullptr, "Vexil", PA_STREAM_RECORD, nullptr, "Control per veu", &spec,
                            nullptr, &attr, &err);
    if (!stream_) {
        if (error) *error = QString::fromUtf8(pa_strerror(err));
        return false;
    }
    stopping_ = false;
    thread_ = std::thread([this, block = std::move(block), ended = std::move(ended)] {
        run(block, ended);
    });
    return true;
}

void PulseCapture::run(Block block, Ended ended) {
    std::vector<float> buffer(kBlock * 2);
    while (!stopping_) {
        int err = 0;
        if (pa_simple_read(stream_, buffer.data(), buffer.size() * sizeof(float), &err) < 0) {
            if (!stopping_ && ended) ended(QString::fromUtf8(pa_strerror(err)));
            return;
        }
        if (stopping_) return;
        block(buffer.data(), buffer.size());
    }
}

void PulseCapture::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_) pa_simple_free(stream_);
    stream_ = nullptr;
}

// --- file --------------------------------------------------------------------------------------

FileCapture::~FileCapture() { stop(); }

bool FileCapture::readSamples(const QString& path, std::vector<float>& samples, QString* error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!file) {
        if (error) *error = QString::fromUtf8(sf_strerror(nullptr));
        return false;
    }
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels), 0.0f);
    const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    std::vector<float> mono(static_cast<std::size_t>(got), 0.0f);
    for (sf_count_t i = 0; i < got; ++i) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c)
            sum += interleaved[std::size_t(i) * std::size_t(info.channels) + std::size_t(c)];
        mono[std::size_t(i)] = sum / float(info.channels);
    }
    if (info.samplerate == kRate || mono.empty()) {
        samples = std::move(mono);
        return true;
    }
    // Another rate: straight-line interpolation between neighbouring samples is enough for
    // speech that was recorded at least this finely.
    const double step = double(info.samplerate) / kRate;
    const auto n = std::size_t(double(mono.size()) / step);
    samples.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = double(i) * step;
        const auto j = std::size_t(x);
        const double f = x - double(j);
        const float a = mono[j];
        const float b = j + 1 < mono.size() ? mono[j + 1] : a;
        samples[i] = float(a + (b - a) * f);
    }
    return true;
}

bool FileCapture::start(Block block, Ended ended, QString* error) {
    stop();
    std::vector<float> samples;
    if (!readSamples(path_, samples, error)) return false;
    samples.resize(samples.size() + kRate * 3 / 2, 0.0f);
    stopping_ = false;
    thread_ = std::thread([this, samples = std::move(samples), block = std::move(block),
                           ended = std::move(ended)] {
        const auto begin = std::chrono::steady_clock::now();
        for (std::size_t at = 0; at < samples.size() && !stopping_; at += kBlock) {
            if (realTime_)
                std::this_thread::sleep_until(begin + std::chrono::microseconds(
                                                          std::int64_t(at) * 1000000 / kRate));
            block(samples.data() + at, std::min(kBlock, samples.size() - at));
        }
        if (!stopping_ && ended) ended(QString());
    });
    return true;
}

void FileCapture::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace vexil::voice
