// The remote-desktop key sender alone, for bench/wayland_gnome_typing.sh: opens the
// session (as the program does on a GNOME or KDE Wayland session), then types each text
// file given, in turn, into whatever has the focus, and prints for each when `send`
// started and returned, as CLOCK_MONOTONIC seconds (the target's log has the time of each
// key read). With --step it reads a line from its input before each text after the first,
// so that a script can let the target catch up in between.
//   remote-desktop-probe [--step] TEXT.txt...
#include <poll.h>
#include <time.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "commands/keystroke_parser.h"
#include "platform/wayland/remote_desktop_input.h"

namespace {

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

bool waitForLine() {
    QEventLoop loop;
    QTimer tick;
    tick.start(5);
    for (;;) {
        pollfd p{0, POLLIN, 0};
        if (poll(&p, 1, 0) > 0) {
            char line[16];
            return std::fgets(line, sizeof line, stdin) != nullptr;
        }
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool step = argc > 1 && std::strcmp(argv[1], "--step") == 0;
    if (argc < (step ? 3 : 2)) {
        std::fprintf(stderr, "usage: remote-desktop-probe [--step] TEXT.txt...\n");
        return 2;
    }
    QString why;
    auto input = vexil::wayland::RemoteDesktopInput::connect(
        vexil::wayland::RemoteDesktopRoute::Auto,
        QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/vexil"), &why);
    if (!input) {
        std::fprintf(stderr, "remote-desktop-probe: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    int status = 0;
    for (int i = step ? 2 : 1; i < argc; ++i) {
        // Waiting, the program goes on answering the desktop (an application may still
        // ask for the text of the last paste), as the program does between stretches.
        if (step && i > 2 && !waitForLine()) break;
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) return 2;
        const QString text = QString::fromUtf8(file.readAll());
        const vexil::KeyParseResult parsed = vexil::parseKeystrokes(vexil::escapeKeystrokes(text));
        if (parsed.error != vexil::KeyParseError::None) return 2;
        const double start = now();
        const int code = input->keys().send(parsed.sequence);
        const double returned = now();
        std::printf("{\"start\":%.6f,\"returned\":%.6f,\"code\":%d}\n", start, returned, code);
        std::fflush(stdout);
        status = status ? status : code;
    }
    return status ? 1 : 0;
}
