#include "assist/keys_field.h"

#include <algorithm>

#include "editor/area_panel.h"
#include "editor/editor_context.h"
#include "files/catalogue_loader.h"
#include "i18n/texts.h"
#include "session/session.h"
#include "settings/catalogue.h"

namespace vexil {

QString KeysFieldCommands::chooseFile(int kind) {
    return chooseCommandFile(c_.session, kind, choosePicture);
}

bool KeysFieldCommands::canWrite() {
    if (c_.hasCurrentArea()) return true;
    c_.beep();
    return false;
}

void KeysFieldCommands::beep() {
    c_.beep();
}

bool KeysFieldCommands::runMenuItem(CommandMenu menu, int index) {
    const std::span<const CommandMenuItem> items = commandMenuItems(menu);
    if (index < 0 || size_t(index) >= items.size()) return false;
    const CommandMenuItem& item = items[size_t(index)];
    // Nothing to insert into: the file is not asked for either.
    if (!c_.hasCurrentArea()) {
        c_.beep();
        return false;
    }
    QString text = QString::fromUtf16(item.text);
    QString file;
    if (item.fileKind >= 0) {
        file = chooseFile(item.fileKind);
        if (file.isEmpty()) return false;
        text = text.arg(file);
    }
    // The key field shows command names in the interface's spelling; the memory commands
    // are the same in both.
    if (menu != CommandMenu::Memoria) text = translateCommands(text, 0);
    const int at = std::clamp(c_.panel.selectionStart, 0, int(c_.panel.txText.size()));
    if (!insertAtCursor(text)) return false;
    // The text to overwrite is selected, so that what the author types replaces it and the
    // braces around it stay whole. It follows the command's name.
    if (item.placeholder) {
        const QString placeholder = QString::fromUtf16(item.placeholder);
        const qsizetype inside = text.indexOf(placeholder, std::max<qsizetype>(0, text.indexOf(u' ')));
        if (inside >= 0) {
            c_.panel.selectionStart = at + int(inside);
            c_.panel.selectionLength = int(placeholder.size());
        }
    }
    // The picture pasted is also the area's icon.
    if (item.fileKind == 5) panel_.setIconFile(file);
    return true;
}

bool KeysFieldCommands::insertAtCursor(const QString& displayed) {
    if (!c_.hasCurrentArea()) {
        c_.beep();
        return false;
    }
    PanelState& p = c_.panel;
    const int at = std::clamp(p.selectionStart, 0, int(p.txText.size()));
    const QString text = p.txText.left(at) + displayed + p.txText.mid(at);
    p.selectionStart = at + int(displayed.size());
    p.selectionLength = 0;
    panel_.setKeysText(text);
    return true;
}

QString KeysFieldCommands::assistantStart() const {
    return translateCommands(c_.panel.txText, 1);
}

bool KeysFieldCommands::acceptAssistant(const QString& start, const JoinedKeys& joined) {
    if (!c_.hasCurrentArea()) {
        c_.beep();
        return false;
    }
    // Rows left as they were change nothing, the icon included: a macro's icon stored with
    // its folder stays found.
    if (joined.keys == start) return true;
    PanelState& p = c_.panel;
    const QString displayed = translateCommands(joined.keys, 0);
    p.selectionStart = int(displayed.size());
    p.selectionLength = 0;
    panel_.setKeysText(displayed);
    if (joined.icon) {
        MacroEntry macro;
        macro.icon = *joined.icon;
        // A macro's icon is named where the macro menus put it, in the program's "icones".
        panel_.setIconFile(joined.iconFromMacro ? macroIconPath(c_.session, macro) : *joined.icon);
    }
    return true;
}

}  // namespace vexil
