#include "platform/qt/qt_launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>

namespace vexil {

ProcessId QtLauncher::start(const QString& program, const QStringList& arguments) {
    if (program.isEmpty()) return 0;
    // A bare name is looked up on the search path; a name with a folder is taken as it is.
    QString path = program;
    if (!program.contains(u'/')) {
        path = findProgram(program);
        if (path.isEmpty()) return 0;
    } else if (!QFileInfo(program).isExecutable()) {
        return 0;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(path, arguments, QString(), &pid)) return 0;
    return ProcessId(pid);
}

// Detached, the program is no child of this one: once it ends, its id is gone.
bool QtLauncher::running(ProcessId pid) {
    if (pid <= 0) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString QtLauncher::findProgram(const QString& name) {
    if (name.isEmpty()) return {};
    return QStandardPaths::findExecutable(name);
}

}  // namespace vexil
