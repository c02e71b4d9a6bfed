#pragma once
// Where the program finds its own files.
#include <QString>

#include "platform/paths.h"

namespace vexil {

struct Folders {
    // Read-only files shipped with the program: MACROS.INI, icons, help.
    QString programFolder;
    // Writable per-user files: Vexil.INI, the undo snapshot, the caption list, the
    // registry store.
    QString userFolder;
    // Per-user data kept on this machine only (the usage record, the trusted boards);
    // empty: the user folder.
    QString dataFolder;
    // Boards lying below this folder were installed with the program and count as trusted:
    // the program folder when it was found (VEXIL_HOME or beside the binary), else empty.
    QString installedBoards;
    DriveMap drives;

    // Folders for this user: the program folder from VEXIL_HOME or next to the executable,
    // the user folder under the XDG configuration directory, the drive map from VEXIL_DRIVES.
    static Folders forThisUser();
};

}  // namespace vexil
