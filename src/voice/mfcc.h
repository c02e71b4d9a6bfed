#pragma once
// Mel-frequency cepstral coefficients of a sound, computed with aubio: a 32 ms window every
// 10 ms, 40 mel bands, coefficients 1 to 12 (the level, coefficient 0, is left out so that a
// louder or softer take matches), each brought to mean 0 over the sound and divided by the
// square root of its spread there, and beside them their slopes over five frames; and the
// syllable beats of the sound (voice/beats.h).
//
// Before the logarithm every band is raised by a floor a fixed distance below the loudest
// band of the whole sound. Whatever lies under it (the silence around a take recorded in a
// quiet room, or the hiss around the same word said in a noisy one) then looks alike, and
// only the sound itself is compared: without it a take trained in silence is far from the
// same word heard with a fan running. In louder noise a floor under each band at the noise
// of the room does the same, band by band (voice/room_noise.h).
#include <vector>

#include "voice/voice_model.h"

namespace vexil::voice {

class MfccExtractor {
public:
    static constexpr int kWindow = 512;
    static constexpr int kHop = 160;
    static constexpr int kBands = 40;
    static constexpr int kCoefficients = 13;
    // The floor under the bands, in dB below the loudest band value of the sound (measured
    // with bench/voice_accuracy on the development set).
    static constexpr float kFloorDb = 22.0f;
    // The coefficients and how fast each changes.
    static constexpr int kDims = 2 * (kCoefficients - 1);

    // With `noise` (the room's noise in each band, noiseBands()), each band's floor is also at
    // least kNoiseFloor times the noise: what the noise leaves of a quiet part of the word,
    // which differs from one hearing to the next, weighs no more than the noise itself.
    static constexpr float kNoiseFloor = 4.0f;
    Features compute(const std::vector<float>& samples, const std::vector<float>& noise = {}) const;
    // The root mean square of each band over a pause.
    std::vector<float> noiseBands(const std::vector<float>& pause) const;
};

// A take from a sound cut out of the stream: its features and its level.
Take makeTake(const std::vector<float>& samples);

}  // namespace vexil::voice
