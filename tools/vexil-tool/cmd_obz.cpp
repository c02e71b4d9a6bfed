#include <QDir>
#include <cstdio>

#include "board_tool.h"
#include "obf/obf_error.h"
#include "obf/obf_export.h"
#include "obf/obf_import.h"
#include "tool.h"

namespace vexil::tool {
namespace {

void printLine(FILE* out, const QString& text) {
    const QByteArray line = text.toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), out);
    std::fputc('\n', out);
    std::fflush(out);
}

int failed(const Command& command, const QString& text) {
    printLine(stderr, QStringLiteral("vexil-tool %1: %2").arg(QLatin1String(command.name), text));
    return kMessages;
}

int runExport(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.size() != 2)
        return usageError(exportObzCommand, QStringLiteral("BOARD and OUT expected"));
    try {
        const obf::ExportReport report =
            obf::exportBoards(boardNameArgument(arguments.at(0)), QDir::current().absoluteFilePath(arguments.at(1)),
                              Folders::forThisUser().drives);
        for (const QString& n : report.notices) printLine(stdout, QStringLiteral("note: ") + n);
        printLine(stdout, QStringLiteral("wrote %1 board(s) to %2").arg(report.boards).arg(arguments.at(1)));
        return kOk;
    } catch (const obf::ObfError& e) {
        return failed(exportObzCommand, e.message());
    }
}

int runImport(const QStringList& given) {
    const QStringList arguments = operandsOf(given);
    if (arguments.size() != 2)
        return usageError(importObzCommand, QStringLiteral("IN and OUTDIR expected"));
    try {
        const obf::ImportReport report = obf::importBoards(
            QDir::current().absoluteFilePath(arguments.at(0)), QDir::current().absoluteFilePath(arguments.at(1)));
        for (const QString& n : report.notices + report.cycles)
            printLine(stdout, QStringLiteral("note: ") + n);
        printLine(stdout, QStringLiteral("imported %1 board(s); the first is %2")
                              .arg(report.boards)
                              .arg(report.rootBoard));
        return kOk;
    } catch (const obf::ObfError& e) {
        return failed(importObzCommand, e.message());
    }
}

}  // namespace

const Command exportObzCommand{
    "export-obz", "BOARD.VXL OUT.obz|OUT.obf",
    "    Writes the board and every board it opens with CARREGA (each once, cycles\n"
    "    included), and the boards beside it that open one of those, as an Open Board\n"
    "    Format package: one board per .VXL, each area as a button placed at its\n"
    "    rectangle (left/top/width/height) with its picture (its icon, or the part of\n"
    "    the cover it lies over), the grid filled in reading order; pictures as PNG,\n"
    "    wave sounds, and the board files with every file they name by a relative name,\n"
    "    so that import-obz gives them back byte for byte. Everything the format has no\n"
    "    field for is kept in ext_vexil_* fields. OUT ending in .obf writes the first\n"
    "    board alone, pictures and files inline. Prints \"note: ...\" lines for what was\n"
    "    left out (a missing cover, a file named by an absolute path), then a summary.\n"
    "    Exit status 0 written; 1 nothing written, the reason on standard error.\n",
    runExport};

const Command importObzCommand{
    "import-obz", "IN.obz|IN.obf OUTDIR",
    "    Imports an Open Board Format package (or one .obf board) into OUTDIR, which\n"
    "    must not exist or be empty. Boards Vexil wrote come back as the same .VXL files,\n"
    "    pictures and sounds (made from the format's fields when another program wrote\n"
    "    the package again); boards of other programs become boards with one area per\n"
    "    button on their grid, a cover drawn from labels and pictures, keys that say the\n"
    "    vocalization or label and do the actions, and CARREGA links between the\n"
    "    imported boards. Refused, with nothing written: zip bombs (bounds of declared\n"
    "    and inflated sizes), entry names that climb out of the folder, a missing\n"
    "    manifest (for more than one board), ids that repeat. Prints \"note: ...\" lines\n"
    "    (what could not be kept; boards that open one another in a cycle are noted and\n"
    "    each imported once), then a summary\n"
    "    naming the first board. Exit status 0 imported; 1 nothing written, the reason\n"
    "    on standard error.\n",
    runImport};

}  // namespace vexil::tool
