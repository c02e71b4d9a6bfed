#pragma once
// One running program per user: a lock file in the user's runtime folder. A lock left by a
// program that died is taken over.
#include <QLockFile>
#include <QString>
#include <memory>

namespace vexil {

class SingleInstance {
public:
    // `folder` empty: the user's runtime folder.
    explicit SingleInstance(const QString& folder = {});
    // True when no other instance holds the lock (this one holds it from now on).
    bool acquire();
    QString lockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace vexil
