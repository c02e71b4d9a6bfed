#include "app/use_mode.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "access/access_engine.h"
#include "access/board_walk.h"
#include "commands/interpreter.h"
#include "commands/placement.h"
#include "commands/player.h"
#include "commands/sound_speech.h"
#include "commands/trust_gate.h"
#include "editor/file_commands.h"
#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "platform/codepage.h"
#include "platform/picture_files.h"
#include "session/session.h"
#include "template/board_paths.h"

namespace vexil {

namespace {

// The start actions wait this long after placing the target before the start keys.
constexpr int kStartKeysDelayMs = 500;
// More started applications than this cannot be: the close loop ends there whatever the
// history holds.
constexpr int kMaxClosings = 1000;

QRect boardRectOf(Session& s) {
    return boardWindowRect(s.tmpl.area(1), s.platform.windows.screenSize());
}

}  // namespace

UseMode::UseMode(Session& session, AccessEngine& engine) : s_(session), engine_(engine) {
    s_.setHost(this);
}

UseMode::~UseMode() {
    s_.setHost(nullptr);
}

bool UseMode::inUseMode() const {
    return s_.access.useMode;
}

bool UseMode::enterUseMode() {
    Template& t = s_.tmpl;
    if (s_.access.useMode) return true;  // already there: the start actions run once
    if (t.areaCount() == 0) return false;
    if (t.modified) askSave(s_);
    if (t.areaCount() == 0) return false;  // the save question may not empty it, but be sure
    s_.currentDirectory = t.templateFolder;
    t.currentArea = 1;
    reloadCover();
    if (s_.speech.speechAvailable) applyTemplateVoice(s_);

    // The window's activation: the use-mode layout and the start actions.
    s_.player.memory.clear();
    s_.access.scale = useModeScale(s_.platform.windows.screenSize());
    s_.view->enterUseModeDisplay(boardRectOf(s_));
    s_.view->setSoundOnCheck(t.settings.soundOn != 0);
    // What this desktop does not allow (Wayland), said once in the program's life, before
    // anything is typed.
    if (!s_.platform.desktopNotice.isEmpty() && !desktopNoticeShown_) {
        desktopNoticeShown_ = true;
        s_.platform.dialogs.message(s_.platform.desktopNotice, QStringLiteral("Vexil"),
                                    MessageButtons::Ok, MessageIcon::Information);
    }
    s_.access.useMode = true;
    s_.timer1->setInterval(s_.programSettings.Interval);
    s_.timer1->setEnabled(true);
    // Leaving use mode sets the focus timer to 0: give it back its period.
    s_.timer2->setInterval(100);

    // Timer1 goes on ticking through the start actions' waits: nothing is picked yet, and
    // what the user does on the board meanwhile is held until the access mode runs.
    t.currentArea = -1;
    engine_.holdInput();
    runStartActions();
    if (!s_.access.useMode) {  // a start action left use mode
        engine_.releaseInput();
        return true;
    }

    s_.access.scanPosition = 0;
    s_.player.currentLevel = 1;
    t.currentArea = -1;
    engine_.startAccess();
    if (s_.profile.accessMode != kModeMouse) {
        focusBoardOverApp(s_);
    }
    engine_.releaseInput();
    return true;
}

void UseMode::runStartActions() {
    const TemplateSettings& ts = s_.tmpl.settings;
    QString starting;  // the program being started, for the message of a failure
    try {
        putTemplateClipOnClipboard();
        for (const QString& program : ts.startProgram.split(u'|')) {
            if (program.isEmpty()) continue;
            if (!mayDo(s_, GuardedAction::StartProgram, program.trimmed())) continue;
            starting = program;
            pushTarget(s_, launchAndFindWindow(s_, program));
        }
        starting.clear();
        placeAppWindow(s_, s_.player.targetWindow);
        // The event loop keeps running meanwhile: the board is drawn, timers tick.
        s_.platform.clock.wait(kStartKeysDelayMs);
        if (!s_.access.useMode) return;
        // The target may have put itself back meanwhile.
        keepAppWindowPlaced(s_, s_.player.targetWindow);
        if (!ts.startKeys.isEmpty()) playKeySequence(s_, ts.startKeys);
    } catch (const RuntimeError& e) {
        // A failure ends the start actions; use mode goes on.
        s_.message(e.description() + u' ' + starting);
    }
}

void UseMode::reloadCover() {
    Template& t = s_.tmpl;
    const QString& picture = t.settings.pictureFile;
    if (picture.isEmpty()) return;
    const QString real = s_.realPath(picture);
    // Unchanged, or still missing as the loader already said: the cover shown stays, with
    // whatever the editor composed on it.
    const QString time = fileTimeText(real);
    if (time == t.pictureFileTime) return;
    int number = 0;
    if (!QFileInfo(real).isFile()) {
        number = errnum::FileNotFound;
    } else if (const QImage cover = readPicture(real); cover.isNull()) {
        number = errnum::InvalidPicture;
    } else {
        s_.view->setCover(cover);
        t.pictureFileTime = time;
    }
    if (number)
        s_.message(messageText(3) + picture + QString::number(number) + u' ' +
                   runtimeErrorDescription(number));
}

// A clip file that cannot be read ends the start actions with its error's description.
void UseMode::putTemplateClipOnClipboard() {
    const TemplateSettings& ts = s_.tmpl.settings;
    if (ts.templateClipFile.isEmpty()) return;
    s_.platform.clipboard.clear();
    if (ts.templateClipKind == 1) {
        executeCommand(s_, QStringLiteral("{|ENGANXA ") + ts.templateClipFile);
        return;
    }
    if (ts.templateClipKind != 0) return;
    QFile f(s_.realPath(ts.templateClipFile));
    if (!f.open(QIODevice::ReadOnly))
        throw RuntimeError(f.exists() ? errnum::PermissionDenied : errnum::FileNotFound);
    s_.platform.clipboard.setText(decodeAnsi(f.readAll()));
}

void UseMode::leaveUseMode() {
    if (!s_.access.useMode) return;
    if (s_.profile.recognitionState == -2) engine_.stopRecognition();
    closeMidi(s_);
    // Keycodes bound for characters the layout lacks are the user's again in edit mode; put
    // back while the target still runs, before it is asked to close.
    s_.platform.keys.restoreKeyboard();
    closeStartedApplications();
    s_.view->leaveUseModeDisplay();
    s_.access.useMode = false;
    s_.timer2->setInterval(0);
    s_.timer2->setEnabled(false);
    s_.timer1->setInterval(s_.programSettings.Interval);
    engine_.stopScanning();
    s_.tmpl.currentArea = 0;
}

void UseMode::closeStartedApplications() {
    PlayerState& p = s_.player;
    for (int i = 0; i < kMaxClosings; ++i) {
        const QString title = win_actiu_titol(s_);
        if (title == u"|") break;
        // The board put it on top; it must not stay above the editor, whether it closes
        // now, refuses to, or is kept for its name.
        if (!title.contains(QLatin1String("Vexil")))
            s_.platform.windows.setTopMost(p.targetWindow, false);
        // Never the program's own window, whatever the case of its name in the title.
        if (!title.contains(QStringLiteral("VEXIL"), Qt::CaseInsensitive))
            s_.platform.windows.close(p.targetWindow);
        p.targetWindow = 0;
        const int blank = p.targetHistory.indexOf(u' ');
        p.targetHistory = blank < 0 ? QString() : p.targetHistory.mid(blank + 1);
    }
}

void UseMode::changeBoard() {
    if (!s_.access.useMode) return;
    const WindowHandle target = s_.player.targetWindow;
    const QRect rect = s_.platform.windows.geometry(target);
    engine_.stopScanning();
    if (target > 0) {
        s_.platform.windows.setTopMost(target, false);
        if (!rect.isEmpty()) s_.platform.windows.moveResize(target, rect);
    }
    openTemplateCommand(s_);
    s_.access.scanPosition = 0;
    s_.player.currentLevel = 1;
    s_.tmpl.currentArea = -1;
    placeWindows();
    // Every mode starts again on the new board, as on entering use mode: stopping the scan
    // step above would otherwise leave voice and joystick users without a way on.
    if (s_.tmpl.areaCount() > 0) engine_.startAccess();
    if (s_.profile.accessMode != kModeMouse) {
        focusBoardOverApp(s_);
    }
}

void UseMode::placeWindows() {
    if (s_.tmpl.areaCount() == 0) return;
    s_.view->placeBoardWindow(boardRectOf(s_));
    placeAppWindow(s_, s_.player.targetWindow);
    s_.view->redrawBoard();
}

void UseMode::accessModeChosen() {
    if (s_.access.useMode) engine_.startAccess();
}

void UseMode::windowActivated() {
    s_.player.memory.clear();
    const QPointF scale = useModeScale(s_.platform.windows.screenSize());
    if (scale == s_.access.scale) return;
    s_.access.scale = scale;
    if (s_.access.useMode) placeWindows();
}

void UseMode::exitProgram() {
    s_.view->exitProgram();
}

void UseMode::hideHighlight() {
    s_.view->hideHighlight();
}

void UseMode::boardChanged() {
    s_.access.scanPosition = 0;
    if (s_.access.useMode) placeWindows();
}

void UseMode::focusBoard() {
    if (!s_.access.useMode) return;
    focusBoardOverApp(s_);
}

void UseMode::programWait(bool waiting) {
    engine_.programWait(waiting);
}

void UseMode::setBusyCursor(bool busy) {
    s_.view->setBusyCursor(busy);
}

void UseMode::setBoardTopMost(bool on) {
    s_.view->setTopMost(on);
}

}  // namespace vexil
