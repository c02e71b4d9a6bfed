#pragma once
// The real clock: Qt timers, and waits that keep the event loop running.
#include "platform/clock.h"

namespace vexil {

class QtClock : public Clock {
public:
    QtClock();
    std::int64_t now() override;
    void wait(int milliseconds) override;
    void processEvents() override;
    std::unique_ptr<Timer> createTimer(const QString& name) override;

private:
    std::int64_t start_;
};

}  // namespace vexil
