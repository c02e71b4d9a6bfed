#pragma once
// Recognition of a few trained sounds: the user's own sounds for the labels of a command
// set, heard through the desktop's sound server (or read from a file in tests).
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace vexil::voice {

class VoiceModel;

// The features of one sound: `frames` rows of `dims` values, one row every 10 ms.
struct Features {
    int dims = 0;
    std::vector<float> values;  // frames x dims, row after row
    // The weight of each syllable beat, in time order (voice/beats.h); empty when not
    // measured, and then not compared.
    std::vector<float> beats;
    int frames() const { return dims > 0 ? int(values.size()) / dims : 0; }
    const float* frame(int i) const { return values.data() + std::size_t(i) * std::size_t(dims); }
    bool empty() const { return frames() == 0; }
    friend bool operator==(const Features&, const Features&) = default;
};

// One recorded example of a label: its features, its level (dB, one value a frame) to draw
// it, and the sound itself (16 kHz), from which the take is heard again in the noise of the
// room a sound comes from. A take without its sound is compared as it was measured.
struct Take {
    Features features;
    std::vector<float> envelope;
    std::vector<float> samples;
    friend bool operator==(const Take&, const Take&) = default;
};

}  // namespace vexil::voice

namespace vexil {

class SoundRecognizer {
public:
    virtual ~SoundRecognizer() = default;
    // True when the recogniser can be started at all.
    virtual bool available() = 0;
    // Starts the recogniser with `model`, the trained sounds of a command set's labels (the
    // caller's, given those labels; it outlives the recogniser's use of it). False, with the
    // reason in `error`, when it cannot (nothing to capture from...).
    virtual bool initialise(voice::VoiceModel& model, QString* error) {
        (void)model;
        if (error) *error = QStringLiteral("no recogniser");
        return false;
    }
    // How long the silence after a sound lasts before it is judged, in tenths of a second.
    virtual void setRecognitionTenths(int tenths) { (void)tenths; }
    // Starts listening for the labels; `recognised` gets the 1-based index of each one heard,
    // on the user-interface thread.
    virtual bool start(const QStringList& labels, std::function<void(int)> recognised) = 0;
    virtual void stop() = 0;
    virtual bool listening() const { return false; }
    // The program's own output (its speech, the cue voice) sounds, or has stopped: the
    // microphone hears it too. While it sounds, and for a short tail after (the output's
    // and the capture's delay, the room's echo), nothing heard is taken for the user, a
    // sound under way is dropped, and the background level is left where it was.
    virtual void setOwnSound(bool sounding) { (void)sounding; }

    // --- training, graphs and the level meter
    // The trained sounds given to initialise(); null before.
    virtual voice::VoiceModel* model() { return nullptr; }
    // After the model changed (training, loading): recognition uses it from now on.
    virtual void modelChanged() {}
    // The features of a take's sound as this recogniser measures sounds now: trained sounds
    // saved by an earlier version are measured again from their sounds when they load.
    // Empty when it cannot measure.
    virtual voice::Features measure(const std::vector<float>& samples) {
        (void)samples;
        return {};
    }
    // Records the next sound heard and hands it over, on the user-interface thread; nothing
    // when recording fails or is cancelled. False when recording cannot start.
    virtual bool recordTake(std::function<void(std::optional<voice::Take>)> done) {
        (void)done;
        return false;
    }
    virtual void cancelTake() {}
    // Reports the level of the sound heard and the level a sound must pass, in dB, about
    // twenty times a second, on the user-interface thread; an empty function stops it.
    virtual bool monitorLevel(std::function<void(float level, float threshold)> report) {
        (void)report;
        return false;
    }
    // Called on the user-interface thread when capture breaks down (the sound server went
    // away); listening, recording and the meter have then stopped.
    virtual void onFailure(std::function<void(const QString& reason)> report) { (void)report; }
};

}  // namespace vexil
