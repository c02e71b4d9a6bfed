#include <cstdio>

#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList&) {
    std::fprintf(stderr, "vexil-tool save: not available yet\n");
    return kUsage;
}

}  // namespace

const Command saveCommand{"save", "IN OUT", "    (not available yet)\n", run};

}  // namespace vexil::tool
