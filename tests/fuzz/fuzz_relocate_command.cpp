// Any text as a key sequence relocated into another folder: no crash, no hang, and text
// without a command bar comes back as it was.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/session.h"
#include "platform/codepage.h"
#include "platform/fake/fake_platform.h"
#include "template/file_commands.h"

using namespace vexil;

namespace {

struct World {
    World() {
        QDir(dir.path()).mkpath(QStringLiteral("old/icones"));
        QDir(dir.path()).mkpath(QStringLiteral("new"));
        for (const char* name : {"old/GAT.WAV", "old/TEXT.TXT", "old/icones/A.BMP", "new/B.VXL"}) {
            QFile f(QDir(dir.path()).filePath(QString::fromUtf8(name)));
            if (f.open(QIODevice::WriteOnly)) f.write("x");
        }
        Folders folders;
        folders.programFolder = dir.path();
        folders.userFolder = dir.path();
        session = std::make_unique<Session>(fake.platform, folders);
        session->currentDirectory = dir.path() + QStringLiteral("/old");
        session->tmpl.templateFolder = dir.path() + QStringLiteral("/new");
    }
    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<Session> session;
};

World& world() {
    static World w;
    return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    World& w = world();
    const QString text = decodeAnsi(std::string_view(reinterpret_cast<const char*>(data), size));
    const QString oldFolder = w.dir.path() + QStringLiteral("/old");

    const QString keys = relocateKeys(*w.session, text, oldFolder);
    if (!text.contains(u'|') && keys != text) std::abort();
    const QString command = relocateCommand(*w.session, u'|' + text, oldFolder);
    if (!command.startsWith(u'|')) std::abort();
    (void)makeRelative(*w.session, text);
    return 0;
}
