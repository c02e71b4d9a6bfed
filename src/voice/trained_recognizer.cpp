#include "voice/trained_recognizer.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "voice/mfcc.h"
#include "voice/room_noise.h"
#include "voice/voice_event.h"

namespace vexil::voice {

// Lives on the user-interface thread: recognised labels arrive here as events, everything
// else as queued calls.
class TrainedSoundRecognizer::Receiver : public QObject {
public:
    explicit Receiver(TrainedSoundRecognizer& owner) : owner_(owner) {}
    bool event(QEvent* e) override {
        if (e->type() != VoiceEvent::eventType()) return QObject::event(e);
        const int label = static_cast<VoiceEvent*>(e)->label();
        // A sound judged just before listening stopped is not acted on.
        if (owner_.listening_ && owner_.recognised_) owner_.recognised_(label);
        return true;
    }

private:
    TrainedSoundRecognizer& owner_;
};

TrainedSoundRecognizer::TrainedSoundRecognizer(CaptureFactory factory)
    : factory_(std::move(factory)), receiver_(std::make_unique<Receiver>(*this)) {
    if (!factory_) factory_ = [] { return std::make_unique<PulseCapture>(); };
    cutter_.onSound = [this](CutSound cut) { sound(std::move(cut)); };
    cutter_.setWindowTenths(2);
}

TrainedSoundRecognizer::~TrainedSoundRecognizer() {
    if (capture_) capture_->stop();
}

bool TrainedSoundRecognizer::initialise(VoiceModel& model, QString* error) {
    (void)error;
    model_ = &model;
    modelChanged();
    return true;
}

void TrainedSoundRecognizer::setRecognitionTenths(int tenths) {
    std::lock_guard lock(mutex_);
    cutter_.setWindowTenths(tenths);
}

void TrainedSoundRecognizer::modelChanged() {
    if (!model_) return;
    auto copy = std::make_shared<const VoiceModel>(*model_);
    std::lock_guard lock(mutex_);
    snapshot_ = std::move(copy);
}

Features TrainedSoundRecognizer::measure(const std::vector<float>& samples) {
    return MfccExtractor().compute(samples);
}

void TrainedSoundRecognizer::post(std::function<void()> call) {
    QMetaObject::invokeMethod(receiver_.get(), std::move(call), Qt::QueuedConnection);
}

bool TrainedSoundRecognizer::ensureCapture() {
    if (capture_) return true;
    auto capture = factory_();
    QString error;
    {
        std::lock_guard lock(mutex_);
        cutter_.reset();
        unanswered_.reset();
        cutter_.setMasked(ownSound_ || ownTail_ > 0);
    }
    if (!capture->start([this](const float* s, std::size_t n) { captureBlock(s, n); },
                        [this](const QString& reason) { captureEnded(reason); }, &error)) {
        lastError_ = error;
        return false;
    }
    capture_ = std::move(capture);
    return true;
}

void TrainedSoundRecognizer::releaseCaptureIfIdle() {
    bool idle;
    {
        std::lock_guard lock(mutex_);
        idle = !listenOn_ && !recordOn_ && !levelOn_;
    }
    if (idle && capture_) {
        capture_->stop();
        capture_.reset();
    }
}

bool TrainedSoundRecognizer::start(const QStringList& labels, std::function<void(int)> recognised) {
    if (!model_) return false;
    // The labels listened for are those the model was started with.
    (void)labels;
    recognised_ = std::move(recognised);
    // On before capture starts: a file may be read whole before this returns.
    {
        std::lock_guard lock(mutex_);
        listenOn_ = true;
    }
    if (!ensureCapture()) {
        std::lock_guard lock(mutex_);
        listenOn_ = false;
        return false;
    }
    listening_ = true;
    return true;
}

void TrainedSoundRecognizer::stop() {
    listening_ = false;
    {
        std::lock_guard lock(mutex_);
        listenOn_ = false;
    }
    releaseCaptureIfIdle();
}

bool TrainedSoundRecognizer::recordTake(std::function<void(std::optional<Take>)> done) {
    takeDone_ = std::move(done);
    {
        std::lock_guard lock(mutex_);
        recordOn_ = true;
    }
    if (!ensureCapture()) {
        takeDone_ = nullptr;
        std::lock_guard lock(mutex_);
        recordOn_ = false;
        return false;
    }
    return true;
}

void TrainedSoundRecognizer::cancelTake() {
    auto done = std::move(takeDone_);
    takeDone_ = nullptr;
    {
        std::lock_guard lock(mutex_);
        recordOn_ = false;
    }
    releaseCaptureIfIdle();
    if (done) done(std::nullopt);
}

bool TrainedSoundRecognizer::monitorLevel(std::function<void(float, float)> report) {
    levelReport_ = std::move(report);
    const bool on = bool(levelReport_);
    {
        std::lock_guard lock(mutex_);
        levelOn_ = on;
    }
    if (on && !ensureCapture()) {
        levelReport_ = nullptr;
        std::lock_guard lock(mutex_);
        levelOn_ = false;
        return false;
    }
    if (!on) releaseCaptureIfIdle();
    return true;
}

void TrainedSoundRecognizer::setOwnSound(bool sounding) {
    std::lock_guard lock(mutex_);
    if (ownSound_ && !sounding) ownTail_ = std::int64_t(kOwnSoundTailMs) * SoundCutter::kSampleRate / 1000;
    ownSound_ = sounding;
    if (sounding) {
        cutter_.setMasked(true);
        // What follows the program's own output is no rest of a word before it.
        unanswered_.reset();
    }
}

void TrainedSoundRecognizer::onJudged(std::function<void(const Heard&)> report) {
    std::lock_guard lock(mutex_);
    judged_ = std::move(report);
}

// --- capture thread --------------------------------------------------------------------------

void TrainedSoundRecognizer::captureBlock(const float* samples, std::size_t count) {
    std::unique_lock lock(mutex_);
    if (!ownSound_ && ownTail_ > 0) {
        // The tail after the program's own output: masked to its end, inside this block too.
        const auto masked = std::size_t(std::min<std::int64_t>(ownTail_, std::int64_t(count)));
        cutter_.feed(samples, masked);
        ownTail_ -= std::int64_t(masked);
        samples += masked;
        count -= masked;
        if (ownTail_ == 0) cutter_.setMasked(false);
    }
    cutter_.feed(samples, count);
    if (!levelOn_) return;
    levelCountdown_ -= int(count);
    if (levelCountdown_ > 0) return;
    levelCountdown_ = SoundCutter::kSampleRate / 20;
    const float level = cutter_.level();
    const float threshold = cutter_.threshold();
    lock.unlock();
    post([this, level, threshold] {
        if (levelReport_) levelReport_(level, threshold);
    });
}

TrainedSoundRecognizer::Heard TrainedSoundRecognizer::judge(const CutSound& cut) const {
    const auto began = std::chrono::steady_clock::now();
    const MfccExtractor mfcc;
    Heard heard;
    const std::optional<Room> room =
        snapshot_->takesKeepSound() ? roomOf(cut, cutter_.hangoverFrames()) : std::nullopt;
    heard.noiseDb = noiseUnder(cut, room);
    if (room) {
        // Each take as it would have sounded in this room, both measured with its noise.
        heard.result = snapshot_->classify(mfcc.compute(cut.samples, room->noiseBands),
                                           [&](const Take& t) { return inRoom(t, *room); }, heard.noiseDb);
    } else {
        // No room to hear the takes in (a pause too short to tell, digital silence), or
        // takes saved before their sounds were kept: the features alone, as they were
        // measured.
        heard.result = snapshot_->classify(mfcc.compute(cut.samples), heard.noiseDb);
    }
    heard.end = cut.end;
    heard.judgedAt = cutter_.position();
    heard.computeMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    if (trace_)
        std::fprintf(stderr,
                     "voice: sound of %.2f s, nearest %d at %.3f (threshold %.3f, worst stretch "
                     "%.3f, next %.3f, noise %.1f dB, takes in the room %.3f apart, beats %.2f "
                     "apart): %d\n",
                     double(cut.end - cut.start) / SoundCutter::kSampleRate, heard.result.nearest,
                     double(heard.result.distance), double(heard.result.threshold),
                     double(heard.result.worstStretch), double(heard.result.runnerUp),
                     double(heard.noiseDb), double(heard.result.roomSpread),
                     double(heard.result.beatsApart), heard.result.label);
    return heard;
}

// Called by the cutter, with the mutex held.
void TrainedSoundRecognizer::sound(CutSound cut) {
    if (recordOn_) {
        recordOn_ = false;
        auto take = std::make_shared<Take>(makeTake(cut.samples));
        post([this, take] {
            auto done = std::move(takeDone_);
            takeDone_ = nullptr;
            releaseCaptureIfIdle();
            if (done) done(std::move(*take));
        });
        return;
    }
    if (!listenOn_ || !snapshot_) return;
    Heard heard = judge(cut);
    if (heard.result.label == 0 && unanswered_ &&
        cut.start - unanswered_->end <= std::int64_t(kJoinGapMs) * SoundCutter::kSampleRate / 1000) {
        CutSound joined;
        joined.start = unanswered_->start;
        joined.end = cut.end;
        joined.samples = cutter_.recent(joined.start, cut.start + std::int64_t(cut.samples.size()));
        joined.pause = std::move(unanswered_->pause);
        if (!joined.samples.empty()) {
            const Heard whole = judge(joined);
            if (whole.result.label > 0) heard = whole;
        }
    }
    if (heard.result.label == 0) {
        unanswered_ = std::move(cut);
        unanswered_->samples.clear();
    } else {
        unanswered_.reset();
    }
    if (judged_) judged_(heard);
    if (heard.result.label > 0)
        QCoreApplication::postEvent(receiver_.get(), new VoiceEvent(heard.result.label));
}

void TrainedSoundRecognizer::onStreamEnd(std::function<void()> report) {
    std::lock_guard lock(mutex_);
    streamEnd_ = std::move(report);
}

void TrainedSoundRecognizer::captureEnded(const QString& reason) {
    if (reason.isEmpty()) {  // a file read to its end
        std::lock_guard lock(mutex_);
        if (recordOn_) {
            // It held no sound to train with.
            recordOn_ = false;
            post([this] {
                auto done = std::move(takeDone_);
                takeDone_ = nullptr;
                releaseCaptureIfIdle();
                if (done) done(std::nullopt);
            });
        }
        if (streamEnd_) streamEnd_();
        return;
    }
    post([this, reason] {
        listening_ = false;
        {
            std::lock_guard lock(mutex_);
            listenOn_ = recordOn_ = levelOn_ = false;
        }
        if (capture_) {
            capture_->stop();
            capture_.reset();
        }
        auto done = std::move(takeDone_);
        takeDone_ = nullptr;
        if (done) done(std::nullopt);
        levelReport_ = nullptr;
        if (failure_) failure_(reason);
    });
}

}  // namespace vexil::voice
