#pragma once
// Plain value types shared by the platform interfaces and the core.
#include <cstdint>

namespace vexil {

// A top-level window as the core sees it: a number. 0 means "no window"; -1 is what the
// launcher returns when no new window appeared (it is kept as a target and passed over).
using WindowHandle = std::int64_t;

using ProcessId = std::int64_t;

}  // namespace vexil
