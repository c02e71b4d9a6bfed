#include "app/startup.h"

#include <QDir>

#include "app/use_mode.h"
#include "commands/sound_speech.h"
#include "editor/file_commands.h"
#include "files/catalogue_loader.h"
#include "files/profile_files.h"
#include "files/template_reader.h"
#include "platform/paths.h"
#include "session/session.h"
#include "template/board_paths.h"

namespace vexil {

namespace {

// Upper case character by character, so that positions stay where they were.
QString upperKeepingLength(const QString& text) {
    QString out = text;
    for (QChar& c : out) c = c.toUpper();
    return out;
}

// Names on this system keep their case: the board is named as it is spelt on disk (the
// title shows it so), found without regard to case. A board that is not there ends in
// ".VXL", so that the loader reports it missing rather than wrongly named.
QString boardNameToLoad(const Session& session, const QString& board) {
    const Template& t = session.tmpl;
    const QString folder = t.templateFolder.isEmpty() ? session.currentDirectory : t.templateFolder;
    QString name = nameAsOnDisk(board, folder, session.folders.drives);
    const QString full = isAbsoluteName(name) ? name : joinName(folder, name);
    if (!session.fileExists(full)) name = name.left(name.size() - 4) + QStringLiteral(".VXL");
    return name;
}

}  // namespace

QString commandLineOf(const QStringList& arguments) {
    QStringList parts;
    for (const QString& a : arguments)
        parts << (a.contains(u' ') ? QStringLiteral("\"") + a + u'"' : a);
    return parts.join(u' ');
}

QString argumentWithExtension(const QString& commandLine, const QString& ext) {
    if (ext.isEmpty()) return {};
    const QString& c = commandLine;
    const int p = upperKeepingLength(c).indexOf(upperKeepingLength(ext));
    if (p < 0) return {};
    const int after = p + int(ext.size());
    // There are no short (8.3) names here, so an unquoted command line stays as it is.
    const bool quoted = after < c.size() && c[after] == u'"';
    const QChar separator = quoted ? u'"' : u' ';
    // Walk back from the extension to the second character; the first is where an
    // argument without separator starts (or its opening quote).
    int i = 0;
    for (int k = p; k >= 1; --k) {
        if (c[k] == separator) {
            i = k;
            break;
        }
    }
    const QString text = quoted ? c.mid(i + 1, p - i - 1) : c.mid(i, p - i);
    return (text + ext).trimmed();
}

QChar programDriveLetter(const Folders& folders) {
    QChar best = u'C';
    qsizetype bestLength = 1;  // the filesystem root leads everywhere
    for (char16_t l = u'A'; l <= u'Z'; ++l) {
        QString folder = folders.drives.folderOf(QChar(l));
        while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
        const bool inside =
            folders.programFolder == folder || folders.programFolder.startsWith(folder + u'/');
        if (inside && folder.size() > bestLength) {
            best = QChar(l);
            bestLength = folder.size();
        }
    }
    return best;
}

QString boardArgument(const QString& commandLine, const Folders& folders) {
    QString t = argumentWithExtension(commandLine, QStringLiteral(".Vxl"));
    if (t.startsWith(u':')) t.prepend(programDriveLetter(folders));
    return t;
}

void startUp(Session& session, UseMode& useMode, const QString& commandLine) {
    Template& t = session.tmpl;
    loadProgramCatalogue(session);
    t.templateFolder = session.folders.programFolder;
    resetUserProfile(session);
    // The last profile is loaded first even when the command line names one, which is then
    // the one remembered: the first is not written down on the way.
    const QString trimmed = commandLine.trimmed();
    const QString namedProfile = argumentWithExtension(trimmed, QStringLiteral(".usr"));
    loadProgramSettings(session,
                        namedProfile.isEmpty() ? RememberProfile::Yes : RememberProfile::No);
    t.templatePath = QStringLiteral("(Sense nom)");
    session.timer1->setInterval(session.programSettings.Interval);
    session.timer1->setEnabled(true);
    t.currentArea = 0;
    t.truncateAreas(0);
    t.settings.autoCover = 1;
    session.view->setTitle(boardWindowTitle(t.templatePath));
    registerSpeechEngine(session);
    startSpeech(session);
    session.view->redrawBoard();

    // A relative name on the command line is taken from the folder the program was started
    // in: joined to its own folder again it would name "examples/examples/...", and kept
    // as typed in Vexil.INI it would name nothing at the next start from elsewhere.
    const auto fromStartFolder = [&session](const QString& name) {
        if (name.isEmpty() || isAbsoluteName(name)) return name;
        const QString started =
            session.currentDirectory.isEmpty() ? QDir::currentPath() : session.currentDirectory;
        return joinName(started, name);
    };
    if (!namedProfile.isEmpty()) loadUserProfile(session, fromStartFolder(namedProfile));
    const QString board = fromStartFolder(boardArgument(trimmed, session.folders));
    if (!board.isEmpty()) {
        if (board.contains(u'\\') || board.contains(u'/'))
            t.templateFolder = board.left(board.size() - fileNamePart(board).size());
        loadTemplate(session, boardNameToLoad(session, board));
        // A board that could not be read leaves no areas: the user lands in edit mode.
        useMode.enterUseMode();
        return;
    }
    // No board named (possibly a profile alone): a new board to draw.
    newTemplate(session);
    session.view->setTitle(boardWindowTitle(t.templatePath));
    session.view->setDrawingArmed(true);
}

}  // namespace vexil
