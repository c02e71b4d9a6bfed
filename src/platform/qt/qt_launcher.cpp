#include "platform/qt/qt_launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

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

QString QtLauncher::findProgram(const QString& name) {
    if (name.isEmpty()) return {};
    return QStandardPaths::findExecutable(name);
}

}  // namespace vexil
