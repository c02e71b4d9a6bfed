// The scan step of automatic scanning measured on the real timers: the access engine on the
// Qt clock drives the main window (offscreen), and the time between two highlights is
// taken 100 times. Target: every step within 5 ms of its setting.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <vector>

#include "access/access_actions.h"
#include "access/access_engine.h"
#include "app/ui/main_window.h"
#include "platform/fake/fake_platform.h"
#include "platform/qt/qt_clock.h"
#include "session/session.h"

namespace {

using namespace vexil;

class NoActions : public AccessActions {
public:
    void activate(int) override {}
    void announce(const Area&) override {}
};

// The main window, noting when each highlight is shown.
class TimedWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    void showHighlight(int area) override {
        MainWindow::showHighlight(area);
        times.push_back(clock.nsecsElapsed());
        if (int(times.size()) == wanted) loop.quit();
    }
    QElapsedTimer clock;
    std::vector<qint64> times;
    int wanted = 0;
    QEventLoop loop;
};

Area rect(int x0, int y0, int x1, int y1, int level) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    return a;
}

void BM_ScanStepPeriod(benchmark::State& state) {
    const int temps = int(state.range(0));  // tenths of a second
    // A quick run (bench/smoke.sh) takes a few steps only.
    const int steps = qEnvironmentVariableIsSet("VEXIL_BENCH_SMOKE") ? 5 : 100;
    FakePlatform fake;
    QtClock clock;
    Platform platform{fake.windows, fake.keys,       fake.mouse,   fake.clipboard,
                      fake.launcher, fake.sound,     fake.speech,  fake.joystick,
                      fake.recognizer, fake.dialogs, clock};
    Session session(platform, Folders{});
    session.tmpl.appendArea(rect(0, 245, 640, 445, 0));
    for (int i = 0; i < 8; ++i) session.tmpl.appendArea(rect(i * 80, 245, i * 80 + 80, 278, 1));
    session.profile.accessMode = kModeAutoScan;
    session.profile.temps = std::int16_t(temps);
    session.profile.gruix = 6;
    session.profile.color = 255;
    session.programSettings.Interval = 100;
    TimedWindow window(session);
    window.show();
    window.enterUseModeDisplay(QRect(0, 343, 1024, 373));
    NoActions actions;
    AccessEngine engine(session, actions);

    std::vector<double> periods;
    for (auto _ : state) {
        window.times.clear();
        window.wanted = steps + 1;
        window.clock.start();
        engine.startAccess();
        window.loop.exec();
        engine.stopScanning();
        for (size_t i = 1; i < window.times.size(); ++i)
            periods.push_back(double(window.times[i] - window.times[i - 1]) / 1e6);
    }
    const double setting = std::max(temps * 100, 100);
    const auto off = std::count_if(periods.begin(), periods.end(),
                                   [&](double p) { return std::abs(p - setting) > 5.0; });
    std::sort(periods.begin(), periods.end());
    state.counters["setting_ms"] = setting;
    state.counters["median_ms"] = periods[periods.size() / 2];
    state.counters["min_ms"] = periods.front();
    state.counters["max_ms"] = periods.back();
    state.counters["steps"] = double(periods.size());
    state.counters["steps_off"] = double(off);
    if (off > 0) state.SkipWithError("a step is more than 5 ms off its setting");
}
BENCHMARK(BM_ScanStepPeriod)->Arg(2)->Arg(5)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
