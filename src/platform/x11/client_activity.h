#pragma once
// Whether a local client process has handled everything it was sent, seen from /proc.
// Once the server has written key events to a client's socket, the kernel wakes the
// client; when every thread of it is asleep again and none has run meanwhile, it has read
// those events and handled them. This answers for every toolkit, including those that
// never answer a _NET_WM_PING (xterm, Qt windows), and without a round trip through them.
#include <cstdint>
#include <optional>
#include <string>

namespace vexil::x11 {

struct ProcessActivity {
    bool allAsleep = false;         // every thread sleeping (S) or idle (I)
    std::uint64_t timesScheduled = 0;  // how often its threads have run, summed
};

// The activity of process `pid` read from `procRoot` ("/proc"); nothing when it is gone
// or cannot be read.
std::optional<ProcessActivity> readProcessActivity(long pid, const std::string& procRoot = "/proc");

// The state letter and the scheduling count of one thread from the texts of its "stat"
// and "schedstat" files (exposed for tests).
bool parseThreadStat(const std::string& stat, char& state);
bool parseSchedstat(const std::string& schedstat, std::uint64_t& timesScheduled);

}  // namespace vexil::x11
