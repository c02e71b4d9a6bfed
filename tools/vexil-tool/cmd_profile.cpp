#include <cstdio>

#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList&) {
    std::fprintf(stderr, "vexil-tool profile: not available yet\n");
    return kUsage;
}

}  // namespace

const Command profileCommand{"profile", "FILE", "    (not available yet)\n", run};

}  // namespace vexil::tool
