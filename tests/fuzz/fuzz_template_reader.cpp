// Any bytes as a board file: the loader must not crash, hang or trip a sanitizer, must leave
// a consistent template, and what it loaded must survive a write and a second load. Each
// input is loaded by a new session in an empty folder.
#include <cstdint>
#include <cstdlib>

#include "files/template_reader.h"
#include "fuzz_support.h"
#include "template/template_writer.h"

using namespace vexil;

namespace {

bool sameContent(const Template& a, const Template& b) {
    TemplateSettings sa = a.settings, sb = b.settings;
    // The header is always written as 2 and 1.
    sa.formatVersion = sb.formatVersion = 0;
    sa.formatVariant = sb.formatVariant = 0;
    return sa == sb && a.areas() == b.areas();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const fuzz::InputFolder folder;
    fuzz::FuzzSession s(folder.path);
    const QString path = folder.write(QStringLiteral("F.VXL"), fuzz::bytesOf(data, size));

    loadTemplate(s.session, path);
    const Template& t = s.session.tmpl;
    if (t.areaCount() < 0 || t.areaCount() > kMaxAreas) std::abort();
    if (t.areas().size() != size_t(t.areaCount()) + 1) std::abort();
    if (t.modified) std::abort();

    const Template first = t;
    folder.write(QStringLiteral("F.VXL"), templateFileBytes(first));
    loadTemplate(s.session, path);
    if (!sameContent(first, s.session.tmpl)) std::abort();
    return 0;
}
