#include "editor/file_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "commands/sound_speech.h"
#include "files/template_reader.h"
#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "session/session.h"
#include "template/board_paths.h"
#include "template/template_writer.h"

namespace vexil {
namespace {

const QString kFilter = QStringLiteral("Vexil (*.VXL)|*.VXL");

void showTitle(Session& s) {
    s.view->setTitle(boardWindowTitle(s.tmpl.templatePath));
}

// A name of the board resolved in the template's folder: during "&Desar ..." the current
// directory is still the old folder, while relocated names are relative to the new one.
QString inTemplateFolder(const Session& s, const QString& name) {
    return realPath(name, s.tmpl.templateFolder, s.folders.drives);
}

void relocateReferences(Session& s, const QString& oldFolder) {
    TemplateSettings& st = s.tmpl.settings;
    st.pictureFile = relocatePath(s, st.pictureFile, oldFolder);
    st.startProgram = relocatePath(s, st.startProgram, oldFolder);
    st.templateClipFile = relocatePath(s, st.templateClipFile, oldFolder);
    st.docFile = relocatePath(s, st.docFile, oldFolder);
    for (int n = 1; n <= s.tmpl.areaCount(); ++n) {
        Area a = s.tmpl.area(n);
        a.clipFile = relocatePath(s, a.clipFile, oldFolder);
        a.iconFile = relocatePath(s, a.iconFile, oldFolder);
        a.keys = relocateKeys(s, a.keys, oldFolder);
        a.soundFile = relocatePath(s, a.soundFile, oldFolder);
        s.tmpl.setArea(n, a);
    }
}

// The picture takes the board's name, keeping its own three-letter extension.
void copyPictureUnderBoardName(Session& s, const QString& chosen) {
    QString& picture = s.tmpl.settings.pictureFile;
    const QString base = fileNamePart(chosen).toUpper();
    const QString newName =
        joinName(folderPart(chosen), base.left(base.size() - 3) + picture.right(3));
    const QString from = inTemplateFolder(s, picture);
    const QString to = inTemplateFolder(s, newName);
    // A cover that is missing is not copied, and the board keeps its name for it: the board
    // itself must still be saved.
    if (!QFileInfo(from).isFile()) return;
    // Into a folder that is not there the board's own write would fail the same way.
    if (!QFileInfo(to).absoluteDir().exists()) throw RuntimeError(errnum::PathNotFound);
    if (from != to) {
        if (QFileInfo::exists(to) && !QFile::remove(to))
            throw RuntimeError(errnum::PermissionDenied);
        if (!QFile::copy(from, to)) throw RuntimeError(errnum::PathFileAccess);
    }
    picture = makeRelative(s, newName);
}

// "C:\PLANTILLES\" and "/home/ana/Plantilles/" may be one folder: the file system says.
bool sameFolder(const Session& s, const QString& a, const QString& b) {
    if (a == b) return true;
    if (a.isEmpty() || b.isEmpty()) return false;
    const auto seen = [&s](const QString& folder) {
        const QFileInfo real(s.realPath(folder));
        const QString canonical = real.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(real.absoluteFilePath()) : canonical;
    };
    return seen(a) == seen(b);
}

// BOARD.VXL gets BOARD.BMP, a name relative to the board.
QString defaultPictureName(const QString& chosen) {
    const QString name = fileNamePart(chosen).toUpper();
    return name.left(name.indexOf(u'.') + 1) + QStringLiteral("BMP");
}

// A board that was saved is compared with its file as this program writes it (a file
// written elsewhere may differ in form only: then the board counts as modified, which
// asks once too often but loses nothing). A board never saved differs from no file as
// soon as it holds an area.
bool differsFromItsFile(const Session& s, bool wasModified) {
    const Template& t = s.tmpl;
    if (t.templatePath.compare(kUnnamedTemplate, Qt::CaseInsensitive) == 0)
        return wasModified || t.areaCount() != 0;
    QFile file(s.realPath(t.templatePath));
    if (!file.open(QIODevice::ReadOnly)) return true;
    return file.readAll() != templateFileBytes(t);
}

// Boards are Windows-1252 files: a character beyond it would come back as "?". The user
// is told which texts hold such characters before anything is written, and may go back
// to mend them.
bool codePageAllowsSave(Session& s) {
    QStringList lines = textsOutsideCodePage(s.tmpl);
    if (lines.isEmpty()) return true;
    constexpr int kShown = 12;
    if (lines.size() > kShown) {
        const auto more = lines.size() - kShown;
        lines.resize(kShown);
        lines << QStringLiteral("… (%1 más)").arg(more);
    }
    const QString text =
        QStringLiteral("El fichero de plafón no puede guardar algunos caracteres de estos "
                       "textos; se guardarían como \"?\":\r\n\r\n") +
        lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n¿Guardar igualmente?");
    return s.message(text, MessageButtons::YesNo) == MessageAnswer::Yes;
}

}  // namespace

QString makeRelative(const Session& session, const QString& path) {
    const QString& folder = session.tmpl.templateFolder;
    if (!liesInFolder(path, folder)) return path;
    const bool endsWithSeparator = folder.endsWith(u'\\') || folder.endsWith(u'/');
    return path.mid(folder.size() + (endsWithSeparator ? 0 : 1));
}

QString relocatePath(const Session& session, const QString& path, const QString& oldFolder) {
    if (path.isEmpty()) return path;
    const QString full = isAbsoluteName(path) ? path : joinName(oldFolder, path);
    if (!fileExists(full, oldFolder, session.folders.drives)) return path;
    return makeRelative(session, full);
}

QString relocateCommand(const Session& session, const QString& text, const QString& oldFolder) {
    if (!text.startsWith(u'|')) return text;
    QString rest = text.mid(1);
    while (!rest.isEmpty() && rest.back().isSpace()) rest.chop(1);
    rest = rest.toUpper();
    const qsizetype blank = rest.indexOf(u' ');
    if (blank < 0) return text;
    const QString name = rest.left(blank);
    const QString argument = rest.mid(blank + 1).trimmed();
    if (argument.isEmpty()) return text;
    if (name == u"CARREGA" || name == u"SONA" || name == u"EXECUTA" || name == u"ENGANXA")
        return u'|' + name + u' ' + relocatePath(session, argument, oldFolder);
    if (name == u"LLEGEIX") {
        const qsizetype marker = text.indexOf(QStringLiteral("/F:"), 0, Qt::CaseInsensitive);
        if (marker < 0) return text;
        const qsizetype after = marker + 3;
        return text.left(after) +
               relocatePath(session, text.mid(after).trimmed().toUpper(), oldFolder);
    }
    return text;
}

QString relocateKeys(const Session& session, const QString& keys, const QString& oldFolder) {
    QString out = keys;
    qsizetype from = 0;
    while (true) {
        const qsizetype bar = out.indexOf(u'|', from);
        if (bar < 0) break;
        const qsizetype close = out.indexOf(u'}', bar);
        // A command that is never closed is left as it is.
        if (close < 0) break;
        const QString replaced = relocateCommand(session, out.mid(bar, close - bar), oldFolder);
        out.replace(bar, close - bar, replaced);
        from = bar + replaced.size();
    }
    return out;
}

FileDialogRequest openDialogRequest(const Session& session) {
    FileDialogRequest r;
    r.title = QStringLiteral("Carregar el fitxer de plantilla");
    r.filter = kFilter;
    r.initialFolder = session.folders.programFolder;
    return r;
}

FileDialogRequest saveDialogRequest(const Session& session) {
    FileDialogRequest r;
    r.title = QStringLiteral("Enregistrar el fitxer de plantilla");
    r.filter = kFilter;
    const QString& folder = session.tmpl.templateFolder;
    r.initialFolder = folder.isEmpty() ? QString() : session.realPath(folder);
    const QString& path = session.tmpl.templatePath;
    if (path.compare(kUnnamedTemplate, Qt::CaseInsensitive) != 0) r.fileName = session.realPath(path);
    r.defaultExtension = QStringLiteral("VXL");
    r.save = true;
    return r;
}

void askSave(Session& session) {
    if (session.message(messageText(5), MessageButtons::YesNo) == MessageAnswer::Yes)
        saveTemplateAsCommand(session);
}

void newTemplate(Session& session) {
    Template& t = session.tmpl;
    if (t.modified) askSave(session);
    const bool openProperties = t.settings.propertiesOnNew != 0;
    t.clearTemplate();
    noteNewBoard(session.trust);
    copia_seguretat(session, 0);
    // The speech engine starts again, so that the language and voice of the board left
    // behind do not stay in it; when present, this resets the board's voice settings.
    startSpeech(session);
    t.modified = false;
    t.settings.formatVariant = 2;
    session.view->setKeysBoxCoversClip(true);
    showTitle(session);
    session.view->setCover(QImage());
    t.settings.propertiesOnNew = 1;
    t.addedAreaCount = 0;
    session.view->showEmptyAreaPanel();
    if (openProperties) session.view->openTemplateProperties();
    session.view->setDrawingArmed(true);
}

void openTemplate(Session& session, const QString& chosenName) {
    if (chosenName.size() < 5 || chosenName.startsWith(u'*')) return;
    try {
        session.tmpl.templateFolder = folderPart(chosenName);
        loadTemplate(session, chosenName);
    } catch (const RuntimeError& e) {
        session.message(QStringLiteral("2 Error ") + QString::number(e.number()));
    }
}

void openTemplateCommand(Session& session) {
    session.view->closeAuxiliaryKeyboard();
    if (session.tmpl.modified) askSave(session);
    const QString chosen = session.platform.dialogs.chooseFile(openDialogRequest(session));
    if (!chosen.isEmpty()) openTemplate(session, chosen);
}


void saveTemplateAs(Session& session, const QString& chosenName) {
    Template& t = session.tmpl;
    // A name with another extension saves nothing and changes nothing.
    if (!chosenName.toUpper().endsWith(QStringLiteral(".VXL"))) return;
    if (!codePageAllowsSave(session)) return;
    // A save that fails leaves the board as it was: its name, its folder, its references.
    const Template before = t;
    const QString directoryBefore = session.currentDirectory;
    try {
        QString oldFolder = t.templateFolder;
        t.templateFolder = folderPart(chosenName);
        // The save dialog leaves the current directory in the folder it saved into, so the
        // board's relative names keep resolving next to it.
        session.currentDirectory = t.templateFolder;
        if (sameFolder(session, oldFolder, t.templateFolder)) oldFolder.clear();
        if (!oldFolder.isEmpty()) relocateReferences(session, oldFolder);
        if (chosenName != t.templatePath && !t.settings.pictureFile.isEmpty())
            copyPictureUnderBoardName(session, chosenName);
        t.templatePath = chosenName;
        if (t.settings.pictureFile.isEmpty())
            t.settings.pictureFile = defaultPictureName(chosenName);
        const QString real = session.realPath(chosenName);
        writeTemplate(t, real);
        // Saved here for this user: it runs as it always has, without asking.
        noteBoardSaved(session.trust, session.folders, real);
        if (t.settings.autoCover == 1) session.view->generateCover();
        t.templateFileTime = fileTimeText(real);
        showTitle(session);
        t.modified = false;
    } catch (const RuntimeError& e) {
        t = before;
        session.currentDirectory = directoryBefore;
        session.message(QStringLiteral("6 Error") + QString::number(e.number()));
    }
}

void saveTemplateAsCommand(Session& session) {
    session.view->closeAuxiliaryKeyboard();
    const QString chosen = session.platform.dialogs.chooseFile(saveDialogRequest(session));
    if (!chosen.isEmpty()) saveTemplateAs(session, chosen);
}

void copia_seguretat(Session& session, int mode) {
    const QString& userFolder = session.folders.userFolder;
    if (userFolder.isEmpty()) return;
    const QString snapshot = QDir(userFolder).filePath(QStringLiteral("tmp.bin"));
    if (mode == 0 || mode == 1) {
        try {
            writeTemplate(session.tmpl, snapshot);
        } catch (const RuntimeError&) {
            // The undo store is best effort: a failed snapshot must not stop the edit.
        }
        return;
    }
    if (mode != 2) return;
    // Without a snapshot there is nothing to restore; loading a stale or missing copy
    // would empty the board.
    if (!QFileInfo(snapshot).isFile()) return;
    const QString copy = QDir(userFolder).filePath(QStringLiteral("tmp.vxl"));
    if (QFileInfo::exists(copy) && !QFile::remove(copy)) return;
    if (!QFile::copy(snapshot, copy)) return;
    Template& t = session.tmpl;
    const QString folder = t.templateFolder;
    const QString path = t.templatePath;
    const QString currentDirectory = session.currentDirectory;
    const bool wasModified = t.modified;
    // The snapshot is the same board a step back: it keeps the board's trust.
    const BoardTrust trust = session.trust;
    // The snapshot's relative names belong to the board being edited, not to the folder
    // the snapshot lies in.
    loadTemplateInFolder(session, copy, folder);
    session.trust = trust;
    t.templateFolder = folder;
    t.templatePath = path;
    session.currentDirectory = currentDirectory;
    // The loader calls every board it reads unmodified; the board restored is modified
    // whenever it differs from the board's own file.
    t.modified = differsFromItsFile(session, wasModified);
    showTitle(session);
}

}  // namespace vexil
