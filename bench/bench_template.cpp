// Loading and saving a full board (32,767 areas): throughput, and the memory a load needs
// compared with the size of the file.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "files/template_reader.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "template/template.h"
#include "template/template_writer.h"

using namespace vexil;

namespace {

struct Board {
    Board() {
        Folders folders;
        folders.programFolder = dir.path();
        folders.userFolder = dir.path();
        session = std::make_unique<Session>(fake.platform, folders);
        session->currentDirectory = dir.path();
        path = QDir(dir.path()).filePath(QStringLiteral("FULL.VXL"));
        Template& t = session->tmpl;
        t.reserveAreas(kMaxAreas);
        for (int i = 0; i < kMaxAreas; ++i) {
            Area a;
            a.x0 = std::int16_t(i % 600);
            a.y0 = std::int16_t(i % 400);
            a.x1 = std::int16_t(a.x0 + 40);
            a.y1 = std::int16_t(a.y0 + 40);
            a.level = std::int16_t(1 + i / 100);
            a.soundFile = QStringLiteral("SONS\\LLETRA%1.WAV").arg(i % 30);
            a.keys = QStringLiteral("{|SONA SONS\\LLETRA%1.WAV}Paraula \"%2\", {ENTER}")
                         .arg(i % 30)
                         .arg(i);
            a.iconFile = QStringLiteral("ICONES\\ICONA%1.BMP").arg(i % 50);
            a.isGroup = std::int16_t(i % 100 == 0 ? -1 : 0);
            t.appendArea(a);
        }
        writeTemplate(t, path);
        fileSize = QFileInfo(path).size();
    }
    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<Session> session;
    QString path;
    qint64 fileSize = 0;
};

Board& board() {
    static Board b;
    return b;
}

// Resident memory from /proc/self/status, in bytes ("VmRSS" now, "VmHWM" the peak).
qint64 statusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::stoll(line.substr(prefix.size())) * 1024;
    return 0;
}

// Writing 5 to clear_refs starts the peak count again from the current size.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_LoadFullBoard(benchmark::State& state) {
    Board& b = board();
    for (auto _ : state) {
        loadTemplate(*b.session, b.path);
        benchmark::DoNotOptimize(b.session->tmpl.areaCount());
    }
    if (b.session->tmpl.areaCount() != kMaxAreas || !b.fake.recorder.events().empty())
        state.SkipWithError("the board did not load cleanly");
    state.SetBytesProcessed(state.iterations() * b.fileSize);
    state.counters["file_MB"] = double(b.fileSize) / 1e6;
}
BENCHMARK(BM_LoadFullBoard)->Unit(benchmark::kMillisecond);

void BM_SaveFullBoard(benchmark::State& state) {
    Board& b = board();
    loadTemplate(*b.session, b.path);
    const QString out = QDir(b.dir.path()).filePath(QStringLiteral("OUT.VXL"));
    for (auto _ : state) writeTemplate(b.session->tmpl, out);
    state.SetBytesProcessed(state.iterations() * b.fileSize);
}
BENCHMARK(BM_SaveFullBoard)->Unit(benchmark::kMillisecond);

// Peak resident memory added by one load into an empty template, per byte of the file.
void BM_LoadPeakMemory(benchmark::State& state) {
    Board& b = board();
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            // Start from an empty template, with freed memory given back to the system.
            Template empty;
            std::swap(b.session->tmpl, empty);
        }
        malloc_trim(0);
        resetPeak();
        const qint64 before = statusBytes("VmRSS");
        state.ResumeTiming();
        loadTemplate(*b.session, b.path);
        state.PauseTiming();
        ratio = double(statusBytes("VmHWM") - before) / double(b.fileSize);
        state.ResumeTiming();
    }
    state.counters["peak_per_file_byte"] = ratio;
}
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
