#include "platform/x11/client_activity.h"

#include <dirent.h>

#include <fstream>
#include <sstream>

namespace vexil::x11 {
namespace {

bool readSmallFile(const std::string& path, std::string& out) {
    std::ifstream in(path);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

}  // namespace

bool parseThreadStat(const std::string& stat, char& state) {
    // "pid (command name, which may hold blanks and parentheses) S ..."
    const auto close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size()) return false;
    state = stat[close + 2];
    return state != ' ';
}

bool parseSchedstat(const std::string& schedstat, std::uint64_t& timesScheduled) {
    // "time on cpu (ns)  time waiting (ns)  timeslices run"
    std::istringstream in(schedstat);
    std::uint64_t onCpu = 0, waiting = 0, slices = 0;
    if (!(in >> onCpu >> waiting >> slices)) return false;
    timesScheduled = slices;
    return true;
}

std::optional<ProcessActivity> readProcessActivity(long pid, const std::string& procRoot) {
    if (pid <= 0) return std::nullopt;
    const std::string tasks = procRoot + "/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return std::nullopt;
    ProcessActivity activity;
    activity.allAsleep = true;
    bool any = false;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
        const std::string base = tasks + "/" + e->d_name;
        std::string text;
        char state = 0;
        if (!readSmallFile(base + "/stat", text) || !parseThreadStat(text, state)) continue;
        any = true;
        // Z: a thread that ended; S and I: waiting for something to do.
        if (state != 'S' && state != 'I' && state != 'Z') activity.allAsleep = false;
        std::uint64_t slices = 0;
        if (readSmallFile(base + "/schedstat", text) && parseSchedstat(text, slices))
            activity.timesScheduled += slices;
    }
    closedir(dir);
    if (!any) return std::nullopt;
    return activity;
}

}  // namespace vexil::x11
