#include "voice/sound_cutter.h"

#include <algorithm>
#include <cmath>

namespace vexil::voice {

float frameLevel(const float* samples, int count) {
    double sum = 0;
    for (int i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
    return float(10.0 * std::log10(sum / std::max(count, 1) + 1e-10));
}

std::vector<float> levelEnvelope(const std::vector<float>& samples) {
    std::vector<float> e;
    for (std::size_t at = 0; at + SoundCutter::kFrame <= samples.size(); at += SoundCutter::kFrame)
        e.push_back(frameLevel(samples.data() + at, SoundCutter::kFrame));
    return e;
}

void SoundCutter::setWindowTenths(int tenths) {
    tenths = std::clamp(tenths, 1, 14);
    hangover_ = std::max(tenths * 10, 18);
}

void SoundCutter::setHangoverFrames(int frames) {
    hangover_ = std::clamp(frames, 18, 140);
}

float SoundCutter::threshold() const {
    return std::max(floor_ + kOnsetDb, kSilenceDb);
}

void SoundCutter::setMasked(bool masked) {
    masked_ = masked;
}

void SoundCutter::reset() {
    pending_.clear();
    history_.clear();
    pause_.clear();
    recent_.clear();
    sound_.clear();
    position_ = soundStart_ = lastLoud_ = 0;
    started_ = inSound_ = masked_ = false;
    loudRun_ = quietRun_ = 0;
    floor_ = level_ = -90.0f;
}

void SoundCutter::feed(const float* samples, std::size_t count) {
    std::size_t at = 0;
    if (!pending_.empty()) {
        const std::size_t need = std::min(count, std::size_t(kFrame) - pending_.size());
        pending_.insert(pending_.end(), samples, samples + need);
        at = need;
        if (pending_.size() < std::size_t(kFrame)) return;
        frame(pending_.data());
        pending_.clear();
    }
    for (; at + kFrame <= count; at += kFrame) frame(samples + at);
    pending_.insert(pending_.end(), samples + at, samples + count);
}

std::vector<float> SoundCutter::recent(std::int64_t from, std::int64_t to) const {
    const auto size = std::int64_t(recent_.size());
    if (from >= to || to > position_ || from < position_ - size || size == 0) return {};
    std::vector<float> out;
    out.reserve(std::size_t(to - from));
    for (std::int64_t at = from; at < to; ++at) out.push_back(recent_[std::size_t(at % size)]);
    return out;
}

void SoundCutter::frame(const float* f) {
    level_ = frameLevel(f, kFrame);
    const std::int64_t frameStart = position_;
    if (recent_.empty()) recent_.assign(std::size_t(kRecentFrames) * kFrame, 0.0f);
    std::copy(f, f + kFrame, recent_.begin() + std::ptrdiff_t(frameStart % std::int64_t(recent_.size())));
    position_ += kFrame;
    if (masked_) {
        inSound_ = false;
        sound_.clear();
        history_.clear();
        loudRun_ = 0;
        return;
    }
    const bool digitalSilence = level_ < kDigitalSilenceDb;
    if (!started_) {
        // Zeros at the start (a file, a source that is starting) leave the floor low, so a
        // word straight after them is heard.
        started_ = true;
        floor_ = std::max(level_, kDigitalSilenceDb);
    }
    if (!inSound_) {
        history_.insert(history_.end(), f, f + kFrame);
        if (history_.size() > std::size_t(kFrame * kPreroll)) {
            // Digital silence says nothing of the room.
            if (frameLevel(history_.data(), kFrame) >= kDigitalSilenceDb) {
                pause_.insert(pause_.end(), history_.begin(), history_.begin() + kFrame);
                if (pause_.size() > std::size_t(kFrame * kPauseFrames))
                    pause_.erase(pause_.begin(), pause_.begin() + kFrame);
            }
            history_.erase(history_.begin(), history_.begin() + kFrame);
        }
        if (level_ > threshold()) {
            ++loudRun_;
        } else {
            loudRun_ = 0;
            // Quieter: follow at once; louder: slowly, about a second to settle.
            if (!digitalSilence) floor_ += (level_ < floor_ ? 0.3f : 0.02f) * (level_ - floor_);
        }
        if (loudRun_ >= kOnsetFrames) {
            inSound_ = true;
            sound_ = history_;
            soundStart_ = position_ - std::int64_t(sound_.size());
            lastLoud_ = position_;
            quietRun_ = 0;
            history_.clear();
        }
        return;
    }
    sound_.insert(sound_.end(), f, f + kFrame);
    if (level_ > floor_ + kSustainDb) {
        quietRun_ = 0;
        lastLoud_ = frameStart + kFrame;
    } else {
        ++quietRun_;
    }
    const auto frames = int(sound_.size() / kFrame);
    if (frames > kMaxFrames + hangover_) {
        // A "sound" this long is the background growing louder: it becomes the floor.
        floor_ = level_;
        inSound_ = false;
        loudRun_ = 0;
        sound_.clear();
        pause_.clear();
        return;
    }
    if (quietRun_ < hangover_) return;
    inSound_ = false;
    loudRun_ = 0;
    // Keep two frames after the last loud one: the end of a word fades.
    const std::int64_t end = std::min<std::int64_t>(lastLoud_ + 2 * kFrame, position_);
    CutSound cut;
    cut.start = soundStart_;
    cut.end = lastLoud_;
    cut.samples.assign(sound_.begin(), sound_.begin() + std::ptrdiff_t(end - soundStart_));
    cut.pause = pause_;
    sound_.clear();
    const auto loudFrames = int((lastLoud_ - soundStart_) / kFrame) - kPreroll;
    if (loudFrames < kMinFrames) return;
    if (onSound) onSound(std::move(cut));
}

}  // namespace vexil::voice
