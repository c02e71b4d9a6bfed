#include "editor/cover_commands.h"

#include <QFileInfo>
#include <QImageWriter>

#include "app/session.h"
#include "editor/panel_files.h"
#include "i18n/runtime_error.h"
#include "platform/paths.h"
#include "template/board_paths.h"
#include "template/file_commands.h"
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

void CoverCommands::generateCover() {
    Template& t = c_.session.tmpl;
    const QString name = bitmapName(t.settings.pictureFile);
    if (name != t.settings.pictureFile) {
        t.settings.pictureFile = name;
        t.modified = true;
    }
    const QString real = c_.session.realPath(name);
    const bool written = writeCover(real);
    c_.session.view->setCover(c_.lamina);
    if (!written) {
        throw RuntimeError(c_.lamina.isNull() ? errnum::InvalidPicture : errnum::PathFileAccess);
    }
    t.pictureFileTime = fileTimeText(real);
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
    const QString name = coverFullName();
    const QString real = s.realPath(name);
    const bool ours = QFileInfo(real).isFile() && fileTimeText(real) == t.pictureFileTime;
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
        // Recorded relative to the board when it lies beside it, by its full name otherwise,
        // so that the cover is looked for where it was written.
        t.settings.pictureFile = makeRelative(s, chosen);
        t.modified = true;
    } else if (t.settings.pictureFile.isEmpty()) {
        t.settings.pictureFile = makeRelative(s, name);
    }
    // The board records the name the cover is written under.
    t.settings.pictureFile = bitmapName(t.settings.pictureFile);
    s.view->setBusyCursor(true);
    try {
        const QString boardReal = s.realPath(t.templatePath);
        if (fileTimeText(boardReal) == t.templateFileTime) {
            writeTemplate(t, boardReal);
            t.templateFileTime = fileTimeText(boardReal);
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
