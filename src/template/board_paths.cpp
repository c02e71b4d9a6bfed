#include "template/board_paths.h"

#include <QDateTime>
#include <QFileInfo>

namespace vexil {

bool isAbsoluteName(const QString& name) {
    return name.contains(u':') || name.startsWith(u'/');
}

QString joinName(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(u'\\') || folder.endsWith(u'/')) return folder + name;
    return folder + (folder.startsWith(u'/') ? u'/' : u'\\') + name;
}

bool liesInFolder(const QString& path, const QString& folder) {
    if (folder.isEmpty() || path.size() <= folder.size()) return false;
    if (!path.startsWith(folder, Qt::CaseInsensitive)) return false;
    if (folder.endsWith(u'\\') || folder.endsWith(u'/')) return true;
    const QChar next = path.at(folder.size());
    return next == u'\\' || next == u'/';
}

QString fileTimeText(const QString& realPath) {
    const QFileInfo info(realPath);
    if (!info.exists()) return {};
    return info.lastModified().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

}  // namespace vexil
