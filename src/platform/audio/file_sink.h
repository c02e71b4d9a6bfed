#pragma once
// Everything sounded goes into one WAV file (44 100 Hz, stereo, 16 bits) instead of a
// device: sounds that follow each other are appended, sounds that overlap (music under
// speech) are mixed where they meet. The file is written again whenever a sound ends.
#include <QString>
#include <mutex>
#include <vector>

#include "platform/audio/audio_sink.h"

namespace vexil::audio {

class FileSink : public AudioSink {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;

    explicit FileSink(QString path, Sleeper sleep = realSleeper());
    ~FileSink() override;
    std::unique_ptr<AudioStream> open(int rate, int channels) override;

    // The mix so far, interleaved stereo at kRate.
    std::vector<float> samples() const;
    // Writes the file now; false when it cannot be written.
    bool save() const;

private:
    class Stream;
    friend class Stream;
    // Adds stereo frames at `position` (in frames) and returns the position after them.
    std::size_t mix(std::size_t position, const std::vector<float>& stereo);
    void streamEnded(std::size_t position);

    QString path_;
    Sleeper sleep_;
    mutable std::mutex mutex_;
    std::vector<float> mix_;
    std::size_t timeline_ = 0;  // the latest position any stream has reached, in frames
};

}  // namespace vexil::audio
