#pragma once
// File names keep the form they have in boards ("ICONES\GAT.BMP", "C:\Plantilles\t.bmp")
// everywhere in the program; this is the one place where such a name becomes a real path.
#include <QMap>
#include <QString>

namespace vexil {

// Where the drive letters of Windows names lead. A letter not in the map leads to the
// filesystem root.
class DriveMap {
public:
    DriveMap();
    // Reads "C=/home/ana/boards;D=/media/usb" (the VEXIL_DRIVES variable's form).
    static DriveMap fromText(const QString& text);
    void set(QChar letter, const QString& folder);
    QString folderOf(QChar letter) const;
    // The letters the map names, in order.
    QList<QChar> letters() const { return folders_.keys(); }

private:
    QMap<QChar, QString> folders_;
};

// Maps a name as written in a board to a path on this machine:
// - backslashes become slashes;
// - "X:" at the start goes through the drive map; a name starting with "/" is absolute;
//   any other name is taken in `currentFolder` (itself a name of either form);
// - each component that does not exist as written is matched without regard to case
//   against the entries of its folder (the first match in name order wins).
// The result names the file even when it does not exist (the unmatched components stay
// as written).
QString realPath(const QString& name, const QString& currentFolder = QString(),
                 const DriveMap& drives = DriveMap());

// The name in its own form (separators and drive letter as written), each component that
// exists spelt as it is on disk, found the way realPath finds it; the components that do
// not exist stay as written.
QString nameAsOnDisk(const QString& name, const QString& currentFolder = QString(),
                     const DriveMap& drives = DriveMap());

// True when the board name `name` leads to an existing regular file.
bool fileExists(const QString& name, const QString& currentFolder = QString(),
                const DriveMap& drives = DriveMap());

// The text after the last "\" or "/", or the whole name when there is none.
QString fileNamePart(const QString& name);
// The text before the last "\" or "/" (without it); empty when there is none.
QString folderPart(const QString& name);

}  // namespace vexil
