#include "commands/program_aliases.h"

#include <QFile>
#include <QFileInfo>

#include "platform/codepage.h"
#include "platform/paths.h"
#include "session/session.h"

namespace vexil {

namespace {

// Programs that Debian offers for the Windows programs boards were made with.
constexpr const char* kBuiltIn = R"(
NOTEPAD.EXE = mousepad | gedit | kate | xed | pluma | featherpad | leafpad
WRITE.EXE = abiword | libreoffice --writer | lowriter | mousepad | gedit
WORDPAD.EXE = abiword | libreoffice --writer | lowriter | mousepad | gedit
WINWORD.EXE = libreoffice --writer | lowriter | abiword | mousepad
EXCEL.EXE = libreoffice --calc | localc | gnumeric
CALC.EXE = gnome-calculator | galculator | kcalc | mate-calc | qalculate-gtk | xcalc
PBRUSH.EXE = kolourpaint | pinta | mtpaint | gimp | display
MSPAINT.EXE = kolourpaint | pinta | mtpaint | gimp | display
EXPLORER.EXE = thunar | pcmanfm | nautilus | caja | dolphin | xdg-open
IEXPLORE.EXE = x-www-browser | firefox-esr | firefox | chromium
SV.EXE = espeak-ng -v {lang} -f {/F}
)";

bool looksLikeWindowsPath(const QString& a) {
    if (a.size() >= 3 && a[0].isLetter() && a[1] == u':' && (a[2] == u'\\' || a[2] == u'/'))
        return true;
    return a.contains(u'\\') && !a.startsWith(u'/');
}

// The value of option "/X:" among the arguments (case of X ignored), or nothing.
std::optional<QString> optionValue(const QStringList& arguments, const QString& letter) {
    const QString prefix = u'/' + letter + u':';
    for (const QString& a : arguments)
        if (a.startsWith(prefix, Qt::CaseInsensitive)) return a.mid(prefix.size());
    return std::nullopt;
}

QString mapArgument(const Session& session, const QString& a) {
    return looksLikeWindowsPath(a) ? session.realPath(a) : a;
}

// Fills a candidate's fixed arguments; false when an option it needs is missing.
bool expand(const Session& session, const QStringList& fixed, const QStringList& boardArgs,
            QStringList& out, bool& placeholders) {
    placeholders = false;
    for (QString f : fixed) {
        if (f.contains(QLatin1String("{lang}"))) {
            placeholders = true;
            f.replace(QLatin1String("{lang}"),
                      session.tmpl.settings.voiceLanguage == 1 ? QStringLiteral("es")
                                                               : QStringLiteral("ca"));
        }
        const int open = f.indexOf(QLatin1String("{/"));
        if (open >= 0) {
            const int close = f.indexOf(u'}', open);
            if (close < 0) return false;
            placeholders = true;
            const auto value = optionValue(boardArgs, f.mid(open + 2, close - open - 2));
            if (!value) return false;
            f = f.left(open) + mapArgument(session, *value) + f.mid(close + 1);
        }
        out << f;
    }
    return true;
}

}  // namespace

QStringList splitArguments(const QString& text) {
    QStringList out;
    QString current;
    bool quoted = false, any = false;
    for (QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if ((c == u' ' || c == u'\t') && !quoted) {
            if (any) out << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) out << current;
    return out;
}

CommandLineParts splitCommandLine(const QString& commandLine) {
    const QString c = commandLine.trimmed();
    CommandLineParts parts;
    int rest = 0;
    if (c.startsWith(u'"')) {
        const int close = c.indexOf(u'"', 1);
        parts.program = close < 0 ? c.mid(1) : c.mid(1, close - 1);
        rest = close < 0 ? int(c.size()) : close + 1;
    } else {
        const int exe = c.indexOf(QLatin1String(".EXE"), 0, Qt::CaseInsensitive);
        const bool exeEndsWord = exe >= 0 && (exe + 4 == c.size() || c[exe + 4] == u' ');
        if (exeEndsWord) {
            rest = exe + 4;
        } else {
            rest = c.indexOf(u' ');
            if (rest < 0) rest = int(c.size());
        }
        parts.program = c.left(rest);
    }
    parts.arguments = splitArguments(c.mid(rest));
    return parts;
}

ProgramAliases::ProgramAliases() { read(QString::fromLatin1(kBuiltIn)); }

void ProgramAliases::read(const QString& text) {
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) continue;
        const int eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString name = line.left(eq).trimmed().toUpper();
        QStringList candidates;
        for (const QString& c : line.mid(eq + 1).split(u'|')) {
            if (!c.trimmed().isEmpty()) candidates << c.trimmed();
        }
        map_[name] = candidates;
    }
}

QStringList ProgramAliases::candidates(const QString& programFileName) const {
    const QString name = programFileName.toUpper();
    auto it = map_.find(name);
    if (it == map_.end() && !name.contains(u'.')) it = map_.find(name + QLatin1String(".EXE"));
    return it == map_.end() ? QStringList() : *it;
}

QString programAliasFile(const Session& session) {
    if (session.folders.userFolder.isEmpty()) return {};
    return session.folders.userFolder + QStringLiteral("/programs.txt");
}

ProgramAliases loadProgramAliases(const Session& session) {
    ProgramAliases aliases;
    const QString path = programAliasFile(session);
    QFile f(path);
    if (!path.isEmpty() && f.open(QIODevice::ReadOnly)) aliases.read(decodeAnsi(f.read(1 << 20)));
    return aliases;
}

std::optional<LaunchCommand> resolveLaunch(Session& session, const QString& commandLine) {
    const CommandLineParts parts = splitCommandLine(commandLine);
    return resolveProgram(session, parts.program, parts.arguments);
}

std::optional<LaunchCommand> resolveProgram(Session& session, const QString& program,
                                            const QStringList& arguments) {
    if (program.isEmpty()) return std::nullopt;
    Launcher& launcher = session.platform.launcher;
    QStringList mapped;
    for (const QString& a : arguments) mapped << mapArgument(session, a);

    const ProgramAliases aliases = loadProgramAliases(session);
    for (const QString& candidate : aliases.candidates(fileNamePart(program))) {
        QStringList tokens = splitArguments(candidate);
        if (tokens.isEmpty()) continue;
        const QString name = tokens.takeFirst();
        const QString path = name.startsWith(u'/')
                                 ? (QFileInfo(name).isExecutable() ? name : QString())
                                 : launcher.findProgram(name);
        if (path.isEmpty()) continue;
        LaunchCommand cmd{path, {}};
        bool placeholders = false;
        if (!expand(session, tokens, arguments, cmd.arguments, placeholders)) continue;
        if (!placeholders) cmd.arguments << mapped;
        return cmd;
    }

    // The named file itself, when it exists here and can run.
    const QFileInfo file(session.realPath(program));
    if (file.isFile() && file.isExecutable()) return LaunchCommand{file.absoluteFilePath(), mapped};

    // The bare name on the search path: "GIMP.EXE" finds gimp.
    QString base = fileNamePart(program);
    if (base.endsWith(QLatin1String(".EXE"), Qt::CaseInsensitive)) base.chop(4);
    if (base.isEmpty()) return std::nullopt;
    for (const QString& name : {base.toLower(), base}) {
        const QString path = launcher.findProgram(name);
        if (!path.isEmpty()) return LaunchCommand{path, mapped};
    }
    return std::nullopt;
}

}  // namespace vexil
