#pragma once
// Time: the clock, waits that keep the program responsive, and timers.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace vexil {

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual void onTimeout(std::function<void()> handler) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start.
    virtual std::int64_t now() = 0;
    // Lets `milliseconds` pass while events (timers, input) go on being handled.
    virtual void wait(int milliseconds) = 0;
    // Handles pending events once.
    virtual void processEvents() = 0;
    virtual std::unique_ptr<Timer> createTimer(const QString& name) = 0;
};

}  // namespace vexil
