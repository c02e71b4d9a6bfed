#include "help/help_book.h"

#include <QDir>
#include <QFileInfo>

#include "i18n/texts.h"

#ifndef VEXIL_VERSION
#define VEXIL_VERSION "0"
#endif

namespace vexil {

std::span<const HelpTopicPage> helpTopicTable() {
    using namespace help_topic;
    static constexpr HelpTopicPage rows[] = {
        {Index, "index.html"},
        {Editor, "editor.html"},
        {AreaPanel, "editor.html#panell"},
        {LayoutTools, "editor.html#eines"},
        {Cover, "editor.html#caratula"},
        {Properties, "editor.html#dades-globals"},
        {Menus, "menus.html"},
        {Macros, "menus.html#macros"},
        {UserProfiles, "menus.html#usuari"},
        {Access, "acces.html"},
        {Switches, "acces.html#pulsadors"},
        {UseMode, "acces.html#us"},
        {JoystickDialog, "joystick.html"},
        {VoiceDialog, "veu.html"},
        {AccessModeBase + 0, "acces-ratoli.html"},
        {AccessModeBase + 1, "acces-manual.html"},
        {AccessModeBase + 2, "acces-automatic.html"},
        {AccessModeBase + 3, "acces-cursors.html"},
        {AccessModeBase + 4, "acces-joystick.html"},
        {AccessModeBase + 5, "acces-veu.html#una-ordre"},
        {AccessModeBase + 6, "acces-veu.html#dues-ordres"},
        {AccessModeBase + 7, "acces-veu.html#cinc-ordres"},
        {AccessModeBase + 8, "acces-joystick.html#multimouse"},
        {KeySequences, "tecles.html"},
        {Commands, "tecles.html#ordres"},
        {MouseCommands, "tecles.html#ratoli"},
        {AuxKeyboard, "teclat-auxiliar.html"},
        {CommandAssistant, "tecles.html#assistent"},
        {About, "index.html#quant-a"},
        {Adaptation, "adaptacio.html"},
    };
    return rows;
}

QString helpPageForTopic(int topic) {
    for (const HelpTopicPage& row : helpTopicTable())
        if (row.topic == topic) return QString::fromLatin1(row.page);
    return QStringLiteral("index.html");
}

int accessModeTopic(int accessMode) {
    if (accessMode < 0 || accessMode > 8) return help_topic::Access;
    return help_topic::AccessModeBase + accessMode;
}

QString interfaceLanguage() {
    return QStringLiteral("es");
}

HelpBook::HelpBook(QString programFolder, QString language)
    : programFolder_(std::move(programFolder)),
      language_(language == u"ca" ? QStringLiteral("ca") : QStringLiteral("es")) {}

QString HelpBook::folder() const {
    return QDir(programFolder_).filePath(QStringLiteral("help/") + language_);
}

QString HelpBook::pagePath(const QString& language, const QString& page) const {
    return QDir(programFolder_).filePath(QStringLiteral("help/%1/%2").arg(language, page));
}

QUrl HelpBook::urlForTopic(int topic) const {
    const QString other = language_ == u"ca" ? QStringLiteral("es") : QStringLiteral("ca");
    const QString target = helpPageForTopic(topic);
    const qsizetype hash = target.indexOf(u'#');
    const QString page = hash < 0 ? target : target.left(hash);
    const QString anchor = hash < 0 ? QString() : target.mid(hash + 1);
    for (const QString& file : {page, QStringLiteral("index.html")}) {
        for (const QString& language : {language_, other}) {
            const QString path = pagePath(language, file);
            if (!QFileInfo(path).isFile()) continue;
            QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
            if (file == page && !anchor.isEmpty()) url.setFragment(anchor);
            return url;
        }
    }
    return {};
}

bool HelpBook::available() const {
    return !urlForTopic(help_topic::Index).isEmpty();
}

QString programVersion() {
    return QStringLiteral(VEXIL_VERSION);
}

QString aboutText() {
    return messageText(6) + QStringLiteral("\r\nVersión ") + programVersion();
}

}  // namespace vexil
