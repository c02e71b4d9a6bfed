#include "access/usage_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "files/profile_files.h"
#include "session/session.h"

namespace vexil {

namespace {

const QByteArray kHeader = "time,board,area,label\n";
constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString dataFolderOf(const Session& session) {
    return session.folders.dataFolder.isEmpty() ? session.folders.userFolder
                                                : session.folders.dataFolder;
}

}  // namespace

QString UsageRecord::pathFor(const Session& session) {
    const QString folder = dataFolderOf(session);
    if (folder.isEmpty()) return QString();
    return folder + QStringLiteral("/registre/") + profileFileStem(session) +
           QStringLiteral(".csv");
}

QString UsageRecord::olderPathFor(const Session& session) {
    const QString path = pathFor(session);
    if (path.isEmpty()) return path;
    return path.left(path.size() - 4) + QStringLiteral(".1.csv");
}

bool clearUsageRecord(const Session& session) {
    const QString folder = dataFolderOf(session);
    if (folder.isEmpty()) return true;
    bool cleared = true;
    for (const QString& path : {UsageRecord::pathFor(session), UsageRecord::olderPathFor(session),
                                folder + u'/' + UsageRecord::kSharedFileName,
                                folder + u'/' + UsageRecord::kSharedOlderFileName}) {
        if (QFile::exists(path) && !QFile::remove(path)) cleared = false;
    }
    return cleared;
}

QHash<int, double> usageHeat(const QHash<int, int>& counts) {
    int most = 0;
    for (int n : counts) most = std::max(most, n);
    QHash<int, double> heat;
    if (most <= 0) return heat;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > 0) heat.insert(it.key(), double(it.value()) / most);
    return heat;
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString t = text;
    return u'"' + t.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QStringList csvFields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

void UsageRecord::append(Session& session, const QString& board, int area, const QString& label,
                         const QDateTime& when) {
    if (failed_ || session.profile.adapt.RegistreUs == 0 || area <= 0) return;
    const QString path = pathFor(session);
    const auto fail = [&] {
        failed_ = true;
        session.view->setBoardSign(BoardSign::Recording, false);
        session.message(QStringLiteral("No se puede escribir el registro de uso: ") +
                        QDir::toNativeSeparators(path) +
                        QStringLiteral(". El registro queda desactivado."));
    };
    if (path.isEmpty()) return fail();
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) return fail();
    QFile::setPermissions(info.absolutePath(), kPrivate | QFileDevice::ExeOwner);
    // A labels with line breaks would break the lines: they become blanks.
    QString text = label;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray line = (when.toString(Qt::ISODate) + u',' + csvField(board) + u',' +
                             QString::number(area) + u',' + csvField(text) + u'\n')
                                .toUtf8();
    if (info.exists() && info.size() + line.size() > capBytes) {
        const QString older = olderPathFor(session);
        QFile::remove(older);
        if (!QFile::rename(path, older)) return fail();
    }
    QFile file(path);
    const bool fresh = !file.exists() || file.size() == 0;
    if (fresh) {
        // Created private; the shared record of earlier versions is made private too.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return fail();
        file.close();
        if (!file.setPermissions(kPrivate)) return fail();
        for (const QString& name : {kSharedFileName, kSharedOlderFileName}) {
            const QString shared = dataFolderOf(session) + u'/' + name;
            if (QFile::exists(shared)) QFile::setPermissions(shared, kPrivate);
        }
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return fail();
    if ((fresh && file.write(kHeader) != kHeader.size()) || file.write(line) != line.size())
        return fail();
    if (!file.flush()) return fail();
}

QHash<int, int> usageCounts(const Session& session, const QString& board) {
    QHash<int, int> counts;
    const QString path = UsageRecord::pathFor(session);
    if (path.isEmpty()) return counts;
    for (const QString& name : {UsageRecord::olderPathFor(session), path}) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) continue;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            const QStringList f = csvFields(line);
            if (f.size() < 3 || f[1] != board) continue;
            bool ok = false;
            const int area = f[2].toInt(&ok);
            if (ok && area > 0) ++counts[area];
        }
    }
    return counts;
}

}  // namespace vexil
