// window-shown: starts a program and times it to its window shown, then its resident memory.
//   window-shown (--title PREFIX | --class NAME) [--min-width N] -- PROGRAM [ARG...]
// Prints "MILLISECONDS RSS_KB": the time from just before the program was started to the
// first poll (every millisecond, in this process) that found a viewable window whose title
// starts with PREFIX (or whose class instance is NAME) at least N pixels wide; then the
// program's VmRSS one second later. The program is then asked to end (SIGTERM, SIGKILL after
// three seconds). The same probe times every program of bench/startup_vs_onboard.sh, so that
// none pays for more polling processes than another. Exit 1 when the program ends first or
// shows no such window within 60 seconds.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void sleepMs(long ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

// Windows come and go while they are looked at: their errors are not this probe's.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

struct Wanted {
    std::string title;
    std::string windowClass;
    int minWidth = 0;
};

std::string titleOf(Display* d, Window w) {
    static const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    static const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (!title.empty()) return title;
    }
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

bool matches(Display* d, Window w, const Wanted& wanted) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable || a.width < wanted.minWidth)
        return false;
    if (!wanted.windowClass.empty()) {
        XClassHint hint{};
        if (!XGetClassHint(d, w, &hint)) return false;
        const bool same = hint.res_name && wanted.windowClass == hint.res_name;
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        return same;
    }
    return titleOf(d, w).rfind(wanted.title, 0) == 0;
}

// The window tree below `w`, frames of the window manager included, as xdotool searches it.
bool found(Display* d, Window w, const Wanted& wanted, int depth = 0) {
    if (depth > 0 && matches(d, w, wanted)) return true;
    if (depth > 4) return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return false;
    bool hit = false;
    for (unsigned int i = 0; i < count && !hit; ++i) hit = found(d, children[i], wanted, depth + 1);
    if (children) XFree(children);
    return hit;
}

long rssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        sleepMs(10);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int usage() {
    std::fprintf(stderr,
                 "usage: window-shown (--title PREFIX | --class NAME) [--min-width N] -- "
                 "PROGRAM [ARG...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Wanted wanted;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") break;
        if (i + 1 >= argc) return usage();
        if (a == "--title") wanted.title = argv[++i];
        else if (a == "--class") wanted.windowClass = argv[++i];
        else if (a == "--min-width") wanted.minWidth = std::atoi(argv[++i]);
        else return usage();
    }
    if (i + 1 >= argc || (wanted.title.empty() && wanted.windowClass.empty())) return usage();
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "window-shown: no X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(d);

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[i + 1], argv + i + 1);
        std::perror(argv[i + 1]);
        _exit(127);
    }
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    while (!found(d, root, wanted)) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "window-shown: %s ended before its window showed\n", argv[i + 1]);
            return 1;
        }
        if (nowMs() - start > 60000) {
            std::fprintf(stderr, "window-shown: no window of %s within 60 s\n", argv[i + 1]);
            stop(pid);
            return 1;
        }
        sleepMs(1);
    }
    const double shown = nowMs() - start;
    sleepMs(1000);
    const long rss = rssKb(pid);
    stop(pid);
    XCloseDisplay(d);
    std::printf("%.0f %ld\n", shown, rss);
    return 0;
}
