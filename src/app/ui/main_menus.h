#pragma once
// The menu bar of the main window. Captions are the Catalan design captions; object names
// are the design names, so that the caption table and the tests find every item.
#include <QList>

#include "assist/ui/command_menus.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace vexil {

struct MainMenus {
    // Edit mode.
    QMenu* fitxers = nullptr;  // "&Fitxers"
    QAction* nou = nullptr;
    QAction* obrir = nullptr;
    QAction* desar = nullptr;
    QAction* exportarObz = nullptr;  // "Exportar a OBZ ..."
    QAction* importarObz = nullptr;  // "Importar OBZ ..."
    QAction* sortir = nullptr;
    QMenu* veure = nullptr;  // "&Veure" (opcions)
    QAction* caratula = nullptr;
    QAction* soActiu = nullptr;
    QAction* teclatAuxiliar = nullptr;
    QAction* dadesGlobals = nullptr;
    QMenu* edicio = nullptr;   // "&Edició" (MenuArea)
    QList<QAction*> copiar;    // mn_copiar: "Copiar", "Enganxar", "Desfer"
    QAction* refer = nullptr;  // "Refer"
    QMenu* arees = nullptr;    // "Arees" (mn_arees), also the board's right-button menu
    QAction* afegirArea = nullptr;
    QAction* eliminarArea = nullptr;
    QAction* ajustArea = nullptr;
    QAction* redimArea = nullptr;
    QAction* subdividir = nullptr;      // MnuQuad
    QMenu* caratulaMenu = nullptr;      // "Caràtula" (mn_caratula)
    QAction* caratulaNova = nullptr;    // CaratulaDesar
    QAction* caratulaEditar = nullptr;  // CaratulaEditar
    QMenu* macroMenu = nullptr;       // "Macros" (mn_macro)
    QMenu* carregarMacros = nullptr;  // "Carregar macros" (mn_macro_rec): items f_prog
    QMenu* seleccionar = nullptr;     // "Seleccionar" (mn_sel_macro): items f_macro
    CommandMenus commands;              // "Ordres", "Ratolí", "Memoria"
    QMenu* accessibilitat = nullptr;
    QList<QAction*> tipusExploracio;  // items 0..5, one radio group
    QActionGroup* accessGroup = nullptr;
    QMenu* usuari = nullptr;  // mn_usr
    QAction* usuariNou = nullptr;
    QAction* carregarUsuari = nullptr;
    QAction* desarUsuari = nullptr;
    QAction* adaptacio = nullptr;  // the adaptation dialog
    QAction* veureUs = nullptr;    // the usage heat map over the edited board
    QAction* activar = nullptr;  // "&Activar"
    QMenu* ajuda = nullptr;      // "&Ajuda" (MAj)
    QAction* indexAjuda = nullptr;
    QAction* seqTecles = nullptr;  // "Seqüències de tecles" (HelpTecles)
    QAction* quantAl = nullptr;
    // Use mode.
    QAction* finapc = nullptr;      // "&Sortir": back to edit mode
    QAction* canviPlafo = nullptr;  // "&Canvi de plafó"

    // Builds the menus into `bar` (edit-mode items visible).
    static MainMenus build(QMenuBar* bar);
    // Shows the menus of one mode and hides those of the other; "&Accessibilitat" is in both.
    void showMode(bool useMode) const;
    // Checks item `index` of the access menu, unchecking the others.
    void checkAccessItem(int index) const;
};

}  // namespace vexil
