#include "app/profile_commands.h"

#include <QFileInfo>

#include "editor/file_commands.h"
#include "files/profile_files.h"
#include "session/session.h"

namespace vexil {

namespace {

const QString kUserFilter = QStringLiteral("Usuari VXL (*.USR)|*.USR");

}  // namespace

QString upperCaseFileName(const QString& chosen) {
    const qsizetype cut = std::max(chosen.lastIndexOf(QLatin1Char('/')),
                                   chosen.lastIndexOf(QLatin1Char('\\')));
    return chosen.left(cut + 1) + chosen.mid(cut + 1).toUpper();
}

FileDialogRequest loadUserDialogRequest(const Session& session) {
    FileDialogRequest r;
    r.title = QStringLiteral("Carregar el fitxer de l'usuari");
    r.filter = kUserFilter;
    r.initialFolder = session.folders.programFolder;
    r.fileName = QStringLiteral("*.USR");
    return r;
}

FileDialogRequest saveUserDialogRequest(const Session& session) {
    FileDialogRequest r;
    r.title = QStringLiteral("Enregistrar el fitxer de l'usuari");
    r.filter = kUserFilter;
    r.initialFolder = session.tmpl.templateFolder;
    r.defaultExtension = QStringLiteral("USR");
    r.save = true;
    return r;
}

void newUserCommand(Session& session) { resetUserProfile(session); }

void loadUserCommand(Session& session) {
    session.view->closeAuxiliaryKeyboard();
    if (session.tmpl.modified) askSave(session);
    const QString chosen = session.platform.dialogs.chooseFile(loadUserDialogRequest(session));
    if (chosen.isEmpty()) return;
    const QString name = upperCaseFileName(chosen);
    const QString fileName = QFileInfo(name).fileName();
    if (name.size() < 5 || fileName.startsWith(QLatin1Char('*')) || name.startsWith(QLatin1Char('*')))
        return;
    // Later file dialogs open where the profile was found.
    session.tmpl.templateFolder = QFileInfo(name).path();
    loadUserProfile(session, name);
}

void saveUserCommand(Session& session) {
    session.view->closeAuxiliaryKeyboard();
    const QString chosen = session.platform.dialogs.chooseFile(saveUserDialogRequest(session));
    if (chosen.isEmpty()) return;
    writeUserProfile(session, upperCaseFileName(chosen));
}

}  // namespace vexil
