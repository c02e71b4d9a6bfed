#pragma once
// The editor's "Macros" menu: "Carregar macros" lists the catalogue's applications
// (`f_prog`), "Seleccionar" the macros of the one chosen (`f_macro`), named after it.
// The items are made from the session's catalogue each time a menu opens, so a board that
// names its application (which loads its macros) shows them too.
#include <QObject>
#include <functional>

namespace vexil {

class Editor;
class Session;
struct MainMenus;

class MacroMenus : public QObject {
    Q_OBJECT
public:
    // `panelChanged` shows the area panel again after a macro changed the area.
    MacroMenus(Session& session, Editor& editor, const MainMenus& menus,
               std::function<void()> panelChanged, QObject* parent = nullptr);

    // Makes the items of both menus again from the catalogue.
    void refresh();
    // `f_prog_Click` and `f_macro_Click`.
    void chooseProgram(int index);
    void chooseMacro(int index);

private:
    Session& s_;
    Editor& editor_;
    const MainMenus& menus_;
    std::function<void()> panelChanged_;
};

}  // namespace vexil
