#pragma once
// The user-profile menu `mn_usr`: "Usuari &Nou", "Carregar &Usuari", "Desar u&suari", each
// with its file dialog through the platform.
#include <QString>

#include "platform/dialogs.h"

namespace vexil {

class Session;

void newUserCommand(Session& session);    // "Usuari &Nou"
void loadUserCommand(Session& session);   // "Carregar &Usuari"
void saveUserCommand(Session& session);   // "Desar u&suari"

FileDialogRequest loadUserDialogRequest(const Session& session);
FileDialogRequest saveUserDialogRequest(const Session& session);

// The chosen name with its file name in upper case. The folder keeps the case the dialog
// gave: on a case-sensitive file system an upper-cased folder would be another folder.
QString upperCaseFileName(const QString& chosen);

}  // namespace vexil
