#include <cstdio>

#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList&) {
    std::fprintf(stderr, "vexil-tool dump: not available yet\n");
    return kUsage;
}

}  // namespace

const Command dumpCommand{"dump", "FILE", "    (not available yet)\n", run};

}  // namespace vexil::tool
