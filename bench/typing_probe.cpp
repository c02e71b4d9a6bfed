// The key sender alone, for bench/typing.py: types a text file into the window with the
// given title and prints when it started, when `send` returned and when the keyboard map
// was back, as CLOCK_MONOTONIC seconds (the target's log has the time of each key read).
//   typing-probe TITLE TEXT.txt
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include <time.h>

#include "commands/keystroke_parser.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_keys.h"
#include "platform/x11/x11_windows.h"

namespace {

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: typing-probe TITLE TEXT.txt\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly)) return 2;
    const QString text = QString::fromUtf8(file.readAll());
    const vexil::KeyParseResult parsed = vexil::parseKeystrokes(vexil::escapeKeystrokes(text));
    if (parsed.error != vexil::KeyParseError::None) return 2;

    vexil::x11::Connection connection;
    if (!connection.valid()) return 1;
    vexil::x11::X11Windows windows(connection);
    vexil::x11::X11KeySender keys(connection);
    if (!windows.activateByTitle(QString::fromLocal8Bit(argv[1]))) return 1;

    const double start = now();
    const int code = keys.send(parsed.sequence);
    const double returned = now();
    keys.restoreKeyboard();
    const double restored = now();
    std::printf("{\"start\":%.6f,\"returned\":%.6f,\"restored\":%.6f,\"code\":%d}\n", start,
                returned, restored, code);
    return code ? 1 : 0;
}
