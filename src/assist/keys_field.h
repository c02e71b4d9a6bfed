#pragma once
// What the command menus and the top command assistant do to the area panel's key field
// `TxText`: insert a menu item's command at the cursor (asking for its file first where it
// names one), and take the assistant's sequence back.
#include <QString>

#include "assist/command_catalogue.h"
#include "assist/key_rows.h"

namespace vexil {

class AreaPanel;
struct EditorContext;

class KeysFieldCommands {
public:
    KeysFieldCommands(EditorContext& context, AreaPanel& panel) : c_(context), panel_(panel) {}

    // The picture chooser of "Enganxar un dibuix" (and of the assistant's picture rows).
    PictureChooser choosePicture;

    // Item `index` of `menu` (mn_ord, mn_rat, mn_rat_d, mn_rat_e, mn_memo): its text at the
    // cursor, after the file it names was chosen. False when nothing was inserted (no such
    // item, the file dialog cancelled or its name refused, no current area).
    bool runMenuItem(CommandMenu menu, int index);
    // `displayed` at the cursor of the key field, the cursor just after it; with no current
    // area only a beep.
    bool insertAtCursor(const QString& displayed);

    // The sequence the top assistant starts from: the key field in its stored form.
    QString assistantStart() const;
    // "Acceptar" of the top assistant, which started from `start`: the key field shows the
    // joined sequence (left exactly as it was when the rows give `start` back) and the icon
    // field the icon the rows named. False, with a beep, when no area is current.
    bool acceptAssistant(const QString& start, const JoinedKeys& joined);
    // The file a command asks for, as the menus and the assistant ask for it.
    QString chooseFile(int kind);
    // An area is current, so the key field can take a sequence; otherwise a beep.
    bool canWrite();
    void beep();

private:
    EditorContext& c_;
    AreaPanel& panel_;
};

}  // namespace vexil
