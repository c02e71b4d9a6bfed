#pragma once
// The file commands of the editor over the template: "&Nou", "&Obrir ...", "&Desar ...", the
// save question, the relocation of file references, and the one-level undo snapshot.
// Dialogs are the window's business: these take the chosen name.
#include <QString>

namespace vexil {

class Session;

void newTemplate(Session& session);                               // "&Nou"
void openTemplate(Session& session, const QString& chosenName);   // "&Obrir ..."
void saveTemplateAs(Session& session, const QString& chosenName); // "&Desar ..."
void askSave(Session& session);
void copia_seguretat(Session& session, int mode);

QString makeRelative(const Session& session, const QString& path);
QString relocatePath(const Session& session, const QString& path, const QString& oldFolder);
QString relocateCommand(const Session& session, const QString& text, const QString& oldFolder);

}  // namespace vexil
