#include "obf/zip_archive.h"

#include <zip.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>

#include "obf/obf_format.h"

namespace vexil::obf {
namespace {

// Every entry gets the same date, so that the same boards always give the same bytes.
constexpr time_t kEntryTime = 315532800;  // 1980-01-01, the first date zip can hold

QString zipErrorText(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

}  // namespace

ZipReader::ZipReader(QByteArray bytes, ZipLimits limits)
    : bytes_(std::move(bytes)), limits_(limits) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.constData(),
                                                    zip_uint64_t(bytes_.size()), 0, &error);
    if (!source) {
        const QString text = zipErrorText(&error);
        zip_error_fini(&error);
        throw ObfError(QStringLiteral("the package cannot be read: %1").arg(text));
    }
    archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive_) {
        zip_source_free(source);
        const QString text = zipErrorText(&error);
        zip_error_fini(&error);
        throw ObfError(QStringLiteral("the file is not a zip package (%1)").arg(text));
    }
    zip_error_fini(&error);
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0 || count > limits_.maxEntries)
        throw ObfError(QStringLiteral("the package holds %1 entries, more than the %2 allowed")
                           .arg(count)
                           .arg(limits_.maxEntries));
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive_, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        names_ << (name ? QString::fromUtf8(name) : QString());
    }
}

ZipReader::~ZipReader() {
    if (archive_) zip_discard(archive_);
}

QByteArray ZipReader::read(const QString& name) {
    const QByteArray key = name.toUtf8();
    const zip_int64_t index = zip_name_locate(archive_, key.constData(), ZIP_FL_ENC_UTF_8);
    if (index < 0) throw ObfError(QStringLiteral("the package has no entry \"%1\"").arg(name));
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, zip_uint64_t(index), 0, &st) != 0)
        throw ObfError(QStringLiteral("the entry \"%1\" is damaged").arg(name));
    // The declared sizes are checked first, then the real ones while inflating.
    const qint64 declared = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : -1;
    auto tooLarge = [&](qint64 size) {
        if (size > limits_.maxEntrySize)
            throw ObfError(QStringLiteral("the entry \"%1\" inflates to more than %2 bytes")
                               .arg(name)
                               .arg(limits_.maxEntrySize));
        if (inflatedSoFar_ + size > limits_.maxTotalSize)
            throw ObfError(QStringLiteral("the package inflates to more than %1 bytes")
                               .arg(limits_.maxTotalSize));
    };
    if (declared >= 0) tooLarge(declared);

    zip_file_t* file = zip_fopen_index(archive_, zip_uint64_t(index), 0);
    if (!file)
        throw ObfError(QStringLiteral("the entry \"%1\" cannot be opened: %2")
                           .arg(name, QString::fromLocal8Bit(zip_strerror(archive_))));
    QByteArray out;
    char buffer[65536];
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0) {
            const QString text = QString::fromLocal8Bit(zip_file_strerror(file));
            zip_fclose(file);
            throw ObfError(QStringLiteral("the entry \"%1\" is damaged: %2").arg(name, text));
        }
        if (got == 0) break;
        try {
            tooLarge(out.size() + got);
        } catch (...) {
            zip_fclose(file);
            throw;
        }
        out.append(buffer, qsizetype(got));
    }
    zip_fclose(file);
    if (declared >= 0 && out.size() != declared)
        throw ObfError(QStringLiteral("the entry \"%1\" is damaged").arg(name));
    inflatedSoFar_ += out.size();
    return out;
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
    int code = 0;
    zip_t* archive = zip_open(tempName.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) throw ObfError(QStringLiteral("%1 cannot be written").arg(path));
    for (const auto& [name, bytes] : entries_) {
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const QByteArray key = name.toUtf8();
        const zip_int64_t index =
            source ? zip_file_add(archive, key.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source) zip_source_free(source);
            zip_discard(archive);
            throw ObfError(QStringLiteral("%1 cannot be written").arg(path));
        }
        zip_file_set_mtime(archive, zip_uint64_t(index), kEntryTime, 0);
    }
    if (zip_close(archive) != 0) {
        const QString text = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        throw ObfError(QStringLiteral("%1 cannot be written: %2").arg(path, text));
    }
    giveUsualPermissions(temp.fileName(), false);
    // The finished package takes the target's place in one step.
    if (std::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0)
        throw ObfError(QStringLiteral("%1 cannot be written").arg(path));
    temp.setAutoRemove(false);
}

}  // namespace vexil::obf
