#include <cstdio>

#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList&) {
    std::fprintf(stderr, "vexil-tool scan: not available yet\n");
    return kUsage;
}

}  // namespace

const Command scanCommand{"scan", "--template FILE [OPTIONS] EVENT...", "    (not available yet)\n", run};

}  // namespace vexil::tool
