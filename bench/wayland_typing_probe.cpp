// The wlroots key sender alone, for bench/typing_wayland.py: types each text file, one
// stretch each, into the focused window of the Wayland display in WAYLAND_DISPLAY and
// prints for each when `send` started and returned, as CLOCK_MONOTONIC seconds (the
// target's log has the time of each key read).
//   wayland-typing-probe TEXT.txt...
#include <QCoreApplication>
#include <cstdio>

#include "platform/wayland/wlr_input.h"
#include "probe_support.h"

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
        const auto keys = vexil::bench::keysOfTextFile(argv[i]);
        if (!keys) return 2;
        const int code = vexil::bench::sendTimed(input->keys(), *keys);
        failed = failed ? failed : code;
    }
    return failed ? 1 : 0;
}
