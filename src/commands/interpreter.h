#pragma once
// The commands embedded in key sequences, "{|KEYWORD argument}": keywords in their stored
// (Catalan) and displayed (Spanish) spellings, in any case. A failing step is passed over
// without a message (the file-not-found warning is the one message commands show).
#include <QString>
#include <QStringList>

namespace vexil {

class Session;

// Value substitution in an argument stops after this many rounds, or when the argument
// grows beyond kMaxArgumentLength characters (a memory that recalls itself); M+ appends no
// further than that length either.
inline constexpr int kMaxSubstitutions = 64;
inline constexpr int kMaxArgumentLength = 65536;
// ESPERA: one unit of waiting, and the most units one command waits.
inline constexpr int kWaitUnitMs = 100;
inline constexpr int kMaxWaitUnits = 600;

// `commandText` runs from "{|" up to, not including, the closing brace.
void executeCommand(Session& session, const QString& commandText);

// `text` with its last value reference ("{|RM}", "{|RCW }", "{|TRIA [a#b]}") replaced by
// its value; the text unchanged when it holds no complete reference.
QString valor_f(Session& session, const QString& text);
// A random choice from "[a#b#c]" (an item) or "[lo#hi]" (a whole number from lo to hi-1).
QString pickRandom(Session& session, const QString& argument);
// The command line with a catalogued program file name replaced by its path.
QString resolveProgramAlias(const Session& session, const QString& commandLine);
// "[ROOT\key path]name=value": writes the value; nothing when a separator is missing.
void registryCommand(Session& session, const QString& argument);

// The memory register's number rules: whether a text is a number, its leading number, and
// a number written back as text (whole numbers without a decimal part).
bool isNumericText(const QString& text);
double leadingValue(const QString& text);
QString numberToText(double value);

}  // namespace vexil
