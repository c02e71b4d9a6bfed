#pragma once
// Where sound goes: the sound server, a WAV file, or nowhere. Streams take interleaved
// float samples and keep time: write() returns about when the samples would have been
// heard, so that a wave sound blocks for its length whatever the output.
#include <QString>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

namespace vexil::audio {

class AudioStream {
public:
    virtual ~AudioStream() = default;
    // Interleaved samples, `frames` of them per channel. Blocks for about their length.
    virtual void write(const float* samples, std::size_t frames) = 0;
};

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // A stream for samples at `rate` frames a second in `channels` channels (1 or 2);
    // never null: an output that cannot be opened still keeps time.
    virtual std::unique_ptr<AudioStream> open(int rate, int channels) = 0;
};

// How outputs without a device let time pass; tests pass one that only counts.
using Sleeper = std::function<void(std::chrono::microseconds)>;
Sleeper realSleeper();

// Plays nothing and keeps time.
class NullSink : public AudioSink {
public:
    explicit NullSink(Sleeper sleep = realSleeper()) : sleep_(std::move(sleep)) {}
    std::unique_ptr<AudioStream> open(int rate, int channels) override;

private:
    Sleeper sleep_;
};

// The sound server through PulseAudio (PipeWire answers it too); a stream that cannot
// reach a server keeps time as the null sink does.
class PulseSink : public AudioSink {
public:
    explicit PulseSink(Sleeper sleep = realSleeper()) : sleep_(std::move(sleep)) {}
    std::unique_ptr<AudioStream> open(int rate, int channels) override;

private:
    Sleeper sleep_;
};

}  // namespace vexil::audio
