// The remote-desktop key sender alone, for bench/wayland_gnome_typing.sh: opens the
// session (as the program does on a GNOME or KDE Wayland session), then types each text
// file given, in turn, into whatever has the focus, and prints for each when `send`
// started and returned, as CLOCK_MONOTONIC seconds (the target's log has the time of each
// key read). With --step it reads a line from its input before each text after the first,
// so that a script can let the target catch up in between.
//   remote-desktop-probe [--step] TEXT.txt...
#include <poll.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "platform/wayland/remote_desktop_input.h"
#include "probe_support.h"

namespace {

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
        const auto keys = vexil::bench::keysOfTextFile(argv[i]);
        if (!keys) return 2;
        const int code = vexil::bench::sendTimed(input->keys(), *keys);
        status = status ? status : code;
    }
    return status ? 1 : 0;
}
