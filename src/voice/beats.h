#pragma once
// The syllable beats of a sound: the peaks of its loudness where the vowels are (about
// 330 Hz to 2.4 kHz), one a vowel, each weighed by how clearly it stands out. Two sayings
// of a word have the same beats, however fast or slow; a word of other syllables that
// shares a label's vowel and consonants ("toro" beside "dos", "fresa" beside "derecha")
// does not. The alignment of the features cannot tell them apart: it stretches one vowel
// over two, or two over one, at little cost once noise covers the rest (voice_model.h).
#include <vector>

namespace vexil::voice {

// The beats of a sound from its mel bands (`bandCount` values a frame, row after row), the
// room's noise in each band (MfccExtractor::noiseBands(), or none) taken away first. Each
// beat is a peak of the loudness in the vowel bands smoothed over kBeatSmoothing frames,
// in time order; its weight is how far it rises over the deeper of the dips to the louder
// sounds on either side (its prominence, in dB), but no more than it stands over a level
// kBeatRange dB under the loudest peak: a soft or barely parted peak weighs little, one
// quieter than that nothing.
constexpr int kBeatSmoothing = 5;
constexpr float kBeatRange = 12.0f;
std::vector<float> syllableBeats(const std::vector<float>& bands, int bandCount,
                                 const std::vector<float>& noise = {});

}  // namespace vexil::voice
