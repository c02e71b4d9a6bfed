// The INI reader and writer and the profile reading over any bytes: no crash, no hang, an
// unchanged file writes back byte for byte, and a written key reads back. The same bytes as
// a registry store file: what the store writes reads back to the same store.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "app/session.h"
#include "commands/registry.h"
#include "platform/fake/fake_platform.h"
#include "settings/ini_file.h"
#include "settings/profile_files.h"

using namespace vexil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniFile ini(bytes);
    if (ini.bytes() != bytes) std::abort();

    for (const char* key : {"Interval", "So", "modus", "color", "variable1", "usuari"}) {
        (void)ini.value(QStringLiteral("Vexil"), QLatin1String(key));
        (void)ini.value(QStringLiteral("vexil"), QLatin1String(key), QStringLiteral("x "), 3);
    }

    static FakePlatform fake;
    static Session session(fake.platform, Folders{});
    resetUserProfile(session);
    readUserProfile(session, ini);
    fake.recorder.clear();

    ini.setValue(QStringLiteral("Vexil"), QStringLiteral("modus"), QStringLiteral(" 42"));
    ini.setValue(QStringLiteral("Fuzz"), QStringLiteral("k"), QStringLiteral("v"));
    const IniFile again(ini.bytes());
    if (again.value(QStringLiteral("VEXIL"), QStringLiteral("MODUS")) != u"42") std::abort();
    if (again.value(QStringLiteral("fuzz"), QStringLiteral("K")) != u"v") std::abort();

    static QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("registry.ini"));
    const QString second = dir.filePath(QStringLiteral("again.ini"));
    const auto write = [](const QString& path, const QByteArray& text) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        f.write(text);
    };
    write(first, bytes);
    const QByteArray text = RegistryStore(first).toText();
    write(second, text);
    if (RegistryStore(second).toText() != text) std::abort();
    return 0;
}
