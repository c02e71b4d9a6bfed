#pragma once
// Where the recogniser's sound comes from: the desktop's sound server (PulseAudio, or
// PipeWire through its PulseAudio interface) or, for tests and measurements, a WAV file.
// Both deliver 16 kHz mono samples from a thread of their own.
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

struct pa_simple;

namespace vexil::voice {

class AudioCapture {
public:
    using Block = std::function<void(const float* samples, std::size_t count)>;
    // Called once when the stream ends by itself: an empty reason when a file was read to its
    // end, else why capture broke off.
    using Ended = std::function<void(const QString& reason)>;
    virtual ~AudioCapture() = default;
    // Opens the source and starts its thread; false, with the reason, when it cannot open.
    virtual bool start(Block block, Ended ended, QString* error) = 0;
    // Stops the thread; no block is delivered after it returns.
    virtual void stop() = 0;
};

// The default recording source of the sound server.
class PulseCapture : public AudioCapture {
public:
    ~PulseCapture() override;
    bool start(Block block, Ended ended, QString* error) override;
    void stop() override;

private:
    void run(Block block, Ended ended);
    ::pa_simple* stream_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// A sound file, delivered in 10 ms blocks, at the pace of real time or as fast as it reads;
// a second and a half of silence follows it, so that its last sound ends.
class FileCapture : public AudioCapture {
public:
    explicit FileCapture(QString path, bool realTime = false)
        : path_(std::move(path)), realTime_(realTime) {}
    ~FileCapture() override;
    bool start(Block block, Ended ended, QString* error) override;
    void stop() override;

    // A file read whole into 16 kHz mono samples; false, with the reason, when it cannot.
    static bool readSamples(const QString& path, std::vector<float>& samples, QString* error);

private:
    QString path_;
    bool realTime_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace vexil::voice
