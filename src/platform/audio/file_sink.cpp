#include "platform/audio/file_sink.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace vexil::audio {

// Turns the stream's samples into stereo at the file's rate (linear interpolation, the
// phase carried from one write to the next) and mixes them in from where it began.
class FileSink::Stream : public AudioStream {
public:
    Stream(FileSink& sink, int rate, int channels, std::size_t start)
        : sink_(sink), rate_(rate), channels_(std::max(1, channels)), position_(start) {}
    ~Stream() override { sink_.streamEnded(position_); }

    void write(const float* samples, std::size_t frames) override {
        if (!frames || rate_ <= 0) return;
        const double step = double(rate_) / kRate;
        std::vector<float> stereo;
        stereo.reserve(size_t(double(frames) / step + 2) * kChannels);
        auto frame = [&](long long i, int c) -> float {
            if (i < 0) return last_[size_t(std::min(c, 1))];
            const int channel = channels_ == 1 ? 0 : std::min(c, channels_ - 1);
            return samples[size_t(i) * size_t(channels_) + size_t(channel)];
        };
        // phase_ is the next output's place in this write's frames, counted from the last
        // frame of the previous write (-1).
        for (; phase_ < double(frames) - 1.0 + 1e-9; phase_ += step) {
            const long long i = (long long)std::floor(phase_);
            const double f = phase_ - double(i);
            for (int c = 0; c < kChannels; ++c) {
                const float a = frame(i, c);
                const float b = frame(std::min<long long>(i + 1, (long long)frames - 1), c);
                stereo.push_back(float(a + (b - a) * f));
            }
        }
        phase_ -= double(frames);
        last_[0] = frame((long long)frames - 1, 0);
        last_[1] = frame((long long)frames - 1, 1);
        position_ = sink_.mix(position_, stereo);
        sink_.sleep_(std::chrono::microseconds((long long)frames * 1000000LL / rate_));
    }

private:
    FileSink& sink_;
    int rate_;
    int channels_;
    std::size_t position_;
    double phase_ = 0.0;
    float last_[2] = {0.f, 0.f};
};

FileSink::FileSink(QString path, Sleeper sleep) : path_(std::move(path)), sleep_(std::move(sleep)) {}

FileSink::~FileSink() { save(); }

std::unique_ptr<AudioStream> FileSink::open(int rate, int channels) {
    std::lock_guard lock(mutex_);
    return std::make_unique<Stream>(*this, rate, channels, timeline_);
}

std::size_t FileSink::mix(std::size_t position, const std::vector<float>& stereo) {
    std::lock_guard lock(mutex_);
    const std::size_t frames = stereo.size() / kChannels;
    const std::size_t end = position + frames;
    if (mix_.size() < end * kChannels) mix_.resize(end * kChannels, 0.f);
    for (std::size_t i = 0; i < stereo.size(); ++i) mix_[position * kChannels + i] += stereo[i];
    timeline_ = std::max(timeline_, end);
    return end;
}

void FileSink::streamEnded(std::size_t position) {
    {
        std::lock_guard lock(mutex_);
        timeline_ = std::max(timeline_, position);
    }
    save();
}

std::vector<float> FileSink::samples() const {
    std::lock_guard lock(mutex_);
    return mix_;
}

bool FileSink::save() const {
    std::vector<float> data = samples();
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = kChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path_.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!f) return false;
    // Overlapping sounds can add up past full scale; clip rather than wrap.
    sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t frames = sf_count_t(data.size() / kChannels);
    const bool ok = sf_writef_float(f, data.data(), frames) == frames;
    sf_close(f);
    return ok;
}

}  // namespace vexil::audio
