#pragma once
// Starting programs with QProcess, never through a shell.
#include "platform/launcher.h"

namespace vexil {

class QtLauncher : public Launcher {
public:
    ProcessId start(const QString& program, const QStringList& arguments) override;
    QString findProgram(const QString& name) override;
    bool running(ProcessId pid) override;
};

}  // namespace vexil
