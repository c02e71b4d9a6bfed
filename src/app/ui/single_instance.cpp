#include "app/ui/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace vexil {

SingleInstance::SingleInstance(const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    path_ = QDir(dir).filePath(QStringLiteral("vexil.lock"));
    lock_ = std::make_unique<QLockFile>(path_);
    // A lock is stale only when its process is gone (QLockFile checks that), never by age.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire() { return lock_->isLocked() || lock_->tryLock(0); }

}  // namespace vexil
