#pragma once
// What an untrusted board may not do on its own: start a program (its start programs,
// EXECUTA), write the registry (REG) and open another untrusted board (CARREGA). The first
// time it is about to, one question lists everything the board holds of these, and the
// answer holds for the board's content: trusted (recorded, template/trust_record.h), or
// used without them for as long as the program runs (keys, speech and sounds still play).
#include <QString>
#include <QStringList>

namespace vexil {

class Session;
class Template;

enum class GuardedAction { StartProgram, WriteRegistry, LoadBoard };

// The guarded actions a board holds, as it writes them, each once and in board order: the
// start programs and the programs of EXECUTA, the "[ROOT\KEY]NAME" of each REG, and the
// boards of CARREGA. Commands inside conditionals and random choices count too.
struct BoardActions {
    QStringList programs;
    QStringList registryKeys;
    QStringList boards;
    bool isEmpty() const { return programs.isEmpty() && registryKeys.isEmpty() && boards.isEmpty(); }
};
BoardActions boardActions(const Template& tmpl);

// Whether the board in use may now do `action` (`what`: the program's command line, the
// registry key, the board's real path). The first guarded action of an untrusted board
// asks; a refusal is told to the observer and nothing is done.
bool mayDo(Session& session, GuardedAction action, const QString& what);

// The lines of the question for the board in use, in the interface language.
QStringList trustQuestionLines(Session& session);

}  // namespace vexil
