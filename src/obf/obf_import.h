#pragma once
// Import of Open Board Format boards (.obz packages and single .obf boards) as Vexil boards.
// A package Vexil wrote comes back as it was: the same board files, byte for byte, and the
// same pictures and sounds, taken from the format's own fields when another program wrote
// the package again (and its edits with them). Boards from other programs become boards
// with one area per button laid out on their grid, a cover drawn from the labels and
// pictures over their background, keys that say what the button says, do its actions and
// open the imported board it links to (CARREGA).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "obf/zip_archive.h"

namespace vexil::obf {

struct ImportOptions {
    ZipLimits limits;
    bool drawCovers = true;  // covers of boards from other programs (needs fonts)
};

struct ImportReport {
    int boards = 0;
    QString rootBoard;    // the first board, as a path of this machine
    QStringList notices;  // what was left out or changed, one line each
    // Boards that open one another, each imported once: a note, not a warning (a "home"
    // key on every board makes one).
    QStringList cycles;
};

// Imports `inPath` (.obz, or .obf for one board) into the folder `outDir`, which must not
// exist or be empty. Everything is written into a temporary folder beside it that takes
// its name at the end: on any failure (ObfError with a message) nothing is left behind.
ImportReport importBoards(const QString& inPath, const QString& outDir,
                          const ImportOptions& options = {});

// The same from the bytes of a package (`single` false) or of one board (`single` true).
ImportReport importBytes(const QByteArray& bytes, bool single, const QString& outDir,
                         const ImportOptions& options = {});

}  // namespace vexil::obf
