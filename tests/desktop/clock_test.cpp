// The real clock's timers. Only lower bounds on time are checked: a busy machine can make a
// tick later, never earlier, so these cannot fail from load.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <vector>

#include "platform/qt/qt_clock.h"

namespace vexil {
namespace {

// Ticks of a 60 ms timer, the event loop held up for `stallMs` before the first one.
std::vector<qint64> ticksAfterAStall(int stallMs, int wanted) {
    QtClock clock;
    auto timer = clock.createTimer(QStringLiteral("Timer3"));
    QElapsedTimer since;
    std::vector<qint64> ticks;
    QEventLoop loop;
    timer->onTimeout([&] {
        ticks.push_back(since.elapsed());
        if (int(ticks.size()) == wanted) loop.quit();
    });
    timer->setInterval(60);
    since.start();
    timer->setEnabled(true);
    QThread::msleep(stallMs);  // the first tick comes late
    loop.exec();
    timer->setEnabled(false);
    return ticks;
}

TEST(QtClock, ALateTickDoesNotShortenTheNextStep) {
    const auto ticks = ticksAfterAStall(100, 3);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_GE(ticks[0], 100);
    // A timer keeping to its grid would tick again at 120 ms, 20 ms after the late one.
    EXPECT_GE(ticks[1] - ticks[0], 59);
    EXPECT_GE(ticks[2] - ticks[1], 59);
}

TEST(QtClock, DisabledOrZeroIntervalTimersStayQuiet) {
    QtClock clock;
    auto timer = clock.createTimer(QStringLiteral("Timer1"));
    int ticks = 0;
    timer->onTimeout([&] {
        ++ticks;
        timer->setEnabled(false);  // a handler stopping its own timer stops it for good
    });
    timer->setInterval(10);
    timer->setEnabled(true);
    clock.wait(80);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->enabled());

    timer->setInterval(0);
    timer->setEnabled(true);  // enabled, but an interval of 0 never ticks
    clock.wait(50);
    EXPECT_EQ(ticks, 1);
    timer->setInterval(10);  // an interval again: it runs, being enabled
    clock.wait(50);
    EXPECT_GE(ticks, 2);
}

}  // namespace
}  // namespace vexil
