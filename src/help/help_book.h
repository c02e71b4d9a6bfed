#pragma once
// The program's own help: HTML pages in Catalan and Spanish under the program folder's
// help/ca and help/es. Windows name their help by a topic number (the `helpTopic`
// property); this maps topics to pages and picks the pages of the interface language.
#include <QString>
#include <QUrl>
#include <span>

namespace vexil {

// Topic numbers that windows carry. 80 is the key-sequence topic the help menu opens.
namespace help_topic {
constexpr int Index = 0;
constexpr int Editor = 10;
constexpr int AreaPanel = 11;
constexpr int LayoutTools = 12;   // "Redimensionar àrees", "&Subdividir àrea"
constexpr int Cover = 13;         // the cover and the picture chooser
constexpr int Properties = 14;    // "Dades globals"
constexpr int Menus = 20;
constexpr int Macros = 21;        // "Macros": "Carregar macros", "Seleccionar"
constexpr int UserProfiles = 22;  // "Usuari"
constexpr int Access = 40;        // the access modes and use mode
constexpr int Switches = 41;      // the switch dialog
constexpr int UseMode = 42;
constexpr int JoystickDialog = 43;  // "Josytick"
constexpr int VoiceDialog = 44;     // "veu"
constexpr int AccessModeBase = 50;  // 50 + accessMode (0..8)
constexpr int KeySequences = 80;    // "Seqüències de tecles"
constexpr int Commands = 81;
constexpr int MouseCommands = 82;
constexpr int AuxKeyboard = 85;     // "Teclat Auxiliar"
constexpr int CommandAssistant = 86;
constexpr int About = 90;
constexpr int Adaptation = 1200;   // "Adaptació"
}  // namespace help_topic

struct HelpTopicPage {
    int topic;
    const char* page;  // a file of the help folder, with an anchor after "#" when it has one
};
// Every topic with a page of its own, in topic order.
std::span<const HelpTopicPage> helpTopicTable();
// The page of a topic ("tecles.html", "editor.html#panell"); the index for any other number.
QString helpPageForTopic(int topic);
// The topic of an access mode's page (0..8); the access overview for any other mode.
int accessModeTopic(int accessMode);

// The language the windows are shown in: their captions always go through the
// Catalan-to-Spanish table, so Spanish.
QString interfaceLanguage();

class HelpBook {
public:
    // The help of `programFolder` (its help/<language> folder); `language` is "ca" or "es".
    HelpBook(QString programFolder, QString language);

    // The folder of the language's pages (which may be missing).
    QString folder() const;
    QString language() const { return language_; }
    // The page of a topic as a file URL with its anchor. A page missing in the language is
    // taken from the other language, and a topic whose page is missing in both gives the
    // index; empty when there is no help at all.
    QUrl urlForTopic(int topic) const;
    bool available() const;

private:
    QString pagePath(const QString& language, const QString& page) const;

    QString programFolder_;
    QString language_;
};

// "&Quant al Vexil...": the About text (message 6) with the version of this program.
QString aboutText();
QString programVersion();

}  // namespace vexil
