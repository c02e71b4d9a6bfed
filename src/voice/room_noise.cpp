#include "voice/room_noise.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "voice/mfcc.h"

namespace vexil::voice {

namespace {

constexpr int kFrame = SoundCutter::kFrame;

std::vector<double> framePowers(const std::vector<float>& s) {
    std::vector<double> power;
    power.reserve(s.size() / kFrame);
    for (std::size_t at = 0; at + kFrame <= s.size(); at += kFrame) {
        double p = 0;
        for (std::size_t i = at; i < at + kFrame; ++i) p += double(s[i]) * s[i];
        power.push_back(p / kFrame);
    }
    return power;
}

// The mean power of the loudest quarter of the frames: the level of a word, whatever silence
// was cut with it.
double loudPower(std::vector<double> power) {
    if (power.empty()) return 0;
    const std::size_t n = std::max<std::size_t>(1, power.size() / 4);
    std::nth_element(power.begin(), power.begin() + std::ptrdiff_t(n - 1), power.end(), std::greater<>());
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += power[i];
    return sum / double(n);
}

double meanPower(const std::vector<float>& s) {
    double p = 0;
    for (float x : s) p += double(x) * x;
    return s.empty() ? 0 : p / double(s.size());
}

}  // namespace

std::optional<Room> roomOf(const CutSound& heard, int hangoverFrames) {
    if (heard.pause.size() < std::size_t(kRoomPauseFrames * kFrame)) return std::nullopt;
    Room room;
    room.pause = heard.pause;
    room.noise = meanPower(heard.pause);
    room.word = loudPower(framePowers(heard.samples)) - room.noise;
    room.noiseBands = MfccExtractor().noiseBands(heard.pause);
    room.hangoverFrames = hangoverFrames;
    return room;
}

float noiseUnder(const CutSound& heard, const std::optional<Room>& room) {
    double noise = 0, word = 0;
    if (room) {
        noise = room->noise;
        word = room->word;
    } else {
        noise = std::pow(10.0, double(heard.floorDb) / 10.0);
        word = loudPower(framePowers(heard.samples)) - noise;
    }
    if (!(word > 0)) return 0.0f;
    return float(std::clamp(10.0 * std::log10(noise / word + 1e-9), -90.0, 0.0));
}

Features inRoom(const Take& take, const Room& room) {
    const std::vector<float>& pause = room.pause;
    const double trained = loudPower(framePowers(take.samples));
    if (take.samples.empty() || !(room.noise > 0) || !(room.word > 0) || !(trained > 0)) return take.features;
    const auto gain = float(std::sqrt(room.word / trained));
    // The pause, then the take with the room's noise under it, then enough of the noise to
    // end the sound: the same stream the cutter heard the word in. Enough: the silence that
    // ends a sound, the fading end it keeps, and the frames over which it measures the bands
    // (which hold a sound that long after it has ended).
    std::vector<float> stream(pause);
    const std::size_t tail = std::size_t(room.hangoverFrames + 2 + SoundCutter::kBandSmoothing) * kFrame;
    std::size_t n = 0;
    for (float x : take.samples) stream.push_back(gain * x + pause[n++ % pause.size()]);
    for (std::size_t i = 0; i < tail; ++i) stream.push_back(pause[n++ % pause.size()]);
    SoundCutter cutter;
    cutter.setHangoverFrames(room.hangoverFrames);
    // Where the noise splits the take in pieces, from the first piece to the end of the last:
    // the recogniser joins a word split so (trained_recognizer.h).
    std::int64_t from = -1, to = -1;
    cutter.onSound = [&](CutSound c) {
        if (from < 0) from = c.start;
        to = c.start + std::int64_t(c.samples.size());
    };
    cutter.feed(stream.data(), stream.size());
    if (from < 0) return take.features;
    return MfccExtractor().compute(std::vector<float>(stream.begin() + from, stream.begin() + to), room.noiseBands);
}

}  // namespace vexil::voice
