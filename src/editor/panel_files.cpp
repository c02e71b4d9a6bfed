#include "editor/panel_files.h"

#include <QFileInfo>

#include "commands/program_aliases.h"
#include "commands/sound_speech.h"
#include "editor/file_commands.h"
#include "i18n/texts.h"
#include "platform/paths.h"
#include "platform/picture_files.h"
#include "session/session.h"
#include "template/board_paths.h"

namespace vexil {

bool launchViewer(Session& session, const QString& windowsProgram, const QString& fileName) {
    // The board's names are relative to the board: the viewer gets the file's full name,
    // whatever folder it starts in.
    const QString& folder = session.tmpl.templateFolder;
    const QString full =
        isAbsoluteName(fileName) || folder.isEmpty() ? fileName : joinName(folder, fileName);
    const QString real = QFileInfo(session.realPath(full)).absoluteFilePath();
    const auto command = resolveProgram(session, windowsProgram, {real});
    if (!command) return false;
    const ProcessId pid = session.platform.launcher.start(command->program, command->arguments);
    if (pid == 0) return false;
    session.observer->launched(windowsProgram + u' ' + full, WindowHandle(-1));
    return true;
}

bool isViewablePicture(const QString& name) {
    return isPictureName(name) || name.right(4).toUpper() == u".PCX";
}

void PanelFiles::cannotView() {
    c_.session.message(messageText(1));
}

QString pictureChooserFolder(const Session& session, const QString& name) {
    const QString& board = session.tmpl.templateFolder;
    const QString folder = folderPart(name);
    if (folder.isEmpty()) return board;
    return isAbsoluteName(folder) || board.isEmpty() ? folder : joinName(board, folder);
}

QString PanelFiles::iconChooserFolder() const {
    return pictureChooserFolder(c_.session, c_.panel.iconaText);
}

void PanelFiles::chooseIcon(const std::optional<QString>& chosen) {
    c_.session.view->closeAuxiliaryKeyboard();
    if (!chosen || chosen->isEmpty()) return;
    panel_.setIconFile(makeRelative(c_.session, *chosen));
}

void PanelFiles::viewIcon() {
    const QString file = c_.panel.iconaText;
    if (file.isEmpty()) return;
    if (!isViewablePicture(file) || !launchViewer(c_.session, QStringLiteral("PBRUSH.EXE"), file))
        cannotView();
}

void PanelFiles::chooseSound() {
    c_.session.view->closeAuxiliaryKeyboard();
    FileDialogRequest request;
    request.title = QStringLiteral("Carregar Fitxers de so");
    request.filter = QStringLiteral("Fitxers so (*.WAV)|*.WAV");
    request.initialFolder = c_.session.tmpl.templateFolder;
    const QString chosen = c_.session.platform.dialogs.chooseFile(request);
    if (chosen.isEmpty()) return;
    panel_.setSoundFile(makeRelative(c_.session, chosen));
}

void PanelFiles::playSound() {
    if (c_.panel.soText.isEmpty()) return;
    So_icona(c_.session, c_.panel.soText);
}

void PanelFiles::viewClip() {
    const QString file = c_.panel.txApp;
    if (file.isEmpty()) return;
    const QString tail = file.right(4).toUpper();
    QString program;
    if (isViewablePicture(file))
        program = QStringLiteral("PBRUSH.EXE");
    else if (tail == u".WRI")
        program = QStringLiteral("WRITE.EXE");
    else if (tail == u".TXT")
        program = QStringLiteral("NOTEPAD.EXE");
    if (program.isEmpty() || !launchViewer(c_.session, program, file)) cannotView();
}

}  // namespace vexil
