// The command menus and the top assistant on the area panel's key field.
#include "assist/keys_field.h"

#include <gtest/gtest.h>

#include "assist/key_rows.h"
#include "editor/editor_fixture.h"
#include "i18n/texts.h"
#include "settings/catalogue.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class KeysFieldTest : public EditorFixture {
protected:
    KeysFieldTest() {
        rootedBoard({rect(10, 10, 100, 100)});
        t().templateFolder = f.dir.path() + QStringLiteral("/boards");
        editor.panel.showArea(2);
    }
    void setKeys(const QString& displayed, int cursor) {
        editor.panel.setKeysText(displayed);
        editor.panel.select(cursor, 0);
    }
    QString storedKeys() { return t().area(2).keys; }
    int dialogs() const { return int(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).size()); }

    KeysFieldCommands keys{editor.context, editor.panel};
};

TEST_F(KeysFieldTest, RetardGoesInAtTheCursorWhichEndsAfterIt) {
    setKeys(QStringLiteral("abcdef"), 3);
    EXPECT_TRUE(keys.runMenuItem(CommandMenu::Ordres, 6));
    EXPECT_EQ(panel().txText, QStringLiteral("abc{|Espera 1}def"));
    EXPECT_EQ(panel().selectionStart, 14);
    EXPECT_EQ(storedKeys(), QStringLiteral("abc{|Espera 1}def"));
    setKeys(QStringLiteral("xy"), 0);
    EXPECT_TRUE(keys.runMenuItem(CommandMenu::Ratoli, 0));
    EXPECT_EQ(panel().txText, QStringLiteral("{|Mouse A n}xy"));
}

// Every item of the menus that needs no file, in the spelling the key field shows, with
// the text the author is to overwrite selected (else the caret after the command).
TEST_F(KeysFieldTest, EveryItemWithoutAFileInsertsItsText) {
    const struct {
        CommandMenu menu;
        int index;
        const char16_t* shown;
        const char16_t* selected;
    } cases[] = {
        {CommandMenu::Ordres, 4, u"{|Leer nnnnnnnnnnnnn}", u"nnnnnnnnnnnnn"},
        {CommandMenu::Ordres, 6, u"{|Espera 1}", u""},
        {CommandMenu::Ordres, 7, u"{|Nivel0}", u""},
        {CommandMenu::Ordres, 8, u"{|Nivel-1}", u""},
        {CommandMenu::Ordres, 9, u"{|Cerrar}", u""},
        {CommandMenu::Ordres, 10, u"{|Escoge [ x1#x2#x3]}", u"x1#x2#x3"},
        {CommandMenu::Ordres, 11, u"{|SIM xxx {cierto} { fals }}", u"xxx"},
        {CommandMenu::Ratoli, 0, u"{|Mouse A n}", u"n"},
        {CommandMenu::Ratoli, 1, u"{|Mouse R n}", u"n"},
        {CommandMenu::Ratoli, 2, u"{|Mouse D n}", u"n"},
        {CommandMenu::Ratoli, 3, u"{|Mouse E n}", u"n"},
        {CommandMenu::Ratoli, 4, u"{|Mouse M x y }", u"x y"},
        // "Botó dret" works the right button, which the stored commands write with E.
        {CommandMenu::BotoDret, 0, u"{|Mouse CI}", u""},
        {CommandMenu::BotoDret, 1, u"{|Mouse 2CI}", u""},
        {CommandMenu::BotoDret, 2, u"{|Mouse PI x y }", u"x y"},
        {CommandMenu::BotoDret, 3, u"{|Mouse AI}", u""},
        {CommandMenu::BotoEsquerra, 0, u"{|Mouse CD}", u""},
        {CommandMenu::BotoEsquerra, 1, u"{|Mouse 2CD}", u""},
        {CommandMenu::BotoEsquerra, 2, u"{|Mouse PD x y }", u"x y"},
        {CommandMenu::BotoEsquerra, 3, u"{|Mouse AD}", u""},
        // The memory commands are not translated.
        {CommandMenu::Memoria, 0, u"{|CM }{|M+ abcd }", u"abcd"},
        {CommandMenu::Memoria, 1, u"{|RM }", u""},
        {CommandMenu::Memoria, 2, u"{|CM }", u""},
        {CommandMenu::Memoria, 3, u"{|M+ abcd }", u"abcd"},
        {CommandMenu::Memoria, 4, u"{|M- n }", u"n"},
        {CommandMenu::Memoria, 5, u"{|RCW }", u""},
    };
    for (const auto& tc : cases) {
        setKeys(QStringLiteral("ab"), 1);
        EXPECT_TRUE(keys.runMenuItem(tc.menu, tc.index));
        const QString shown = QString::fromUtf16(tc.shown);
        EXPECT_EQ(panel().txText, u'a' + shown + u'b');
        const QString selected = QString::fromUtf16(tc.selected);
        EXPECT_EQ(panel().txText.mid(panel().selectionStart, panel().selectionLength), selected) << shown;
        if (selected.isEmpty()) {
            EXPECT_EQ(panel().selectionStart, 1 + shown.size()) << shown;
        }
        // Stored in the board's own spelling.
        EXPECT_EQ(storedKeys(), translateCommands(u'a' + shown + u'b', 1));
    }
    EXPECT_EQ(dialogs(), 0);
    EXPECT_EQ(commandMenuItems(CommandMenu::Ordres).size(), 12u);
    EXPECT_EQ(commandMenuItems(CommandMenu::Ratoli).size(), 5u);
    EXPECT_EQ(commandMenuItems(CommandMenu::Memoria).size(), 6u);
}

