#include "platform/qt/qt_clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace vexil {
namespace {

class QtTimer : public Timer {
public:
    explicit QtTimer(const QString& name) {
        timer_.setObjectName(name);
        timer_.setTimerType(Qt::PreciseTimer);
        // Each tick arms the next a whole interval ahead. A periodic timer keeps to its
        // grid: a tick that comes late (the machine busy) is followed by one that comes
        // early, and the scan step after a long one is cut short by as much. Re-armed, a
        // late tick lengthens only its own step; the user always has the whole step.
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (enabled_ && interval_ > 0) timer_.start();
            if (handler_) handler_();
        });
    }
    void setInterval(int ms) override {
        interval_ = ms;
        timer_.setInterval(std::max(ms, 0));
        // An interval of 0 stops the timer, as on the old system.
        if (ms <= 0) timer_.stop();
        else if (enabled_ && !timer_.isActive()) timer_.start();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override {
        enabled_ = on;
        if (on && interval_ > 0) timer_.start();
        else timer_.stop();
    }
    bool enabled() const override { return enabled_; }
    void onTimeout(std::function<void()> h) override { handler_ = std::move(h); }

private:
    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = false;
    std::function<void()> handler_;
};

}  // namespace

QtClock::QtClock() : start_(QDateTime::currentMSecsSinceEpoch()) {}

std::int64_t QtClock::now() { return QDateTime::currentMSecsSinceEpoch() - start_; }

void QtClock::wait(int milliseconds) {
    if (milliseconds <= 0) {
        processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void QtClock::processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

std::unique_ptr<Timer> QtClock::createTimer(const QString& name) {
    return std::make_unique<QtTimer>(name);
}

}  // namespace vexil
