#pragma once
// A speech-synthesis engine with the six operations the program drives.
#include <QString>

namespace vexil {

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // False when no engine could be started on this machine.
    virtual bool available() = 0;
    virtual int numberOfSpeakers() = 0;
    // 99 ('c') Catalan, 101 ('e') Spanish.
    virtual void setLanguage(int languageCode) = 0;
    virtual void setSpeaker(int speaker) = 0;
    // 100 is the normal rate.
    virtual void setSpeed(int speed) = 0;
    virtual void resume() = 0;
    // Starts reading; does not wait for the end. A new reading cuts the one under way.
    virtual void read(const QString& text) = 0;
    // Starts reading a text that must be over within `milliseconds`: an engine that can
    // measure its speech says it faster, then drops whole words from the end, until it fits
    // (the first word is always said whole). This one cannot, and reads it whole.
    virtual void readWithin(const QString& text, int milliseconds) {
        (void)milliseconds;
        read(text);
    }
    // True from a reading's start until its last sound has been played.
    virtual bool busy() = 0;
};

}  // namespace vexil
