#include "editor/ui/plant_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "editor/editor.h"
#include "editor/template_properties.h"
#include "editor/ui/folder_browser.h"
#include "editor/ui/rec_graf.h"
#include "files/catalogue_loader.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class PlantFormTest : public ::testing::Test {
protected:
    PlantFormTest() {
        QDir().mkpath(f.path(QStringLiteral("boards/sub")));
        session.tmpl.templateFolder = f.path(QStringLiteral("boards"));
        session.tmpl.settings.description = QStringLiteral("Menú");
        session.tmpl.settings.startKeys = QStringLiteral("a");
        f.writeFile(QStringLiteral("program/MACROS.INI"),
                    "[Inici]\r\nversio=MAC1\r\nN_Prog=1\r\n"
                    "PROG1=Word\r\ncodi1=W\r\ncami1=WORD.EXE\r\n"
                    "[W]\r\nN_macro=1\r\ntitol1=Negreta\r\ntecles1=^b\r\n");
        loadProgramCatalogue(session);
        props.open();
    }
    template <typename W>
    W* child(const char* name, int index = 0) {
        const QList<W*> all = form->findChildren<W*>(QLatin1String(name));
        EXPECT_GT(all.size(), index) << name;
        return all.value(index);
    }
    void makeForm() { form = std::make_unique<PlantForm>(props, session.folders.drives); }

    FakeSessionFixture f;
    Session& session = *f.session;
    Editor editor{session};
    TemplateProperties props{editor.context};
    std::unique_ptr<PlantForm> form;
};

TEST_F(PlantFormTest, ShowsTheFieldsAndTheCatalogue) {
    makeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Dades globals"));
    EXPECT_EQ(child<QLineEdit>("descripcio")->text(), QStringLiteral("Menú"));
    EXPECT_EQ(child<QLineEdit>("Tecles")->text(), QStringLiteral("a"));
    EXPECT_EQ(child<QLineEdit>("Pathdefault")->text(), session.tmpl.templateFolder);
    QComboBox* programes = child<QComboBox>("programes");
    ASSERT_EQ(programes->count(), 2);
    EXPECT_EQ(programes->placeholderText(), messageText(11));
    EXPECT_EQ(programes->currentIndex(), -1);
    EXPECT_EQ(programes->itemText(0), QStringLiteral("Word"));
    EXPECT_EQ(programes->itemText(1), messageText(12));
    EXPECT_EQ(child<QComboBox>("Macros")->placeholderText(), messageText(13));
    EXPECT_EQ(child<QListWidget>("sv_idioma")->count(), 2);
    EXPECT_EQ(child<QListWidget>("sv_locutor")->currentRow(), -1);
    for (const char* name :
         {"FitxGraf", "FitxDoc", "Ordres", "TxFinestra", "FitxClip", "SV_velocitat"})
        EXPECT_NE(form->findChild<QLineEdit*>(QLatin1String(name)), nullptr) << name;
}

TEST_F(PlantFormTest, DAcordStoresWhatWasTypedAndAnullacioNothing) {
    makeForm();
    QTest::keyClicks(child<QLineEdit>("descripcio"), QStringLiteral("!"));
    QTest::keyClicks(child<QLineEdit>("TxFinestra"), QStringLiteral("Bloc"));
    child<QCheckBox>("caratula_auto")->click();
    child<QPushButton>("BotoCancel")->click();
    EXPECT_EQ(session.tmpl.settings.description, QStringLiteral("Menú"));
    EXPECT_FALSE(session.tmpl.modified);

    props.open();
    makeForm();
    QTest::keyClicks(child<QLineEdit>("descripcio"), QStringLiteral("!"));
    QTest::keyClicks(child<QLineEdit>("TxFinestra"), QStringLiteral("Bloc"));
    child<QCheckBox>("caratula_auto")->click();
    child<QListWidget>("sv_idioma")->setCurrentRow(1);
    child<QPushButton>("BotoOk")->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(session.tmpl.settings.description, QStringLiteral("Menú!"));
    EXPECT_EQ(session.tmpl.settings.targetApp, QStringLiteral("Bloc"));
    EXPECT_EQ(session.tmpl.settings.autoCover, 1);
    EXPECT_EQ(session.tmpl.settings.voiceLanguage, 1);
    EXPECT_TRUE(session.tmpl.modified);
}

TEST_F(PlantFormTest, ProgramsAndMacrosFillTheirFields) {
    makeForm();
    QComboBox* programes = child<QComboBox>("programes");
    programes->setCurrentIndex(0);
    emit programes->activated(0);  // catalogue entry 1, "Word"
    EXPECT_EQ(child<QLineEdit>("Ordres")->text(), QStringLiteral("WORD.EXE"));
    QComboBox* macros = child<QComboBox>("Macros");
    ASSERT_EQ(macros->count(), 1);
    emit macros->activated(0);
    EXPECT_EQ(child<QLineEdit>("Tecles")->text(), QStringLiteral("a^b"));
}

