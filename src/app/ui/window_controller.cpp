#include "app/ui/window_controller.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>
#include <QWindow>

#include "access/access_engine.h"
#include "access/access_menu.h"
#include "access/ui/adapt_dialog.h"
#include "access/ui/joystick_dialog.h"
#include "access/ui/switch_dialog.h"
#include "access/ui/voice_dialog.h"
#include "access/usage_record.h"
#include "app/profile_commands.h"
#include "app/ui/edit_board.h"
#include "app/ui/main_window.h"
#include "app/ui/use_board.h"
#include "app/use_mode.h"
#include "editor/file_commands.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "obf/obf_commands.h"
#include "session/session.h"

namespace vexil {

namespace {

PointerButton buttonOf(Qt::MouseButton button) {
    return button == Qt::RightButton ? PointerButton::Right : PointerButton::Left;
}

}  // namespace

WindowController::WindowController(Session& session, MainWindow& window, AccessEngine& engine,
                                   UseMode& useMode)
    : QObject(&window), s_(session), window_(window), engine_(engine), useMode_(useMode) {
    wireMenus();
    wireBoard();
    watchActivation();
}

void WindowController::watchActivation() {
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        // No window of the program (another application has the focus) leaves the flag.
        if (!now) return;
        if (now != window_.windowHandle()) {
            ownWindowWasActive_ = true;
            return;
        }
        if (!ownWindowWasActive_) return;
        ownWindowWasActive_ = false;
        useMode_.windowActivated();
    });
}

void WindowController::wireMenus() {
    const MainMenus& m = window_.menus();
    connect(m.nou, &QAction::triggered, this, [this] { newTemplate(s_); });
    connect(m.obrir, &QAction::triggered, this, [this] { openTemplateCommand(s_); });
    connect(m.desar, &QAction::triggered, this, [this] { saveTemplateAsCommand(s_); });
    connect(m.exportarObz, &QAction::triggered, this, [this] { exportObzCommand(s_); });
    connect(m.importarObz, &QAction::triggered, this, [this] { importObzCommand(s_); });
    connect(&window_, &MainWindow::exitRequested, this, &WindowController::exit);
    connect(m.activar, &QAction::triggered, this, [this] { useMode_.enterUseMode(); });
    connect(window_.useModeButton(), &QToolButton::clicked, this,
            [this] { useMode_.enterUseMode(); });
    connect(m.finapc, &QAction::triggered, this, [this] { useMode_.leaveUseMode(); });
    connect(m.canviPlafo, &QAction::triggered, this, [this] { useMode_.changeBoard(); });
    for (QAction* item : m.tipusExploracio) {
        connect(item, &QAction::triggered, this,
                [this, item] { chooseAccessItem(item->data().toInt()); });
    }
    connect(m.usuariNou, &QAction::triggered, this, [this] { newUserCommand(s_); });
    connect(m.carregarUsuari, &QAction::triggered, this, [this] { loadUserCommand(s_); });
    connect(m.desarUsuari, &QAction::triggered, this, [this] { saveUserCommand(s_); });
    connect(m.veureUs, &QAction::toggled, this, [this](bool on) {
        window_.editBoard()->setUsage(on ? usageCounts(s_, s_.tmpl.templatePath)
                                         : QHash<int, int>());
    });
    connect(m.adaptacio, &QAction::triggered, this, [this] {
        AdaptHooks hooks;
        hooks.outputs = [this] { return s_.cue->outputs(); };
        hooks.testOutput = [this](const QString& output, int volume) {
            // Said as a cue is, on the output chosen; the next start of an access mode
            // sets the profile's output again.
            if (!s_.cue->setOutput(output)) s_.cue->setOutput(QString());
            if (volume <= 0) return;
            CueStyle style;
            style.volume = volume;
            s_.cue->say(translateCaption(QString::fromUtf8("Prova de la guia auditiva")), style);
        };
        hooks.clearRecord = [this] { return clearUsageRecord(s_); };
        AdaptDialog dialog(s_.profile, &window_, hooks);
        translateForm(&dialog);
        // The new settings act at once in use mode.
        if (dialog.exec() == QDialog::Accepted) useMode_.accessModeChosen();
    });
}

void WindowController::wireBoard() {
    UseBoard* board = window_.useBoard();
    connect(board, &UseBoard::charTyped, this, [this](QChar c) { engine_.keyPress(c); });
    connect(board, &UseBoard::keyDown, this, [this](int code) { engine_.keyDown(code); });
    connect(board, &UseBoard::keyUp, this, [this](int code) { engine_.keyUp(code); });
    connect(board, &UseBoard::released, this,
            [this](Qt::MouseButton b) { engine_.mouseRelease(buttonOf(b)); });
    connect(board, &UseBoard::pointerMoved, this, [this](QPointF p) { engine_.pointerMove(p); });
    connect(board, &UseBoard::pressed, this,
            [this](Qt::MouseButton b, QPointF p) { engine_.mousePress(buttonOf(b), p); });
    connect(board, &UseBoard::clicked, this,
            [this](Qt::MouseButton b) { engine_.click(buttonOf(b)); });
    connect(board, &UseBoard::doubleClicked, this,
            [this](Qt::MouseButton b) { engine_.doubleClick(buttonOf(b)); });
}

void WindowController::exit() {
    if (s_.tmpl.modified) askSave(s_);
    if (useMode_.inUseMode()) useMode_.leaveUseMode();
    QApplication::closeAllWindows();
    window_.closeNow();
}

bool WindowController::runSwitchDialog(int number, const QString& caption) {
    SwitchDialog dialog(s_.profile, &window_);
    translateForm(&dialog);
    dialog.setFrame(s_.profile.gruix, s_.profile.color);
    dialog.setWindowTitle(caption);
    dialog.setPulsador(number);
    return dialog.exec() == QDialog::Accepted;
}

bool WindowController::runJoystickDialog() {
    JoystickDialog dialog(s_.profile, &window_);
    translateForm(&dialog);
    return dialog.exec() == QDialog::Accepted;
}

void WindowController::chooseAccessItem(int index) {
    // The voice dialog's "Cancelar" puts back the settings as they were before the item.
    const UserProfile before = s_.profile;
    const AccessDialog dialog = chooseAccessMenuItem(s_, engine_, index);
    window_.setAccessMenuCheck(index);
    if (dialog == AccessDialog::Switch) {
        bool accepted = true;
        if (index == 1) {
            accepted = runSwitchDialog(1, QStringLiteral("Configuració pulsador 1"));
            if (!accepted) cancelAccessDialog(s_, dialog);
            // Switch 2 is asked for whenever switch 1 has a gesture, even one from before.
            if (s_.profile.switches[1].accio != 0) {
                if (!runSwitchDialog(2, QStringLiteral("Configuració pulsador 2"))) {
                    cancelAccessDialog(s_, dialog);
                }
            }
        } else if (!runSwitchDialog(1, QStringLiteral("Configuració pulsador"))) {
            cancelAccessDialog(s_, dialog);
        }
    }
    if (dialog == AccessDialog::Joystick && !runJoystickDialog()) cancelAccessDialog(s_, dialog);
    if (dialog == AccessDialog::Voice) {
        VoiceDialog voice(s_, &window_);
        voice.load();
        if (voice.exec() != QDialog::Accepted) cancelVoiceDialog(s_, before);
    }
    useMode_.accessModeChosen();
}

}  // namespace vexil
