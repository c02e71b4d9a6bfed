#include "platform/x11/keymap_journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>

namespace vexil::x11 {
namespace {

const QString kPrefix = QStringLiteral("keymap-");

// ":1.0" and "localhost:12" become file-name safe tags.
QString tagFor(const QString& display) {
    QString tag;
    for (QChar c : display) tag += c.isLetterOrNumber() || c == u'.' ? c : QChar(u'_');
    return tag.isEmpty() ? QStringLiteral("_") : tag;
}

}  // namespace

bool processRuns(long pid) {
    if (pid <= 0) return false;
    if (::kill(pid_t(pid), 0) == 0) return true;
    return errno != ESRCH;
}

KeymapJournal::KeymapJournal(const QString& folder, const QString& display)
    : folder_(folder), displayTag_(tagFor(display)) {
    if (folder_.isEmpty()) {
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder_.isEmpty()) folder_ = QDir::tempPath();
        folder_ += QStringLiteral("/vexil");
    }
}

QString KeymapJournal::path() const {
    return folder_ + u'/' + kPrefix + displayTag_ + u'-' +
           QString::number(QCoreApplication::applicationPid());
}

QByteArray KeymapJournal::format(const std::vector<SpareBinding>& bindings) {
    QByteArray out;
    for (const SpareBinding& b : bindings)
        out += QByteArray::number(b.keycode) + ' ' + QByteArray::number(qulonglong(b.lower), 16) +
               ' ' + QByteArray::number(qulonglong(b.upper), 16) + '\n';
    return out;
}

std::vector<SpareBinding> KeymapJournal::parse(const QByteArray& text) {
    std::vector<SpareBinding> out;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() != 3) continue;
        bool ok1 = false, ok2 = false, ok3 = false;
        SpareBinding b;
        b.keycode = f[0].toInt(&ok1);
        b.lower = KeySym(f[1].toULongLong(&ok2, 16));
        b.upper = KeySym(f[2].toULongLong(&ok3, 16));
        // Core keycodes lie between 8 and 255; anything else is not a record of ours.
        if (ok1 && ok2 && ok3 && b.keycode >= 8 && b.keycode <= 255 && b.lower && b.upper)
            out.push_back(b);
    }
    return out;
}

bool KeymapJournal::record(const std::vector<SpareBinding>& bindings) {
    const QString file = path();
    if (bindings.empty()) {
        QFile::remove(file);
        return true;
    }
    if (!QDir().mkpath(folder_)) return false;
    QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(format(bindings));
    return out.commit();
}

std::vector<KeymapJournal::Leftover> KeymapJournal::leftovers() const {
    std::vector<Leftover> out;
    const QString stem = kPrefix + displayTag_ + u'-';
    const QDir dir(folder_);
    for (const QString& name : dir.entryList({stem + u'*'}, QDir::Files | QDir::Hidden)) {
        // "keymap-<display>-<pid>", or the same with the suffix of a record that was being
        // written when its process died.
        const QString rest = name.mid(stem.size());
        qsizetype digits = 0;
        while (digits < rest.size() && rest[digits].isDigit()) ++digits;
        bool ok = false;
        const long pid = rest.left(digits).toLong(&ok);
        if (!ok || pid == QCoreApplication::applicationPid() || processRuns(pid)) continue;
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        out.push_back({f.fileName(), parse(f.read(64 * 1024))});
    }
    return out;
}

void KeymapJournal::forget(const Leftover& leftover) { QFile::remove(leftover.file); }

}  // namespace vexil::x11
