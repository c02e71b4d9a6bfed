#pragma once
// Takes heard again in the room a sound comes from. A take is trained in a quiet room; the
// same word said with a fan running or in a classroom loses its quiet parts under the noise,
// is cut shorter and sounds thinner, and lies far from the take. So before a sound is
// compared with a take, the take is heard as it would have been in that room: its sound
// brought to the level of the word heard, the noise of the pause before the word laid under
// it, and cut out and measured by the same cutter and features as the word itself.
#include <optional>
#include <vector>

#include "platform/recognizer.h"
#include "voice/sound_cutter.h"

namespace vexil::voice {

// The room a sound was heard in, measured once for all the takes it is compared with.
struct Room {
    std::vector<float> pause;        // the pause before the word
    double noise = 0;                // the pause's mean power
    double word = 0;                 // the word's loudest part, less the noise under it
    std::vector<float> noiseBands;   // MfccExtractor::noiseBands() of the pause
    int hangoverFrames = 0;          // the silence that ends a sound there
};
// Enough of the pause to tell the room's noise: shorter, the takes are compared as trained.
constexpr int kRoomPauseFrames = 10;
// The room of `heard`, cut with a silence of `hangoverFrames`; none when its pause is too
// short to tell.
std::optional<Room> roomOf(const CutSound& heard, int hangoverFrames);

// How loud the room was under `heard`: its noise in dB of the sound's level (VoiceModel's
// NoiseDb), from `room` when there is one, else from the cutter's floor; -90 for digital
// silence, 0 when the sound stood no louder than the noise.
float noiseUnder(const CutSound& heard, const std::optional<Room>& room);

// The features of `take` as heard in `room`, cut and measured as the word itself was. The
// take's own features when there is no noise to add (digital silence), when the take kept no
// sound, or when nothing of it would stand out of that noise.
Features inRoom(const Take& take, const Room& room);

}  // namespace vexil::voice
