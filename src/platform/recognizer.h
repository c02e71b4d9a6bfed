#pragma once
// Recognition of a few trained sounds: the user's own sounds for the labels of a command
// set, heard through the desktop's sound server (or read from a file in tests).
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vexil::voice {
class VoiceModel;
struct Take;
}  // namespace vexil::voice

namespace vexil {

class SoundRecognizer {
public:
    virtual ~SoundRecognizer() = default;
    // True when the recogniser can be started at all.
    virtual bool available() = 0;
    // Starts the recogniser for the labels of a command set; its model gets those labels.
    // False, with the reason in `error`, when it cannot (nothing to capture from...).
    virtual bool initialise(const QStringList& labels, QString* error) {
        (void)labels;
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

    // --- training, graphs and the level meter
    // The trained sounds; null before initialise().
    virtual voice::VoiceModel* model() { return nullptr; }
    // After the model changed (training, loading): recognition uses it from now on.
    virtual void modelChanged() {}
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
