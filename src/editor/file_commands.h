#pragma once
// The file commands of the editor over the template: "&Nou", "&Obrir ...", "&Desar ...", the
// save question, the relocation of file references, and the one-level undo snapshot.
// openTemplate and saveTemplateAs take the name chosen in the dialog; the *Command forms run
// the whole menu command, dialog included, through the platform's dialogs.
#include <QString>

#include "platform/dialogs.h"

namespace vexil {

class Session;

void newTemplate(Session& session);                                // "&Nou"
void openTemplate(Session& session, const QString& chosenName);    // "&Obrir ..." after the dialog
void saveTemplateAs(Session& session, const QString& chosenName);  // "&Desar ..." after the dialog
void openTemplateCommand(Session& session);
void saveTemplateAsCommand(Session& session);
void askSave(Session& session);
// Mode 0 or 1 takes the undo snapshot; mode 2 restores it.
void copia_seguretat(Session& session, int mode);

// The two dialogs of the file commands.
FileDialogRequest openDialogRequest(const Session& session);
FileDialogRequest saveDialogRequest(const Session& session);

QString makeRelative(const Session& session, const QString& path);
QString relocatePath(const Session& session, const QString& path, const QString& oldFolder);
// `text` is an embedded command from its "|" up to, not including, its "}".
QString relocateCommand(const Session& session, const QString& text, const QString& oldFolder);
// Every embedded command of a key sequence through relocateCommand.
QString relocateKeys(const Session& session, const QString& keys, const QString& oldFolder);

}  // namespace vexil
