#include "voice/beats.h"

#include <algorithm>
#include <cmath>

namespace vexil::voice {

namespace {

// The vowel bands of the mel filter bank the features use (40 bands, 16 kHz): from the
// third, centred near 330 Hz, to the twenty-sixth, near 2.4 kHz.
constexpr int kFirstVowelBand = 2;
constexpr int kLastVowelBand = 25;
// Peaks that rise less than this are flat stretches of one sound, not beats.
constexpr float kLeastProminence = 0.5f;

}  // namespace

std::vector<float> syllableBeats(const std::vector<float>& bands, int bandCount,
                                 const std::vector<float>& noise) {
    std::vector<float> beats;
    if (bandCount <= kLastVowelBand) return beats;
    const std::size_t width = std::size_t(bandCount);
    const std::size_t n = bands.size() / width;
    const bool denoise = noise.size() == width;
    std::vector<double> power(n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t b = kFirstVowelBand; b <= kLastVowelBand; ++b) {
            double p = double(bands[i * width + b]) * bands[i * width + b];
            if (denoise) p = std::max(p - double(noise[b]) * noise[b], 0.0);
            power[i] += p;
        }
    std::vector<double> db(n);
    constexpr int half = kBeatSmoothing / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t from = i >= std::size_t(half) ? i - half : 0,
                          to = std::min(n, i + half + 1);
        double sum = 0;
        for (std::size_t j = from; j < to; ++j) sum += power[j];
        db[i] = 10.0 * std::log10(sum / double(to - from) + 1e-12);
    }
    if (n == 0) return beats;
    const double loudest = *std::max_element(db.begin(), db.end());
    for (std::size_t i = 0; i < n; ++i) {
        // A peak: louder than the frame before, no quieter than the one after (a level
        // stretch counts once, at its start).
        if ((i > 0 && db[i] <= db[i - 1]) || (i + 1 < n && db[i] < db[i + 1])) continue;
        const double above = db[i] - (loudest - kBeatRange);
        if (above < 0) continue;
        // The deepest dip on the way to a louder frame, or to the end, on each side.
        double left = db[i], right = db[i];
        for (std::size_t j = i; j > 0 && db[j - 1] <= db[i]; --j) left = std::min(left, db[j - 1]);
        for (std::size_t j = i; j + 1 < n && db[j + 1] <= db[i]; ++j)
            right = std::min(right, db[j + 1]);
        const double prominence = db[i] - std::max(left, right);
        if (prominence < kLeastProminence) continue;
        beats.push_back(float(std::min(prominence, above)));
    }
    return beats;
}

}  // namespace vexil::voice
