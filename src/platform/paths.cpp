#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

namespace vexil {

DriveMap::DriveMap() = default;

DriveMap DriveMap::fromText(const QString& text) {
    DriveMap map;
    for (const QString& item : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq != 1) continue;
        map.set(item.at(0), item.mid(2));
    }
    return map;
}

void DriveMap::set(QChar letter, const QString& folder) { folders_[letter.toUpper()] = folder; }

QString DriveMap::folderOf(QChar letter) const {
    return folders_.value(letter.toUpper(), QStringLiteral("/"));
}

namespace {

bool isDriveName(const QString& name) {
    return name.size() >= 2 && name.at(1) == u':' && name.at(0).isLetter();
}

// The entry of `folder` that equals `component` without regard to case, or `component`.
QString matchComponent(const QString& folder, const QString& component) {
    if (component == u"." || component == u"..") return component;
    const QString exact = folder + u'/' + component;
    if (QFileInfo::exists(exact)) return component;
    const QStringList entries = QDir(folder.isEmpty() ? QStringLiteral("/") : folder)
                                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot,
                                               QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(component, Qt::CaseInsensitive) == 0) return entry;
    return component;
}

}  // namespace

QString realPath(const QString& name, const QString& currentFolder, const DriveMap& drives) {
    QString n = name;
    n.replace(u'\\', u'/');
    QString base;
    QString rest;
    if (isDriveName(n)) {
        base = drives.folderOf(n.at(0));
        rest = n.mid(2);
    } else if (n.startsWith(u'/')) {
        base = QStringLiteral("/");
        rest = n;
    } else {
        base = currentFolder.isEmpty() ? QDir::currentPath()
                                       : realPath(currentFolder, QString(), drives);
        rest = n;
    }
    QString path = base;
    while (path.size() > 1 && path.endsWith(u'/')) path.chop(1);
    if (path == u"/") path.clear();
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts))
        path += u'/' + matchComponent(path, part);
    return path.isEmpty() ? QStringLiteral("/") : path;
}

bool fileExists(const QString& name, const QString& currentFolder, const DriveMap& drives) {
    if (name.isEmpty()) return false;
    return QFileInfo(realPath(name, currentFolder, drives)).isFile();
}

QString fileNamePart(const QString& name) {
    const qsizetype cut = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/'));
    return name.mid(cut + 1);
}

QString folderPart(const QString& name) {
    const qsizetype cut = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/'));
    return cut < 0 ? QString() : name.left(cut);
}

}  // namespace vexil
