#include "app/ui/single_instance.h"

#include <QDir>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vexil {

SingleInstance::SingleInstance(const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    path_ = QDir(dir).filePath(QStringLiteral("vexil.lock"));
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);  // the lock goes with the descriptor
}

bool SingleInstance::acquire() {
    if (fd_ >= 0) return true;
    // Nothing is written to the file, so taking the lock costs no write to the disk.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A runtime folder that cannot hold the file keeps no one from using the program.
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace vexil
