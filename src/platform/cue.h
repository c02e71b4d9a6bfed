#pragma once
// The cue voice of auditory scanning: what a highlighted area is, said or played on an
// audio output of its own (headphones for the user, for example), apart from the main
// output where what an area says when activated is heard by the partner.
#include <QList>
#include <QString>
#include <functional>
#include <utility>

namespace vexil {

struct CueStyle {
    int language = 99;  // 99 ('c') Catalan, 101 ('e') Spanish
    int speaker = 1;    // the engine's voice number
    int speed = 100;    // 100 is the normal rate
    int volume = 100;   // percent
};

class CueVoice {
public:
    virtual ~CueVoice() = default;
    // The output to use: a sink name of the sound server, empty for the main output.
    // False when no such output exists; the cue then goes to the main output.
    virtual bool setOutput(const QString& output) = 0;
    // Starts saying `text`, or playing the wave file at `path` (a real path); a cue under
    // way is cut off first. Neither waits.
    virtual void say(const QString& text, const CueStyle& style) = 0;
    virtual void play(const QString& path, int volume) = 0;
    // Cuts off the cue under way (the highlight moved on).
    virtual void stop() = 0;
    virtual bool busy() const = 0;
    // Called on the program's thread when a cue has ended by itself (not when stopped).
    virtual void onFinished(std::function<void()> handler) = 0;
    // The outputs there are to choose from: each sink's name and description. None when
    // the outputs cannot be listed.
    virtual QList<std::pair<QString, QString>> outputs() { return {}; }
};

// No cue voice: nothing is heard, nothing is ever busy.
class SilentCue : public CueVoice {
public:
    bool setOutput(const QString&) override { return true; }
    void say(const QString&, const CueStyle&) override {}
    void play(const QString&, int) override {}
    void stop() override {}
    bool busy() const override { return false; }
    void onFinished(std::function<void()>) override {}
};

}  // namespace vexil
