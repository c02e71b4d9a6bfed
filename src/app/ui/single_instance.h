#pragma once
// One running program per user: a lock on a file in the user's runtime folder. The kernel
// lets the lock go with the process, however it ends, so a program that died never keeps
// the next one from starting.
#include <QString>

namespace vexil {

class SingleInstance {
public:
    // `folder` empty: the user's runtime folder.
    explicit SingleInstance(const QString& folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // True when no other instance holds the lock (this one holds it from now on).
    bool acquire();
    QString lockPath() const { return path_; }

private:
    QString path_;
    int fd_ = -1;
};

}  // namespace vexil
