#pragma once
// The recogniser of the user's own few sounds. Capture runs on its own thread; there the
// sounds are cut out of the stream (SoundCutter), turned into features (MfccExtractor) and
// compared with the trained takes (VoiceModel). What it finds reaches the user-interface
// thread as a VoiceEvent carrying the label's number, posted to a receiver that lives
// there, as a window message would be.
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/recognizer.h"
#include "platform/voice/capture.h"
#include "voice/sound_cutter.h"
#include "voice/voice_model.h"

namespace vexil::voice {

class TrainedSoundRecognizer : public SoundRecognizer {
public:
    using CaptureFactory = std::function<std::unique_ptr<AudioCapture>()>;
    // Captures through `factory` (the sound server when empty). Must be made on the
    // user-interface thread.
    explicit TrainedSoundRecognizer(CaptureFactory factory = {});
    ~TrainedSoundRecognizer() override;

    bool available() override { return true; }
    bool initialise(VoiceModel& model, QString* error) override;
    void setRecognitionTenths(int tenths) override;
    bool start(const QStringList& labels, std::function<void(int)> recognised) override;
    void stop() override;
    bool listening() const override { return listening_; }
    void setOwnSound(bool sounding) override;
    // How long after the program's own output has stopped the microphone is still not
    // taken for the user: the poll that notices the end, the capture fragment, the echo.
    static constexpr int kOwnSoundTailMs = 60;
    // A sound that answers no label is heard once more joined to the one before, when that
    // one answered none either and ended at most this long before it began.
    static constexpr int kJoinGapMs = 400;
    VoiceModel* model() override { return model_; }
    void modelChanged() override;
    Features measure(const std::vector<float>& samples) override;
    bool recordTake(std::function<void(std::optional<Take>)> done) override;
    void cancelTake() override;
    bool monitorLevel(std::function<void(float, float)> report) override;
    void onFailure(std::function<void(const QString&)> report) override { failure_ = std::move(report); }

    // What the last sound heard gave (for measurements): its classification, and the
    // stream position of its end and of the moment it was judged.
    struct Heard {
        VoiceModel::Result result;
        std::int64_t end = 0;
        std::int64_t judgedAt = 0;
        double computeMs = 0;  // features and comparison
        float noiseDb = 0;     // how loud the room was under the sound (room_noise.h)
    };
    // Called on the capture thread for every sound judged while listening.
    void onJudged(std::function<void(const Heard&)> report);
    // Called on the capture thread when a file source was read to its end.
    void onStreamEnd(std::function<void()> report);
    // The reason capture could not start, after a failed start of listening or recording.
    QString lastError() const { return lastError_; }

private:
    class Receiver;
    bool ensureCapture();
    void releaseCaptureIfIdle();
    void captureBlock(const float* samples, std::size_t count);
    void sound(CutSound cut);
    Heard judge(const CutSound& cut) const;
    void captureEnded(const QString& reason);
    void post(std::function<void()> call);

    CaptureFactory factory_;
    std::unique_ptr<Receiver> receiver_;
    std::unique_ptr<AudioCapture> capture_;
    VoiceModel* model_ = nullptr;  // the caller's, from initialise()
    bool listening_ = false;
    std::function<void(int)> recognised_;
    std::function<void(std::optional<Take>)> takeDone_;
    std::function<void(float, float)> levelReport_;
    std::function<void(const QString&)> failure_;
    QString lastError_;

    // Shared with the capture thread.
    std::mutex mutex_;
    SoundCutter cutter_;
    std::shared_ptr<const VoiceModel> snapshot_;
    bool listenOn_ = false;
    bool recordOn_ = false;
    bool levelOn_ = false;
    int levelCountdown_ = 0;
    bool ownSound_ = false;
    std::int64_t ownTail_ = 0;  // samples still masked after the own output stopped
    // The last sound that answered no label, while the next may still be the rest of its
    // word: in noise the closure of a "p" or a "t" can outlast the silence that ends a sound.
    std::optional<CutSound> unanswered_;
    std::function<void(const Heard&)> judged_;
    // VEXIL_VOICE_TRACE set: every sound judged while listening is written to standard
    // error, with its distances, to see why a sound was taken or not.
    const bool trace_ = qEnvironmentVariableIsSet("VEXIL_VOICE_TRACE");
    std::function<void()> streamEnd_;
};

}  // namespace vexil::voice
