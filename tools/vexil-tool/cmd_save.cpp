#include "board_tool.h"
#include "files/template_reader.h"
#include "i18n/runtime_error.h"
#include "template/template_writer.h"
#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.size() != 2)
        return usageError(saveCommand, QStringLiteral("IN and OUT expected"));
    BoardSession board;
    Session& s = *board.session;
    loadTemplate(s, boardNameArgument(arguments.at(0)));
    QStringList messages = board.messages();
    try {
        writeTemplate(s.tmpl, s.realPath(boardNameArgument(arguments.at(1))));
    } catch (const RuntimeError& e) {
        // The text the save command shows for a failed save.
        messages << QStringLiteral("6 Error") + QString::number(e.number());
    }
    return printMessages(messages);
}

}  // namespace

const Command saveCommand{
    "save", "IN OUT",
    "    Loads the board IN and writes it to OUT with the board writer (CR LF lines,\n"
    "    Windows-1252, header 2 and 1; OUT is replaced atomically). Prints the texts of\n"
    "    the message boxes the load showed, and \"6 Error\" with the error number when\n"
    "    OUT could not be written. Exit status 1 when anything was printed.\n",
    run};

}  // namespace vexil::tool
