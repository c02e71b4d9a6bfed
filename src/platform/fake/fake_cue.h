#pragma once
// A cue voice on virtual time: each cue is recorded ({"op":"cue",...}) and lasts a time
// that grows with its text (a wave file lasts one second), so that scanning that waits for
// the cue can be driven tick by tick.
#include <QStringList>
#include <memory>

#include "platform/cue.h"
#include "platform/fake/fake_platform.h"

namespace vexil {

class FakeCue : public CueVoice {
public:
    FakeCue(FakeRecorder& recorder, FakeClock& clock);
    // The outputs the sound server offers; any other non-empty name is missing.
    QStringList outputs;
    // How long a cue lasts: 200 ms plus this much per character said.
    int millisecondsPerCharacter = 50;
    static constexpr int kWaveMilliseconds = 1000;

    bool setOutput(const QString& output) override;
    void say(const QString& text, const CueStyle& style) override;
    void play(const QString& path, int volume) override;
    void stop() override;
    bool busy() const override;
    void onFinished(std::function<void()> handler) override { finished_ = std::move(handler); }

    QString output() const { return output_; }

private:
    void start(int milliseconds);
    FakeRecorder& rec_;
    std::unique_ptr<Timer> timer_;
    std::function<void()> finished_;
    QString output_;
};

}  // namespace vexil
