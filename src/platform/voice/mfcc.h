#pragma once
// Mel-frequency cepstral coefficients of a sound, computed with aubio: a 32 ms window every
// 10 ms, 40 mel bands, coefficients 1 to 12 (the level, coefficient 0, is left out so that a
// louder or softer take matches), each brought to mean 0 and variance 1 over the sound, and
// beside them their slopes over five frames.
#include <vector>

#include "access/voice_model.h"

namespace vexil::voice {

class MfccExtractor {
public:
    static constexpr int kWindow = 512;
    static constexpr int kHop = 160;
    static constexpr int kBands = 40;
    static constexpr int kCoefficients = 13;
    // The coefficients and how fast each changes.
    static constexpr int kDims = 2 * (kCoefficients - 1);

    Features compute(const std::vector<float>& samples) const;
};

// A take from a sound cut out of the stream: its features and its level.
Take makeTake(const std::vector<float>& samples);

}  // namespace vexil::voice
