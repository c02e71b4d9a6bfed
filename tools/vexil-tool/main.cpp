#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonDocument>
#include <cstdio>
#include <cstring>

#include "platform/media/media_loader.h"
#include "platform/picture_files.h"
#include "tool.h"

namespace vexil::tool {

void printJsonLine(const QJsonObject& object) {
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    // An effect line reads better with its "op" first; the other members keep their order.
    if (object.contains(QStringLiteral("op")) && object.size() > 1) {
        QJsonObject rest = object;
        rest.remove(QStringLiteral("op"));
        const QByteArray op =
            QJsonDocument(QJsonObject{{QStringLiteral("op"), object.value(QStringLiteral("op"))}})
                .toJson(QJsonDocument::Compact);
        const QByteArray others = QJsonDocument(rest).toJson(QJsonDocument::Compact);
        line = op.left(op.size() - 1) + ',' + others.mid(1);
    }
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QStringList operandsOf(const QStringList& arguments) {
    if (!arguments.isEmpty() && isEndOfOptions(arguments.first())) return arguments.mid(1);
    return arguments;
}

int usageError(const Command& command, const QString& text) {
    std::fprintf(stderr, "vexil-tool %s: %s\nusage: vexil-tool %s %s\n", command.name,
                 text.toLocal8Bit().constData(), command.name, command.usage);
    return kUsage;
}

namespace {

const Command* const commands[] = {&dumpCommand,      &saveCommand, &saveAsCommand,
                                   &profileCommand,   &catalogueCommand,
                                   &playCommand,      &scanCommand,
                                   &editCommand,      &coverCommand,
                                   &exportObzCommand, &importObzCommand,
                                   &rowsCommand,      &trustCommand};

void printHelp(FILE* out) {
    std::fprintf(out,
                 "usage: vexil-tool COMMAND [ARGUMENTS]\n\n"
                 "Runs the core of Vexil without its windows: boards, profiles and the\n"
                 "catalogue are read and written exactly as the program does, and the key\n"
                 "player and the access engine run on a recording platform that prints\n"
                 "each effect as one JSON line. Texts are printed in UTF-8.\n\n"
                 "Exit status: 0 done, no message; 1 done, message boxes were shown;\n"
                 "2 usage error.\n\n"
                 "An argument \"--\" ends a command's options: every argument after it is\n"
                 "taken as it stands (a SEQUENCE, an EVENT or a FILE starting with \"-\").\n\n"
                 "Commands:\n");
    for (const Command* c : commands) std::fprintf(out, "\n  %s %s\n%s", c->name, c->usage, c->help);
}

}  // namespace
}  // namespace vexil::tool

int main(int argc, char** argv) {
    using namespace vexil::tool;
    // Pictures need QtGui; no window is ever shown.
    // `play --real` works the desktop's clipboard, so it needs Qt's X11 (or Wayland) platform.
    QStringList args;
    bool real = false, optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
        optionsEnded = optionsEnded || std::strcmp(argv[i], "--") == 0;
        real = real || (!optionsEnded && std::strcmp(argv[i], "--real") == 0);
    }
    // On a Wayland session without an X display, the clipboard is the compositor's.
    const bool waylandOnly =
        qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", !real ? "offscreen" : waylandOnly ? "wayland" : "xcb");
    // Qt sees the program's name alone: its own options ("-platform", "-reverse", ...)
    // would otherwise take arguments meant for the commands.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    // Covers and boards draw metafile pictures as the program does.
    vexil::setMetafileRenderer(&vexil::media::renderMetafileInModule);
    // Packages are zipped by the zip module, as in the program.
    vexil::setZipCodecSource(&vexil::media::zipCodecInModule);
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h" ||
        args.first() == u"help") {
        printHelp(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kUsage : kOk;
    }
    const QString name = args.takeFirst();
    for (const Command* c : commands)
        if (name == QLatin1String(c->name)) return c->run(args);
    std::fprintf(stderr, "vexil-tool: unknown command '%s' (see vexil-tool --help)\n",
                 name.toLocal8Bit().constData());
    return kUsage;
}
