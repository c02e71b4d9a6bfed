// The editor on the largest boards: a click's hit test and the whole click, "Ajustar àrees"
// on a board of 32,767 areas, and the cover of a board of 500 areas that all show a picture.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "editor/editor.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"

using namespace vexil;

namespace {

struct Board {
    Board() {
        Folders folders;
        folders.programFolder = dir.path();
        folders.userFolder = dir.path();
        session = std::make_unique<Session>(fake.platform, folders);
        session->currentDirectory = dir.path();
        session->tmpl.templateFolder = dir.path();
        editor = std::make_unique<Editor>(*session);
    }
    Template& t() { return session->tmpl; }

    FakePlatform fake;
    QTemporaryDir dir;
    std::unique_ptr<Session> session;
    std::unique_ptr<Editor> editor;
};

Area rect(int x0, int y0, int x1, int y1, int level, int isGroup = 0) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    a.isGroup = std::int16_t(isGroup);
    a.keys = QStringLiteral("ab{ENTER}");
    return a;
}

// The root, then 3 x 2 areas row by row until the table is full; the cells of the middle
// row leave a gap of 40 units for the area that "Ajustar àrees" grows.
void fillBoard(Board& b) {
    Template& t = b.t();
    t.reserveAreas(kMaxAreas);
    t.appendArea(rect(0, 0, 640, 445, 0, -1));
    for (int y = 0; y + 2 <= 445 && t.areaCount() < kMaxAreas - 1; y += 2)
        for (int x = 0; x + 3 <= 640 && t.areaCount() < kMaxAreas - 1; x += 3)
            if (!(y >= 200 && y < 240 && x >= 300 && x < 360))
                t.appendArea(rect(x, y, x + 3, y + 2, 1));
    t.appendArea(rect(320, 210, 340, 230, 1));
    t.addedAreaCount = 0;
}

void BM_HitTestFullBoard(benchmark::State& state) {
    Board b;
    fillBoard(b);
    // A point only the root holds: the search goes through every area.
    for (auto _ : state) benchmark::DoNotOptimize(b.t().areaAt(639, 444));
}
BENCHMARK(BM_HitTestFullBoard)->Unit(benchmark::kMicrosecond);

void BM_ClickFullBoard(benchmark::State& state) {
    Board b;
    fillBoard(b);
    double x = 1;
    for (auto _ : state) {
        // A plain click: hit test, undo snapshot of the whole board, the panel filled.
        b.editor->board.mouseDown(MouseButton::Left, {}, x, 101);
        b.editor->board.mouseUp(MouseButton::Left, x, 101);
        x = x > 600 ? 1 : x + 7;
    }
}
BENCHMARK(BM_ClickFullBoard)->Unit(benchmark::kMillisecond);

void BM_AjustarFullBoard(benchmark::State& state) {
    Board b;
    fillBoard(b);
    const int n = b.t().areaCount();
    const Area start = b.t().area(n);
    for (auto _ : state) {
        state.PauseTiming();
        b.t().setArea(n, start);
        b.editor->panel.showArea(n);
        state.ResumeTiming();
        b.editor->layout.ajustarArees();
    }
    if (b.t().area(n).x0 != 300 || b.t().area(n).x1 != 360 || b.t().area(n).y0 != 200 ||
        b.t().area(n).y1 != 240)
        state.SkipWithError("the area did not grow to its neighbours");
}
BENCHMARK(BM_AjustarFullBoard)->Unit(benchmark::kMillisecond);

void BM_Cover500Pictures(benchmark::State& state) {
    Board b;
    Template& t = b.t();
    t.appendArea(rect(0, 0, 640, 445, 0, -1));
    // 25 x 20 areas, each with a picture of its own, 64 x 64 pixels.
    for (int i = 0; i < 500; ++i) {
        const QString name = QStringLiteral("P%1.BMP").arg(i);
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 7 % 360, 200, 220));
        picture.save(QDir(b.dir.path()).filePath(name));
        const int x = (i % 25) * 25, y = (i / 25) * 22;
        Area a = rect(x, y, x + 25, y + 22, 1);
        a.iconFile = name;
        t.appendArea(a);
    }
    t.settings.pictureFile = QStringLiteral("COVER.BMP");
    for (auto _ : state) b.editor->coverCommands.generateCover();
}
BENCHMARK(BM_Cover500Pictures)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Labels and pictures need QtGui; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
