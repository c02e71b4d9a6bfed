#include "platform/fake/fake_cue.h"

namespace vexil {

FakeCue::FakeCue(FakeRecorder& recorder, FakeClock& clock)
    : rec_(recorder), timer_(clock.createTimer(QStringLiteral("Cue"))) {
    timer_->onTimeout([this] {
        timer_->setEnabled(false);
        if (finished_) finished_();
    });
}

bool FakeCue::setOutput(const QString& output) {
    if (!output.isEmpty() && !outputs.contains(output)) {
        output_.clear();
        return false;
    }
    output_ = output;
    return true;
}

void FakeCue::start(int milliseconds) {
    timer_->setInterval(milliseconds);
    timer_->setEnabled(true);
}

void FakeCue::say(const QString& text, const CueStyle& style) {
    stop();  // a new cue cuts off the one under way
    rec_.record({{"op", "cue"},
                 {"call", "say"},
                 {"text", text},
                 {"output", output_},
                 {"language", style.language},
                 {"speaker", style.speaker},
                 {"speed", style.speed},
                 {"volume", style.volume}});
    start(200 + millisecondsPerCharacter * int(text.size()));
}

void FakeCue::play(const QString& path, int volume) {
    stop();
    rec_.record({{"op", "cue"}, {"call", "play"}, {"path", path}, {"output", output_},
                 {"volume", volume}});
    start(kWaveMilliseconds);
}

void FakeCue::stop() {
    if (!timer_->enabled()) return;
    timer_->setEnabled(false);
    rec_.record({{"op", "cue"}, {"call", "stop"}});
}

bool FakeCue::busy() const {
    return timer_->enabled();
}

}  // namespace vexil
