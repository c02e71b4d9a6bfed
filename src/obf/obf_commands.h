#pragma once
// The "&Fitxers" menu items "Exportar a OBZ ..." and "Importar OBZ ...": the file dialogs,
// the save question, and the messages, around the export and import of the Open Board
// Format.
#include <QString>

namespace vexil {

class Session;

// Asks where to write the open board (saved first when it has changes) and its linked
// boards as an .obz (or, by the name chosen, one .obf).
void exportObzCommand(Session& session);
// Asks for an .obz or .obf and the name of a folder (in a save dialog), imports it there
// (into a new folder named after the package when the chosen one is not empty) and opens
// the first imported board. With `package` (a file the desktop hands over), that package,
// without asking for it.
void importObzCommand(Session& session, const QString& package = {});

}  // namespace vexil
