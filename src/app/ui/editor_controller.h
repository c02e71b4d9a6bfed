#pragma once
// Connects the edit-mode half of the main window to the core editor: the board's pointer
// and Delete key, the "Arees", "Caràtula" and "&Edició" menus, the right-button menu, the
// area property panel and the editor's dialogs. It answers what the editor asks of the
// widgets (EditorView) and the editing calls the core makes on the window (MainView).
#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "assist/keys_field.h"
#include "editor/editor.h"
#include "session/view.h"

namespace vexil {

class AreaPanelWidget;
class CommandAssistant;
class MainWindow;
class Session;

class EditorController : public QObject, public EditorView, public MainView {
    Q_OBJECT
public:
    // When the area property panel is made: at once, or the first time the editor shows it
    // (the window's edit page wanted, an area shown, drawing armed, a key field or command
    // menu used), so that a start in use mode does not build it.
    enum class Panel { Now, WhenShown };
    EditorController(Session& session, MainWindow& window, Panel panel = Panel::Now);
    ~EditorController() override;

    Editor& editor() { return *editor_; }
    // The area property panel; null until it is made.
    AreaPanelWidget* panelWidget() const { return panel_; }
    // Makes the panel if it was not yet, and returns it.
    AreaPanelWidget* makePanel();

    // EditorView.
    void setCrosshair(bool on) override;
    void popUpAreaMenu(int x, int y) override;
    void focusKeysField() override;
    void showRubberBand(const QRect& band) override;
    void panelChanged() override;

    // MainView: the editing calls the window hands on.
    void setDrawingArmed(bool armed) override;
    void showEmptyAreaPanel() override;
    void openTemplateProperties() override;
    void generateCover() override;

    // "Redimensionar àrees" and "&Subdividir àrea": their dialogs, modal.
    void redimensionarArees();
    void subdividirArea();
    // The command menus ("Ordres", "Ratolí", "Memoria"): item `index` of `menu` into the key
    // field, which then has the focus.
    void runCommandMenu(CommandMenu menu, int index);
    // `CODI_MODUS_BOTO`: 0 "Tecles text" (the key field and the command menus usable),
    // 1 "Assistent tecles" (the command assistant on the current area's keys).
    void codiModusBoto(int index);
    KeysFieldCommands& keysField() { return *keysField_; }
    CommandAssistant* assistant() const { return assistant_; }

    // Runs a modal dialog of the editor: true when accepted. Tests drive the dialog here
    // instead of its event loop; by default it is exec().
    std::function<bool(QDialog&)> runDialog;

signals:
    // A help topic asked for ("Seqüències de tecles" of the command assistant: 80).
    void helpRequested(int topic);

private:
    bool run(QDialog& dialog);
    // Shows the panel's state again, when it has been made.
    void refreshPanel();
    // The picture chooser of the icon button: the file chosen, nothing when cancelled.
    std::optional<QString> choosePicture(const QString& folder);
    void wireBoard();
    void wireMenus();
    void wireCommandMenus();

    Session& s_;
    MainWindow& window_;
    std::unique_ptr<Editor> editor_;
    AreaPanelWidget* panel_ = nullptr;
    bool translateOnItsOwn_ = false;
    std::unique_ptr<KeysFieldCommands> keysField_;
    CommandAssistant* assistant_ = nullptr;
    // The folder the picture chooser was left in.
    QString lastPictureFolder_;
};

}  // namespace vexil
