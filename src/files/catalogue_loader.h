#pragma once
// Reads MACROS.INI into the session's catalogue.
#include <QString>

namespace vexil {

class Session;
struct MacroEntry;

// MACROS.INI of the program's folder: the applications (`programs`) and the installed ones
// (`programCatalogue`). Programs are looked for relative to the current directory and,
// when not found there, on the search path under their lower-case name.
void loadProgramCatalogue(Session& session);
// The macros of one application's section, replacing those loaded before.
void loadMacros(Session& session, const QString& section);

// The same, from a catalogue file elsewhere (a real path of this machine).
void loadProgramCatalogueFrom(Session& session, const QString& iniPath);
void loadMacrosFrom(Session& session, const QString& iniPath, const QString& section);

// An application chosen in "Carregar macros" (menu item `index`, record index + 1): loads
// its macros and names it in the "Seleccionar" caption. False when there is no such record.
bool chooseProgram(Session& session, int index);
// The macro of menu item `index` of "Seleccionar" (record index + 1), or null.
const MacroEntry* macroAt(const Session& session, int index);
// Where a macro's icon lies: the folder "icones" of the program's folder.
QString macroIconPath(const Session& session, const MacroEntry& macro);

}  // namespace vexil
