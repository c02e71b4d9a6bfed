#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>
#include <QStandardPaths>

#include "assist/key_rows.h"
#include "files/catalogue_loader.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "tool.h"

namespace vexil::tool {
namespace {

int run(const QStringList& args) {
    QString catalogue, program, sequence;
    bool haveSequence = false, optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!optionsEnded && isEndOfOptions(a)) {
            optionsEnded = true;
        } else if (!optionsEnded && (a == u"--catalogue" || a == u"--program")) {
            if (i + 1 >= args.size())
                return usageError(rowsCommand, a + QStringLiteral(" needs a value"));
            (a == u"--catalogue" ? catalogue : program) = args[++i];
        } else if (!haveSequence) {
            sequence = a;
            haveSequence = true;
        } else {
            return usageError(rowsCommand, QStringLiteral("one SEQUENCE expected"));
        }
    }
    if (!haveSequence) return usageError(rowsCommand, QStringLiteral("SEQUENCE expected"));
    if (catalogue.isEmpty() != program.isEmpty())
        return usageError(rowsCommand, QStringLiteral("--catalogue and --program go together"));
    if (!catalogue.isEmpty() && !QFileInfo(catalogue).isFile())
        return usageError(rowsCommand, catalogue + QStringLiteral(": no such file"));

    FakePlatform fake;
    Session session(fake.platform, Folders{});
    // The macros of the application, as "Carregar macros" leaves them (none without one, or
    // when its section counts none).
    if (!catalogue.isEmpty())
        loadMacrosFrom(session, QFileInfo(catalogue).absoluteFilePath(), program);
    const std::vector<MacroEntry>& macros = session.catalogue.macros;

    const std::vector<KeyRow> rows = cutKeySequence(sequence, macros);
    for (const KeyRow& row : rows)
        printJsonLine(QJsonObject{{"choice", choiceCaption(row.choice, macros)}, {"param", row.param2}});
    const JoinedKeys joined = confegir_codi(rows, macros);
    // "sequence" first, as the contract writes it (a JSON object would sort its members).
    const auto text = [](const QString& t) {
        const QByteArray a = QJsonDocument(QJsonArray{t}).toJson(QJsonDocument::Compact);
        return a.mid(1, a.size() - 2);
    };
    const QByteArray line = "{\"sequence\":" + text(joined.keys) + ",\"icon\":" +
                            text(joined.icon.value_or(QString())) + "}\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
    return kOk;
}

}  // namespace

const Command rowsCommand{
    "rows", "[--catalogue MACROS.INI --program SECTION] [--] SEQUENCE",
    "    Cuts the key sequence SEQUENCE (as a board stores it) into the rows of the\n"
    "    command assistant and prints one JSON line per row, {\"choice\":CAPTION,\n"
    "    \"param\":TEXT} (CAPTION: the catalogue caption in the interface language, or\n"
    "    the macro's title), then {\"sequence\":TEXT,\"icon\":TEXT}: what \"Acceptar\"\n"
    "    writes back into the key field (the same sequence) and the icon it sets\n"
    "    (empty: the icon is left as it is). With --catalogue and --program, the\n"
    "    macros of section SECTION of that MACROS.INI are found in the sequence.\n",
    run};

}  // namespace vexil::tool
