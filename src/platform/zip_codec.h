#pragma once
// Zip packages, read from memory and written to a file, through libzip in a module of its
// own (vexil-zip.so) that the program loads the first time a package is read or written: the
// library and the ones under it (libcrypto among them) cost nothing until then. The program
// names where the codec comes from; without it packages cannot be read or written. Every
// failure is a message that says what is wrong, in the words shown to the user.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

namespace vexil {

struct ZipLimits {
    qint64 maxEntries = 20000;
    qint64 maxEntrySize = qint64(64) * 1024 * 1024;   // one inflated entry
    qint64 maxTotalSize = qint64(512) * 1024 * 1024;  // all inflated entries together
};

// An open package. The sizes it declares are never trusted: an entry declared over the cap
// is refused before it is inflated, every entry is inflated under that cap whatever it
// declares, and the whole package under another.
class ZipPackage {
public:
    virtual ~ZipPackage() = default;
    // Entry names as stored (directories included, ending in "/").
    virtual const QStringList& names() const = 0;
    // The inflated bytes of an entry; false with `error` set when it is missing, damaged,
    // larger than the limits allow, or when the package as a whole went over them.
    virtual bool read(const QString& name, QByteArray* bytes, QString* error) = 0;
};

class ZipCodec {
public:
    virtual ~ZipCodec() = default;
    // The package held in `bytes` (kept alive by the package); null with `error` set when it
    // is no zip or holds too many entries.
    virtual std::unique_ptr<ZipPackage> open(QByteArray bytes, const ZipLimits& limits,
                                             QString* error) = 0;
    // A package of `entries`, in their order, written to the file `path` (made or emptied);
    // false with `error` set (the reason alone).
    virtual bool write(const QString& path,
                       const std::vector<std::pair<QString, QByteArray>>& entries,
                       QString* error) = 0;
};

// Where the codec comes from: asked the first time a package is read or written; it returns
// null when the codec cannot be had (the module missing).
using ZipCodecSource = ZipCodec* (*)();
void setZipCodecSource(ZipCodecSource source);
// The codec, or null (then `error` says why).
ZipCodec* zipCodec(QString* error);

}  // namespace vexil
