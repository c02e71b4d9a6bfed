#include <cstdio>

#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList&) {
    std::fprintf(stderr, "vexil-tool play: not available yet\n");
    return kUsage;
}

}  // namespace

const Command playCommand{"play", "[OPTIONS] [SEQUENCE]", "    (not available yet)\n", run};

}  // namespace vexil::tool
