// The INI reader and writer and the profile reading over any bytes: no crash, no hang, an
// unchanged file writes back byte for byte, and a written key reads back. The same bytes as
// a registry store file: what the store writes reads back to the same store.
#include <cstdint>
#include <cstdlib>

#include "files/profile_files.h"
#include "fuzz_support.h"
#include "settings/ini_file.h"
#include "settings/registry.h"

using namespace vexil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    IniFile ini(bytes);
    if (ini.bytes() != bytes) std::abort();

    for (const char* key : {"Interval", "So", "modus", "color", "variable1", "usuari"}) {
        (void)ini.value(QStringLiteral("Vexil"), QLatin1String(key));
        (void)ini.value(QStringLiteral("vexil"), QLatin1String(key), QStringLiteral("x "), 3);
    }

    {
        // A session of its own, without folders: reading a profile writes nothing.
        FakePlatform fake;
        Session session(fake.platform, Folders{});
        resetUserProfile(session);
        readUserProfile(session, ini);
    }

    ini.setValue(QStringLiteral("Vexil"), QStringLiteral("modus"), QStringLiteral(" 42"));
    ini.setValue(QStringLiteral("Fuzz"), QStringLiteral("k"), QStringLiteral("v"));
    const IniFile again(ini.bytes());
    if (again.value(QStringLiteral("VEXIL"), QStringLiteral("MODUS")) != u"42") std::abort();
    if (again.value(QStringLiteral("fuzz"), QStringLiteral("K")) != u"v") std::abort();

    const fuzz::InputFolder folder;
    const QByteArray text =
        RegistryStore(folder.write(QStringLiteral("registry.ini"), bytes)).toText();
    if (RegistryStore(folder.write(QStringLiteral("again.ini"), text)).toText() != text) std::abort();
    return 0;
}
