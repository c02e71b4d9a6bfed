#pragma once
// Export of a board, and of every board it opens with CARREGA, to the Open Board Format:
// an .obz package (boards, pictures, sounds and the board files themselves) or a single
// .obf board with its pictures inline.
#include <QString>
#include <QStringList>

#include "platform/paths.h"

namespace vexil::obf {

struct ExportReport {
    int boards = 0;       // boards written
    QStringList notices;  // what was left out, one line each (a missing cover, a WMF icon...)
};

// Writes `outPath` (".obz": a package; ".obf": the first board alone) from the board file
// `boardPath` (a path of this machine). Names inside the boards resolve as the program
// resolves them, drive letters through `drives`. Throws ObfError with a message when a
// board cannot be read or the file cannot be written; nothing is left behind then.
ExportReport exportBoards(const QString& boardPath, const QString& outPath,
                          const DriveMap& drives = DriveMap());

}  // namespace vexil::obf
