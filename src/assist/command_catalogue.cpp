#include "assist/command_catalogue.h"

#include "editor/file_commands.h"
#include "session/session.h"

namespace vexil {

namespace {

struct CatalogueRow {
    const char16_t* caption;
    const char16_t* opening;
    const char16_t* kind;
};

constexpr CatalogueRow kCatalogue[kCatalogueRows] = {
    {u"Escriu", u"", u"Text"},
    {u"Canvi de plafó", u"{|Carrega ", u"Fitxer Vxl"},
    {u"Enganxar un dibuix", u"{|Enganxa _VALOR_ }^v", u"Fitxer Gràfic"},
    {u"Enganxar un fitxer", u"{|Enganxa ", u"Fitxer text"},
    {u"Escoltar sons", u"{|Sona ", u"Fitxer so"},
    {u"Executar programes", u"{|Executa ", u"Fitxer exe"},
    {u"Exploració nivell anterior", u"{|Nivell -1", u""},
    {u"Exploració nivell inicial", u"{|Nivell 0", u""},
    {u"Llegir un text", u"{|Llegir ", u"Text"},
    {u"Llegir un fitxer", u"{|Llegeix /I:c /L:1 /V:100 /F:", u"Fitxer text"},
    {u"Recupera Text CarpetaWindow", u"{|RCW ", u""},
    {u"Retard", u"{|Espera ", u"Nombre"},
    {u"Si memoria es ...", u"{|SIM ", u"sim"},
    {u"Tancar tot", u"{|Tancar", u""},
    {u"Tria ", u"{|Tria ", u"Llista"},
    {u"Memòria Esborra memòria ", u"{|CM ", u""},
    {u"Memòria Posa a memoria", u"{|CM }{|M+ ", u"Text"},
    {u"Memòria Recupera de memòria", u"{|RM ", u""},
    {u"Memòria Resta Memòria", u"{|M- ", u"Nombre"},
    {u"Memòria Suma memòria", u"{|M+ ", u"Text"},
    {u"Mouse Aixecar botó dret", u"{|Mouse AE", u""},
    {u"Mouse Aixecar botó esquerra", u"{|Mouse AD", u""},
    {u"Mouse Avançar", u"{|Mouse A ", u"Nombre"},
    {u"Mouse Clic dret", u"{|Mouse CE", u""},
    {u"Mouse Clic esquerra", u"{|Mouse CD", u""},
    {u"Mouse Dloble clic dret", u"{|Mouse 2CE", u""},
    {u"Mouse Dloble clic esquerra", u"{|Mouse 2CD", u""},
    {u"Mouse Esquerra", u"{|Mouse E ", u"Nombre"},
    {u"Mouse Mou-te", u"{|Mouse M ", u"Cordenades"},
    {u"Mouse Punxar i arrosegar dret", u"{|Mouse PE ", u"Cordenades"},
    {u"Mouse Punxar i arrosegar esquerra", u"{|Mouse PD ", u"Cordenades"},
    {u"Mouse Retrocedir", u"{|Mouse R ", u"Nombre"},
};

constexpr CommandMenuItem kOrdres[] = {
    {u"Executar programes", u"{|Executa %1}", 0},
    {u"Escoltar sons", u"{|Sona %1}", 1},
    {u"Canvi de plafó", u"{|Carrega %1}", 2},
    {u"Enganxar un text", u"{|Enganxa %1}^v", 3},
    {u"Llegir un text", u"{|Llegir nnnnnnnnnnnnn}", -1, u"nnnnnnnnnnnnn"},
    {u"Enganxar un dibuix", u"{|Enganxa %1}^v{RIGHT}", 5},
    {u"Retard", u"{|Espera 1}", -1},
    {u"Exploració nivell inicial", u"{|Nivell 0}", -1},
    {u"Exploració nivell anterior", u"{|Nivell -1}", -1},
    {u"Tancar tot", u"{|Tancar}", -1},
    {u"Tria", u"{|Tria [ x1#x2#x3]}", -1, u"x1#x2#x3"},
    {u"Si memoria es ...", u"{|SIM xxx {cert} { fals }}", -1, u"xxx"},
};

constexpr CommandMenuItem kRatoli[] = {
    {u"Avançar", u"{|Mouse A n}", -1, u"n"},
    {u"Retrocedir", u"{|Mouse R n}", -1, u"n"},
    {u"Dreta", u"{|Mouse D n}", -1, u"n"},
    {u"Esquerra", u"{|Mouse E n}", -1, u"n"},
    {u"Mou-te", u"{|Mouse M x y }", -1, u"x y"},
};

// The stored mouse commands name the buttons the other way round from the captions: the
// D forms (CD, 2CD, PD, AD) work the left button and the E forms the right one, as boards
// have always played them. Each item writes the command that does what its caption says.
constexpr CommandMenuItem kBotoDret[] = {
    {u"Clic dret", u"{|Mouse CE}", -1},
    {u"Doble clic dret", u"{|Mouse 2CE}", -1},
    {u"Punxar i arrosegar dret", u"{|Mouse PE x y }", -1, u"x y"},
    {u"Aixecar botó dret", u"{|Mouse AE}", -1},
};

constexpr CommandMenuItem kBotoEsquerra[] = {
    {u"Clic esquerra", u"{|Mouse CD}", -1},
    {u"Doble clic esquerra", u"{|Mouse 2CD}", -1},
    {u"Punxar i arrosegar esquerra", u"{|Mouse PD x y }", -1, u"x y"},
    {u"Aixecar botó esquerra", u"{|Mouse AD}", -1},
};

constexpr CommandMenuItem kMemoria[] = {
    {u"Posa a memoria", u"{|CM }{|M+ abcd }", -1, u"abcd"},
    {u"Recupera de memòria", u"{|RM }", -1},
    {u"Esborra memòria", u"{|CM }", -1},
    {u"Suma memòria", u"{|M+ abcd }", -1, u"abcd"},
    {u"Resta Memòria", u"{|M- n }", -1, u"n"},
    {u"Recupera Text Carpeta  Window", u"{|RCW }", -1},
};

struct FileDialogText {
    const char16_t* title;
    const char16_t* filter;
    const char16_t* fileName;
};

constexpr FileDialogText kFileDialogs[4] = {
    {u"Fitxers", u"Fitxers executable(*.EXE)|*.EXE|Tots els fixters (*.*)|*.*", u"*.EXE"},
    {u"Fitxers de so", u"Fitxers de so(*.WAV)|*.WAV|Fitxers de música(*.MID)|*.MID", u"*.WAV"},
    {u"Fitxer de plantilla", u"Vexil (*.VXL)|*.VXL", u"*.VXL"},
    {u"Fitxers de text per a enganxar",
     u"Fitxers de text (*.TXT)|*.TXT|Fitxers gràfics (*.BMP)|*.BMP|Fitxers gràfics "
     u"(*.WMF)|*.WMF|Fitxers gràfics (*.GIF)|*.GIF|Fitxers gràfics (*.JPG)|*.JPG",
     u"*.TXT"},
};

}  // namespace

QString commandCatalogue(int index, int column) {
    if (index < 0 || index >= kCatalogueRows) return {};
    const CatalogueRow& row = kCatalogue[index];
    switch (column) {
        case 0: return QString::fromUtf16(row.caption);
        case 1: return QString::fromUtf16(row.opening);
        case 2: return QString::fromUtf16(row.kind);
        default: return {};
    }
}

int catalogueCaptionCount() {
    int c = 0;
    while (c < kCatalogueRows && !commandCatalogue(c, 0).isEmpty()) ++c;
    return c;
}

int fileKindOf(const QString& kind) {
    static const char16_t* const kinds[] = {u"Fitxer exe", u"Fitxer so", u"Fitxer Vxl",
                                            u"Fitxer text", nullptr, u"Fitxer Gràfic"};
    for (int k = 0; k < 6; ++k)
        if (kinds[k] && kind.compare(QStringView(kinds[k]), Qt::CaseInsensitive) == 0) return k;
    return -1;
}

ParamKind paramKind(const QString& kind) {
    if (kind.isEmpty()) return ParamKind::None;
    if (fileKindOf(kind) >= 0) return ParamKind::File;
    if (kind == u"Text") return ParamKind::Text;
    if (kind == u"Nombre") return ParamKind::Number;
    if (kind == u"Cordenades") return ParamKind::Coordinates;
    if (kind == u"Llista") return ParamKind::List;
    if (kind == u"sim") return ParamKind::Condition;
    return ParamKind::None;
}

std::span<const CommandMenuItem> commandMenuItems(CommandMenu menu) {
    switch (menu) {
        case CommandMenu::Ordres: return kOrdres;
        case CommandMenu::Ratoli: return kRatoli;
        case CommandMenu::BotoDret: return kBotoDret;
        case CommandMenu::BotoEsquerra: return kBotoEsquerra;
        case CommandMenu::Memoria: return kMemoria;
    }
    return {};
}

const char* commandMenuName(CommandMenu menu) {
    switch (menu) {
        case CommandMenu::Ordres: return "mn_ord";
        case CommandMenu::Ratoli: return "mn_rat";
        case CommandMenu::BotoDret: return "mn_rat_d";
        case CommandMenu::BotoEsquerra: return "mn_rat_e";
        case CommandMenu::Memoria: return "mn_memo";
    }
    return "";
}

FileDialogRequest commandFileRequest(const Session& session, int kind) {
    FileDialogRequest r;
    if (kind < 0 || kind > 3) return r;
    r.title = QString::fromUtf16(kFileDialogs[kind].title);
    r.filter = QString::fromUtf16(kFileDialogs[kind].filter);
    r.fileName = QString::fromUtf16(kFileDialogs[kind].fileName);
    const QString& folder = session.tmpl.templateFolder;
    if (kind == 2 && !folder.isEmpty()) r.initialFolder = session.realPath(folder);
    return r;
}

QString commandFileName(const Session& session, const QString& chosen) {
    const QString name = chosen.toUpper();
    if (name.isEmpty() || name.startsWith(u'*') || name.size() <= 4) return {};
    return makeRelative(session, name);
}

QString chooseCommandFile(Session& session, int kind, const PictureChooser& choosePicture) {
    if (kind >= 0 && kind <= 3)
        return commandFileName(session, session.platform.dialogs.chooseFile(commandFileRequest(session, kind)));
    if (kind == 5 && choosePicture) {
        const QString& folder = session.tmpl.templateFolder.isEmpty() ? session.currentDirectory
                                                                      : session.tmpl.templateFolder;
        const std::optional<QString> chosen = choosePicture(folder);
        return chosen ? commandFileName(session, *chosen) : QString();
    }
    return {};
}

}  // namespace vexil
