#include "template/trust_record.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "settings/folders.h"

namespace vexil {

namespace {

// A record file larger than this is not a record this program wrote: it is not read.
constexpr qint64 kMaxRecordSize = qint64(16) * 1024 * 1024;

QByteArray readRecord(const QString& file) {
    QFile f(file);
    if (f.size() > kMaxRecordSize || !f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool readBoard(const QString& realPath, QByteArray& bytes) {
    const QFileInfo info(realPath);
    if (!info.isFile()) return false;
    QFile f(realPath);
    if (!f.open(QIODevice::ReadOnly)) return false;
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

bool liesBelow(const QString& canonicalPath, const QString& folder) {
    if (folder.isEmpty()) return false;
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty()) return false;
    return canonicalPath.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

}  // namespace

QByteArray boardDigest(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

TrustRecord::TrustRecord(QString file) : file_(std::move(file)) {}

bool TrustRecord::holds(const QString& canonicalPath, const QByteArray& digest) const {
    if (file_.isEmpty() || canonicalPath.isEmpty() || digest.isEmpty()) return false;
    const QByteArray wanted = digest + '\t' + canonicalPath.toUtf8();
    for (const QByteArray& line : readRecord(file_).split('\n'))
        if (line == wanted) return true;
    return false;
}

bool TrustRecord::add(const QString& canonicalPath, const QByteArray& digest) const {
    if (file_.isEmpty() || canonicalPath.isEmpty() || digest.isEmpty()) return false;
    // A path holding a line break would make a line of its own: such a board is not recorded.
    if (canonicalPath.contains(u'\n') || canonicalPath.contains(u'\r')) return false;
    const QByteArray path = canonicalPath.toUtf8();
    QByteArray out;
    for (const QByteArray& line : readRecord(file_).split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0 || line.mid(tab + 1) == path) continue;
        out += line + '\n';
    }
    out += digest + '\t' + path + '\n';
    const QString folder = QFileInfo(file_).absolutePath();
    if (!QDir().mkpath(folder)) return false;
    QSaveFile f(file_);
    if (!f.open(QIODevice::WriteOnly)) return false;
    // Private before any byte is in it.
    if (!f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        f.cancelWriting();
        return false;
    }
    if (f.write(out) != out.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

TrustRecord trustRecordOf(const Folders& folders) {
    const QString& folder = folders.dataFolder.isEmpty() ? folders.userFolder : folders.dataFolder;
    if (folder.isEmpty()) return TrustRecord(QString());
    return TrustRecord(QDir(folder).filePath(QStringLiteral("trusted-boards")));
}

bool isTrustedBoardFile(const Folders& folders, const QString& realPath, const QByteArray& bytes) {
    const QString canonical = QFileInfo(realPath).canonicalFilePath();
    if (canonical.isEmpty()) return false;
    if (liesBelow(canonical, folders.installedBoards)) return true;
    return trustRecordOf(folders).holds(canonical, boardDigest(bytes));
}

bool isTrustedBoardFile(const Folders& folders, const QString& realPath) {
    QByteArray bytes;
    return readBoard(realPath, bytes) && isTrustedBoardFile(folders, realPath, bytes);
}

bool trustBoardFile(const Folders& folders, const QString& realPath, QString* error) {
    QByteArray bytes;
    if (!readBoard(realPath, bytes)) {
        if (error) *error = QStringLiteral("cannot read ") + realPath;
        return false;
    }
    const TrustRecord record = trustRecordOf(folders);
    if (!record.add(QFileInfo(realPath).canonicalFilePath(), boardDigest(bytes))) {
        if (error) *error = QStringLiteral("cannot write ") + record.file();
        return false;
    }
    return true;
}

void noteBoardRead(BoardTrust& bt, const Folders& folders, const QString& realPath,
                   const QByteArray& bytes) {
    bt.path = QFileInfo(realPath).canonicalFilePath();
    bt.digest = boardDigest(bytes);
    if (bt.trustEveryBoard || isTrustedBoardFile(folders, realPath, bytes))
        bt.level = TrustLevel::Trusted;
    else
        bt.level = bt.declined.count(bt.digest) ? TrustLevel::Declined : TrustLevel::Unasked;
}

void noteBoardSaved(BoardTrust& bt, const Folders& folders, const QString& realPath) {
    bt.level = TrustLevel::Trusted;
    bt.path = QFileInfo(realPath).canonicalFilePath();
    QFile f(realPath);
    bt.digest = f.open(QIODevice::ReadOnly) ? boardDigest(f.readAll()) : QByteArray();
    // A record that cannot be written leaves the board trusted for this run only.
    trustRecordOf(folders).add(bt.path, bt.digest);
}

void noteNewBoard(BoardTrust& bt) {
    bt.level = TrustLevel::Trusted;
    bt.path.clear();
    bt.digest.clear();
}

}  // namespace vexil
