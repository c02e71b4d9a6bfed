#include "obf/zip_archive.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>

#include "obf/obf_format.h"

namespace vexil::obf {

ZipReader::ZipReader(QByteArray bytes, ZipLimits limits) {
    QString error;
    ZipCodec* codec = zipCodec(&error);
    if (codec) package_ = codec->open(std::move(bytes), limits, &error);
    if (!package_) throw ObfError(error);
}

ZipReader::~ZipReader() = default;

QByteArray ZipReader::read(const QString& name) {
    QByteArray bytes;
    QString error;
    if (!package_->read(name, &bytes, &error)) throw ObfError(error);
    return bytes;
}

void ZipWriter::add(const QString& name, const QByteArray& bytes) {
    for (auto& e : entries_)
        if (e.first == name) {
            e.second = bytes;
            return;
        }
    entries_.emplace_back(name, bytes);
}

bool ZipWriter::contains(const QString& name) const {
    for (const auto& e : entries_)
        if (e.first == name) return true;
    return false;
}

void ZipWriter::writeTo(const QString& path) const {
    const QFileInfo target(path);
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".vexil-XXXXXX.part")));
    if (!temp.open())
        throw ObfError(QStringLiteral("%1 cannot be written: %2").arg(path, temp.errorString()));
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    temp.close();
    QString error;
    ZipCodec* codec = zipCodec(&error);
    if (!codec) throw ObfError(QStringLiteral("%1 cannot be written: %2").arg(path, error));
    if (!codec->write(temp.fileName(), entries_, &error))
        throw ObfError(error.isEmpty()
                           ? QStringLiteral("%1 cannot be written").arg(path)
                           : QStringLiteral("%1 cannot be written: %2").arg(path, error));
    giveUsualPermissions(temp.fileName(), false);
    // The finished package takes the target's place in one step.
    if (std::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0)
        throw ObfError(QStringLiteral("%1 cannot be written").arg(path));
    temp.setAutoRemove(false);
}

}  // namespace vexil::obf
