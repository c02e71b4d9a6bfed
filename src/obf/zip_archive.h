#pragma once
// Zip packages (.obz) read and written through the program's zip codec (platform/zip_codec.h,
// libzip in a module loaded on first use). The reader never trusts the sizes a package
// declares: an entry whose declared size is over a cap is refused before it is inflated,
// every entry is inflated under that cap whatever it declares, and the whole package under
// another, so that a small hostile file cannot fill the memory or the disk. How much an
// entry compresses says nothing by itself: a picture of a few colours compresses a
// thousandfold.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "obf/obf_error.h"
#include "platform/zip_codec.h"

namespace vexil::obf {

using vexil::ZipLimits;

class ZipReader {
public:
    // Opens the package held in `bytes` (kept alive by the reader). Throws ObfError when it
    // is no zip or holds too many entries, or when the zip codec is missing.
    explicit ZipReader(QByteArray bytes, ZipLimits limits = {});
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Entry names as stored (directories included, ending in "/").
    const QStringList& names() const { return package_->names(); }
    bool contains(const QString& name) const { return names().contains(name); }
    // The inflated bytes of an entry. Throws ObfError when it is missing, damaged, larger
    // than the limits allow, or when the package as a whole went over them.
    QByteArray read(const QString& name);

private:
    std::unique_ptr<ZipPackage> package_;
};

// Builds a package in memory order and writes it in one go: to a temporary file beside the
// target, renamed over it at the end, so that a failed write leaves nothing behind.
class ZipWriter {
public:
    void add(const QString& name, const QByteArray& bytes);
    bool contains(const QString& name) const;
    // Throws ObfError when the file cannot be written (or the zip codec is missing).
    void writeTo(const QString& path) const;

private:
    std::vector<std::pair<QString, QByteArray>> entries_;
};

}  // namespace vexil::obf
