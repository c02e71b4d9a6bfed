#include "editor/cover_commands.h"

#include <QFileInfo>
#include <QImageWriter>

#include "commands/trust_gate.h"
#include "editor/file_commands.h"
#include "editor/panel_files.h"
#include "i18n/runtime_error.h"
#include "platform/paths.h"
#include "session/session.h"
#include "template/board_paths.h"
#include "template/template_writer.h"

namespace vexil {
namespace {

// A name with an extension takes ".BMP" in its place; one without gets it appended.
QString bitmapName(const QString& name) {
    if (name.toUpper().endsWith(QLatin1String(".BMP"))) return name;
    const QString file = fileNamePart(name);
    const qsizetype dot = file.lastIndexOf(u'.');
    if (dot < 0) return name + QStringLiteral(".BMP");
    return name.left(name.size() - (file.size() - dot)) + QStringLiteral(".BMP");
}

}  // namespace

bool CoverCommands::writeCover(const QString& realPath) {
    const QImage image = composer_.composeCover();
    if (image.isNull()) return false;
    QImageWriter writer(realPath, "bmp");
    return writer.write(image);
}

QString CoverCommands::ownCoverName() const {
    const Template& t = c_.session.tmpl;
    if (t.templatePath.compare(kUnnamedTemplate, Qt::CaseInsensitive) == 0) return QString();
    const QString file = fileNamePart(t.templatePath);
    const qsizetype dot = file.indexOf(u'.');
    const QString base = dot < 0 ? file : file.left(dot);
    // The board's name with ".BMP"; when a file of that name is there and is not a cover
    // this editor wrote, the first free name after it ("MENU_2.BMP").
    for (int n = 1; n < 100; ++n) {
        const QString name =
            joinName(t.templateFolder, base + (n == 1 ? QString() : u'_' + QString::number(n)) +
                                           QStringLiteral(".BMP"));
        if (mayWriteOver(c_.session.realPath(name))) return name;
    }
    return QString();
}

bool CoverCommands::mayWriteOver(const QString& real) const {
    if (!QFileInfo::exists(real)) return true;
    return real == writtenCover_ && fileTimeText(real) == writtenTime_;
}

QString CoverCommands::pictureFullName() const {
    const Template& t = c_.session.tmpl;
    const QString& picture = t.settings.pictureFile;
    return isAbsoluteName(picture) ? picture : joinName(t.templateFolder, picture);
}

bool CoverCommands::pictureIsGenerated() const {
    const Template& t = c_.session.tmpl;
    const QString& picture = t.settings.pictureFile;
    // A board whose cover is automatic has a generated picture by its own setting.
    if (picture.isEmpty() || t.settings.autoCover == 1) return true;
    const QString& folder = t.templateFolder;
    const QString target = bitmapName(picture);
    const QString targetFull = isAbsoluteName(target) ? target : joinName(folder, target);
    return mayWriteOver(c_.session.realPath(pictureFullName())) &&
           mayWriteOver(c_.session.realPath(targetFull));
}

void CoverCommands::generateCover() {
    Template& t = c_.session.tmpl;
    // A picture the editor did not make (a photo the teacher chose) is never written over:
    // the cover goes under a name of its own, and the board keeps its picture.
    const bool record = pictureIsGenerated();
    QString name;
    if (record) {
        name = t.settings.pictureFile.isEmpty() && !ownCoverName().isEmpty()
                   ? makeRelative(c_.session, ownCoverName())
                   : bitmapName(t.settings.pictureFile);
        if (name != t.settings.pictureFile) {
            t.settings.pictureFile = name;
            t.modified = true;
        }
    } else {
        name = ownCoverName();
        if (name.isEmpty()) throw RuntimeError(errnum::PathFileAccess);
    }
    const QString real = c_.session.realPath(name);
    const bool written = writeCover(real);
    if (record) c_.session.view->setCover(c_.lamina);
    if (!written) {
        throw RuntimeError(c_.lamina.isNull() ? errnum::InvalidPicture : errnum::PathFileAccess);
    }
    writtenCover_ = real;
    writtenTime_ = fileTimeText(real);
    if (!record) return;
    t.pictureFileTime = writtenTime_;
    t.coverOutdated = false;
}

QString CoverCommands::coverFullName() const {
    const Template& t = c_.session.tmpl;
    const QString& picture = t.settings.pictureFile;
    if (!picture.isEmpty())
        return isAbsoluteName(picture) ? picture : joinName(t.templateFolder, picture);
    const QString file = fileNamePart(t.templatePath);
    const qsizetype dot = file.indexOf(u'.');
    return joinName(t.templateFolder,
                    (dot < 0 ? file + u'.' : file.left(dot + 1)) + QStringLiteral("BMP"));
}

void CoverCommands::newCover() {
    Session& s = c_.session;
    Template& t = s.tmpl;
    if (t.templatePath == kUnnamedTemplate) {
        saveTemplateAsCommand(s);
        if (t.templatePath == kUnnamedTemplate) return;
    }
    // A picture the editor did not write (a photo the teacher chose, a cover retouched or
    // made before) is not written over unasked: the dialog proposes a name of the cover's
    // own, and the board keeps its picture unless the teacher chooses that very file.
    const bool teachersPicture = !pictureIsGenerated();
    const QString name = teachersPicture ? ownCoverName() : coverFullName();
    const QString real = s.realPath(name);
    const bool ours = !teachersPicture && QFileInfo(real).isFile() &&
                      fileTimeText(real) == t.pictureFileTime;
    bool keepPicture = false;
    QString coverFile;
    if (!ours) {
        s.view->closeAuxiliaryKeyboard();
        FileDialogRequest request;
        request.title = QStringLiteral("Enregistrar Caràtula");
        request.filter = QStringLiteral("Làmines de tauleta  (*.BMP)|*.BMP");
        request.initialFolder = t.templateFolder;
        request.fileName = name;
        request.save = true;
        QString chosen = s.platform.dialogs.chooseFile(request);
        if (chosen.isEmpty()) return;
        if (!chosen.toUpper().endsWith(QLatin1String(".BMP"))) chosen += QStringLiteral(".BMP");
        keepPicture = teachersPicture && s.realPath(chosen) != s.realPath(pictureFullName());
        if (keepPicture) {
            coverFile = chosen;
        } else {
            // Recorded relative to the board when it lies beside it, by its full name
            // otherwise, so that the cover is looked for where it was written.
            t.settings.pictureFile = makeRelative(s, chosen);
            t.modified = true;
        }
    } else if (t.settings.pictureFile.isEmpty()) {
        t.settings.pictureFile = makeRelative(s, name);
    }
    if (keepPicture) {
        const QString coverReal = s.realPath(coverFile);
        if (writeCover(coverReal)) {
            writtenCover_ = coverReal;
            writtenTime_ = fileTimeText(coverReal);
        } else {
            const RuntimeError e(errnum::PathFileAccess);
            s.message(QStringLiteral("4 Error ") + QString::number(e.number()) + u' ' +
                      e.description());
        }
        launchViewer(s, QStringLiteral("PBRUSH.EXE"), coverFile);
        return;
    }
    // The board records the name the cover is written under.
    t.settings.pictureFile = bitmapName(t.settings.pictureFile);
    s.view->setBusyCursor(true);
    try {
        const QString boardReal = s.realPath(t.templatePath);
        if (fileTimeText(boardReal) == t.templateFileTime) {
            writeTemplate(t, boardReal);
            t.templateFileTime = fileTimeText(boardReal);
            // Rewritten here: a trusted board stays trusted with its new bytes.
            if (s.trust.level == TrustLevel::Trusted) noteBoardSaved(s.trust, s.folders, boardReal);
        }
    } catch (const RuntimeError& e) {
        s.message(QStringLiteral("4 Error ") + QString::number(e.number()) + u' ' +
                  e.description());
    }
    try {
        generateCover();
    } catch (const RuntimeError& e) {
        s.message(QStringLiteral("4 Error ") + QString::number(e.number()) + u' ' +
                  e.description());
    }
    s.view->setBusyCursor(false);
    const QString picture = t.settings.pictureFile;
    launchViewer(s, QStringLiteral("PBRUSH.EXE"),
                 isAbsoluteName(picture) ? picture : joinName(t.templateFolder, picture));
}

void CoverCommands::editCover() {
    Session& s = c_.session;
    const Template& t = s.tmpl;
    if (!t.settings.pictureFile.isEmpty() && !t.coverOutdated) {
        s.currentDirectory = t.templateFolder;
        launchViewer(s, QStringLiteral("PBRUSH.EXE"), t.settings.pictureFile);
        return;
    }
    newCover();
}

}  // namespace vexil
