#include <gtest/gtest.h>

#include <QDir>

#include "files/catalogue_loader.h"
#include "settings/print_qt.h"
#include "support/test_support.h"

namespace vexil {
namespace {

class CatalogueTest : public testing::Test, public test::FakeSessionFixture {
protected:
    CatalogueTest() { fake.launcher.searchPathOnly = true; }
    void writeCatalogue(const QByteArray& text) { writeFile("program/MACROS.INI", text); }
    Catalogue& cat() { return session->catalogue; }
};

TEST_F(CatalogueTest, ListsProgramsAndCataloguesTheInstalledOnes) {
    writeFile("A.EXE", "x");
    writeFile("bin/b.exe", "x");
    writeCatalogue(
        "[Inici]\r\nversio=MAC1\r\nN_Prog=3\r\n"
        "PROG1=Editor A\r\ncodi1=SecA\r\ncami1=C:\\PROGRA~1\\APPS\\a.exe\r\n"
        "PROG2=Editor B\r\ncodi2=SecB\r\ncami2=B.EXE\r\n"
        "PROG3=Missing\r\ncodi3=SecC\r\ncami3=NOWHERE.EXE\r\n");
    fake.launcher.searchPath.insert("b.exe", "/opt/b/b.exe");
    loadProgramCatalogue(*session);

    ASSERT_EQ(cat().programs.size(), 4u);
    EXPECT_EQ(cat().programs[0].name, "3");
    EXPECT_EQ(cat().programs[1].name, "Editor A");
    EXPECT_EQ(cat().programs[1].section, "SecA");
    EXPECT_EQ(cat().programs[1].file, "A.EXE");
    EXPECT_EQ(cat().programs[3].name, "Missing");  // listed although not installed
    const QString aPath = path("A.EXE");
    EXPECT_EQ(cat().programCatalogue, "|A.EXE|" + aPath + "|B.EXE|/opt/b/b.exe|");
}

TEST_F(CatalogueTest, ClassNamesLeadToTheirServerProgram) {
    session->folders.drives.set(u'C', path("drive_c"));
    writeFile("drive_c/Program Files/App/app.exe", "x");
    session->registry.setValue("HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\App.Doc\\CLSID", "",
                               RegistryValue{1, QByteArray("{42}\0", 5)});
    session->registry.setValue(
        "HKEY_LOCAL_MACHINE", "SOFTWARE\\Classes\\CLSID\\{42}\\LocalServer32", "",
        RegistryValue{1, QByteArray("\"C:\\Program Files\\App\\APP.EXE\" /automation\0")});
    writeCatalogue(
        "[Inici]\r\nversio=MAC1\r\nN_Prog=2\r\n"
        "PROG1=App\r\ncami1=IGNORED.EXE\r\nREG1=HKEY_CLASSES_ROOT\\App.Doc\r\n"
        "PROG2=Unregistered\r\nREG2=Nobody.Class\r\n");
    fake.launcher.searchPath.insert("ignored.exe", "/usr/bin/ignored.exe");
    loadProgramCatalogue(*session);
    EXPECT_EQ(cat().programs[1].className, "APP.DOC");
    EXPECT_EQ(cat().programs[1].file, "IGNORED.EXE");
    EXPECT_EQ(cat().programCatalogue, "|APP.EXE|C:\\PROGRAM FILES\\APP\\APP.EXE|");
}

TEST_F(CatalogueTest, OtherVersionsAndMissingFilesGiveNothing) {
    for (const char* text : {"[Inici]\r\nversio=MAC2\r\nN_Prog=1\r\nPROG1=A\r\ncami1=A.EXE\r\n",
                             "[Inici]\r\nversio=mac1\r\nN_Prog=1\r\nPROG1=A\r\ncami1=A.EXE\r\n",
                             "[Inici]\r\nN_Prog=1\r\nPROG1=A\r\ncami1=A.EXE\r\n"}) {
        writeFile("A.EXE", "x");
        writeCatalogue(text);
        loadProgramCatalogue(*session);
        EXPECT_TRUE(cat().programs.empty()) << text;
        EXPECT_TRUE(cat().programCatalogue.isEmpty()) << text;
    }
    QFile::remove(path("program/MACROS.INI"));
    loadProgramCatalogue(*session);
    EXPECT_TRUE(cat().programCatalogue.isEmpty());
}

TEST_F(CatalogueTest, NoInstalledProgramGivesAnEmptyCatalogueWithoutBar) {
    writeCatalogue("[Inici]\r\nversio=MAC1\r\nN_Prog=1\r\nPROG1=A\r\ncami1=A.EXE\r\n");
    loadProgramCatalogue(*session);
    EXPECT_EQ(cat().programs.size(), 2u);
    EXPECT_EQ(cat().programCatalogue, "");
}

TEST_F(CatalogueTest, CountsThatAreNotNumbersGiveEmptyLists) {
    for (const char* count : {"", "-4", "abc", "99999", "1E400"}) {
        writeCatalogue(QByteArray("[Inici]\r\nversio=MAC1\r\nN_Prog=") + count + "\r\n");
        loadProgramCatalogue(*session);
        ASSERT_EQ(cat().programs.size(), 1u) << count;
        EXPECT_EQ(cat().programs[0].name, "0");
    }
}

TEST_F(CatalogueTest, EachLoadOfMacrosReplacesTheLastOne) {
    writeCatalogue(
        "[Inici]\r\nversio=MAC1\r\nN_Prog=2\r\nPROG1=Word\r\ncodi1=W\r\nPROG2=Calc\r\ncodi2=C\r\n"
        "[W]\r\nN_macro=3\r\ntitol1=Negreta\r\ntecles1=^b\r\nso1=n.wav\r\nicona1=n.bmp\r\n"
        "titol2=Cursiva\r\ntecles2=^i\r\ntitol3=Sub\r\n"
        "[C]\r\nN_macro=1\r\ntitol1=Suma\r\ntecles1={+}\r\n");
    loadProgramCatalogue(*session);

    EXPECT_TRUE(chooseProgram(*session, 0));
    ASSERT_EQ(cat().macros.size(), 4u);
    EXPECT_EQ(cat().macroSetCaption, "Word");
    const MacroEntry* first = macroAt(*session, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->title, "Negreta");
    EXPECT_EQ(first->keys, "^b");
    EXPECT_EQ(first->sound, "n.wav");
    EXPECT_EQ(macroIconPath(*session, *first), session->folders.programFolder + "/icones/n.bmp");

    EXPECT_TRUE(chooseProgram(*session, 1));
    ASSERT_EQ(cat().macros.size(), 2u);
    EXPECT_EQ(cat().macroSetCaption, "Calc");
    EXPECT_EQ(macroAt(*session, 0)->keys, "{+}");
    EXPECT_EQ(macroAt(*session, 1), nullptr);

    EXPECT_FALSE(chooseProgram(*session, 2));
    EXPECT_FALSE(chooseProgram(*session, -1));
    loadMacros(*session, "no such section");
    EXPECT_EQ(cat().macros.size(), 1u);
    EXPECT_EQ(macroAt(*session, 0), nullptr);
}

}  // namespace
}  // namespace vexil
