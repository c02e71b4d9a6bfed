#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QStandardPaths>

#include "files/catalogue_loader.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "tool.h"

namespace vexil::tool {
namespace {

// Finds programs on this machine's search path and starts none.
class SearchPathLauncher : public Launcher {
public:
    ProcessId start(const QString&, const QStringList&) override { return 0; }
    QString findProgram(const QString& name) override {
        return QStandardPaths::findExecutable(name);
    }
};

int run(const QStringList& args) {
    QString file;
    QString section;
    bool withMacros = false, optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!optionsEnded && isEndOfOptions(args[i])) {
            optionsEnded = true;
        } else if (!optionsEnded && args[i] == u"--macros") {
            if (i + 1 >= args.size())
                return usageError(catalogueCommand, QStringLiteral("--macros needs a SECTION"));
            withMacros = true;
            section = args[++i];
        } else if (file.isEmpty()) {
            file = args[i];
        } else {
            return usageError(catalogueCommand, QStringLiteral("one FILE expected"));
        }
    }
    if (file.isEmpty()) return usageError(catalogueCommand, QStringLiteral("FILE expected"));
    if (!QFileInfo(file).isFile())
        return usageError(catalogueCommand, file + QStringLiteral(": no such file"));

    FakePlatform fake;
    SearchPathLauncher launcher;
    Platform platform{fake.windows,    fake.keys,    fake.mouse,  fake.clipboard,
                      launcher,        fake.sound,   fake.speech, fake.joystick,
                      fake.recognizer, fake.dialogs, fake.clock};
    // The user's registry store answers class names, as in the program.
    Folders folders;
    folders.userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vexil";
    folders.drives = DriveMap::fromText(qEnvironmentVariable("VEXIL_DRIVES"));
    Session session(platform, folders);
    session.currentDirectory = QDir::currentPath();

    const QString path = QFileInfo(file).absoluteFilePath();
    loadProgramCatalogueFrom(session, path);
    const Catalogue& cat = session.catalogue;
    QJsonArray programs;
    for (size_t k = 1; k < cat.programs.size(); ++k) {
        const ProgramEntry& p = cat.programs[k];
        programs.append(QJsonObject{{"name", p.name},
                                    {"section", p.section},
                                    {"file", p.file},
                                    {"className", p.className}});
    }
    QJsonObject out{{"programs", programs}, {"programCatalogue", cat.programCatalogue}};
    if (withMacros) {
        loadMacrosFrom(session, path, section);
        QJsonArray macros;
        for (size_t j = 1; j < cat.macros.size(); ++j) {
            const MacroEntry& m = cat.macros[j];
            macros.append(QJsonObject{
                {"title", m.title}, {"keys", m.keys}, {"sound", m.sound}, {"icon", m.icon}});
        }
        out.insert(QStringLiteral("section"), section);
        out.insert(QStringLiteral("macros"), macros);
    }
    printJsonLine(out);
    return kOk;
}

}  // namespace

const Command catalogueCommand{
    "catalogue", "[--macros SECTION] [--] FILE",
    "    Reads the macro and program catalogue FILE (MACROS.INI) as the program does at\n"
    "    start-up and prints one JSON object: programs (records 1..n of section Inici:\n"
    "    name, section, file, className; empty unless versio is MAC1) and\n"
    "    programCatalogue (\"|FILE.EXE|path|...|\": the programs found, relative to the\n"
    "    current folder or else on the search path). Class names are looked up in the\n"
    "    user's registry store. With --macros, also section and macros: the macros of\n"
    "    SECTION (title, keys, sound, icon).\n",
    run};

}  // namespace vexil::tool
