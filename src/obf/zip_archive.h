#pragma once
// Zip packages (.obz) read and written through libzip. The reader never trusts the sizes a
// package declares: an entry whose declared size is over a cap is refused before it is
// inflated, every entry is inflated under that cap whatever it declares, and the whole
// package under another, so that a small hostile file cannot fill the memory or the disk.
// How much an entry compresses says nothing by itself: a picture of a few colours
// compresses a thousandfold.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "obf/obf_error.h"

struct zip;

namespace vexil::obf {

struct ZipLimits {
    qint64 maxEntries = 20000;
    qint64 maxEntrySize = qint64(64) * 1024 * 1024;   // one inflated entry
    qint64 maxTotalSize = qint64(512) * 1024 * 1024;  // all inflated entries together
};

class ZipReader {
public:
    // Opens the package held in `bytes` (kept alive by the reader). Throws ObfError when it
    // is no zip or holds too many entries.
    explicit ZipReader(QByteArray bytes, ZipLimits limits = {});
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Entry names as stored (directories included, ending in "/").
    const QStringList& names() const { return names_; }
    bool contains(const QString& name) const { return names_.contains(name); }
    // The inflated bytes of an entry. Throws ObfError when it is missing, damaged, larger
    // than the limits allow, or when the package as a whole went over them.
    QByteArray read(const QString& name);

private:
    QByteArray bytes_;
    ZipLimits limits_;
    zip* archive_ = nullptr;
    QStringList names_;
    qint64 inflatedSoFar_ = 0;
};

// Builds a package in memory order and writes it in one go: to a temporary file beside the
// target, renamed over it at the end, so that a failed write leaves nothing behind.
class ZipWriter {
public:
    void add(const QString& name, const QByteArray& bytes);
    bool contains(const QString& name) const;
    // Throws ObfError when the file cannot be written.
    void writeTo(const QString& path) const;

private:
    std::vector<std::pair<QString, QByteArray>> entries_;
};

}  // namespace vexil::obf
