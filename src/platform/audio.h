#pragma once
// Wave and MIDI sound.
#include <QString>

namespace vexil {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays a wave file to its end before returning; false when it cannot be played.
    virtual bool playWave(const QString& path) = 0;
    // Multimedia command strings: "play FILE" starts a MIDI file by name without waiting,
    // "close FILE" stops it.
    virtual void midiCommand(const QString& command) = 0;
    // A short beep (the activation signal of the access methods).
    virtual void beep() = 0;
};

}  // namespace vexil
