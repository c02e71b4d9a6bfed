#pragma once
// The commands the editor offers ready-made: the items of the menus "Ordres", "Ratolí" (with
// "Botó dret" and "Botó esquerra") and "Memoria", each with the text it inserts into the key
// field, and the 32-row command catalogue the command assistant lists (caption, opening text,
// parameter kind). Also the file choice of the commands that name a file.
#include <QString>
#include <functional>
#include <optional>
#include <span>

#include "platform/dialogs.h"

namespace vexil {

class Session;

inline constexpr int kCatalogueRows = 32;

// Row `index` (0..31), column 0 caption, 1 opening text, 2 parameter kind; any other index or
// column gives an empty text. Opening texts lack their closing brace; in row 2 "_VALOR_"
// stands for the chosen picture.
QString commandCatalogue(int index, int column);
// How many catalogue captions the assistant lists: those up to the first empty one.
int catalogueCaptionCount();

// Parameter kinds (column 2).
enum class ParamKind { None, File, Text, Number, Coordinates, List, Condition };
ParamKind paramKind(const QString& kind);
// The file kind chooseCommandFile takes for a file parameter kind ("Fitxer exe" 0, "Fitxer
// so" 1, "Fitxer Vxl" 2, "Fitxer text" 3, "Fitxer Gràfic" 5, any case), or -1.
int fileKindOf(const QString& kind);

// The command menus of the main window.
enum class CommandMenu { Ordres, Ratoli, BotoDret, BotoEsquerra, Memoria };
struct CommandMenuItem {
    const char16_t* caption;
    // The inserted text; "%1" stands for the chosen file.
    const char16_t* text;
    // The file asked for first (chooseCommandFile kinds 0..3, 5 the picture chooser), or -1.
    int fileKind;
    // The first text for the author to overwrite ("n", "x y"), selected after the insertion
    // so that typing replaces it; null when there is none.
    const char16_t* placeholder = nullptr;
};
std::span<const CommandMenuItem> commandMenuItems(CommandMenu menu);
// The object names of the menus' items: mn_ord, mn_rat, mn_rat_d, mn_rat_e, mn_memo.
const char* commandMenuName(CommandMenu menu);

// The picture chooser "Fitxers Gràfics": opened in a folder, the chosen picture or nothing.
using PictureChooser = std::function<std::optional<QString>(const QString& folder)>;

// The file dialog of command kinds 0..3: title, filter, proposed name and (kind 2) the
// template's folder.
FileDialogRequest commandFileRequest(const Session& session, int kind);
// A chosen file name as commands store it: upper-cased and relative to the template's folder
// when it lies inside it; empty when it begins with "*", is empty or has 4 characters or
// fewer.
QString commandFileName(const Session& session, const QString& chosen);
// Asks for the file of command kind 0..3 (file dialog) or 5 (the picture chooser, in the
// current folder); the name as commandFileName gives it, empty when cancelled or for other
// kinds.
QString chooseCommandFile(Session& session, int kind, const PictureChooser& choosePicture);

}  // namespace vexil
