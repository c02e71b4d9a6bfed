#pragma once
// Wave files (blocking), MIDI music by name (in the background, stoppable) and the beep,
// all into one audio sink.
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/audio/audio_sink.h"
#include "platform/media_modules.h"

namespace vexil::audio {

class MidiSynth;

class SoundOutput : public media::SoundDevice {
public:
    // `soundfont`: a General MIDI soundfont; empty picks the one Debian installs.
    explicit SoundOutput(AudioSink& sink, QString soundfont = {});
    ~SoundOutput() override;

    bool playWave(const QString& path) override;
    // "play FILE" starts a MIDI file (stopping the one playing), "close FILE" stops it when
    // it is the one playing; verbs in any case, the name in quotes or not. Anything else,
    // and any failure, does nothing.
    void midiCommand(const QString& command) override;
    void beep() override;

    // True while a MIDI file plays (tests and the tool wait on it).
    bool midiPlaying() const override { return midiRunning_; }
    // Waits until the MIDI file under way has played to its end.
    void waitForMidiEnd();
    // The name of the MIDI file last started, or empty.
    QString midiName() const override { return midiName_; }
    // The soundfont Debian installs for General MIDI, or empty.
    static QString defaultSoundfont();

private:
    void stopMidi();
    AudioSink& sink_;
    QString soundfont_;
    std::unique_ptr<MidiSynth> synth_;
    std::thread midiThread_;
    std::atomic<bool> midiStop_{false};
    std::atomic<bool> midiRunning_{false};
    QString midiName_;
    std::thread beepThread_;
};

}  // namespace vexil::audio
