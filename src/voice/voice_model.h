#pragma once
// The trained sounds of the voice control: for each label of the command set a few takes,
// each kept as its cepstral features, compared with a new sound by dynamic time warping.
// Pure arithmetic on what the recogniser measured: the features themselves are computed by
// the recogniser (voice/trained_recognizer.h), which also cuts the sounds out of the stream.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/recognizer.h"

namespace vexil::voice {

// Subtracts each coefficient's mean over the sound, so that the microphone and the room
// weigh less than the sound itself.
void normaliseMeans(Features& f);

// How two sounds match: the cheapest alignment of their frames (Euclidean frame distance,
// steps that keep both in order). `distance` is its cost divided by the length of the path;
// `worstStretch` the mean frame distance of the worst kStretchSteps steps in a row along it.
// Both infinite when either sound is empty or their dimensions differ.
struct DtwMatch {
    float distance = 0;
    float worstStretch = 0;
};
constexpr int kStretchSteps = 15;
DtwMatch dtwMatch(const Features& a, const Features& b);
float dtwDistance(const Features& a, const Features& b);
// Divides each coefficient by the square root of its spread over the sound (after
// normaliseMeans): a coefficient that barely moves over the sound (where the noise covers
// most of a word) weighs less than one that carries it, yet a loud coefficient no longer
// drowns the rest.
void normaliseVariances(Features& f);
// The features followed, in each frame, by their slopes (regression over two frames either
// side).
Features withDeltas(const Features& f);
// How far the syllable beats of two sounds (Features::beats) differ: the weights of the
// beats one has beyond the other's number of beats, its weakest (the strongest of each are
// taken for the beats they share). 0 when they have as many, or when either sound's beats
// were not measured.
float beatsApart(const std::vector<float>& a, const std::vector<float>& b);
// A sound whose beats lie this far or farther from those of every take of a label is no
// saying of it: a word of other syllables that comes near the label's takes where noise
// covers the rest (voice/beats.h). Two sayings of a word lay at most 1.5 apart over the
// benchmark's sets, the other words that came near a label at least 3.2 (bench/README.md).
constexpr float kBeatLimit = 2.5f;

class VoiceModel {
public:
    static constexpr int kMaxLabels = 32;
    static constexpr int kMaxTakes = 16;
    static constexpr int kMaxFrames = 1000;  // ten seconds
    static constexpr int kMaxDims = 64;
    static constexpr int kMaxSamples = kMaxFrames * 160;  // a take's sound at 16 kHz
    // A label answers when the sound lies near enough to its takes (a fixed distance,
    // widened a little by how far apart the takes themselves are), with no stretch of it far
    // off, clearly nearer to it than to any other label, and with the syllable beats of one
    // of its takes (voice_model.cpp).

    // The labels of the command set. Takes of labels that stay (same text, same place)
    // are kept; the others are dropped.
    void setLabels(const QStringList& labels);
    const QStringList& labels() const { return labels_; }
    int labelCount() const { return int(labels_.size()); }

    // Takes of label n (1-based); empty for a label out of range.
    const std::vector<Take>& takes(int label) const;
    void setTakes(int label, std::vector<Take> takes);
    void clearTakes();
    bool trained(int label) const { return !takes(label).empty(); }
    // True when at least one label has a take.
    bool anyTrained() const;
    // True when every take kept its sound.
    bool takesKeepSound() const;

    // How loud the room was under a sound: its noise in dB of the sound's level (-20: the
    // sound stood 20 dB above the noise; voice/room_noise.h measures it). Not known, the
    // limits are those of a noisy room.
    using NoiseDb = std::optional<float>;

    struct Result {
        int label = 0;        // 1-based; 0 = nothing recognised
        int nearest = 0;      // the nearest label, accepted or not
        float distance = 0;   // to the nearest label
        float threshold = 0;  // of the nearest label
        float runnerUp = 0;   // distance to the second nearest label
        float worstStretch = 0;  // the worst stretch of the alignment with the nearest take
        float roomSpread = 0;    // between the nearest label's takes as heard in the room;
                                 // 0 without a room or with a single take
        float spread = 0;        // between the nearest label's takes as trained, as its
                                 // limit counts it (a usual one for a single take)
        float beatsApart = 0;    // the sound's beats from those of the nearest label's take
                                 // nearest in beats, as heard (beatsApart())
    };
    // The label a sound stands for, or 0 when it is near none of them.
    Result classify(const Features& sound, NoiseDb noise = std::nullopt) const;
    // The same, with each take compared as `heard` gives its features (the take as it would
    // sound in the room of `sound`).
    using HeardAs = std::function<Features(const Take&)>;
    Result classify(const Features& sound, const HeardAs& heard, NoiseDb noise) const;
    // The distance under which a sound counts as label n, in a room that loud. In a quiet
    // room a word must come nearer its takes than in a noisy one, where the noise moves even
    // the right word away from them; an unknown room counts as a noisy one.
    float threshold(int label, NoiseDb noise = std::nullopt) const;
    // The same where the label's takes were heard in the room: `roomSpread` is the mean
    // distance between them as heard there, how far apart the noise leaves two sayings of
    // this label in this room.
    float threshold(int label, NoiseDb noise, float roomSpread) const;
    // For the graphs: how far apart labels are, the mean distance between the takes of
    // label i and those of label j (i == j: the label's own spread); labels x labels.
    std::vector<std::vector<float>> separation() const;

    friend bool operator==(const VoiceModel&, const VoiceModel&) = default;

private:
    void updateSpread(int label);
    float countedSpread(int label) const;
    QStringList labels_;
    std::vector<std::vector<Take>> takes_;
    std::vector<float> spread_;  // mean distance between a label's takes, 0 when unknown
};

// --- saved sounds ---------------------------------------------------------------------------

enum class LoadStatus {
    Loaded,
    Missing,          // no file: nothing trained yet
    Damaged,          // truncated, altered or not a file of trained sounds
    NewerVersion,     // written by a later version of the program
    OlderVersion,     // measured by an earlier version, in a way that no longer matches
    OtherCommandSet,  // trained for other labels
};

// The file of trained sounds: "VXSONS", a version, the labels, the takes, and a SHA-256 of
// everything before it. Numbers little-endian, values as 32-bit floats.
QByteArray saveVoiceModel(const VoiceModel& model);
// Measures a take's sound as the recogniser measures sounds now (voice/mfcc.h).
using Measure = std::function<Features(const std::vector<float>& samples)>;
// Reads what saveVoiceModel wrote. `model` changes only when the file loads whole and holds
// the labels `labels`. Takes saved by the version before were measured otherwise but kept
// their sound: with `measure` they are measured again from it; without it, or when a take
// has no sound to measure or measures empty, the file is of an older version.
LoadStatus loadVoiceModel(const QByteArray& bytes, const QStringList& labels, VoiceModel& model,
                          const Measure& measure = {});
// The labels a file was trained for, when it is a whole file of trained sounds.
bool savedLabels(const QByteArray& bytes, QStringList& labels);

}  // namespace vexil::voice
