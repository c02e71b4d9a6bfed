#pragma once
// File names as boards write them: "C:\PLANT\GAT.BMP", "ICONES\GAT.BMP", or, for boards
// kept on this machine, "/home/ana/plantilles/gat.bmp". These helpers work on such names as
// texts; session.realPath() alone turns them into paths of this machine.
#include <QString>

namespace vexil {

class Session;

// Absolute: holds a drive colon, or starts with "/".
bool isAbsoluteName(const QString& name);
// `folder` + separator + `name`; the separator is "/" for a folder of this machine's form
// and "\" for a Windows one.
QString joinName(const QString& folder, const QString& name);
// True when `path` lies inside `folder` (compared without regard to case): the folder,
// then a separator.
bool liesInFolder(const QString& path, const QString& folder);
// A file's modification date and time as the editor keeps it ("dd/MM/yyyy HH:mm:ss");
// empty when the file does not exist.
QString fileTimeText(const QString& realPath);

}  // namespace vexil
