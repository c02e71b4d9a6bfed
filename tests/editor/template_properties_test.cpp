#include "editor/template_properties.h"

#include <QDir>
#include <QImage>

#include "editor_fixture.h"
#include "files/catalogue_loader.h"
#include "i18n/texts.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class PropertiesTest : public EditorFixture {
protected:
    PropertiesTest() : props(editor.context) {
        QDir().mkpath(f.path(QStringLiteral("boards")));
        t().templateFolder = f.path(QStringLiteral("boards"));
        f.session->currentDirectory = t().templateFolder;
    }
    void catalogue() {
        f.writeFile(QStringLiteral("program/MACROS.INI"),
                    "[Inici]\r\nversio=MAC1\r\nN_Prog=2\r\n"
                    "PROG1=Word\r\ncodi1=W\r\ncami1=C:\\OFFICE\\WORD.EXE\r\n"
                    "PROG2=Calc\r\ncodi2=C\r\n"
                    "[W]\r\nN_macro=2\r\ntitol1=Negreta\r\ntecles1=^b\r\n"
                    "titol2=Cursiva\r\ntecles2=^i\r\n");
        loadProgramCatalogue(*f.session);
    }
    QStringList launched() const { return f.fake.launcher.started; }
    TemplateProperties props;
};

TEST_F(PropertiesTest, OpensWithTheBoardsSettingsAndTheCataloguesPrograms) {
    catalogue();
    TemplateSettings& st = t().settings;
    st.description = QStringLiteral("Menú");
    st.docFile = QStringLiteral("ajuda.txt");
    st.startProgram = QStringLiteral("notepad.exe");
    st.startKeys = QStringLiteral("hola");
    st.pictureFile = QStringLiteral("tapa.bmp");
    st.templateClipKind = 1;
    st.templateClipFile = QStringLiteral("x.bmp");
    st.targetApp = QStringLiteral("Bloc");
    st.autoCover = 1;
    props.open();
    const PropertiesFields& p = props.fields;
    EXPECT_EQ(p.descripcio, st.description);
    EXPECT_EQ(p.fitxDoc, st.docFile);
    EXPECT_EQ(p.ordres, st.startProgram);
    EXPECT_EQ(p.tecles, st.startKeys);
    EXPECT_EQ(p.fitxGraf, st.pictureFile);
    EXPECT_EQ(p.option1, 1);
    EXPECT_EQ(p.fitxClip, st.templateClipFile);
    EXPECT_EQ(p.txFinestra, st.targetApp);
    EXPECT_EQ(p.pathdefault, t().templateFolder);
    EXPECT_TRUE(p.caratulaAuto);
    EXPECT_EQ(p.programes,
              QStringList({QStringLiteral("Word"), QStringLiteral("Calc"), messageText(12)}));
    EXPECT_TRUE(p.macros.isEmpty());
    // Without a speech engine the lists stay unselected and the rate empty.
    EXPECT_EQ(p.svIdioma, -1);
    EXPECT_EQ(p.svLocutor, -1);
    EXPECT_EQ(p.svVelocitat, QString());
}

TEST_F(PropertiesTest, AcceptStoresEveryFieldAndWithoutSpeechMinusOnes) {
    props.open();
    PropertiesFields& p = props.fields;
    p.descripcio = QStringLiteral("D");
    p.fitxDoc = QStringLiteral("doc.wri");
    p.ordres = QStringLiteral("prog.exe");
    p.tecles = QStringLiteral("{ENTER}");
    p.txFinestra = QStringLiteral("Finestra");
    p.fitxClip = QStringLiteral("clip.txt");
    p.caratulaAuto = true;
    t().coverOutdated = true;
    props.accept();
    const TemplateSettings& st = t().settings;
    EXPECT_TRUE(t().modified);
    EXPECT_FALSE(t().coverOutdated);
    EXPECT_EQ(st.description, QStringLiteral("D"));
    EXPECT_EQ(st.docFile, QStringLiteral("doc.wri"));
    EXPECT_EQ(st.startProgram, QStringLiteral("prog.exe"));
    EXPECT_EQ(st.startKeys, QStringLiteral("{ENTER}"));
    EXPECT_EQ(st.targetApp, QStringLiteral("Finestra"));
    EXPECT_EQ(st.templateClipFile, QStringLiteral("clip.txt"));
    EXPECT_EQ(st.autoCover, 1);
    EXPECT_EQ(st.voiceLanguage, -1);
    EXPECT_EQ(st.voiceSpeaker, -1);
    EXPECT_EQ(st.voiceSpeed, 0);
}

TEST_F(PropertiesTest, SpeedTextsAreReadByTheirLeadingNumber) {
    const struct {
        const char* text;
        int speed;
    } cases[] = {{"150", 150}, {" 80 ", 80}, {"abc", 0}, {"", 0}, {"99999", 0}, {"12.5", 12}};
    for (const auto& c : cases) {
        props.open();
        props.fields.svVelocitat = QLatin1String(c.text);
        props.accept();
        EXPECT_EQ(t().settings.voiceSpeed, c.speed) << c.text;
    }
}

