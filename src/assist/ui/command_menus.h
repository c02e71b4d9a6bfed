#pragma once
// The menus "Ordres" (mn_or), "Ratolí" (mn_rata, with "Botó dret" and "Botó esquerra") and
// "Memoria" (mn_mem) of the main window. Items carry their menu's design name as object name
// and their index as data; the editor controller wires them to the key field.
#include <QList>

#include "assist/command_catalogue.h"

class QAction;
class QMenu;
class QMenuBar;

namespace vexil {

struct CommandMenus {
    QMenu* ordres = nullptr;        // "Ordres": mn_ord 0..11
    QMenu* ratoli = nullptr;        // "Ratolí": mn_rat 0..4, then the two submenus
    QMenu* botoDret = nullptr;      // "Botó dret": mn_rat_d 0..3
    QMenu* botoEsquerra = nullptr;  // "Botó esquerra": mn_rat_e 0..3
    QMenu* memoria = nullptr;       // "Memoria": mn_memo 0..5

    // Builds the three menus at the end of `bar`, with the design captions.
    static CommandMenus build(QMenuBar* bar);
    // The menus shown on the bar (edit mode only).
    QList<QMenu*> barMenus() const { return {ordres, ratoli, memoria}; }
    // The items of one menu, by index.
    QList<QAction*> items(CommandMenu menu) const;
};

}  // namespace vexil
