#pragma once
// vexil-tool: the program's core without its windows, for scripts and tests.
#include <QJsonObject>
#include <QStringList>

namespace vexil::tool {

struct Command {
    const char* name;
    const char* usage;  // the arguments, as shown by --help
    const char* help;   // what it does, a few lines
    int (*run)(const QStringList& arguments);
};

// Exit statuses shared by every command.
inline constexpr int kOk = 0;
inline constexpr int kMessages = 1;  // the run showed message boxes
inline constexpr int kUsage = 2;

// "--" ends the options of a command: every argument after it is taken as it stands, so
// that a sequence, an event or a file name may start with "-".
inline bool isEndOfOptions(const QString& argument) {
    return argument == QLatin1String("--");
}
// The arguments of a command that has no options, without a leading "--".
QStringList operandsOf(const QStringList& arguments);

// One JSON value on its own line, UTF-8, on standard output.
void printJsonLine(const QJsonObject& object);
// A usage error: prints the text and the command's usage on standard error.
int usageError(const Command& command, const QString& text);

extern const Command dumpCommand;
extern const Command saveCommand;
extern const Command saveAsCommand;
extern const Command profileCommand;
extern const Command catalogueCommand;
extern const Command playCommand;
extern const Command scanCommand;
extern const Command editCommand;
extern const Command coverCommand;
extern const Command exportObzCommand;
extern const Command importObzCommand;
extern const Command rowsCommand;
extern const Command trustCommand;

}  // namespace vexil::tool
