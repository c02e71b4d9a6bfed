#pragma once
// Starting programs. Never through a shell: the caller gives the program and its arguments.
#include <QString>
#include <QStringList>

#include "platform/types.h"

namespace vexil {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `program` with `arguments`; returns its process id, or 0 when it could not start.
    virtual ProcessId start(const QString& program, const QStringList& arguments) = 0;
    // Full path of an executable named `name` on the search path; empty when none.
    virtual QString findProgram(const QString& name) = 0;
    // Whether the process `pid` started runs still; true when that cannot be told.
    virtual bool running(ProcessId pid) { (void)pid; return true; }
};

}  // namespace vexil
