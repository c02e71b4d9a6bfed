#include "settings/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace vexil {

Folders Folders::forThisUser() {
    Folders f;
    const QString home = qEnvironmentVariable("VEXIL_HOME");
    if (!home.isEmpty()) {
        f.programFolder = home;
    } else if (QCoreApplication::instance()) {
        // Installed beside the binary (share/vexil) or run from the build tree.
        const QDir bin(QCoreApplication::applicationDirPath());
        for (const QString& candidate : {bin.filePath(QStringLiteral("../share/vexil")),
                                         bin.filePath(QStringLiteral("../../examples"))}) {
            if (QDir(candidate).exists()) {
                f.programFolder = QDir::cleanPath(candidate);
                break;
            }
        }
    }
    // The working folder stands in for a program folder not found; its boards are no
    // more trusted for that.
    f.installedBoards = f.programFolder;
    if (f.programFolder.isEmpty()) f.programFolder = QDir::currentPath();
    f.userFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                   QStringLiteral("/vexil");
    QDir().mkpath(f.userFolder);
    f.dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/vexil");
    f.drives = DriveMap::fromText(qEnvironmentVariable("VEXIL_DRIVES"));
    return f;
}

}  // namespace vexil
