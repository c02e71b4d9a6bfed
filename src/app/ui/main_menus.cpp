#include "app/ui/main_menus.h"

#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace vexil {

namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("_action"));
    return menu;
}

QAction* addAction(QWidget* owner, const char* name, const QString& caption,
                   bool checkable = false) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    owner->addAction(action);
    return action;
}

}  // namespace

MainMenus MainMenus::build(QMenuBar* bar) {
    MainMenus m;
    m.fitxers = addMenu(bar, "Fitxers", QStringLiteral("&Fitxers"));
    m.nou = addAction(m.fitxers, "NouFitxer", QStringLiteral("&Nou"));
    m.obrir = addAction(m.fitxers, "ObrirFitxer", QStringLiteral("&Obrir ..."));
    m.desar = addAction(m.fitxers, "DesarFitxer", QStringLiteral("&Desar ..."));
    m.fitxers->addSeparator();
    m.exportarObz = addAction(m.fitxers, "ExportarObz", QStringLiteral("Exportar a OBZ ..."));
    m.importarObz = addAction(m.fitxers, "ImportarObz", QStringLiteral("Importar OBZ ..."));
    m.fitxers->addSeparator();
    m.sortir = addAction(m.fitxers, "FitxersSortir", QStringLiteral("&Sortir"));

    m.veure = addMenu(bar, "opcions", QStringLiteral("&Veure"));
    m.caratula = addAction(m.veure, "veure_pant", QStringLiteral("&Caràtula"), true);
    m.caratula->setChecked(true);
    m.soActiu = addAction(m.veure, "soactiu", QStringLiteral("&So actiu"), true);
    m.teclatAuxiliar = addAction(m.veure, "mn_tec_aux", QStringLiteral("&Teclat auxiliar"), true);
    m.veureUs = addAction(m.veure, "mn_veure_us", QString::fromUtf8("Veure ús"), true);
    m.veure->addSeparator();
    m.dadesGlobals = addAction(m.veure, "DadesPlant", QStringLiteral("&Dades globals"));

    m.edicio = addMenu(bar, "MenuArea", QStringLiteral("&Edició"));
    const char* const editCaptions[] = {"Copiar", "Enganxar", "Desfer"};
    for (int i = 0; i < 3; ++i) {
        QAction* item = addAction(m.edicio, "mn_copiar", QString::fromUtf8(editCaptions[i]));
        item->setData(i);
        m.copiar.append(item);
    }
    m.copiar[2]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m.refer = addAction(m.edicio, "mn_refer", QStringLiteral("Refer"));
    m.refer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

    m.arees = addMenu(bar, "mn_arees", QStringLiteral("Arees"));
    m.afegirArea = addAction(m.arees, "AfegirArea", QStringLiteral("&Afegir àrea"));
    m.eliminarArea = addAction(m.arees, "EliminarArea", QStringLiteral("&Eliminar àrea"));
    m.arees->addSeparator();
    m.ajustArea = addAction(m.arees, "AjustArea", QStringLiteral("Ajustar àrees"));
    m.redimArea = addAction(m.arees, "RedimArea", QStringLiteral("Redimensionar àrees"));
    m.subdividir = addAction(m.arees, "MnuQuad", QStringLiteral("&Subdividir àrea"));

    m.caratulaMenu = addMenu(bar, "mn_caratula", QStringLiteral("Caràtula"));
    m.caratulaNova = addAction(m.caratulaMenu, "CaratulaDesar", QStringLiteral("&Nova"));
    m.caratulaEditar = addAction(m.caratulaMenu, "CaratulaEditar", QStringLiteral("&Editar"));
    m.commands = CommandMenus::build(bar);

    m.macroMenu = addMenu(bar, "mn_macro", QStringLiteral("Macros"));
    m.carregarMacros = m.macroMenu->addMenu(QStringLiteral("Carregar macros"));
    m.carregarMacros->setObjectName(QStringLiteral("mn_macro_rec"));
    m.seleccionar = m.macroMenu->addMenu(QStringLiteral("Seleccionar"));
    m.seleccionar->setObjectName(QStringLiteral("mn_sel_macro"));

    m.accessibilitat = addMenu(bar, "mn_access", QStringLiteral("&Accessibilitat"));
    m.accessGroup = new QActionGroup(m.accessibilitat);
    // One check mark at most; none when a profile names no mode the menu shows.
    m.accessGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const char* const captions[] = {"Cursor &Ratolí",  "Escaneig &Manual", "Escaneig &Automàtic",
                                    "Cursors &Teclat", "&Joystic",         "&Veu"};
    for (int i = 0; i < 6; ++i) {
        QAction* item =
            addAction(m.accessibilitat, "Tipus_exploracio", QString::fromUtf8(captions[i]), true);
        item->setData(i);
        m.accessGroup->addAction(item);
        m.tipusExploracio.append(item);
    }
    m.tipusExploracio.first()->setChecked(true);
    m.accessibilitat->addSeparator();
    m.usuari = m.accessibilitat->addMenu(QStringLiteral("Usuari"));
    m.usuari->setObjectName(QStringLiteral("mn_usr"));
    m.usuariNou = addAction(m.usuari, "Usuari_nou", QStringLiteral("Usuari &Nou"));
    m.carregarUsuari = addAction(m.usuari, "mn_Usuari_car", QStringLiteral("Carregar &Usuari"));
    m.desarUsuari = addAction(m.usuari, "Usuari_des", QStringLiteral("Desar u&suari"));
    m.adaptacio = addAction(m.accessibilitat, "mn_adaptacio", QString::fromUtf8("A&daptació..."));

    m.activar = addAction(bar, "actApl", QStringLiteral("&Activar"));

    m.ajuda = addMenu(bar, "MAj", QStringLiteral("&Ajuda"));
    m.indexAjuda = addAction(m.ajuda, "hlpIndex", QStringLiteral("&Índex de l'ajuda"));
    m.seqTecles = addAction(m.ajuda, "HelpTecles", QStringLiteral("Seqüències de tecles"));
    m.quantAl = addAction(m.ajuda, "MnuAbout", QStringLiteral("&Quant al Vexil..."));

    m.finapc = addAction(bar, "finapc", QStringLiteral("&Sortir"));
    m.canviPlafo = addAction(bar, "f_obrir", QStringLiteral("&Canvi de plafó"));
    m.showMode(false);
    return m;
}

void MainMenus::showMode(bool useMode) const {
    // "&Accessibilitat" stays in use mode: the access mode can be changed there, and the
    // new one starts at once.
    for (QMenu* menu : {fitxers, veure, edicio, arees, caratulaMenu, macroMenu, ajuda})
        menu->menuAction()->setVisible(!useMode);
    for (QMenu* menu : commands.barMenus()) menu->menuAction()->setVisible(!useMode);
    activar->setVisible(!useMode);
    finapc->setVisible(useMode);
    canviPlafo->setVisible(useMode);
}

void MainMenus::checkAccessItem(int index) const {
    if (index >= 0 && index < tipusExploracio.size()) {
        tipusExploracio.at(index)->setChecked(true);
        return;
    }
    for (QAction* item : tipusExploracio) item->setChecked(false);
}

}  // namespace vexil
