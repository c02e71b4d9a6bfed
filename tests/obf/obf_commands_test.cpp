// The menu items "Exportar a OBZ ..." and "Importar OBZ ...": dialogs, the save question,
// and what the user is told.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/template_reader.h"
#include "i18n/texts.h"
#include "obf/obf_commands.h"
#include "support/test_support.h"

using namespace vexil;

namespace {

class ObfCommandsTest : public ::testing::Test, public test::FakeSessionFixture {
protected:
    QString demo() {
        for (const char* name : {"LLETRES.VXL", "LLETRES.BMP", "FRASES.VXL", "FRASES.BMP"}) {
            QFile in(test::sourceDir() + QStringLiteral("/examples/") + QLatin1String(name));
            EXPECT_TRUE(in.open(QIODevice::ReadOnly));
            writeFile(QStringLiteral("demo/") + QLatin1String(name), in.readAll());
        }
        return path(QStringLiteral("demo/LLETRES.VXL"));
    }
    QStringList dialogTitles() const {
        QStringList out;
        for (const auto& e : fake.recorder.eventsOf(QStringLiteral("fileDialog")))
            out << e.value(QStringLiteral("title")).toString();
        return out;
    }
};

TEST_F(ObfCommandsTest, ExportWritesWhereTheUserChose) {
    loadTemplate(*session, demo());
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("out/mine")));  // no extension typed
    QDir().mkpath(path(QStringLiteral("out")));
    exportObzCommand(*session);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("out/mine.obz"))).isFile());
    EXPECT_EQ(dialogTitles(), QStringList{QStringLiteral("Exportar a OBZ")});
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
}

TEST_F(ObfCommandsTest, ABoardNeverSavedIsNotExported) {
    // A new board: the save question is answered No, so there is nothing on disk to export.
    session->tmpl.modified = true;
    exportObzCommand(*session);
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_EQ(messages().last(), QStringLiteral("Hay que guardar la plantilla antes de exportarla."));
    EXPECT_FALSE(dialogTitles().contains(QStringLiteral("Exportar a OBZ")));
}

TEST_F(ObfCommandsTest, AFailedExportSaysWhy) {
    loadTemplate(*session, demo());
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("no/such/folder/x.obz")));
    exportObzCommand(*session);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("No se ha podido exportar:\n")));
}

TEST_F(ObfCommandsTest, ImportOpensTheFirstBoardAndKeepsAFullFolderAsItWas) {
    loadTemplate(*session, demo());
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("demo.obz")));
    exportObzCommand(*session);
    // The folder chosen holds the demo already: a new folder named after the package.
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("demo.obz")));
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("demo")));
    importObzCommand(*session);
    EXPECT_EQ(session->tmpl.templatePath.toUpper(), path(QStringLiteral("demo/demo/LLETRES.VXL")).toUpper());
    EXPECT_EQ(session->tmpl.areaCount(), 51);
    EXPECT_EQ(dialogTitles().mid(1), (QStringList{QStringLiteral("Importar OBZ"),
                                                  QStringLiteral("Carpeta para las plantillas importadas")}));
    // The two boards open each other: usual, nothing to warn about. Both start a program,
    // which they do only once trusted: that is said.
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("Importado, con avisos:\n")));
    EXPECT_EQ(messages().first().count(QStringLiteral("would start the programs mousepad")), 2)
        << messages().join(u'\n').toStdString();
    EXPECT_EQ(session->trust.level, TrustLevel::Unasked);
}

TEST_F(ObfCommandsTest, AnImportThatLeftThingsOutSaysWhat) {
    // A package whose button opens a board it does not hold.
    const QByteArray board =
        R"({"format":"open-board-0.1","id":"1","name":"Un","buttons":[{"id":"1","label":"x",)"
        R"("load_board":{"id":"9","path":"boards/9.obf"}}],"grid":{"rows":1,"columns":1,"order":[["1"]]}})";
    writeFile(QStringLiteral("one.obf"), board);
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("one.obf")));
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("un")));
    importObzCommand(*session);
    EXPECT_EQ(session->tmpl.areaCount(), 2);
    EXPECT_EQ(session->tmpl.area(2).keys, QStringLiteral("{|Llegir x}"));  // it says its label
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("Importado, con avisos:\n")));
    EXPECT_TRUE(messages().first().contains(QStringLiteral("does not hold")));
    fake.recorder.clear();
    // The same package refused: its button id repeats.
    writeFile(QStringLiteral("two.obf"), QByteArray(board).replace(R"("buttons":[)", R"("buttons":[{"id":"1"},)"));
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("two.obf")));
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("dos")));
    importObzCommand(*session);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("No se ha podido importar:\n")));
    EXPECT_TRUE(messages().first().contains(QStringLiteral("repeats")));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("dos"))));
}

TEST_F(ObfCommandsTest, APackageTheDesktopHandsOverAsksOnlyForTheFolder) {
    // A double click on a package: the program starts with it, and its import asks where.
    const QByteArray board =
        R"({"format":"open-board-0.1","id":"1","name":"Un","buttons":[{"id":"1","label":"x"}],)"
        R"("grid":{"rows":1,"columns":1,"order":[["1"]]}})";
    writeFile(QStringLiteral("given.obf"), board);
    fake.dialogs.chosenFiles.push_back(path(QStringLiteral("here")));
    importObzCommand(*session, path(QStringLiteral("given.obf")));
    EXPECT_EQ(dialogTitles(), QStringList{QStringLiteral("Carpeta para las plantillas importadas")});
    EXPECT_EQ(session->tmpl.templatePath, path(QStringLiteral("here/UN.VXL")));
}

TEST_F(ObfCommandsTest, CancelledDialogsDoNothing) {
    loadTemplate(*session, demo());
    const Template before = session->tmpl;
    exportObzCommand(*session);
    importObzCommand(*session);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(session->tmpl.templatePath, before.templatePath);
    EXPECT_EQ(QDir(path(QStringLiteral("demo"))).entryList(QDir::Files).size(), 4);
}

TEST(ObfCaptions, TheNewTextsHaveTheirSpanish) {
    const std::pair<const char*, const char*> rows[] = {
        {"Carpeta per a les plantilles importades", "Carpeta para las plantillas importadas"},
        {"No s'ha pogut importar:", "No se ha podido importar:"},
    };
    for (const auto& [ca, es] : rows)
        EXPECT_EQ(translateCaption(QString::fromUtf8(ca)), QString::fromUtf8(es)) << ca;
}

}  // namespace
