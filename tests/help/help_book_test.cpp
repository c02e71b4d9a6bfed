#include "help/help_book.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "i18n/texts.h"
#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

QString helpFolder(const QString& language) {
    return sourceDir() + QStringLiteral("/examples/help/") + language;
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList pagesOf(const QString& language) {
    return QDir(helpFolder(language)).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

// The anchors a page defines (id="..." or name="...").
QSet<QString> anchorsOf(const QString& html) {
    QSet<QString> anchors;
    static const QRegularExpression re(QStringLiteral(R"re(\b(?:id|name)\s*=\s*"([^"]+)")re"));
    for (const auto& m : re.globalMatch(html)) anchors.insert(m.captured(1));
    return anchors;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(HelpTopics, EveryTopicHasItsPage) {
    const std::pair<int, const char*> cases[] = {
        {help_topic::Index, "index.html"},
        {help_topic::KeySequences, "tecles.html"},
        {80, "tecles.html"},
        {help_topic::Commands, "tecles.html#ordres"},
        {help_topic::MouseCommands, "tecles.html#ratoli"},
        {help_topic::AuxKeyboard, "teclat-auxiliar.html"},
        {help_topic::Editor, "editor.html"},
        {help_topic::AreaPanel, "editor.html#panell"},
        {help_topic::LayoutTools, "editor.html#eines"},
        {help_topic::Properties, "editor.html#dades-globals"},
        {help_topic::Macros, "menus.html#macros"},
        {help_topic::Switches, "acces.html#pulsadors"},
        {help_topic::UseMode, "acces.html#us"},
        {-1, "index.html"},
        {79, "index.html"},
        {100000, "index.html"},
    };
    for (const auto& [topic, page] : cases)
        EXPECT_EQ(helpPageForTopic(topic), QString::fromLatin1(page)) << topic;
}

TEST(HelpTopics, EachAccessModeHasItsPage) {
    const char* const pages[] = {
        "acces-ratoli.html",         "acces-manual.html",         "acces-automatic.html",
        "acces-cursors.html",        "acces-joystick.html",       "acces-veu.html#una-ordre",
        "acces-veu.html#dues-ordres", "acces-veu.html#cinc-ordres", "acces-joystick.html#multimouse",
    };
    for (int mode = 0; mode <= 8; ++mode)
        EXPECT_EQ(helpPageForTopic(accessModeTopic(mode)), QString::fromLatin1(pages[mode])) << mode;
    EXPECT_EQ(accessModeTopic(9), help_topic::Access);
    EXPECT_EQ(accessModeTopic(-1), help_topic::Access);
}

TEST(HelpTopics, TopicNumbersAreUnique) {
    QSet<int> seen;
    for (const HelpTopicPage& row : helpTopicTable()) EXPECT_FALSE(seen.contains(row.topic)) << row.topic;
    for (const HelpTopicPage& row : helpTopicTable()) seen.insert(row.topic);
}

TEST(HelpPages, BothLanguagesHoldTheSamePagesAndEveryTopicsAnchor) {
    const QStringList ca = pagesOf(QStringLiteral("ca"));
    ASSERT_FALSE(ca.isEmpty());
    EXPECT_EQ(ca, pagesOf(QStringLiteral("es")));
    for (const QString& language : {QStringLiteral("ca"), QStringLiteral("es")}) {
        for (const HelpTopicPage& row : helpTopicTable()) {
            const QString target = QString::fromLatin1(row.page);
            const QString page = target.section(u'#', 0, 0);
            const QString anchor = target.section(u'#', 1);
            const QString html = readText(helpFolder(language) + u'/' + page);
            ASSERT_FALSE(html.isEmpty()) << language.toStdString() << " " << row.page;
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(anchorsOf(html).contains(anchor)) << language.toStdString() << " " << row.page;
            }
        }
    }
}

TEST(HelpPages, EveryPageHasATitleAndNoBrokenLinkOrPicture) {
    static const QRegularExpression hrefRe(QStringLiteral(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re"));
    static const QRegularExpression titleRe(QStringLiteral("<title>([^<]+)</title>"));
    int links = 0;
    for (const QString& language : {QStringLiteral("ca"), QStringLiteral("es")}) {
        for (const QString& page : pagesOf(language)) {
            const QString where = language + u'/' + page;
            const QString html = readText(helpFolder(language) + u'/' + page);
            EXPECT_TRUE(titleRe.match(html).hasMatch()) << where.toStdString();
            EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">"))) << where.toStdString();
            // Menus are named as they read on the screen, without the accelerator's "&".
            EXPECT_FALSE(html.contains(QStringLiteral("&amp;"))) << where.toStdString();
            for (const auto& m : hrefRe.globalMatch(html)) {
                const QString href = m.captured(1);
                if (href.contains(QStringLiteral("://")) || href.startsWith(QStringLiteral("mailto:")))
                    continue;
                ++links;
                const QString file = href.section(u'#', 0, 0);
                const QString anchor = href.section(u'#', 1);
                const QString targetPath = file.isEmpty()
                                               ? helpFolder(language) + u'/' + page
                                               : helpFolder(language) + u'/' + file;
                // Links stay inside the language's folder.
                EXPECT_FALSE(file.contains(u'/')) << where.toStdString() << " -> " << href.toStdString();
                const QString target = readText(targetPath);
                EXPECT_FALSE(target.isEmpty()) << where.toStdString() << " -> " << href.toStdString();
                if (!anchor.isEmpty()) {
                    EXPECT_TRUE(anchorsOf(target).contains(anchor))
                        << where.toStdString() << " -> " << href.toStdString();
                }
            }
        }
    }
    EXPECT_GT(links, 50);
}

TEST(HelpPages, TheKeySequencePageShowsEveryCommandAndMouseAction) {
    for (const QString& language : {QStringLiteral("ca"), QStringLiteral("es")}) {
        const QString html = readText(helpFolder(language) + QStringLiteral("/tecles.html"));
        // Each command in both spellings the interpreter takes, and each mouse action.
        for (const char* word : {"Carrega", "Carga", "Sona", "Suena", "Executa", "Ejecuta",
                                 "Enganxa", "Espera", "Nivell", "Nivel", "Tancar", "Cerrar",
                                 "Llegir", "Leer", "Llegeix", "Tria", "Escoge", "CM", "M+", "M-",
                                 "RM", "RCW", "REG", "SIM", "Mouse"})
            EXPECT_TRUE(html.contains(QStringLiteral("{|") + QLatin1String(word)))
                << language.toStdString() << " " << word;
        for (const char* action : {" A ", " R ", " D ", " E ", " M ", " CD", " CE", " 2CD", " 2CE",
                                   " PD ", " PE ", " PD+", " PE+", " AD", " AE"})
            EXPECT_TRUE(html.contains(QStringLiteral("{|Mouse") + QLatin1String(action)))
                << language.toStdString() << " '" << action << "'";
    }
}

TEST(HelpBook, PagesOfTheLanguageThenTheOtherThenTheIndex) {
    QTemporaryDir dir;
    const QString root = dir.path();
    writeFile(root + QStringLiteral("/help/es/index.html"), "<title>i</title>");
    writeFile(root + QStringLiteral("/help/ca/index.html"), "<title>i</title>");
    writeFile(root + QStringLiteral("/help/ca/tecles.html"), "<title>t</title>");
    writeFile(root + QStringLiteral("/help/es/editor.html"), "<title>e</title>");

    const HelpBook es(root, QStringLiteral("es"));
    EXPECT_TRUE(es.available());
    EXPECT_EQ(es.folder(), root + QStringLiteral("/help/es"));
    // Only in Catalan: taken from there, anchor kept.
    QUrl url = es.urlForTopic(help_topic::MouseCommands);
    EXPECT_EQ(url.toLocalFile(), root + QStringLiteral("/help/ca/tecles.html"));
    EXPECT_EQ(url.fragment(), QStringLiteral("ratoli"));
    url = es.urlForTopic(help_topic::AreaPanel);
    EXPECT_EQ(url.toLocalFile(), root + QStringLiteral("/help/es/editor.html"));
    EXPECT_EQ(url.fragment(), QStringLiteral("panell"));
    // Missing everywhere: the index of the language, without the topic's anchor.
    url = es.urlForTopic(help_topic::Switches);
    EXPECT_EQ(url.toLocalFile(), root + QStringLiteral("/help/es/index.html"));
    EXPECT_TRUE(url.fragment().isEmpty());
    const HelpBook ca(root, QStringLiteral("ca"));
    EXPECT_EQ(ca.urlForTopic(help_topic::KeySequences).toLocalFile(),
              root + QStringLiteral("/help/ca/tecles.html"));
    // Any other language asked for is the interface's.
    EXPECT_EQ(HelpBook(root, QStringLiteral("fr")).language(), QStringLiteral("es"));

    const HelpBook none(root + QStringLiteral("/nowhere"), QStringLiteral("ca"));
    EXPECT_FALSE(none.available());
    EXPECT_TRUE(none.urlForTopic(help_topic::KeySequences).isEmpty());
}

TEST(HelpBook, TheShippedHelpFollowsTheInterfaceLanguage) {
    const HelpBook book(sourceDir() + QStringLiteral("/examples"), interfaceLanguage());
    EXPECT_EQ(interfaceLanguage(), QStringLiteral("es"));
    EXPECT_TRUE(book.urlForTopic(80).toLocalFile().endsWith(QStringLiteral("/help/es/tecles.html")));
}

TEST(HelpBook, AboutNamesTheVersion) {
    EXPECT_FALSE(programVersion().isEmpty());
    EXPECT_NE(programVersion(), QStringLiteral("0"));
    EXPECT_TRUE(aboutText().startsWith(messageText(6)));
    EXPECT_TRUE(aboutText().endsWith(programVersion()));
}
