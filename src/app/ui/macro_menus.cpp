#include "app/ui/macro_menus.h"

#include <QAction>
#include <QMenu>

#include "app/ui/main_menus.h"
#include "editor/editor.h"
#include "editor/macro_choice.h"
#include "files/catalogue_loader.h"
#include "session/session.h"

namespace vexil {

namespace {

// Fills a menu with one item per text, each named `name` with its index as data; an empty
// list shows the design item, disabled, so that the menu is never a blank strip.
void fill(QMenu* menu, const char* name, const QString& designCaption, const QStringList& items) {
    menu->clear();
    if (items.isEmpty()) {
        QAction* item = menu->addAction(designCaption);
        item->setObjectName(QLatin1String(name));
        item->setData(-1);
        item->setEnabled(false);
        return;
    }
    for (int i = 0; i < items.size(); ++i) {
        // "&" in a name is shown, not taken as a mnemonic.
        QAction* item = menu->addAction(QString(items.at(i)).replace(u'&', QStringLiteral("&&")));
        item->setObjectName(QLatin1String(name));
        item->setData(i);
    }
}

}  // namespace

MacroMenus::MacroMenus(Session& session, Editor& editor, const MainMenus& menus,
                       std::function<void()> panelChanged, QObject* parent)
    : QObject(parent),
      s_(session),
      editor_(editor),
      menus_(menus),
      panelChanged_(std::move(panelChanged)) {
    connect(menus_.carregarMacros, &QMenu::aboutToShow, this, &MacroMenus::refresh);
    connect(menus_.seleccionar, &QMenu::aboutToShow, this, &MacroMenus::refresh);
    connect(menus_.carregarMacros, &QMenu::triggered, this, [this](QAction* item) {
        if (item->data().toInt() >= 0) chooseProgram(item->data().toInt());
    });
    connect(menus_.seleccionar, &QMenu::triggered, this, [this](QAction* item) {
        if (item->data().toInt() >= 0) chooseMacro(item->data().toInt());
    });
    refresh();
}

void MacroMenus::refresh() {
    fill(menus_.carregarMacros, "f_prog", QStringLiteral("programes"), programMenuItems(s_));
    fill(menus_.seleccionar, "f_macro", QStringLiteral("macro"), macroMenuItems(s_));
}

void MacroMenus::chooseProgram(int index) {
    // Names "Seleccionar" after the application through the window.
    if (vexil::chooseProgram(s_, index)) refresh();
}

void MacroMenus::chooseMacro(int index) {
    if (!applyMacro(editor_, index)) {
        editor_.context.beep();
        return;
    }
    if (panelChanged_) panelChanged_();
}

}  // namespace vexil
