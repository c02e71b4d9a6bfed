#include "editor/macro_choice.h"

#include "editor/editor.h"
#include "files/catalogue_loader.h"
#include "i18n/texts.h"
#include "session/session.h"

namespace vexil {

QStringList programMenuItems(const Session& session) {
    QStringList items;
    const auto& programs = session.catalogue.programs;
    for (size_t k = 1; k < programs.size(); ++k) items << programs[k].name;
    return items;
}

QStringList macroMenuItems(const Session& session) {
    QStringList items;
    const auto& macros = session.catalogue.macros;
    for (size_t j = 1; j < macros.size(); ++j) items << macros[j].title;
    return items;
}

bool applyMacro(Editor& editor, int index) {
    EditorContext& c = editor.context;
    if (!c.hasCurrentArea()) return false;
    const MacroEntry* macro = macroAt(c.session, index);
    if (!macro) return false;
    // The key field shows command names in the interface language; the appended keys are
    // shown the same way and stored back in their own form.
    editor.panel.setKeysText(c.panel.txText + translateCommands(macro->keys, 0));
    // An empty sound or icon in the catalogue would only wipe what the area had.
    if (!macro->sound.isEmpty()) editor.panel.setSoundFile(macro->sound);
    if (!macro->icon.isEmpty()) editor.panel.setIconFile(macroIconPath(c.session, *macro));
    return true;
}

}  // namespace vexil
