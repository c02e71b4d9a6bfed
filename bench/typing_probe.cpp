// The key sender alone, for bench/typing.py: types a text file into the window with the
// given title and prints when it started, when `send` returned and when the keyboard map
// was back, as CLOCK_MONOTONIC seconds (the target's log has the time of each key read).
//   typing-probe TITLE TEXT.txt
#include <QCoreApplication>
#include <cstdio>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_keys.h"
#include "platform/x11/x11_windows.h"
#include "probe_support.h"

using vexil::bench::now;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: typing-probe TITLE TEXT.txt\n");
        return 2;
    }
    const auto sequence = vexil::bench::keysOfTextFile(argv[2]);
    if (!sequence) return 2;

    vexil::x11::Connection connection;
    if (!connection.valid()) return 1;
    vexil::x11::X11Windows windows(connection);
    vexil::x11::X11KeySender keys(connection);
    if (!windows.activateByTitle(QString::fromLocal8Bit(argv[1]))) return 1;

    const double start = now();
    const int code = keys.send(*sequence);
    const double returned = now();
    keys.restoreKeyboard();
    const double restored = now();
    std::printf("{\"start\":%.6f,\"returned\":%.6f,\"restored\":%.6f,\"code\":%d}\n", start,
                returned, restored, code);
    return code ? 1 : 0;
}