TEST_F(KeysFieldTest, ItemsWithAFileAskForItFirst) {
    const QString folder = t().templateFolder;
    const struct {
        int index;
        const char16_t* chosen;
        const char16_t* shown;
    } cases[] = {
        {0, u"/usr/bin/xcalc.exe", u"{|Ejecuta /USR/BIN/XCALC.EXE}"},
        {1, u"%1/sons/gat.wav", u"{|Suena SONS/GAT.WAV}"},
        {2, u"%1/NEXT.VXL", u"{|Carga NEXT.VXL}"},
        {3, u"%1/notes.txt", u"{|Pega NOTES.TXT}^v"},
    };
    for (const auto& tc : cases) {
        setKeys(QStringLiteral("ab"), 2);
        f.fake.dialogs.chosenFiles.push_back(QString::fromUtf16(tc.chosen).replace(QStringLiteral("%1"), folder));
        EXPECT_TRUE(keys.runMenuItem(CommandMenu::Ordres, tc.index));
        EXPECT_EQ(panel().txText, QStringLiteral("ab") + QString::fromUtf16(tc.shown));
    }
    const auto asked = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].value(QStringLiteral("title")).toString(), QStringLiteral("Fitxers"));
    EXPECT_EQ(asked[2].value(QStringLiteral("title")).toString(), QStringLiteral("Fitxer de plantilla"));
}

TEST_F(KeysFieldTest, ACancelledOrRefusedFileInsertsNothing) {
    setKeys(QStringLiteral("abc"), 1);
    // Cancelled, a pattern, too short a name.
    EXPECT_FALSE(keys.runMenuItem(CommandMenu::Ordres, 0));
    for (const char* refused : {"*.EXE", "A.EX", ""}) {
        f.fake.dialogs.chosenFiles.push_back(QLatin1String(refused));
        EXPECT_FALSE(keys.runMenuItem(CommandMenu::Ordres, 0)) << refused;
    }
    EXPECT_EQ(panel().txText, QStringLiteral("abc"));
    EXPECT_EQ(storedKeys(), QStringLiteral("abc"));
    EXPECT_EQ(beeps(), 0);
}

TEST_F(KeysFieldTest, ThePictureIsChosenInThePictureChooserAndBecomesTheIcon) {
    QString openedIn;
    keys.choosePicture = [&](const QString& folder) -> std::optional<QString> {
        openedIn = folder;
        return t().templateFolder + QStringLiteral("/icones/gat.jpg");
    };
    setKeys(QString(), 0);
    EXPECT_TRUE(keys.runMenuItem(CommandMenu::Ordres, 5));
    EXPECT_EQ(openedIn, t().templateFolder);
    EXPECT_EQ(panel().txText, QStringLiteral("{|Pega ICONES/GAT.JPG}^v{RIGHT}"));
    EXPECT_EQ(t().area(2).iconFile, QStringLiteral("ICONES/GAT.JPG"));
    keys.choosePicture = [](const QString&) { return std::optional<QString>(); };
    EXPECT_FALSE(keys.runMenuItem(CommandMenu::Ordres, 5));
    EXPECT_EQ(t().area(2).iconFile, QStringLiteral("ICONES/GAT.JPG"));
}

TEST_F(KeysFieldTest, WithoutACurrentAreaOnlyABeep) {
    editor.panel.showArea(0);
    EXPECT_FALSE(keys.runMenuItem(CommandMenu::Ordres, 6));
    EXPECT_FALSE(keys.runMenuItem(CommandMenu::Ordres, 0));
    EXPECT_EQ(dialogs(), 0);
    EXPECT_EQ(panel().txText, QString());
    EXPECT_EQ(beeps(), 2);
    EXPECT_FALSE(keys.acceptAssistant(QString(), {QStringLiteral("x"), std::nullopt}));
    EXPECT_FALSE(keys.runMenuItem(CommandMenu::Ordres, 99));
}

