#include "platform/paths.h"

#include <dirent.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

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

// The entry of `folder` that equals `component` without regard to case, or `component`;
// of several such entries, the first in the order of their names. The folder is read name
// by name, unsorted and without a look at each entry: a search path folder holds thousands.
QString matchComponent(const QString& folder, const QString& component) {
    if (component == u"." || component == u"..") return component;
    const QString exact = folder + u'/' + component;
    if (QFileInfo::exists(exact)) return component;
    DIR* dir = ::opendir(QFile::encodeName(folder.isEmpty() ? QStringLiteral("/") : folder));
    if (!dir) return component;
    // A name of plain ASCII matches only a name of as many letters; most entries of a large
    // folder are ruled out so, without being decoded.
    const QByteArray wanted = QFile::encodeName(component);
    const bool asciiWanted =
        std::all_of(wanted.begin(), wanted.end(), [](char c) { return uchar(c) < 0x80; });
    QString best;
    while (const dirent* entry = ::readdir(dir)) {
        if (asciiWanted) {
            const char* n = entry->d_name;
            qsizetype length = 0;
            bool ascii = true;
            for (; n[length]; ++length) ascii = ascii && uchar(n[length]) < 0x80;
            if (ascii && length != wanted.size()) continue;
        }
        const QString name = QFile::decodeName(entry->d_name);
        if (name.size() != component.size() || name == u"." || name == u"..") continue;
        if (name.compare(component, Qt::CaseInsensitive) == 0 && (best.isNull() || name < best))
            best = name;
    }
    ::closedir(dir);
    return best.isNull() ? component : best;
}

// The real folder a name starts from, and where its components begin in it.
QString startFolder(const QString& name, const QString& currentFolder, const DriveMap& drives,
                    qsizetype& restStart) {
    QString base;
    if (isDriveName(name)) {
        base = drives.folderOf(name.at(0));
        restStart = 2;
    } else if (name.startsWith(u'/') || name.startsWith(u'\\')) {
        base = QStringLiteral("/");
        restStart = 0;
    } else {
        base = currentFolder.isEmpty() ? QDir::currentPath()
                                       : realPath(currentFolder, QString(), drives);
        restStart = 0;
    }
    while (base.size() > 1 && base.endsWith(u'/')) base.chop(1);
    if (base == u"/") base.clear();
    return base;
}

}  // namespace

QString realPath(const QString& name, const QString& currentFolder, const DriveMap& drives) {
    QString n = name;
    n.replace(u'\\', u'/');
    qsizetype restStart = 0;
    QString path = startFolder(n, currentFolder, drives, restStart);
    for (const QString& part : n.mid(restStart).split(u'/', Qt::SkipEmptyParts))
        path += u'/' + matchComponent(path, part);
    return path.isEmpty() ? QStringLiteral("/") : path;
}

QString nameAsOnDisk(const QString& name, const QString& currentFolder, const DriveMap& drives) {
    qsizetype i = 0;
    QString path = startFolder(name, currentFolder, drives, i);
    QString out = name.left(i);
    while (i < name.size()) {
        const QChar c = name.at(i);
        if (c == u'/' || c == u'\\') {
            out += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < name.size() && name.at(end) != u'/' && name.at(end) != u'\\') ++end;
        const QString part = matchComponent(path, name.mid(i, end - i));
        path += u'/' + part;
        out += part;
        i = end;
    }
    return out;
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
