#include "app/ui/macro_menus.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>

#include "app/ui/editor_controller.h"
#include "app/ui/main_window.h"
#include "editor/ui/area_panel_widget.h"
#include "files/catalogue_loader.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

const char kCatalogue[] =
    "[Inici]\r\nversio=MAC1\r\nN_Prog=2\r\n"
    "PROG1=Editor & Co\r\ncodi1=ED\r\ncami1=/usr/bin/nothing-here\r\n"
    "PROG2=Buit\r\ncodi2=BUIT\r\n"
    "[ED]\r\nN_macro=2\r\n"
    "titol1=Desar\r\ntecles1=^s{|Sona desat.wav}\r\nso1=DESAT.WAV\r\nicona1=DISC.BMP\r\n"
    "titol2=Enter\r\ntecles2={ENTER}\r\nso2=\r\nicona2=\r\n"
    "[BUIT]\r\nN_macro=0\r\n";

class MacroMenusTest : public ::testing::Test {
protected:
    void start(const QByteArray& catalogue) {
        if (catalogue.isEmpty())
            QFile::remove(f.path(QStringLiteral("program/MACROS.INI")));
        else
            f.writeFile(QStringLiteral("program/MACROS.INI"), catalogue);
        session.tmpl.clearTemplate();
        loadProgramCatalogue(session);
        controller.reset();
        window = std::make_unique<MainWindow>(session);
        controller = std::make_unique<EditorController>(session, *window);
        translateForm(window.get());
        Template& t = session.tmpl;
        Area root = areaRect(0, 0, 640, 445, 0);
        root.isGroup = -1;
        t.appendArea(root);
        t.appendArea(areaRect(100, 100, 300, 200));
        window->show();
    }
    const MainMenus& menus() const { return window->menus(); }
    QStringList items(QMenu* menu) {
        emit menu->aboutToShow();
        QStringList out;
        for (QAction* a : menu->actions())
            out << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
        return out;
    }
    QAction* item(QMenu* menu, int index) {
        emit menu->aboutToShow();
        return menu->actions().value(index);
    }
    void current(int area) {
        controller->editor().panel.showArea(area);
        controller->panelWidget()->refresh();
    }
    QString field(const char* name) { return window->findChild<QLineEdit*>(QLatin1String(name))->text(); }

    FakeSessionFixture f;
    Session& session = *f.session;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<EditorController> controller;
};

}  // namespace

TEST_F(MacroMenusTest, ApplicationsThenTheirMacrosFillTheArea) {
    start(kCatalogue);
    EXPECT_EQ(menus().macroMenu->title(), QStringLiteral("Macros"));
    EXPECT_EQ(items(menus().carregarMacros),
              (QStringList{QStringLiteral("Editor && Co"), QStringLiteral("Buit")}));
    EXPECT_EQ(items(menus().seleccionar), QStringList{QStringLiteral("macro (off)")});

    item(menus().carregarMacros, 0)->trigger();
    EXPECT_EQ(menus().seleccionar->title(), QStringLiteral("Editor && Co"));
    EXPECT_EQ(items(menus().seleccionar), (QStringList{QStringLiteral("Desar"), QStringLiteral("Enter")}));

    current(2);
    item(menus().seleccionar, 0)->trigger();
    const Area& a = session.tmpl.area(2);
    EXPECT_EQ(a.keys, QStringLiteral("^s{|Sona desat.wav}"));
    // Shown with the command names of the interface.
    EXPECT_EQ(field("TxText"), QStringLiteral("^s{|Suena desat.wav}"));
    EXPECT_EQ(a.soundFile, QStringLiteral("DESAT.WAV"));
    EXPECT_EQ(a.iconFile, session.folders.programFolder + QStringLiteral("/icones/DISC.BMP"));
    EXPECT_TRUE(session.tmpl.coverOutdated);
    EXPECT_EQ(field("So_Text"), QStringLiteral("DESAT.WAV"));

    // Appended; a macro without sound or icon keeps the area's.
    item(menus().seleccionar, 1)->trigger();
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("^s{|Sona desat.wav}{ENTER}"));
    EXPECT_EQ(session.tmpl.area(2).soundFile, QStringLiteral("DESAT.WAV"));
    EXPECT_TRUE(session.tmpl.modified);
}

TEST_F(MacroMenusTest, WithoutACurrentAreaAMacroChangesNothing) {
    start(kCatalogue);
    item(menus().carregarMacros, 0)->trigger();
    current(0);
    const int before = int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size());
    item(menus().seleccionar, 0)->trigger();
    EXPECT_TRUE(field("TxText").isEmpty());
    for (int n = 1; n <= session.tmpl.areaCount(); ++n) EXPECT_TRUE(session.tmpl.area(n).keys.isEmpty());
    EXPECT_EQ(int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size()), before + 1);
}

TEST_F(MacroMenusTest, AnApplicationWithNoMacrosEmptiesTheListAndNamesIt) {
    start(kCatalogue);
    item(menus().carregarMacros, 0)->trigger();
    item(menus().carregarMacros, 1)->trigger();
    EXPECT_EQ(menus().seleccionar->title(), QStringLiteral("Buit"));
    EXPECT_EQ(items(menus().seleccionar), QStringList{QStringLiteral("macro (off)")});
    EXPECT_TRUE(menus().macroMenu->isEnabled());
}

TEST_F(MacroMenusTest, AMissingOrEmptyCatalogueLeavesTheDesignItems) {
    for (const QByteArray& catalogue :
         {QByteArray(), QByteArray("[Inici]\r\nversio=MAC1\r\nN_Prog=0\r\n"),
          QByteArray("[Inici]\r\nversio=MAC0\r\nN_Prog=1\r\nPROG1=X\r\n")}) {
        start(catalogue);
        EXPECT_EQ(items(menus().carregarMacros), QStringList{QStringLiteral("programes (off)")})
            << catalogue.toStdString();
        EXPECT_EQ(items(menus().seleccionar), QStringList{QStringLiteral("macro (off)")});
        EXPECT_TRUE(menus().macroMenu->isEnabled());
        EXPECT_TRUE(f.messages().isEmpty());
    }
}

TEST_F(MacroMenusTest, ABoardNamingItsApplicationLoadsItsMacros) {
    start(kCatalogue);
    loadMacros(session, QStringLiteral("ED"));
    session.view->setMacroMenuCaption(QStringLiteral("Editor & Co"));
    EXPECT_EQ(menus().seleccionar->title(), QStringLiteral("Editor && Co"));
    EXPECT_EQ(items(menus().seleccionar).size(), 2);
    // Use mode hides the menu with the other editing menus.
    session.view->enterUseModeDisplay(QRect(0, 300, 640, 445));
    EXPECT_FALSE(menus().macroMenu->menuAction()->isVisible());
}
