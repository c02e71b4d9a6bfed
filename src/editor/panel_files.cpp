#include "editor/panel_files.h"

#include "app/session.h"
#include "commands/program_aliases.h"
#include "commands/sound_speech.h"
#include "i18n/texts.h"
#include "template/file_commands.h"

namespace vexil {

bool launchViewer(Session& session, const QString& windowsProgram, const QString& fileName) {
    const auto command = resolveProgram(session, windowsProgram, {fileName});
    if (!command) return false;
    const ProcessId pid = session.platform.launcher.start(command->program, command->arguments);
    if (pid == 0) return false;
    session.observer->launched(windowsProgram + u' ' + fileName, WindowHandle(-1));
    return true;
}

void PanelFiles::cannotView() {
    c_.session.message(messageText(1));
}

QString PanelFiles::iconChooserFolder() const {
    const QString& icon = c_.panel.iconaText;
    if (!icon.contains(u':')) return c_.session.tmpl.templateFolder;
    const qsizetype cut = std::max(icon.lastIndexOf(u'\\'), icon.lastIndexOf(u'/'));
    return cut < 0 ? icon : icon.left(cut);
}

void PanelFiles::chooseIcon(const std::optional<QString>& chosen) {
    c_.session.view->closeAuxiliaryKeyboard();
    if (!chosen || chosen->isEmpty()) return;
    panel_.setIconFile(makeRelative(c_.session, *chosen));
}

void PanelFiles::viewIcon() {
    const QString file = c_.panel.iconaText;
    if (file.isEmpty()) return;
    const QString upper = file.toUpper();
    if (!(upper.endsWith(QLatin1String(".PCX")) || upper.endsWith(QLatin1String(".BMP"))) ||
        !launchViewer(c_.session, QStringLiteral("PBRUSH.EXE"), file))
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
    if (tail == u".PCX" || tail == u".BMP")
        program = QStringLiteral("PBRUSH.EXE");
    else if (tail == u".WRI")
        program = QStringLiteral("WRITE.EXE");
    else if (tail == u".TXT")
        program = QStringLiteral("NOTEPAD.EXE");
    if (program.isEmpty() || !launchViewer(c_.session, program, file)) cannotView();
}

}  // namespace vexil
