#pragma once
// Cuts sounds out of a stream of samples by their energy. The level of the background (the
// noise floor) is followed all the time: it falls at once to a quieter level (digital
// silence apart) and rises slowly while nothing sounds, so a fan that starts or a room that grows quiet changes what
// counts as a sound within a second or two. A sound starts when the level stays a margin
// above the floor for a few frames, and ends once it has stayed near the floor for the
// recognition window. In a room with noise, a frame whose level barely rises still counts
// when a few bands of its spectrum stand far over the noise of each (kBands below).
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace vexil::voice {

struct CutSound {
    std::vector<float> samples;  // the sound, with a little of what came before it
    std::int64_t start = 0;      // stream position of samples[0]
    std::int64_t end = 0;        // stream position just after the last loud frame
    // The pause before it: up to kPauseFrames frames that were no sound, in time order,
    // ending where `samples` begin or earlier. The room's noise.
    std::vector<float> pause;
    // The cutter's floor when the sound began (dB, as frameLevel): how loud the room was,
    // also where the pause was too short or digital silence.
    float floorDb = -90.0f;
};

class SoundCutter {
public:
    static constexpr int kSampleRate = 16000;
    static constexpr int kFrame = 160;          // 10 ms
    static constexpr float kOnsetDb = 9.0f;     // above the floor: a sound starts
    static constexpr float kSustainDb = 5.0f;   // above the floor: the sound goes on
    // The floor follows the quieter frames of the room. Where the room's level flickers from
    // frame to frame (a fan, traffic: noise whose power lies low, which a 10 ms frame holds
    // only a few cycles of), its louder frames rise over the floor by more than kSustainDb
    // and would hold a sound that has ended until the noise happens to stay low. So the sound
    // also goes on only above the room's mean level by kSustainSpread times the spread of
    // the levels of its frames, each new frame of the room weighing kLevelWeight in both.
    static constexpr float kSustainSpread = 3.0f;
    static constexpr float kLevelWeight = 0.05f;
    static constexpr int kSpreadFrames = 10;    // frames of the room before its spread counts
    static constexpr float kSilenceDb = -60.0f;  // quieter than this never starts a sound
    // Quieter than this is digital silence (a muted or suspended source, the end of a
    // file), not a room: it leaves a floor the room set where it was, or the room's own
    // hiss would count as a sound when the source comes back.
    static constexpr float kDigitalSilenceDb = -90.0f;
    static constexpr int kOnsetFrames = 3;
    static constexpr int kPreroll = 8;          // frames kept before the onset
    static constexpr int kPauseFrames = 30;     // frames of the pause kept before those
    static constexpr int kMinFrames = 8;        // shorter: a click
    static constexpr int kMaxFrames = 250;      // longer: background that rose
    // In a room with noise (a floor over kSilenceDb - kOnsetDb) a frame also counts as loud
    // when a few bands of its spectrum stand far over the noise of each: speech piles its
    // energy in a few bands (the first formants, the hiss of an "s") while the noise spreads
    // over all of them, so a soft word the broadband level barely shows still starts a sound.
    // The spectrum: 256 points (the frame and the end of the one before), cut in kBands
    // bands from 190 Hz up, each band's power the mean over the last kBandSmoothing frames;
    // each band's noise the mean of its power over the frames that were no sound, the last
    // ten weighing most.
    static constexpr int kBands = 6;
    static constexpr int kBandSmoothing = 3;
    static constexpr int kLoudBands = 2;          // the bands that decide: the strongest ones
    static constexpr float kBandOnsetDb = 6.0f;   // their mean over the noise: a sound starts
    static constexpr float kBandSustainDb = 5.0f;  // and goes on
    static constexpr float kBandWeight = 0.1f;    // of each new frame of the room in its noise

    // Silence that ends a sound: the recognition window, in tenths of a second (1 to 14);
    // never less than 180 ms, so that the closure of a "p" or a "t" does not split a word.
    void setWindowTenths(int tenths);
    int hangoverFrames() const { return hangover_; }
    // The same silence in frames, as another cutter's hangoverFrames() gave it.
    void setHangoverFrames(int frames);

    // Feeds samples (mono, 16 kHz, -1..1); completed sounds go to `onSound`.
    void feed(const float* samples, std::size_t count);
    // While masked (the program's own output sounds), frames are measured for the meter
    // only: no sound starts, the one under way is dropped, the noise floor stays.
    void setMasked(bool masked);
    bool masked() const { return masked_; }
    std::function<void(CutSound)> onSound;

    // What the level meter shows, in dB of full scale.
    float level() const { return level_; }
    float noiseFloor() const { return floor_; }
    float threshold() const;
    // The level over which a sound under way goes on.
    float sustainLevel() const;
    bool inSound() const { return inSound_; }
    std::int64_t position() const { return position_; }
    // The stream from position `from` to `to`, while it is still among the last kRecentFrames
    // frames; empty otherwise.
    static constexpr int kRecentFrames = 300;
    std::vector<float> recent(std::int64_t from, std::int64_t to) const;
    void reset();

private:
    void frame(const float* f);
    bool bandsOn() const;
    void measureBands(const float* f);
    void learnBands();
    void learnLevel();
    std::vector<float> pending_;
    std::vector<float> history_;  // the last kPreroll frames
    std::vector<float> pause_;    // up to kPauseFrames frames before those, no sound
    std::vector<float> sound_;
    std::vector<float> recent_;   // the last kRecentFrames frames, round
    std::int64_t position_ = 0;   // samples seen
    std::int64_t soundStart_ = 0;
    std::int64_t lastLoud_ = 0;
    std::int64_t surelyLoud_ = 0;  // the end told: lastLoud_, or earlier when the bands held it
    int hangover_ = 18;
    bool started_ = false;
    bool masked_ = false;
    bool inSound_ = false;
    int loudRun_ = 0;
    int quietRun_ = 0;
    float floor_ = -90.0f;
    float level_ = -90.0f;
    float levelMean_ = -90.0f;   // the room's mean frame level (dB)
    float levelVariance_ = 0;    // and their variance
    int levelFrames_ = 0;        // frames of the room measured into them
    std::array<float, 256> window_{};        // the last 256 samples
    std::array<float, kBands> bandPower_{};  // over the last kBandSmoothing frames
    std::array<float, kBandSmoothing * kBands> recentBands_{};  // of each of them
    std::array<float, kBands> bandNoise_{};  // the room's, band by band
    int bandFrames_ = 0;                     // frames of the room measured into bandNoise_
    float contrast_ = 0;
    bool bandsMeasured_ = false;             // bandPower_ is this frame's
};

// The level of a frame in dB of full scale.
float frameLevel(const float* samples, int count);
// Levels of successive 10 ms frames, for drawing a sound.
std::vector<float> levelEnvelope(const std::vector<float>& samples);

}  // namespace vexil::voice
