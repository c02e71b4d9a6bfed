#pragma once
// What every fuzz target shares, so that each input starts from the same state:
// - `InputFolder`: the folder an input works in. One folder per process, emptied before
//   each input and again after it, so that nothing one input writes (a registry store, an
//   undo file, a profile) is seen by the next, and the folder never grows over a long run.
// - `FuzzSession`: a fake platform and a session over that folder, built afresh for each
//   input (never kept in a static), with the random choice seeded so that a saved input
//   replays the same way.
// A target keeps nothing in statics but constant data and the folder's name.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "platform/fake/fake_platform.h"
#include "session/session.h"

namespace vexil::fuzz {

// Empties the input folder when made and when it goes; `path` is the same for every input
// of the process.
class InputFolder {
public:
    explicit InputFolder(std::initializer_list<const char*> subfolders = {}) {
        empty();
        QDir dir(path);
        for (const char* sub : subfolders)
            if (!dir.mkpath(QString::fromUtf8(sub))) std::abort();
    }
    ~InputFolder() { empty(); }
    InputFolder(const InputFolder&) = delete;
    InputFolder& operator=(const InputFolder&) = delete;

    const QString path = base();

    QString file(const QString& name) const { return QDir(path).filePath(name); }
    QString file(const char* name) const { return file(QString::fromUtf8(name)); }
    // Writes `bytes` to `name` (aborts when the file cannot be written) and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString p = file(name);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
        return p;
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    // Made once under the system's temporary folder (TMPDIR), removed when the process ends.
    static QString base() {
        static QTemporaryDir dir;
        if (!dir.isValid()) std::abort();
        return dir.filePath(QStringLiteral("input"));
    }
    void empty() const {
        QDir dir(path);
        if (dir.exists() && !dir.removeRecursively()) std::abort();
        if (!QDir().mkpath(path)) std::abort();
    }
};

// A session on the fake platform whose program folder, user folder and current directory
// are `folder`.
struct FuzzSession {
    explicit FuzzSession(const QString& folder) : session(fake.platform, foldersIn(folder)) {
        session.currentDirectory = folder;
        session.player.random.seed(1);
    }
    FakePlatform fake;
    Session session;

private:
    static Folders foldersIn(const QString& folder) {
        Folders f;
        f.programFolder = folder;
        f.userFolder = folder;
        return f;
    }
};

inline QByteArray bytesOf(const std::uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline std::string_view viewOf(const std::uint8_t* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Reads the input as a stream of small numbers; past its end every read gives 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool atEnd() const { return p_ >= end_; }
    std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    std::uint16_t word() {
        const std::uint16_t low = byte();
        return std::uint16_t(low | (byte() << 8));
    }
    // A number in 0..limit - 1 (limit at least 1).
    int below(int limit) { return int(word() % std::uint16_t(limit)); }
    // Up to `maxLength` bytes, the first giving the length.
    QByteArray chunk(int maxLength) {
        const int n = std::min<int>(byte() % (maxLength + 1), int(end_ - p_));
        const QByteArray out(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return out;
    }
    // The rest of the input.
    QByteArray rest() {
        const QByteArray out(reinterpret_cast<const char*>(p_), qsizetype(end_ - p_));
        p_ = end_;
        return out;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

}  // namespace vexil::fuzz
