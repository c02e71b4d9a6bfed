// The wlroots key sender alone, for bench/typing_wayland.py: types each text file, one
// stretch each, into the focused window of the Wayland display in WAYLAND_DISPLAY and
// prints for each when `send` started and returned, as CLOCK_MONOTONIC seconds (the
// target's log has the time of each key read).
//   wayland-typing-probe TEXT.txt...
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include <time.h>

#include "commands/keystroke_parser.h"
#include "platform/wayland/wlr_input.h"

namespace {

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wayland-typing-probe TEXT.txt...\n");
        return 2;
    }
    QString why;
    const auto input = vexil::wayland::WlrInput::connect({}, &why);
    if (!input) {
        std::fprintf(stderr, "wayland-typing-probe: %s\n", qPrintable(why));
        return 1;
    }
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) return 2;
        const auto parsed =
            vexil::parseKeystrokes(vexil::escapeKeystrokes(QString::fromUtf8(file.readAll())));
        if (parsed.error != vexil::KeyParseError::None) return 2;
        const double start = now();
        const int code = input->keys().send(parsed.sequence);
        const double returned = now();
        std::printf("{\"start\":%.6f,\"returned\":%.6f,\"code\":%d}\n", start, returned, code);
        std::fflush(stdout);
        failed = failed ? failed : code;
    }
    return failed ? 1 : 0;
}
