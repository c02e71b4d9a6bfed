#include "assist/ui/command_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace vexil {

namespace {

QMenu* menuOf(const CommandMenus& m, CommandMenu menu) {
    switch (menu) {
        case CommandMenu::Ordres: return m.ordres;
        case CommandMenu::Ratoli: return m.ratoli;
        case CommandMenu::BotoDret: return m.botoDret;
        case CommandMenu::BotoEsquerra: return m.botoEsquerra;
        case CommandMenu::Memoria: return m.memoria;
    }
    return nullptr;
}

void addItems(QMenu* menu, CommandMenu which) {
    int index = 0;
    for (const CommandMenuItem& item : commandMenuItems(which)) {
        auto* action = new QAction(QString::fromUtf16(item.caption), menu);
        action->setObjectName(QLatin1String(commandMenuName(which)));
        action->setData(index++);
        menu->addAction(action);
    }
}

QMenu* barMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("_action"));
    return menu;
}

}  // namespace

CommandMenus CommandMenus::build(QMenuBar* bar) {
    CommandMenus m;
    m.ordres = barMenu(bar, "mn_or", QStringLiteral("Ordres"));
    addItems(m.ordres, CommandMenu::Ordres);
    m.ratoli = barMenu(bar, "mn_rata", QStringLiteral("Ratolí"));
    addItems(m.ratoli, CommandMenu::Ratoli);
    m.ratoli->addSeparator();
    m.botoDret = m.ratoli->addMenu(QStringLiteral("Botó dret"));
    m.botoDret->setObjectName(QStringLiteral("mn_rat_dret"));
    addItems(m.botoDret, CommandMenu::BotoDret);
    m.botoEsquerra = m.ratoli->addMenu(QStringLiteral("Botó esquerra"));
    m.botoEsquerra->setObjectName(QStringLiteral("mn_rat_esq"));
    addItems(m.botoEsquerra, CommandMenu::BotoEsquerra);
    m.memoria = barMenu(bar, "mn_mem", QStringLiteral("Memoria"));
    addItems(m.memoria, CommandMenu::Memoria);
    return m;
}

QList<QAction*> CommandMenus::items(CommandMenu menu) const {
    QList<QAction*> out;
    QMenu* m = menuOf(*this, menu);
    if (!m) return out;
    for (QAction* a : m->actions())
        if (!a->isSeparator() && !a->menu()) out << a;
    return out;
}

}  // namespace vexil
