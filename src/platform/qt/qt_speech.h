#pragma once
// Speech through the desktop's speech service (QTextToSpeech, usually speech-dispatcher),
// chosen with VEXIL_SPEECH=desktop instead of the embedded espeak-ng.
//
// Speakers are the service's voices for the language, male voices first, then female,
// then the rest, each group in the service's order; other numbers wrap round. Speed 100
// is the service's normal rate; 0 its slowest and 200 or more its fastest.
#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "platform/speech.h"

class QTextToSpeech;

namespace vexil::speech {

class QtSpeech : public SpeechEngine {
public:
    QtSpeech();
    ~QtSpeech() override;

    bool available() override;
    int numberOfSpeakers() override;
    void setLanguage(int languageCode) override;
    void setSpeaker(int speaker) override;
    void setSpeed(int speed) override;
    void resume() override;
    // A new reading cuts the one under way short, as the embedded engine does.
    void read(const QString& text) override;
    // While the service says it speaks, from the reading's start (it may take a moment to
    // say so), and never longer than the slowest speech of the text would take.
    bool busy() override;

    // Waits, the event loop running, until what was read since the last wait has been
    // spoken, at most `maxMs` and no longer than the slowest speech of that text would take
    // (a service without a sound device may say it is speaking for ever); at once when
    // nothing was read.
    void waitUntilDone(int maxMs);
    // The service's rate (-1..1) for a speed.
    static double rateFor(int speed);

private:
    void applyVoice();
    std::unique_ptr<QTextToSpeech> tts_;
    int language_ = 'c';
    int speaker_ = 0;
    qsizetype charsSinceWait_ = 0;
    QElapsedTimer reading_;  // since the last reading started
    qint64 readingBound_ = 0;
};

}  // namespace vexil::speech
