#include "board_tool.h"
#include "editor/file_commands.h"
#include "files/template_reader.h"
#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.size() != 2)
        return usageError(saveAsCommand, QStringLiteral("IN and OUT expected"));
    BoardSession board;
    Session& s = *board.session;
    loadTemplate(s, boardNameArgument(arguments.at(0)));
    saveTemplateAs(s, boardNameArgument(arguments.at(1)));
    return printMessages(board.messages());
}

}  // namespace

const Command saveAsCommand{
    "save-as", "IN OUT",
    "    Loads the board IN and saves it as the editor's \"&Desar ...\" does with OUT as the\n"
    "    chosen name: file references are relocated when OUT lies in another folder, the\n"
    "    cover picture is copied under the board's name (keeping its extension), a board\n"
    "    without picture gets NAME.BMP, and a name not ending in .VXL (any case) saves\n"
    "    nothing. A board holding characters that the Windows-1252 board file cannot hold\n"
    "    is not saved: the warning that names them is printed and answered No, as every\n"
    "    question here. Prints the texts of the message boxes the load and the save\n"
    "    showed, one a line. Exit status 1 when any was shown.\n",
    run};

}  // namespace vexil::tool
