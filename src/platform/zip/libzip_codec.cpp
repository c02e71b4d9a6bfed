#include "platform/zip/libzip_codec.h"

#include <zip.h>

#include <QFile>

namespace vexil::zip {
namespace {

// Every entry gets the same date, so that the same boards always give the same bytes.
constexpr time_t kEntryTime = 315532800;  // 1980-01-01, the first date zip can hold

QString zipErrorText(zip_error_t* error) {
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

class LibzipPackage : public ZipPackage {
public:
    LibzipPackage(QByteArray bytes, const ZipLimits& limits)
        : bytes_(std::move(bytes)), limits_(limits) {}
    ~LibzipPackage() override {
        if (archive_) zip_discard(archive_);
    }
    LibzipPackage(const LibzipPackage&) = delete;
    LibzipPackage& operator=(const LibzipPackage&) = delete;

    bool open(QString* error);
    const QStringList& names() const override { return names_; }
    bool read(const QString& name, QByteArray* bytes, QString* error) override;

private:
    QByteArray bytes_;
    ZipLimits limits_;
    zip_t* archive_ = nullptr;
    QStringList names_;
    qint64 inflatedSoFar_ = 0;
};

bool LibzipPackage::open(QString* error) {
    zip_error_t failure;
    zip_error_init(&failure);
    zip_source_t* source =
        zip_source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &failure);
    if (!source) {
        *error = QStringLiteral("the package cannot be read: %1").arg(zipErrorText(&failure));
        zip_error_fini(&failure);
        return false;
    }
    archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &failure);
    if (!archive_) {
        zip_source_free(source);
        *error = QStringLiteral("the file is not a zip package (%1)").arg(zipErrorText(&failure));
        zip_error_fini(&failure);
        return false;
    }
    zip_error_fini(&failure);
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0 || count > limits_.maxEntries) {
        *error = QStringLiteral("the package holds %1 entries, more than the %2 allowed")
                     .arg(count)
                     .arg(limits_.maxEntries);
        return false;
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive_, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        names_ << (name ? QString::fromUtf8(name) : QString());
    }
    return true;
}

bool LibzipPackage::read(const QString& name, QByteArray* bytes, QString* error) {
    const QByteArray key = name.toUtf8();
    const zip_int64_t index = zip_name_locate(archive_, key.constData(), ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        *error = QStringLiteral("the package has no entry \"%1\"").arg(name);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, zip_uint64_t(index), 0, &st) != 0) {
        *error = QStringLiteral("the entry \"%1\" is damaged").arg(name);
        return false;
    }
    // The declared sizes are checked first, then the real ones while inflating.
    const qint64 declared = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : -1;
    auto tooLarge = [&](qint64 size) {
        if (size > limits_.maxEntrySize) {
            *error = QStringLiteral("the entry \"%1\" inflates to more than %2 bytes")
                         .arg(name)
                         .arg(limits_.maxEntrySize);
            return true;
        }
        if (inflatedSoFar_ + size > limits_.maxTotalSize) {
            *error = QStringLiteral("the package inflates to more than %1 bytes")
                         .arg(limits_.maxTotalSize);
            return true;
        }
        return false;
    };
    if (declared >= 0 && tooLarge(declared)) return false;

    zip_file_t* file = zip_fopen_index(archive_, zip_uint64_t(index), 0);
    if (!file) {
        *error = QStringLiteral("the entry \"%1\" cannot be opened: %2")
                     .arg(name, QString::fromLocal8Bit(zip_strerror(archive_)));
        return false;
    }
    QByteArray out;
    char buffer[65536];
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0) {
            const QString text = QString::fromLocal8Bit(zip_file_strerror(file));
            zip_fclose(file);
            *error = QStringLiteral("the entry \"%1\" is damaged: %2").arg(name, text);
            return false;
        }
        if (got == 0) break;
        if (tooLarge(out.size() + got)) {
            zip_fclose(file);
            return false;
        }
        out.append(buffer, qsizetype(got));
    }
    zip_fclose(file);
    if (declared >= 0 && out.size() != declared) {
        *error = QStringLiteral("the entry \"%1\" is damaged").arg(name);
        return false;
    }
    inflatedSoFar_ += out.size();
    *bytes = std::move(out);
    return true;
}

class LibzipCodec : public ZipCodec {
public:
    std::unique_ptr<ZipPackage> open(QByteArray bytes, const ZipLimits& limits,
                                     QString* error) override {
        auto package = std::make_unique<LibzipPackage>(std::move(bytes), limits);
        if (!package->open(error)) return nullptr;
        return package;
    }

    bool write(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries,
               QString* error) override {
        const QByteArray file = QFile::encodeName(path);
        int code = 0;
        zip_t* archive = zip_open(file.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
        if (!archive) {
            error->clear();
            return false;
        }
        for (const auto& [name, bytes] : entries) {
            zip_source_t* source =
                zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
            const QByteArray key = name.toUtf8();
            const zip_int64_t index =
                source ? zip_file_add(archive, key.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
            if (index < 0) {
                if (source) zip_source_free(source);
                zip_discard(archive);
                error->clear();
                return false;
            }
            zip_file_set_mtime(archive, zip_uint64_t(index), kEntryTime, 0);
        }
        if (zip_close(archive) != 0) {
            *error = QString::fromLocal8Bit(zip_strerror(archive));
            zip_discard(archive);
            return false;
        }
        return true;
    }
};

}  // namespace

ZipCodec* libzipCodec() {
    static LibzipCodec codec;
    return &codec;
}

}  // namespace vexil::zip