TEST_F(PlantFormTest, TheKindEmptiesTheClipFileAndThePathChangesAtOnce) {
    makeForm();
    QTest::keyClicks(child<QLineEdit>("FitxClip"), QStringLiteral("a.txt"));
    child<QRadioButton>("Option1", 1)->click();
    EXPECT_EQ(child<QLineEdit>("FitxClip")->text(), QString());

    child<QPushButton>("SearchPath")->click();
    EXPECT_TRUE(child<QWidget>("Frame1")->isVisibleTo(form.get()));
    FolderBrowser* browser = form->findChild<FolderBrowser*>();
    QListWidget* dirs = child<QListWidget>("Dir1");
    const QList<QListWidgetItem*> sub = dirs->findItems(QStringLiteral("sub"), Qt::MatchExactly);
    ASSERT_EQ(sub.size(), 1);
    emit dirs->itemActivated(sub[0]);
    EXPECT_TRUE(browser->folder().endsWith(QStringLiteral("/boards/sub")));
    child<QPushButton>("direcboto", 0)->click();
    EXPECT_FALSE(child<QWidget>("Frame1")->isVisibleTo(form.get()));
    child<QPushButton>("BotoCancel")->click();
    // Cancelled, and still the folder changed.
    EXPECT_TRUE(session.tmpl.templateFolder.endsWith(QStringLiteral("/boards/sub")));
}

TEST_F(PlantFormTest, CaptionsAreTranslated) {
    makeForm();
    translateForm(form.get());
    EXPECT_NE(child<QPushButton>("BotoCancel")->text(), QStringLiteral("Anul·lació"));
    EXPECT_NE(form->windowTitle(), QStringLiteral("Dades globals"));
}

class RecGrafTest : public ::testing::Test {
protected:
    RecGrafTest() {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QDir().mkpath(f.path(QStringLiteral("pics")));
        image.save(f.path(QStringLiteral("pics/gat.bmp")));
        image.save(f.path(QStringLiteral("pics/sol.PNG")), "PNG");
        image.save(f.path(QStringLiteral("pics/gos.jpeg")), "JPEG");
        f.writeFile(QStringLiteral("pics/notes.txt"), "x");
        session.folders.drives.set(u'C', f.path(QStringLiteral("pics")));
    }
    FakeSessionFixture f;
    Session& session = *f.session;
};

TEST_F(RecGrafTest, ListsPicturesAndLeavesTheChosenPath) {
    RecGraf dialog(session.folders.drives, f.path(QStringLiteral("pics")));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Fitxers Gràfics"));
    auto* drives = dialog.findChild<QComboBox*>(QStringLiteral("Drive1"));
    ASSERT_GE(drives->count(), 2);
    EXPECT_TRUE(drives->itemText(0).startsWith(QStringLiteral("C: ")));
    EXPECT_EQ(drives->itemText(drives->count() - 1), QStringLiteral("/"));
    // The folder shown is written out, on the drive it lies on.
    auto* shown = dialog.findChild<QLabel*>(QStringLiteral("Dir1Path"));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), QDir::toNativeSeparators(f.path(QStringLiteral("pics"))));
    EXPECT_EQ(drives->currentIndex(), 0);
    auto* files = dialog.findChild<QListWidget*>(QStringLiteral("File1"));
    ASSERT_EQ(files->count(), 3);  // pictures only, of every kind
    EXPECT_EQ(files->item(0)->text(), QStringLiteral("gat.bmp"));
    EXPECT_EQ(files->item(1)->text(), QStringLiteral("gos.jpeg"));
    EXPECT_EQ(files->item(2)->text(), QStringLiteral("sol.PNG"));
    files->setCurrentRow(0);
    auto* preview = dialog.findChild<QLabel*>(QStringLiteral("Image1"));
    EXPECT_FALSE(preview->pixmap().isNull());
    dialog.findChildren<QPushButton*>(QStringLiteral("Command1"))[0]->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.chosenPicture());
    EXPECT_EQ(*dialog.chosenPicture(), f.path(QStringLiteral("pics/gat.bmp")));
}

TEST_F(RecGrafTest, DAcordWithoutAFileAndCancelarLeaveNothing) {
    for (int index : {0, 1}) {
        RecGraf dialog(session.folders.drives, f.path(QStringLiteral("pics")));
        dialog.findChildren<QPushButton*>(QStringLiteral("Command1"))[index]->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.chosenPicture());
    }
}

}  // namespace
