#include "app/ui/editor_controller.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

#include "app/ui/edit_board.h"
#include "app/ui/macro_menus.h"
#include "app/ui/main_window.h"
#include "assist/ui/command_assistant.h"
#include "auxkeys/ui/aux_keyboard.h"
#include "editor/template_properties.h"
#include "editor/ui/area_panel_widget.h"
#include "editor/ui/folder_browser.h"
#include "editor/ui/layout_dialogs.h"
#include "editor/ui/plant_form.h"
#include "editor/ui/rec_graf.h"
#include "help/ui/help_window.h"
#include "i18n/runtime_error.h"
#include "i18n/ui/translate_form.h"
#include "session/session.h"

namespace vexil {

namespace {

MouseButton buttonOf(Qt::MouseButton button) {
    if (button == Qt::RightButton) return MouseButton::Right;
    if (button == Qt::MiddleButton) return MouseButton::Middle;
    return MouseButton::Left;
}

}  // namespace

EditorController::EditorController(Session& session, MainWindow& window, Panel panel)
    : QObject(&window), s_(session), window_(window), editor_(std::make_unique<Editor>(session)) {
    editor_->setView(this);
    window_.setEditorHooks(this);
    keysField_ = std::make_unique<KeysFieldCommands>(editor_->context, editor_->panel);
    keysField_->choosePicture = [this](const QString& folder) { return choosePicture(folder); };
    assistant_ = new CommandAssistant(s_, *keysField_, &window_);
    wireBoard();
    wireMenus();
    new MacroMenus(
        s_, *editor_, window_.menus(), [this] { refreshPanel(); }, this);
    wireCommandMenus();
    translateOnItsOwn_ = panel == Panel::WhenShown;
    if (panel == Panel::Now)
        makePanel();
    else
        connect(&window_, &MainWindow::editPageWanted, this, [this] { makePanel(); });
}

AreaPanelWidget* EditorController::makePanel() {
    if (panel_) return panel_;
    panel_ = new AreaPanelWidget(*editor_);
    window_.setAreaPanel(panel_);
    panel_->choosePicture = [this](const QString& folder) { return choosePicture(folder); };
    connect(panel_, &AreaPanelWidget::keysModeChosen, this, &EditorController::codiModusBoto);
    // Made after the start, it is translated on its own: the rest of the window already is.
    if (translateOnItsOwn_) translateForm(panel_);
    return panel_;
}

void EditorController::refreshPanel() {
    if (panel_) panel_->refresh();
}

EditorController::~EditorController() {
    window_.setEditorHooks(nullptr);
    editor_->setView(nullptr);
}

void EditorController::wireBoard() {
    EditBoard* board = window_.editBoard();
    connect(
        board, &EditBoard::pressed, this,
        [this](Qt::MouseButton b, QPointF p, Qt::KeyboardModifiers mods) {
            const Modifiers m{mods.testFlag(Qt::ShiftModifier), mods.testFlag(Qt::ControlModifier)};
            editor_->board.mouseDown(buttonOf(b), m, p.x(), p.y());
        });
    connect(board, &EditBoard::moved, this,
            [this](QPointF p, Qt::MouseButtons) { editor_->board.mouseMove(p.x(), p.y()); });
    connect(board, &EditBoard::released, this, [this](Qt::MouseButton b, QPointF p) {
        editor_->board.mouseUp(buttonOf(b), p.x(), p.y());
    });
    connect(board, &EditBoard::keyDown, this, [this](int code) {
        editor_->board.keyDown(code);
        refreshPanel();
    });
}

void EditorController::wireMenus() {
    const MainMenus& m = window_.menus();
    BoardEditing& board = editor_->board;
    AreaPanel& panel = editor_->panel;
    const auto on = [this](QAction* action, const std::function<void()>& run) {
        connect(action, &QAction::triggered, this, [this, run] {
            run();
            refreshPanel();
        });
    };
    on(m.copiar.at(0), [&panel] { panel.copyKeys(); });
    on(m.copiar.at(1), [&panel] { panel.pasteKeys(); });
    on(m.copiar.at(2), [&board] { board.undo(); });
    on(m.refer, [&board] { board.redo(); });
    on(m.afegirArea, [&board] { board.addArea(); });
    on(m.eliminarArea, [&board] { board.deleteArea(); });
    on(m.ajustArea, [this] { editor_->layout.ajustarArees(); });
    on(m.redimArea, [this] { redimensionarArees(); });
    on(m.subdividir, [this] { subdividirArea(); });
    on(m.dadesGlobals, [this] { openTemplateProperties(); });
    on(m.caratulaNova, [this] { editor_->coverCommands.newCover(); });
    on(m.caratulaEditar, [this] { editor_->coverCommands.editCover(); });
}

void EditorController::wireCommandMenus() {
    const CommandMenus& c = window_.menus().commands;
    for (const CommandMenu menu : {CommandMenu::Ordres, CommandMenu::Ratoli, CommandMenu::BotoDret,
                                   CommandMenu::BotoEsquerra, CommandMenu::Memoria}) {
        const QList<QAction*> items = c.items(menu);
        for (int i = 0; i < items.size(); ++i)
            connect(items[i], &QAction::triggered, this,
                    [this, menu, i] { runCommandMenu(menu, i); });
    }
    connect(assistant_, &CommandAssistant::keysFieldChanged, this, [this] {
        makePanel()->refresh();
        panel_->focusKeys();
    });
    connect(assistant_, &CommandAssistant::helpRequested, this, &EditorController::helpRequested);
    // "Seqüències de tecles" of an assistant opens its page in the help window.
    connect(this, &EditorController::helpRequested, this, [](int topic) { showHelpTopic(topic); });
    // "teclat virtual" of a data window: the auxiliary keyboard, through its menu item.
    connect(assistant_, &CommandAssistant::auxiliaryKeyboardRequested, this, [this] {
        QAction* tecAux = window_.menus().teclatAuxiliar;
        if (!tecAux->isChecked()) tecAux->trigger();
    });
}

void EditorController::runCommandMenu(CommandMenu menu, int index) {
    keysField_->runMenuItem(menu, index);
    makePanel()->refresh();
    panel_->focusKeys();
    // The inserted command's placeholder is selected, so that typing replaces it.
    const PanelState& p = editor_->context.panel;
    if (p.selectionLength > 0)
        panel_->keysField()->setSelection(p.selectionStart, p.selectionLength);
}

void EditorController::codiModusBoto(int index) {
    if (index == 0) {
        makePanel()->keysField()->setEnabled(true);
        for (QMenu* menu : window_.menus().commands.barMenus()) menu->setEnabled(true);
        window_.menus().macroMenu->setEnabled(true);
        panel_->focusKeys();
        return;
    }
    if (index == 1) assistant_->open();
}

bool EditorController::run(QDialog& dialog) {
    translateForm(&dialog);
    return runDialog ? runDialog(dialog) : dialog.exec() == QDialog::Accepted;
}

void EditorController::redimensionarArees() {
    if (!editor_->context.hasCurrentArea()) return;
    RdmDialog dialog(&window_);
    if (!run(dialog)) return;
    editor_->layout.redimensionarArees(dialog.horizontal(), dialog.vertical());
}

void EditorController::subdividirArea() {
    if (!editor_->layout.canSubdivide()) return;
    QuadriculaDialog dialog(&window_);
    if (!run(dialog)) return;
    editor_->layout.subdividirArea(dialog.columns(), dialog.rows());
}

std::optional<QString> EditorController::choosePicture(const QString& folder) {
    // Where the picture or the board is; without either, where the chooser was left. A
    // board never saved has no folder of its own yet (it keeps the last board's), so
    // there the chooser opens where it was left, once it has been used.
    QString start = folder.isEmpty() ? QString() : s_.realPath(folder);
    const bool saved = s_.tmpl.templatePath.compare(kUnnamedTemplate, Qt::CaseInsensitive) != 0;
    if (!saved && folder == s_.tmpl.templateFolder && !lastPictureFolder_.isEmpty())
        start = lastPictureFolder_;
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = lastPictureFolder_;
    RecGraf dialog(s_.folders.drives, start, &window_);
    const bool accepted = run(dialog);
    lastPictureFolder_ = dialog.browser()->folder();
    if (!accepted) return std::nullopt;
    return dialog.chosenPicture();
}

void EditorController::setCrosshair(bool on) {
    window_.editBoard()->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    window_.editBoard()->setDrawingArmed(on);
}

void EditorController::popUpAreaMenu(int x, int y) {
    window_.menus().arees->popup(window_.editBoard()->mapToGlobal(QPoint(x, y)));
}

void EditorController::focusKeysField() {
    // The board keeps the focus, so that Delete deletes the area the teacher sees
    // selected; the first key typed takes the focus to the key field.
    EditBoard* board = window_.editBoard();
    board->setTypingTarget(makePanel()->keysField());
    board->setFocus(Qt::MouseFocusReason);
}

void EditorController::showRubberBand(const QRect& band) {
    window_.editBoard()->setRubberBand(band);
}

void EditorController::panelChanged() {
    refreshPanel();
}

void EditorController::setDrawingArmed(bool armed) {
    if (armed) makePanel();
    editor_->setDrawingMode(armed);
}

void EditorController::showEmptyAreaPanel() {
    makePanel();
    editor_->panel.showArea(0);
}

void EditorController::openTemplateProperties() {
    // At start-up the new board asks for its properties before the window was shown: the
    // editor comes first, the dialog above it.
    makePanel();
    if (!window_.isVisible()) window_.show();
    const MainMenus& m = window_.menus();
    const QList<QAction*> held = {m.dadesGlobals, m.fitxers->menuAction(), m.edicio->menuAction(),
                                  m.accessibilitat->menuAction(), m.caratulaMenu->menuAction()};
    // The main menus wait while the dialog is open.
    for (QAction* a : held) a->setEnabled(false);
    TemplateProperties properties(editor_->context);
    properties.choosePicture = [this](const QString& folder) { return choosePicture(folder); };
    properties.open();
    PlantForm dialog(properties, s_.folders.drives, &window_);
    dialog.showAuxiliaryKeyboard = [this] { window_.auxKeyboard()->open(); };
    run(dialog);
    for (QAction* a : held) a->setEnabled(true);
    window_.redrawBoard();
}

void EditorController::generateCover() {
    try {
        editor_->coverCommands.generateCover();
    } catch (const RuntimeError& e) {
        s_.message(QStringLiteral("4 Error ") + QString::number(e.number()) + u' ' +
                   e.description());
    }
}

}  // namespace vexil
