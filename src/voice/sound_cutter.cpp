#include "voice/sound_cutter.h"

#include <algorithm>
#include <cmath>

namespace vexil::voice {

namespace {

constexpr int kFft = 256;
constexpr int kHalf = kFft / 2;
// The bands, in bins of 62.5 Hz: 190-500 Hz, 0.5-1, 1-2, 2-3, 3-5 and 5-8 kHz, where the
// first formants, the second ones and the hiss of consonants lie. Each holds at least five
// bins: a narrower band flickers too much in noise.
constexpr std::array<int, SoundCutter::kBands + 1> kEdges{3, 8, 16, 32, 48, 80, 128};

struct FftTables {
    std::array<float, kFft> hann{};
    std::array<float, kHalf> cos{}, sin{};  // of -2 pi k / kFft
    std::array<int, kHalf> reversed{};      // the bits of an index below kHalf, reversed
    FftTables() {
        for (int i = 0; i < kFft; ++i) hann[std::size_t(i)] = float(0.5 - 0.5 * std::cos(2 * M_PI * i / kFft));
        for (int i = 0; i < kHalf; ++i) {
            int r = 0;
            for (int bit = 1, j = i; bit < kHalf; bit <<= 1, j >>= 1) r = (r << 1) | (j & 1);
            reversed[std::size_t(i)] = r;
            cos[std::size_t(i)] = float(std::cos(-2 * M_PI * i / kFft));
            sin[std::size_t(i)] = float(std::sin(-2 * M_PI * i / kFft));
        }
    }
};

// The power of each band of `samples` (kFft of them), under a Hann window: the even samples
// and the odd ones as one complex sequence of half the length, transformed, then parted.
void bandPowers(const std::array<float, kFft>& samples, std::array<float, SoundCutter::kBands>& power) {
    static const FftTables t;
    std::array<float, kHalf> re, im;
    for (std::size_t n = 0; n < std::size_t(kHalf); ++n) {
        const auto at = std::size_t(t.reversed[n]);
        re[at] = t.hann[2 * n] * samples[2 * n];
        im[at] = t.hann[2 * n + 1] * samples[2 * n + 1];
    }
    for (int len = 2; len <= kHalf; len <<= 1) {
        const int half = len / 2, step = 2 * kHalf / len;
        for (int at = 0; at < kHalf; at += len)
            for (int j = 0; j < half; ++j) {
                const auto p = std::size_t(at + j), q = p + std::size_t(half);
                const float wr = t.cos[std::size_t(j * step)], wi = t.sin[std::size_t(j * step)];
                const float vr = re[q] * wr - im[q] * wi, vi = re[q] * wi + im[q] * wr;
                re[q] = re[p] - vr;
                im[q] = im[p] - vi;
                re[p] += vr;
                im[p] += vi;
            }
    }
    for (std::size_t b = 0; b < power.size(); ++b) {
        float sum = 0;
        for (int k = kEdges[b]; k < kEdges[b + 1]; ++k) {
            const auto z = std::size_t(k), m = std::size_t((kHalf - k) % kHalf);
            // The even samples' transform and the odd ones', from Z[k] and conj(Z[kHalf - k]).
            const float er = 0.5f * (re[z] + re[m]), ei = 0.5f * (im[z] - im[m]);
            const float orr = 0.5f * (im[z] + im[m]), oi = -0.5f * (re[z] - re[m]);
            const float wr = t.cos[z], wi = t.sin[z];
            const float xr = er + orr * wr - oi * wi, xi = ei + orr * wi + oi * wr;
            sum += xr * xr + xi * xi;
        }
        power[b] = sum;
    }
}

}  // namespace

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

float SoundCutter::sustainLevel() const {
    const float above = floor_ + kSustainDb;
    if (levelFrames_ < kSpreadFrames) return above;
    return std::max(above, levelMean_ + kSustainSpread * std::sqrt(levelVariance_));
}

void SoundCutter::learnLevel() {
    const float w = std::max(kLevelWeight, 1.0f / float(levelFrames_ + 1));
    const float d = level_ - levelMean_;
    levelMean_ += w * d;
    levelVariance_ = (1 - w) * (levelVariance_ + w * d * d);
    levelFrames_ = std::min(levelFrames_ + 1, 1000);
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
    position_ = soundStart_ = lastLoud_ = surelyLoud_ = 0;
    started_ = inSound_ = masked_ = false;
    loudRun_ = quietRun_ = 0;
    floor_ = level_ = levelMean_ = -90.0f;
    levelVariance_ = 0;
    levelFrames_ = 0;
    window_.fill(0.0f);
    bandPower_.fill(0.0f);
    recentBands_.fill(0.0f);
    bandNoise_.fill(0.0f);
    bandFrames_ = 0;
    contrast_ = 0;
    bandsMeasured_ = false;
}

bool SoundCutter::bandsOn() const {
    return floor_ + kOnsetDb > kSilenceDb && bandFrames_ >= kBandSmoothing;
}

void SoundCutter::measureBands(const float* f) {
    std::copy(window_.begin() + kFrame, window_.end(), window_.begin());
    std::copy(f, f + kFrame, window_.end() - kFrame);
    if (floor_ + kOnsetDb <= kSilenceDb) {
        // A quiet room: the level alone decides, and the bands are measured anew once the
        // room grows loud.
        bandFrames_ = 0;
        contrast_ = 0;
        bandsMeasured_ = false;
        return;
    }
    bandsMeasured_ = true;
    std::array<float, kBands> raw{};
    bandPowers(window_, raw);
    // Over the last frames: the flicker of the noise in a band, which would hold a sound
    // that has ended, is smaller.
    std::copy(recentBands_.begin() + kBands, recentBands_.end(), recentBands_.begin());
    std::copy(raw.begin(), raw.end(), recentBands_.end() - kBands);
    // Measured anew: what came before is no part of it.
    if (bandFrames_ == 0)
        for (int i = 0; i + 1 < kBandSmoothing; ++i) std::copy(raw.begin(), raw.end(), recentBands_.begin() + i * kBands);
    bandPower_.fill(0.0f);
    for (std::size_t at = 0; at < recentBands_.size(); ++at) bandPower_[at % kBands] += recentBands_[at] / float(kBandSmoothing);
    if (bandFrames_ == 0) {
        contrast_ = 0;
        return;
    }
    std::array<float, kBands> ratio{};
    for (std::size_t b = 0; b < ratio.size(); ++b) ratio[b] = bandPower_[b] / std::max(bandNoise_[b], 1e-12f);
    std::partial_sort(ratio.begin(), ratio.begin() + kLoudBands, ratio.end(), std::greater<>());
    float sum = 0;
    for (int b = 0; b < kLoudBands; ++b) sum += ratio[std::size_t(b)];
    contrast_ = 10.0f * std::log10(sum / float(kLoudBands) + 1e-12f);
}

void SoundCutter::learnBands() {
    if (!bandsMeasured_) return;
    // The first frames: their mean; then each new one weighs kBandWeight.
    const float w = std::max(kBandWeight, 1.0f / float(bandFrames_ + 1));
    for (std::size_t b = 0; b < bandNoise_.size(); ++b) bandNoise_[b] += w * (bandPower_[b] - bandNoise_[b]);
    bandFrames_ = std::min(bandFrames_ + 1, 1000);
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
    measureBands(f);
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
        if (level_ > threshold() || (bandsOn() && contrast_ > kBandOnsetDb)) {
            ++loudRun_;
        } else {
            loudRun_ = 0;
            // Quieter: follow at once; louder: slowly, about a second to settle.
            if (!digitalSilence) {
                floor_ += (level_ < floor_ ? 0.3f : 0.02f) * (level_ - floor_);
                learnBands();
                learnLevel();
            }
        }
        if (loudRun_ >= kOnsetFrames) {
            inSound_ = true;
            sound_ = history_;
            soundStart_ = position_ - std::int64_t(sound_.size());
            lastLoud_ = surelyLoud_ = position_;
            quietRun_ = 0;
            history_.clear();
        }
        return;
    }
    sound_.insert(sound_.end(), f, f + kFrame);
    if (level_ > sustainLevel()) {
        quietRun_ = 0;
        lastLoud_ = frameStart + kFrame;
        surelyLoud_ = lastLoud_;
    } else if (bandsOn() && contrast_ > kBandSustainDb) {
        quietRun_ = 0;
        lastLoud_ = frameStart + kFrame;
        // The bands are a mean over the last frames: of those, only the earliest is surely
        // the sound's. The end told is that one; the sound keeps the frames after it, whose
        // fading tail is measured alike in the word and in the takes heard in its room.
        surelyLoud_ = std::max(surelyLoud_, lastLoud_ - std::int64_t(kBandSmoothing - 1) * kFrame);
    } else {
        ++quietRun_;
    }
    const auto frames = int(sound_.size() / kFrame);
    if (frames > kMaxFrames + hangover_) {
        // A "sound" this long is the background growing louder: it becomes the floor.
        floor_ = levelMean_ = level_;
        levelVariance_ = 0;
        levelFrames_ = 1;
        bandNoise_ = bandPower_;
        bandFrames_ = 1;
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
    cut.end = surelyLoud_;
    cut.samples.assign(sound_.begin(), sound_.begin() + std::ptrdiff_t(end - soundStart_));
    cut.pause = pause_;
    cut.floorDb = floor_;
    sound_.clear();
    const auto loudFrames = int((lastLoud_ - soundStart_) / kFrame) - kPreroll;
    if (loudFrames < kMinFrames) return;
    if (onSound) onSound(std::move(cut));
}

}  // namespace vexil::voice
