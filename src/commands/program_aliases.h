#pragma once
// Boards name Windows programs (NOTEPAD.EXE, CALC.EXE, sv.exe ...). A table maps those names
// to programs of this machine; the user may extend or override it with a text file in the
// user folder, "programs.txt", whose lines read
//
//     # a comment
//     NOTEPAD.EXE = mousepad | gedit | kate
//     SV.EXE = espeak-ng -v {lang} -f {/F}
//
// The name on the left is a Windows program file name (any case). On the right, candidates
// separated by "|", tried in order: the first whose program is found on the search path (or
// is an absolute path that exists) runs. A candidate is a program followed by fixed
// arguments, split at blanks ("double quotes" keep blanks). In them, "{/X}" stands for the
// value of the board's "/X:" option (the board's own arguments are then not appended) and
// "{lang}" for the board's speech language ("ca" or "es"); otherwise the board's arguments
// follow the fixed ones. A line in the file replaces the built-in entry for that name.
// Programs always start without a shell: nothing a board writes is ever interpreted by one.
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexil {

class Session;

// A command line cut the Windows way: a program part (quoted, or up to and including
// ".EXE", so unquoted folders with blanks stay whole, or up to the first blank) and the
// arguments, split at blanks with double quotes grouping.
struct CommandLineParts {
    QString program;
    QStringList arguments;
};
CommandLineParts splitCommandLine(const QString& commandLine);
// Splits at blanks; double quotes group and are dropped.
QStringList splitArguments(const QString& text);

class ProgramAliases {
public:
    // The built-in table.
    ProgramAliases();
    // Adds or replaces entries from the text of an alias file.
    void read(const QString& text);
    // Candidates for a Windows program file name (compared in upper case); a name without
    // an extension is also tried with ".EXE".
    QStringList candidates(const QString& programFileName) const;

private:
    QMap<QString, QStringList> map_;
};

// The alias file of this user.
QString programAliasFile(const Session& session);
// The built-in table with the user's file read over it.
ProgramAliases loadProgramAliases(const Session& session);

struct LaunchCommand {
    QString program;  // a real path or a name the launcher finds
    QStringList arguments;
};

// Turns a board's command line into a program of this machine and its arguments: the alias
// table first, then the named file itself when it exists and can run, then the name
// without ".EXE" on the search path. File names among the arguments are mapped to paths of
// this machine. Nothing when no program is found.
std::optional<LaunchCommand> resolveLaunch(Session& session, const QString& commandLine);
// The same for a program already cut from its arguments.
std::optional<LaunchCommand> resolveProgram(Session& session, const QString& program,
                                            const QStringList& arguments);

}  // namespace vexil
