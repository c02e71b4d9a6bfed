#pragma once
// Qt's own texts (the file dialogs' buttons and columns, the message boxes' Yes and No, the
// text fields' context menus) in the interface language, from the translations Debian
// installs with Qt (package qt6-translations-l10n). The program's own texts do not go
// through Qt's translation and stay as the caption table gives them.
#include <QString>

class QCoreApplication;

namespace vexil {

// Loads "qtbase_<language>" from Qt's translations folder and installs it into `app`;
// false, with Qt's texts left in English, when the file is not there.
bool installQtTranslations(QCoreApplication& app, const QString& language);

}  // namespace vexil
