#pragma once
// Takes heard again in the room a sound comes from. A take is trained in a quiet room; the
// same word said with a fan running or in a classroom loses its quiet parts under the noise,
// is cut shorter and sounds thinner, and lies far from the take. So before a sound is
// compared with a take, the take is heard as it would have been in that room: its sound
// brought to the level of the word heard, the noise of the pause before the word laid under
// it, and cut out and measured by the same cutter and features as the word itself.
#include <vector>

#include "platform/recognizer.h"
#include "voice/sound_cutter.h"

namespace vexil::voice {

// Enough of the pause to tell the room's noise: shorter, the take is compared as trained.
constexpr int kRoomPauseFrames = 10;

// How loud the room's noise is beside the word of `heard`: the power of its pause over that
// of the word's loudest part less the noise. 0 when there is no pause to tell.
double noiseToWord(const CutSound& heard);

// The features of `take` as heard in the room of `heard` (its pause), cut with a silence of
// `hangoverFrames` ending a sound, measured with `noiseBands` (MfccExtractor::noiseBands() of
// the pause) as the word itself was. The take's own features when there is no noise to add
// (a pause too short, or digital silence), when the take kept no sound, or when nothing of
// it would stand out of that noise.
Features inRoomOf(const Take& take, const CutSound& heard, int hangoverFrames,
                  const std::vector<float>& noiseBands);

}  // namespace vexil::voice