TEST_F(KeysFieldTest, TheFileDialogsTitlesFiltersAndFolders) {
    const FileDialogRequest exe = commandFileRequest(*f.session, 0);
    EXPECT_EQ(exe.filter, QStringLiteral("Fitxers executable(*.EXE)|*.EXE|Tots els fixters (*.*)|*.*"));
    EXPECT_EQ(exe.fileName, QStringLiteral("*.EXE"));
    EXPECT_EQ(exe.initialFolder, QString());
    const FileDialogRequest sound = commandFileRequest(*f.session, 1);
    EXPECT_EQ(sound.title, QStringLiteral("Fitxers de so"));
    EXPECT_EQ(sound.filter, QStringLiteral("Fitxers de so(*.WAV)|*.WAV|Fitxers de música(*.MID)|*.MID"));
    const FileDialogRequest board = commandFileRequest(*f.session, 2);
    EXPECT_EQ(board.filter, QStringLiteral("Vexil (*.VXL)|*.VXL"));
    EXPECT_EQ(board.initialFolder, f.session->realPath(t().templateFolder));
    const FileDialogRequest text = commandFileRequest(*f.session, 3);
    EXPECT_EQ(text.title, QStringLiteral("Fitxers de text per a enganxar"));
    EXPECT_TRUE(text.filter.startsWith(QStringLiteral("Fitxers de text (*.TXT)|*.TXT|Fitxers gràfics (*.BMP)")));
    EXPECT_EQ(text.fileName, QStringLiteral("*.TXT"));
    EXPECT_EQ(commandFileRequest(*f.session, 4).title, QString());
    // Other kinds ask nothing.
    EXPECT_EQ(chooseCommandFile(*f.session, 4, {}), QString());
    EXPECT_EQ(dialogs(), 0);
}

TEST_F(KeysFieldTest, TheAssistantStartsFromTheStoredFormAndWritesTheShownOne) {
    setKeys(QStringLiteral("{|Suena A.WAV}x{|Suena B.WAV}"), 0);
    // Every shown name goes back to its stored spelling.
    const QString start = keys.assistantStart();
    EXPECT_EQ(start, QStringLiteral("{|Sona A.WAV}x{|Sona B.WAV}"));
    const QString before = storedKeys();
    // Unchanged rows leave the field exactly as it was.
    EXPECT_TRUE(keys.acceptAssistant(start, confegir_codi(cutKeySequence(start, {}), {})));
    EXPECT_EQ(panel().txText, QStringLiteral("{|Suena A.WAV}x{|Suena B.WAV}"));
    EXPECT_EQ(storedKeys(), before);
    // Changed rows are written in the shown spelling, the icon with them.
    EXPECT_TRUE(keys.acceptAssistant(start, {QStringLiteral("{|Carrega X.VXL}"), QStringLiteral("GAT.BMP")}));
    EXPECT_EQ(panel().txText, QStringLiteral("{|Carga X.VXL}"));
    EXPECT_EQ(storedKeys(), QStringLiteral("{|Carrega X.VXL}"));
    EXPECT_EQ(t().area(2).iconFile, QStringLiteral("GAT.BMP"));
}

// A macro's icon goes into the area with the program's "icones" folder, by the macro menus
// and by the assistant alike; "Acceptar" with the rows unchanged keeps it as it was.
TEST_F(KeysFieldTest, AcceptingAMacroRowKeepsItsIconFound) {
    const std::vector<MacroEntry> macros = {
        MacroEntry{}, {QStringLiteral("Desar"), QStringLiteral("^g"), QString(), QStringLiteral("desar.bmp")}};
    const QString path = f.session->folders.programFolder + QStringLiteral("/icones/desar.bmp");
    setKeys(QStringLiteral("^g"), 0);
    editor.panel.setIconFile(path);
    const QString start = keys.assistantStart();
    std::vector<KeyRow> rows = cutKeySequence(start, macros);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(keys.acceptAssistant(start, confegir_codi(rows, macros)));
    EXPECT_EQ(t().area(2).iconFile, path);
    // A row added: the keys change and the macro's icon is written with its folder.
    rows.push_back(KeyRow{0, QString(), QStringLiteral("x")});
    EXPECT_TRUE(keys.acceptAssistant(start, confegir_codi(rows, macros)));
    EXPECT_EQ(storedKeys(), QStringLiteral("^gx"));
    EXPECT_EQ(t().area(2).iconFile, path);
    // A picture a command names stays as it is written.
    rows.push_back(KeyRow{2, commandCatalogue(2, 1), QStringLiteral("GAT.BMP")});
    EXPECT_TRUE(keys.acceptAssistant(start, confegir_codi(rows, macros)));
    EXPECT_EQ(t().area(2).iconFile, QStringLiteral("GAT.BMP"));
}

}  // namespace
