#include "editor/template_properties.h"

#include <QImage>

#include "editor/file_commands.h"
#include "editor/panel_files.h"
#include "files/catalogue_loader.h"
#include "i18n/texts.h"
#include "platform/paths.h"
#include "platform/picture_files.h"
#include "session/session.h"
#include "settings/ini_file.h"
#include "settings/number_text.h"
#include "template/board_paths.h"

namespace vexil {

void TemplateProperties::open() {
    Session& s = c_.session;
    const TemplateSettings& st = s.tmpl.settings;
    PropertiesFields f;
    f.descripcio = st.description;
    f.fitxDoc = st.docFile;
    f.ordres = st.startProgram;
    f.tecles = st.startKeys;
    f.fitxGraf = st.pictureFile;
    f.option1 = st.templateClipKind == 1 ? 1 : 0;
    f.fitxClip = st.templateClipFile;
    f.txFinestra = st.targetApp;
    f.pathdefault = s.tmpl.templateFolder;
    f.caratulaAuto = st.autoCover != 0;
    // Entry 0 holds the number of programs as its name.
    const auto& programs = s.catalogue.programs;
    const int count = programs.empty() ? 0 : programs.front().name.trimmed().toInt();
    for (int k = 1; k <= count && size_t(k) < programs.size(); ++k)
        f.programes << programs[size_t(k)].name;
    f.programes << messageText(12);
    if (s.speech.speechAvailable) {
        f.svIdioma = st.voiceLanguage;
        f.svLocutor = st.voiceSpeaker;
        f.svVelocitat = QString::number(st.voiceSpeed);
    }
    fields = f;
}

void TemplateProperties::accept() {
    Session& s = c_.session;
    Template& t = s.tmpl;
    TemplateSettings& st = t.settings;
    const PropertiesFields& f = fields;
    t.modified = true;
    st.description = f.descripcio;
    st.docFile = f.fitxDoc;
    st.startProgram = f.ordres;
    st.startKeys = f.tecles;
    st.pictureFile = f.fitxGraf;
    st.autoCover = f.caratulaAuto ? 1 : 0;
    if (!f.fitxGraf.isEmpty() && s.fileExists(f.fitxGraf))
        t.pictureFileTime = fileTimeText(s.realPath(f.fitxGraf));
    t.coverOutdated = false;
    st.templateClipFile = f.fitxClip;
    st.targetApp = f.txFinestra;
    st.voiceLanguage = std::int16_t(f.svIdioma);
    st.voiceSpeaker = std::int16_t(f.svLocutor);
    // The leading number of the text; 0 when there is none or it does not fit.
    const std::optional<double> speed = leadingNumber(f.svVelocitat);
    st.voiceSpeed = speed ? roundToInt16(*speed).value_or(0) : 0;

    // An unreadable cover leaves the board without one; the settings are stored all the same.
    QImage cover;
    if (!st.pictureFile.isEmpty()) cover = readPicture(s.realPath(st.pictureFile));
    c_.lamina = cover;
    s.view->setCover(cover);
    if (s.speech.speechAvailable) {
        SpeechEngine& engine = s.platform.speech;
        engine.setSpeaker(st.voiceSpeaker);
        engine.setLanguage(st.voiceLanguage == 1 ? 101 : 99);
        engine.setSpeed(st.voiceSpeed);
    }
}

void TemplateProperties::setFolder(const QString& folder) {
    fields.pathdefault = folder;
    c_.session.tmpl.templateFolder = folder;
}

void TemplateProperties::setClipKind(int kind) {
    fields.option1 = kind == 1 ? 1 : 0;
    fields.fitxClip.clear();
}

QString TemplateProperties::chooseFile(const QString& title, const QString& filter,
                                       const QString& name) {
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.initialFolder = c_.session.tmpl.templateFolder;
    request.fileName = name;
    return c_.session.platform.dialogs.chooseFile(request);
}

void TemplateProperties::chooseProgram(int index) {
    Session& s = c_.session;
    if (index < 0) return;
    if (index >= fields.programes.size() - 1) {
        // ">>> OTROS": a program file chosen by hand.
        s.tmpl.settings.templateClipKind = std::int16_t(fields.option1);
        const QString chosen = chooseFile(
            QStringLiteral("Carregar Fitxers de text a la carpeta"),
            QStringLiteral("Fitxers Executables (*.EXE)|*.EXE;Tots els fitxers (*.*)|*.*"),
            fields.fitxClip);
        if (!chosen.isEmpty()) fields.ordres = makeRelative(s, chosen);
        return;
    }
    if (!vexil::chooseProgram(s, index)) return;
    fields.macros.clear();
    for (size_t m = 1; m < s.catalogue.macros.size(); ++m)
        fields.macros << s.catalogue.macros[m].title;
    const IniFile ini = IniFile::read(
        realPath(QStringLiteral("MACROS.INI"), s.folders.programFolder, s.folders.drives));
    fields.ordres =
        ini.value(QStringLiteral("Inici"), QStringLiteral("cami") + QString::number(index + 1))
            .left(511);
}

void TemplateProperties::chooseMacro(int index) {
    // Item i is macro i + 1 of the set.
    if (const MacroEntry* macro = macroAt(c_.session, index)) fields.tecles += macro->keys;
}

void TemplateProperties::searchClip() {
    Session& s = c_.session;
    std::optional<QString> chosen;
    if (fields.option1 == 0) {
        const QString file = chooseFile(
            QStringLiteral("Carregar Fitxers de text a la carpeta"),
            QStringLiteral(
                "Fitxers Text (*.TXT,*.WRI,*.RTF)|*.TXT;*.WRI;|Tots els fitxers (*.*)|*.*"),
            fields.fitxClip);
        if (!file.isEmpty()) chosen = file;
    } else if (choosePicture) {
        chosen = choosePicture(pictureChooserFolder(s, fields.fitxClip));
    }
    s.tmpl.settings.templateClipKind = std::int16_t(fields.option1);
    if (!chosen || chosen->isEmpty()) return;
    fields.fitxClip = makeRelative(s, *chosen);
}

void TemplateProperties::searchDoc() {
    Session& s = c_.session;
    s.view->closeAuxiliaryKeyboard();
    const QString chosen =
        chooseFile(QStringLiteral("Documentació de la plantilla"),
                   QStringLiteral("Fitxers del Write (*.wri)|*.wri|Fitxers de text (*.txt)|*.txt"),
                   fields.fitxDoc);
    if (chosen.isEmpty()) return;
    fields.fitxDoc = makeRelative(s, chosen);
    s.tmpl.modified = true;
}

void TemplateProperties::searchGraf() {
    Session& s = c_.session;
    s.view->closeAuxiliaryKeyboard();
    if (!choosePicture) return;
    // Cancelling the chooser leaves the cover field as it was.
    const std::optional<QString> chosen = choosePicture(pictureChooserFolder(s, fields.fitxGraf));
    if (!chosen || chosen->isEmpty()) return;
    fields.fitxGraf = makeRelative(s, *chosen);
    // A chosen picture turns the automatic cover off.
    if (!fields.fitxGraf.isEmpty()) fields.caratulaAuto = false;
}

void TemplateProperties::playImg() {
    Session& s = c_.session;
    const QString& file = fields.fitxGraf;
    if (file.isEmpty()) return;
    s.view->closeAuxiliaryKeyboard();
    if (!isViewablePicture(file) || !launchViewer(s, QStringLiteral("PBRUSH.EXE"), file))
        s.message(messageText(1));
}

void TemplateProperties::playDoc() {
    Session& s = c_.session;
    const QString& file = fields.fitxDoc;
    if (file.isEmpty()) return;
    s.view->closeAuxiliaryKeyboard();
    const QString upper = file.toUpper();
    QString program;
    if (upper.endsWith(QLatin1String(".WRI")))
        program = QStringLiteral("WRITE.EXE");
    else if (upper.endsWith(QLatin1String(".TXT")))
        program = QStringLiteral("NOTEPAD.EXE");
    if (program.isEmpty() || !launchViewer(s, program, file)) s.message(messageText(0));
}

}  // namespace vexil
