// Reading settings files: a large catalogue parsed once, then many lookups, and one key
// written into a large file.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include "settings/ini_file.h"

namespace {

// A catalogue of `programs` applications with 20 macros each.
QByteArray bigCatalogue(int programs) {
    QByteArray out("[Inici]\r\nversio=MAC1\r\nN_Prog=" + QByteArray::number(programs) + "\r\n");
    for (int k = 1; k <= programs; ++k) {
        const QByteArray n = QByteArray::number(k);
        out += "PROG" + n + "=Program " + n + "\r\ncodi" + n + "=S" + n + "\r\ncami" + n +
               "=C:\\PROGRA~1\\P" + n + "\\P" + n + ".EXE\r\n";
    }
    for (int k = 1; k <= programs; ++k) {
        out += "\r\n[S" + QByteArray::number(k) + "]\r\nN_macro=20\r\n";
        for (int j = 1; j <= 20; ++j) {
            const QByteArray n = QByteArray::number(j);
            out += "titol" + n + "=Macro " + n + "\r\ntecles" + n + "=^a{|Sona m" + n +
                   ".wav}\r\nso" + n + "=m.wav\r\nicona" + n + "=m.bmp\r\n";
        }
    }
    return out;
}

void ReadAndLookUp(benchmark::State& state) {
    const QByteArray bytes = bigCatalogue(int(state.range(0)));
    for (auto _ : state) {
        const vexil::IniFile ini(bytes);
        for (int k = 1; k <= state.range(0); ++k) {
            const QString section = QStringLiteral("S") + QString::number(k);
            for (int j = 1; j <= 20; ++j)
                benchmark::DoNotOptimize(ini.value(section, QStringLiteral("tecles%1").arg(j)));
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(ReadAndLookUp)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);

void WriteOneKey(benchmark::State& state) {
    const QByteArray bytes = bigCatalogue(int(state.range(0)));
    for (auto _ : state) {
        vexil::IniFile ini(bytes);
        ini.setValue(QStringLiteral("Inici"), QStringLiteral("versio"), QStringLiteral("MAC1"));
        benchmark::DoNotOptimize(ini.bytes());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(WriteOneKey)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
