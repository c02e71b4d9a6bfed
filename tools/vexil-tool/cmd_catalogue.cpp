#include <cstdio>

#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList&) {
    std::fprintf(stderr, "vexil-tool catalogue: not available yet\n");
    return kUsage;
}

}  // namespace

const Command catalogueCommand{"catalogue", "FILE [--macros SECTION]", "    (not available yet)\n", run};

}  // namespace vexil::tool
