// Any bytes as an Open Board Format package (a zip when they start with "PK") or as a single
// .obf board: the import must not crash, hang or trip a sanitizer; it either writes a whole
// folder whose first board exists, or refuses with a message and leaves nothing behind.
// Every input starts from nothing: its own temporary folder, its own importer.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "obf/obf_error.h"
#include "obf/obf_import.h"
#include "platform/zip/libzip_codec.h"

// Fontconfig keeps what it reads about the fonts for the whole process, on purpose; the
// leak checker would take that for a leak of the first input that draws a label.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    // Covers of imported boards draw their labels: fonts need the GUI application object,
    // made once for the process (it holds no state between inputs). It sees the program's
    // name alone, never libFuzzer's options.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    new QGuiApplication(qtArgc, *argv);
    vexil::setZipCodecSource(&vexil::zip::libzipCodec);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    QTemporaryDir dir;
    if (!dir.isValid()) std::abort();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString out = QDir(dir.path()).filePath(QStringLiteral("out"));
    vexil::obf::ImportOptions options;
    // Small bounds keep each run short; the checks are the same as with the real ones.
    options.limits.maxEntrySize = 4 * 1024 * 1024;
    options.limits.maxTotalSize = 8 * 1024 * 1024;
    options.limits.maxEntries = 2000;
    try {
        const auto report = vexil::obf::importBytes(bytes, !bytes.startsWith("PK"), out, options);
        if (!QFileInfo(report.rootBoard).isFile()) std::abort();
        if (!report.rootBoard.startsWith(out + u'/')) std::abort();
    } catch (const vexil::obf::ObfError&) {
        // Refused: nothing at all was left in the folder.
        if (!QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            std::abort();
    }
    return 0;
}
