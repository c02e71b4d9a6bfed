#include "obf/obf_commands.h"

#include <QDir>
#include <QFileInfo>

#include "editor/file_commands.h"
#include "files/template_reader.h"
#include "i18n/texts.h"
#include "obf/obf_error.h"
#include "obf/obf_export.h"
#include "obf/obf_import.h"
#include "session/session.h"

namespace vexil {
namespace {

QString noticesText(const QStringList& notices) {
    // A long list is cut: the box must still fit on the screen.
    QStringList shown = notices.mid(0, 12);
    if (notices.size() > shown.size())
        shown << QStringLiteral("... (%1)").arg(notices.size() - shown.size());
    return shown.join(u'\n');
}

}  // namespace

void exportObzCommand(Session& session) {
    session.view->closeAuxiliaryKeyboard();
    Template& t = session.tmpl;
    if (t.modified) askSave(session);
    if (t.templatePath.compare(kUnnamedTemplate, Qt::CaseInsensitive) == 0 || t.modified) {
        session.message(translateCaption(QStringLiteral("Cal desar la plantilla abans d'exportar-la.")),
                        MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    const QString board = session.realPath(t.templatePath);
    FileDialogRequest request;
    request.title = translateCaption(QStringLiteral("Exportar a OBZ"));
    request.filter = QStringLiteral("Open Board (*.obz)|*.obz|Open Board (*.obf)|*.obf");
    request.initialFolder = QFileInfo(board).absolutePath();
    request.fileName = QFileInfo(board).completeBaseName() + QStringLiteral(".obz");
    request.defaultExtension = QStringLiteral("obz");
    request.save = true;
    QString chosen = session.platform.dialogs.chooseFile(request);
    if (chosen.isEmpty()) return;
    if (!chosen.endsWith(QLatin1String(".obz"), Qt::CaseInsensitive) &&
        !chosen.endsWith(QLatin1String(".obf"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".obz");
    try {
        const obf::ExportReport report = obf::exportBoards(board, chosen, session.folders.drives);
        if (!report.notices.isEmpty())
            session.message(translateCaption(QStringLiteral("Exportat, amb avisos:")) + u'\n' +
                                noticesText(report.notices),
                            MessageButtons::Ok, MessageIcon::Information);
    } catch (const obf::ObfError& e) {
        session.message(translateCaption(QStringLiteral("No s'ha pogut exportar:")) + u'\n' + e.message(),
                        MessageButtons::Ok, MessageIcon::Critical);
    }
}

void importObzCommand(Session& session, const QString& given) {
    session.view->closeAuxiliaryKeyboard();
    if (session.tmpl.modified) askSave(session);
    QString package = given;
    if (package.isEmpty()) {
        FileDialogRequest open;
        open.title = translateCaption(QStringLiteral("Importar OBZ"));
        open.filter = QStringLiteral("Open Board (*.obz;*.obf)|*.obz;*.obf");
        open.initialFolder = session.realPath(session.tmpl.templateFolder);
        package = session.platform.dialogs.chooseFile(open);
    }
    if (package.isEmpty()) return;
    // The folder is named in a save dialog: a new name makes a new folder.
    FileDialogRequest folder;
    folder.title = translateCaption(QStringLiteral("Carpeta per a les plantilles importades"));
    folder.initialFolder = QFileInfo(package).absolutePath();
    folder.fileName = QFileInfo(package).completeBaseName();
    folder.save = true;
    QString target = session.platform.dialogs.chooseFile(folder);
    if (target.isEmpty()) return;
    // A folder that holds files already gets a new folder named after the package.
    if (QFileInfo(target).isDir() &&
        !QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString base = QDir(target).filePath(QFileInfo(package).completeBaseName());
        target = base;
        for (int i = 2; QFileInfo::exists(target); ++i) target = base + QStringLiteral(" (%1)").arg(i);
    }
    try {
        const obf::ImportReport report = obf::importBoards(package, target);
        loadTemplate(session, report.rootBoard);
        if (!report.notices.isEmpty())
            session.message(translateCaption(QStringLiteral("Importat, amb avisos:")) + u'\n' +
                                noticesText(report.notices),
                            MessageButtons::Ok, MessageIcon::Information);
    } catch (const obf::ObfError& e) {
        session.message(translateCaption(QStringLiteral("No s'ha pogut importar:")) + u'\n' + e.message(),
                        MessageButtons::Ok, MessageIcon::Critical);
    }
}

}  // namespace vexil
