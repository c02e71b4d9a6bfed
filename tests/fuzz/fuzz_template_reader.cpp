// Any bytes as a board file: the loader must not crash, hang or trip a sanitizer, must leave
// a consistent template, and what it loaded must survive a write and a second load.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/session.h"
#include "platform/fake/fake_platform.h"
#include "template/template_reader.h"
#include "template/template_writer.h"

using namespace vexil;

namespace {

struct World {
    World() {
        Folders folders;
        folders.programFolder = dir.path();
        folders.userFolder = dir.path();
        session = std::make_unique<Session>(fake.platform, folders);
        session->currentDirectory = dir.path();
    }
    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<Session> session;
};

World& world() {
    static World w;
    return w;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(bytes);
}

bool sameContent(const Template& a, const Template& b) {
    TemplateSettings sa = a.settings, sb = b.settings;
    // The header is always written as 2 and 1.
    sa.formatVersion = sb.formatVersion = 0;
    sa.formatVariant = sb.formatVariant = 0;
    return sa == sb && a.areas() == b.areas();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    World& w = world();
    Session& s = *w.session;
    const QString path = QDir(w.dir.path()).filePath(QStringLiteral("F.VXL"));
    writeBytes(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    w.fake.recorder.clear();
    loadTemplate(s, path);
    const Template& t = s.tmpl;
    if (t.areaCount() < 0 || t.areaCount() > kMaxAreas) std::abort();
    if (t.areas().size() != size_t(t.areaCount()) + 1) std::abort();
    if (t.modified) std::abort();

    const Template first = t;
    writeBytes(path, templateFileBytes(first));
    loadTemplate(s, path);
    if (!sameContent(first, s.tmpl)) std::abort();
    return 0;
}
