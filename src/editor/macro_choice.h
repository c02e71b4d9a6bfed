#pragma once
// The editor's "Macros" menu without its widgets: the applications of the catalogue
// ("Carregar macros", `f_prog`) and the macros of the one chosen ("Seleccionar",
// `f_macro`), and a chosen macro written into the current area.
#include <QStringList>

namespace vexil {

class Editor;
class Session;

// The menu names of the catalogue's applications (item i is record i + 1).
QStringList programMenuItems(const Session& session);
// The titles of the macros loaded (item j is macro j + 1).
QStringList macroMenuItems(const Session& session);

// `f_macro_Click`: with a current area, the keys of macro `index` + 1 are appended to the
// key field (in its displayed form) and its sound and icon go into their fields; a macro
// without a sound or an icon leaves that field as it was. False, and nothing changed,
// without a current area or such a macro.
bool applyMacro(Editor& editor, int index);

}  // namespace vexil
