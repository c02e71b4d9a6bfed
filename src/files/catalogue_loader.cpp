#include "files/catalogue_loader.h"

#include "session/session.h"
#include "settings/ini_file.h"
#include "settings/number_text.h"

namespace vexil {
namespace {

const QString kMacrosFile = QStringLiteral("MACROS.INI");

QString catalogueFile(const Session& session) {
    return realPath(kMacrosFile, session.folders.programFolder, session.folders.drives);
}

// Only the part after the last backslash remains, upper-cased.
QString reduced(const QString& value) {
    return value.mid(value.lastIndexOf(u'\\') + 1).toUpper();
}

// A count of entries: the leading number; a missing, negative or oversized one is 0.
int countOf(const QString& text) {
    const std::optional<double> n = leadingNumber(text);
    if (!n) return 0;
    const std::optional<std::int16_t> count = roundToInt16(*n);
    return count && *count > 0 ? *count : 0;
}

bool isRelative(const QString& name) {
    return !(name.size() >= 2 && name.at(1) == u':') && !name.startsWith(u'\\') &&
           !name.startsWith(u'/');
}

// Where the program file lies: as written (relative names in the current directory, made
// absolute so that they still lead there after the current directory moves), else on the
// search path under its lower-case file name. Empty when it is nowhere.
QString locateProgram(Session& session, const QString& path) {
    if (path.isEmpty()) return QString();
    if (session.fileExists(path)) return isRelative(path) ? session.realPath(path) : path;
    return session.platform.launcher.findProgram(fileNamePart(path).toLower());
}

}  // namespace

void loadProgramCatalogue(Session& session) {
    loadProgramCatalogueFrom(session, catalogueFile(session));
}

void loadMacros(Session& session, const QString& section) {
    loadMacrosFrom(session, catalogueFile(session), section);
}

void loadProgramCatalogueFrom(Session& session, const QString& iniPath) {
    Catalogue& cat = session.catalogue;
    cat.programs.clear();
    cat.programCatalogue.clear();
    const IniFile ini = IniFile::read(iniPath);
    const QString start = QStringLiteral("Inici");
    if (ini.value(start, QStringLiteral("versio")) != u"MAC1") return;

    const int n = countOf(ini.value(start, QStringLiteral("N_Prog")));
    cat.programs.assign(size_t(n) + 1, ProgramEntry{});
    cat.programs[0].name = QString::number(n);
    QString list;
    for (int k = 1; k <= n; ++k) {
        const QString num = QString::number(k);
        ProgramEntry& p = cat.programs[size_t(k)];
        p.name = ini.value(start, QStringLiteral("PROG") + num);
        p.section = ini.value(start, QStringLiteral("codi") + num);
        p.file = reduced(ini.value(start, QStringLiteral("cami") + num));
        p.className = reduced(ini.value(start, QStringLiteral("REG") + num));
        const QString path =
            (p.className.isEmpty() ? p.file : session.registry.localServerPath(p.className))
                .trimmed();
        const QString found = locateProgram(session, path);
        if (found.isEmpty()) continue;
        list += u'|' + fileNamePart(path).toUpper() + u'|' + found;
    }
    if (!list.isEmpty()) list += u'|';
    cat.programCatalogue = list;
}

void loadMacrosFrom(Session& session, const QString& iniPath, const QString& section) {
    const IniFile ini = IniFile::read(iniPath);
    const int m = countOf(ini.value(section, QStringLiteral("N_macro")));
    std::vector<MacroEntry> macros(size_t(m) + 1);
    for (int j = 1; j <= m; ++j) {
        const QString num = QString::number(j);
        MacroEntry& e = macros[size_t(j)];
        e.title = ini.value(section, QStringLiteral("titol") + num);
        e.keys = ini.value(section, QStringLiteral("tecles") + num);
        e.sound = ini.value(section, QStringLiteral("so") + num);
        e.icon = ini.value(section, QStringLiteral("icona") + num);
    }
    session.catalogue.macros = std::move(macros);
}

bool chooseProgram(Session& session, int index) {
    Catalogue& cat = session.catalogue;
    if (index < 0 || size_t(index) + 1 >= cat.programs.size()) return false;
    const ProgramEntry& p = cat.programs[size_t(index) + 1];
    loadMacros(session, p.section);
    cat.macroSetCaption = p.name;
    session.view->setMacroMenuCaption(p.name);
    return true;
}

const MacroEntry* macroAt(const Session& session, int index) {
    const auto& macros = session.catalogue.macros;
    if (index < 0 || size_t(index) + 1 >= macros.size()) return nullptr;
    return &macros[size_t(index) + 1];
}

QString macroIconPath(const Session& session, const MacroEntry& macro) {
    return session.folders.programFolder + QStringLiteral("/icones/") + macro.icon;
}

}  // namespace vexil
