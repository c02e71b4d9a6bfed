#pragma once
// The command assistant's rows: a key sequence cut into rows (plain text to type, one command
// of the catalogue with its parameter, or one macro of the chosen application) and the rows
// joined back into a sequence. Cutting and joining give back every sequence exactly.
#include <QString>
#include <optional>
#include <vector>

#include "settings/catalogue.h"

namespace vexil {

// One row. `choice` is its place in the assistant's list: 0..c-1 the catalogue's captions
// (c = catalogueCaptionCount(), 0 "Escriu"), c + j macro j of the catalogue in memory.
// `param1` is the command's opening text as it stands in the sequence (the catalogue's when
// the row was chosen in the list), `param2` its parameter.
struct KeyRow {
    int choice = 0;
    QString param1;
    QString param2;
    bool operator==(const KeyRow&) const = default;
};

// One embedded command, from its "{|" up to and including its closing brace, as a catalogue
// row: the first row whose opening text equals the command's head (its text up to and
// including the first blank, the second for "{|Mouse"), or whose opening text begins it, or
// that is a command without a parameter spelled as the whole command; keywords also match in
// their Spanish spelling and in any letter case. Nothing when no row fits.
std::optional<KeyRow> codi_trobar(const QString& command);

// A sequence cut into rows, from the left: each command through codi_trobar (a command no row
// fits, or one never closed, as "Escriu" with the command's text); at "%", "^", "+" or "<" the
// first macro whose keys stand there exactly; the text between them as "Escriu" rows.
std::vector<KeyRow> cutKeySequence(const QString& keys, const std::vector<MacroEntry>& macros);

// What "Acceptar" writes: the sequence and, when a row asks for it, the area's icon.
struct JoinedKeys {
    QString keys;
    std::optional<QString> icon;
    // The icon is a macro's, named as the catalogue has it (in the program's "icones").
    bool iconFromMacro = false;
};
// confegir_codi: each row's text in order. A command row is its opening text (param1) with
// the parameter in place of "_VALOR_" or after it, and the closing brace unless "_VALOR_"
// stood for the parameter (its brace is already written); "Escriu" is its parameter; a macro
// is its keys and gives its icon. A command whose parameter names a picture (BMP, GIF, JPG,
// WMF) gives it as the icon.
JoinedKeys confegir_codi(const std::vector<KeyRow>& rows, const std::vector<MacroEntry>& macros);

// The caption of a list place: the catalogue caption in the interface language, or the macro's
// title; empty outside the list.
QString choiceCaption(int choice, const std::vector<MacroEntry>& macros);
// Number of places in the list: the captions, then the macros from record 0.
int choiceCount(const std::vector<MacroEntry>& macros);

// The rows of one assistant window (rows 1..n; the scratch row 0 of the old design is not
// needed) and the selected one (0: none): "+ Codi", "- Codi", "^ Codi".
class RowList {
public:
    std::vector<KeyRow> rows;
    int selected = 0;  // n_items, 1-based

    int count() const { return int(rows.size()); }
    // "+ Codi": a new "Escriu" row below the last one, selected.
    void add();
    // "- Codi": the selected row goes; the selection stays on the same place, or on the last
    // row when it was the last.
    void removeSelected();
    // "^ Codi": the selected row changes places with the one above it (not on row 1).
    void moveUp();
    KeyRow* current();
};

// What choosing in a row's list asks for next.
enum class ChoiceAction { Nothing, File, Data, Condition };
// A row's choice changed to `choice`: param1 becomes the catalogue's opening text (a macro's is
// empty); a command without a parameter drops the old one. Returns what the row needs next;
// for File, `fileKind` receives chooseCommandFile's kind.
ChoiceAction chooseRow(KeyRow& row, int choice, const std::vector<MacroEntry>& macros,
                       int* fileKind = nullptr);

}  // namespace vexil
