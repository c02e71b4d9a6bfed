// vexil-tool trust: what "Trust this board" does, from a script.
#include <QFileInfo>
#include <cstdio>

#include "board_tool.h"
#include "settings/folders.h"
#include "template/trust_record.h"
#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.isEmpty()) return usageError(trustCommand, QStringLiteral("FILE expected"));
    const Folders folders = Folders::forThisUser();
    int status = kOk;
    for (const QString& argument : arguments) {
        const QString real = QFileInfo(boardNameArgument(argument)).absoluteFilePath();
        QString error;
        if (!trustBoardFile(folders, real, &error)) {
            std::fprintf(stderr, "vexil-tool trust: %s\n", error.toLocal8Bit().constData());
            status = kMessages;
            continue;
        }
        printJsonLine({{"op", "trusted"}, {"path", QFileInfo(real).canonicalFilePath()}});
    }
    return status;
}

}  // namespace

const Command trustCommand{
    "trust", "FILE...",
    "    Marks each board FILE as trusted for this user, as \"Trust this board\" does: its\n"
    "    canonical path and the SHA-256 of its bytes go into trusted-boards in the user's\n"
    "    data folder (XDG_DATA_HOME/vexil). Prints {\"op\":\"trusted\",\"path\":P} for each;\n"
    "    a file that cannot be read, or a record that cannot be written, is said on\n"
    "    standard error and makes the exit status 1. A board changed afterwards is no\n"
    "    longer trusted.\n",
    run};

}  // namespace vexil::tool