TEST_F(PropertiesTest, AcceptShowsTheCoverPictureOrNoneWhenUnreadable) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(t().templateFolder + QStringLiteral("/tapa.bmp")));
    props.open();
    props.fields.fitxGraf = QStringLiteral("tapa.bmp");
    props.accept();
    EXPECT_EQ(editor.context.lamina.size(), QSize(40, 30));
    EXPECT_FALSE(t().pictureFileTime.isEmpty());
    props.fields.fitxGraf = QStringLiteral("missing.bmp");
    props.fields.descripcio = QStringLiteral("still stored");
    props.accept();
    EXPECT_TRUE(editor.context.lamina.isNull());
    EXPECT_EQ(t().settings.description, QStringLiteral("still stored"));
}

TEST_F(PropertiesTest, TheFolderChangesAtOnceAndTheClipKindEmptiesTheClipFile) {
    props.open();
    props.setFolder(QStringLiteral("C:\\ALTRA"));
    EXPECT_EQ(t().templateFolder, QStringLiteral("C:\\ALTRA"));  // even if cancelled later
    props.fields.fitxClip = QStringLiteral("a.txt");
    props.setClipKind(1);
    EXPECT_EQ(props.fields.fitxClip, QString());
    EXPECT_EQ(props.fields.option1, 1);
}

TEST_F(PropertiesTest, ProgramsFillTheStartProgramAndTheMacrosAppendKeys) {
    catalogue();
    props.open();
    props.fields.tecles = QStringLiteral("x");
    props.chooseProgram(0);  // "Word"
    EXPECT_EQ(props.fields.ordres, QStringLiteral("C:\\OFFICE\\WORD.EXE"));
    EXPECT_EQ(props.fields.macros,
              QStringList({QStringLiteral("Negreta"), QStringLiteral("Cursiva")}));
    props.chooseMacro(1);
    EXPECT_EQ(props.fields.tecles, QStringLiteral("x^i"));
    props.chooseMacro(-1);  // nothing chosen, or beyond the set: nothing
    props.chooseMacro(2);
    EXPECT_EQ(props.fields.tecles, QStringLiteral("x^i"));
    props.chooseProgram(1);  // "Calc": no start program in the catalogue
    EXPECT_EQ(props.fields.ordres, QString());

    // ">>> OTROS": a program chosen by hand, kept relative to the board's folder.
    f.fake.dialogs.chosenFiles.push_back(t().templateFolder + QStringLiteral("/eina.exe"));
    props.chooseProgram(2);
    EXPECT_EQ(props.fields.ordres, QStringLiteral("eina.exe"));
    props.chooseProgram(2);  // cancelled: unchanged
    EXPECT_EQ(props.fields.ordres, QStringLiteral("eina.exe"));
}

TEST_F(PropertiesTest, BrowseButtonsKeepNamesRelativeAndCancelChangesNothing) {
    props.open();
    props.fields.caratulaAuto = true;
    std::optional<QString> picture;
    props.choosePicture = [&](const QString&) { return picture; };
    props.searchGraf();
    EXPECT_EQ(props.fields.fitxGraf, QString());
    EXPECT_TRUE(props.fields.caratulaAuto);
    picture = t().templateFolder + QStringLiteral("/tapa.bmp");
    props.searchGraf();
    EXPECT_EQ(props.fields.fitxGraf, QStringLiteral("tapa.bmp"));
    EXPECT_FALSE(props.fields.caratulaAuto);  // a chosen picture turns it off

    f.fake.dialogs.chosenFiles.push_back(t().templateFolder + QStringLiteral("/ajuda.wri"));
    props.searchDoc();
    EXPECT_EQ(props.fields.fitxDoc, QStringLiteral("ajuda.wri"));
    EXPECT_TRUE(t().modified);

    f.fake.dialogs.chosenFiles.push_back(QStringLiteral("C:\\TEXTOS\\a.txt"));
    props.searchClip();
    EXPECT_EQ(props.fields.fitxClip, QStringLiteral("C:\\TEXTOS\\a.txt"));
    props.setClipKind(1);
    picture = QStringLiteral("C:\\DIBUIX\\b.bmp");
    props.searchClip();
    EXPECT_EQ(props.fields.fitxClip, QStringLiteral("C:\\DIBUIX\\b.bmp"));
    EXPECT_EQ(t().settings.templateClipKind, 1);
}

TEST_F(PropertiesTest, ViewersCheckTheEndingAndGiveTheirMessages) {
    props.open();
    props.playImg();
    props.playDoc();
    EXPECT_TRUE(f.messages().isEmpty());  // empty fields: nothing
    props.fields.fitxGraf = QStringLiteral("tapa.txt");
    props.playImg();
    props.fields.fitxDoc = QStringLiteral("ajuda.doc");
    props.playDoc();
    EXPECT_EQ(f.messages(), QStringList({messageText(1), messageText(0)}));
    // Every picture kind opens, and the documentation too, named in the board's folder.
    t().templateFolder = f.path(QStringLiteral("boards"));
    props.fields.fitxGraf = QStringLiteral("tapa.gif");
    props.playImg();
    props.fields.fitxDoc = QStringLiteral("notes.txt");
    props.playDoc();
    ASSERT_EQ(f.fake.launcher.started.size(), 2);
    EXPECT_TRUE(f.fake.launcher.started[0].endsWith(f.path(QStringLiteral("boards/tapa.gif"))));
    EXPECT_TRUE(f.fake.launcher.started[1].endsWith(f.path(QStringLiteral("boards/notes.txt"))));
}

}  // namespace
