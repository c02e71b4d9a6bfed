#pragma once
// Start-up: the command line and the order in which the program gets ready. The window's
// main() checks for another instance first (showing messageText(4), "Vexil ya se está
// ejecutando!", and ending), then calls startUp() and translates its captions.
#include <QString>
#include <QStringList>

#include "settings/folders.h"

namespace vexil {

class Session;
class UseMode;

// The command line as one text, the form the rules below read: the arguments joined with
// blanks, each one that holds a blank enclosed in double quotes.
QString commandLineOf(const QStringList& arguments);

// The argument of the command line that ends with `ext` (compared without regard to case),
// followed by `ext` as given, or empty text. An argument is delimited by blanks, or by
// double quotes when a quote follows the extension.
QString argumentWithExtension(const QString& commandLine, const QString& ext);

// The board a command line names, ready to load: a name starting with ":" gets the drive
// of the program's folder in front; empty when the command line names no board.
QString boardArgument(const QString& commandLine, const Folders& folders);

// The drive letter that leads to the program's folder in the drive map ("C" when none
// does more closely than the filesystem root).
QChar programDriveLetter(const Folders& folders);

// Everything from reading the catalogue to the first moment the user can act: catalogue,
// profile defaults, Vexil.INI (and the last profile), the activation timer, the speech
// engine, then the profile and board of the command line with the board in use mode, or,
// without a board, a new board in edit mode with the drawing of its first area armed.
void startUp(Session& session, UseMode& useMode, const QString& commandLine);

}  // namespace vexil
