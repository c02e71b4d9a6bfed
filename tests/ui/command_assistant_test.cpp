// The command menus, the "Tecles text" / "Assistent tecles" buttons and the assistant's
// windows, driven by object name on the main window.
#include "assist/ui/command_assistant.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/ui/editor_controller.h"
#include "app/ui/main_window.h"
#include "editor/ui/area_panel_widget.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class AssistantTest : public ::testing::Test {
protected:
    AssistantTest() {
        Template& t = session.tmpl;
        Area root = areaRect(0, 0, 640, 445, 0);
        root.isGroup = -1;
        t.appendArea(root);
        t.appendArea(areaRect(100, 100, 300, 200));
        t.templateFolder = f.dir.path();
        t.modified = false;
        translateForm(&window);
        window.show();
        window.move(100, 80);
        controller.editor().panel.showArea(2);
        controller.panelWidget()->refresh();
        assistant = controller.assistant();
    }
    ~AssistantTest() override {
        // Whatever a test left open closes with the window.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QLineEdit* keys() const { return controller.panelWidget()->keysField(); }
    QPushButton* modeButton(int index) const {
        for (QPushButton* b : window.findChildren<QPushButton*>(QStringLiteral("CODI_MODUS_BOTO")))
            if (b->property("index").toInt() == index) return b;
        return nullptr;
    }
    template <typename W = QWidget>
    static W* named(QWidget* in, const char* name, int index = -1) {
        for (W* w : in->findChildren<W*>(QLatin1String(name)))
            if (index < 0 || w->property("index").toInt() == index) return w;
        return nullptr;
    }
    static void press(QWidget* in, const char* name, int index = -1) {
        auto* b = named<QPushButton>(in, name, index);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void choose(AssistantWindow* w, int row, int choice) {
        QComboBox* box = w->ordres(row);
        ASSERT_NE(box, nullptr);
        box->setCurrentIndex(choice);
        emit box->activated(choice);
    }
    // The window opened last, which is the one the user works in.
    QDialog* topmost() const {
        const QList<AssistantWindow*> a = assistant->assistants();
        QDialog* last = a.isEmpty() ? nullptr : a.last();
        for (QDialog* d : assistant->dataWindows()) last = d;
        return last;
    }
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    int beeps() const { return int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size()); }
    bool allEnabled() const {
        if (!window.isEnabled() || !keys()->isEnabled()) return false;
        for (QMenu* m : window.menus().commands.barMenus())
            if (!m->isEnabled()) return false;
        return true;
    }

    FakeSessionFixture f;
    Session& session = *f.session;
    MainWindow window{session};
    EditorController controller{session, window};
    CommandAssistant* assistant = nullptr;
};

TEST_F(AssistantTest, TheCommandMenusAreOnTheBarInEditModeOnly) {
    const CommandMenus& m = window.menus().commands;
    EXPECT_EQ(m.ordres->title(), QStringLiteral("Órdenes"));
    EXPECT_EQ(m.ratoli->title(), QStringLiteral("Ratón"));
    EXPECT_EQ(m.memoria->title(), QStringLiteral("Memoria"));
    EXPECT_EQ(m.items(CommandMenu::Ordres).size(), 12);
    EXPECT_EQ(m.items(CommandMenu::Ratoli).size(), 5);
    EXPECT_EQ(m.items(CommandMenu::BotoDret).size(), 4);
    EXPECT_EQ(m.items(CommandMenu::BotoEsquerra).size(), 4);
    EXPECT_EQ(m.items(CommandMenu::Memoria).size(), 6);
    EXPECT_EQ(m.items(CommandMenu::Ordres)[6]->text(), QStringLiteral("Retardo"));
    EXPECT_EQ(m.items(CommandMenu::Ordres)[6]->objectName(), QStringLiteral("mn_ord"));
    window.menus().showMode(true);
    for (QMenu* menu : m.barMenus()) EXPECT_FALSE(menu->menuAction()->isVisible());
    window.menus().showMode(false);
    for (QMenu* menu : m.barMenus()) EXPECT_TRUE(menu->menuAction()->isVisible());
}

TEST_F(AssistantTest, AMenuItemGoesInAtTheCursorAndTheFieldKeepsTheFocus) {
    QTest::keyClicks(keys(), QStringLiteral("abcdef"));
    keys()->setCursorPosition(3);
    window.menus().commands.items(CommandMenu::Ordres)[6]->trigger();
    EXPECT_EQ(keys()->text(), QStringLiteral("abc{|Espera 1}def"));
    EXPECT_EQ(keys()->cursorPosition(), 14);
    EXPECT_EQ(window.focusWidget(), keys());
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("abc{|Espera 1}def"));
    window.menus().commands.items(CommandMenu::BotoDret)[0]->trigger();
    EXPECT_EQ(keys()->text(), QStringLiteral("abc{|Espera 1}{|Mouse CI}def"));
    // A placeholder comes selected: what is typed next replaces it inside the braces.
    window.menus().commands.items(CommandMenu::Ratoli)[0]->trigger();
    EXPECT_EQ(keys()->selectedText(), QStringLiteral("n"));
    QTest::keyClicks(keys(), QStringLiteral("20"));
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("abc{|Espera 1}{|Mouse CE}{|Mouse A 20}def"));
}

TEST_F(AssistantTest, ACancelledFileDialogChangesNothingAndDisablesNothing) {
    QTest::keyClicks(keys(), QStringLiteral("xy"));
    window.menus().commands.items(CommandMenu::Ordres)[0]->trigger();
    EXPECT_EQ(keys()->text(), QStringLiteral("xy"));
    EXPECT_EQ(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).size(), 1u);
    EXPECT_TRUE(allEnabled());
    f.fake.dialogs.chosenFiles.push_back(f.dir.filePath(QStringLiteral("next.vxl")));
    window.menus().commands.items(CommandMenu::Ordres)[2]->trigger();
    EXPECT_EQ(keys()->text(), QStringLiteral("xy{|Carga NEXT.VXL}"));
}

TEST_F(AssistantTest, TheAssistantOpensOnTheKeysAsRowsAndAcceptarUnchangedKeepsThem) {
    keys()->setText(QStringLiteral("hola{|Espera 2}{|Cerrar}"));
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    ASSERT_EQ(assistant->assistants().size(), 1);
    AssistantWindow* fill = assistant->assistants().first();
    EXPECT_EQ(fill->objectName(), QStringLiteral("Fill"));
    EXPECT_EQ(fill->windowTitle(), QStringLiteral("Asistente teclas"));
    EXPECT_EQ(fill->property("helpTopic").toInt(), kKeySequencesHelpTopic);
    EXPECT_TRUE(fill->isVisible());
    EXPECT_EQ(fill->windowModality(), Qt::WindowModal);
    const int off = CommandAssistant::nestOffset(&window);
    EXPECT_GT(off, 0);
    EXPECT_EQ(fill->pos(), window.pos() + QPoint(off, off));
    EXPECT_EQ(assistant->context.contextTag, QStringLiteral("Vexil"));
    ASSERT_EQ(fill->rowList().count(), 3);
    EXPECT_EQ(fill->ordres(1)->currentText(), QStringLiteral("Escribe"));
    EXPECT_EQ(fill->param2(1)->text(), QStringLiteral("hola"));
    EXPECT_EQ(fill->ordres(2)->currentText(), QStringLiteral("Retardo"));
    EXPECT_EQ(fill->param1(2)->text(), QStringLiteral("{|Espera "));
    EXPECT_EQ(fill->param2(2)->text(), QStringLiteral("2"));
    EXPECT_EQ(fill->ordres(3)->currentText(), QStringLiteral("Cerrar todo"));
    EXPECT_EQ(named<QLineEdit>(fill, "n_items")->text(), QStringLiteral("3"));
    // Each load of the window adds its captions to the list in the user's folder.
    QFile log(QDir(session.folders.userFolder).filePath(QStringLiteral("tswmis.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().startsWith("Asistente teclas, 0,\"parametre 1\"\r\n"));

    press(fill, "BUTO_SORTIR", 0);
    settle();
    EXPECT_TRUE(assistant->assistants().isEmpty());
    EXPECT_EQ(keys()->text(), QStringLiteral("hola{|Espera 2}{|Cerrar}"));
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("hola{|Espera 2}{|Tancar}"));
    EXPECT_EQ(assistant->context.contextTag, QString());
    EXPECT_TRUE(allEnabled());
}

TEST_F(AssistantTest, RowsAreAddedWithTheirDataMovedAndDeleted) {
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    EXPECT_EQ(fill->rowList().count(), 0);
    press(fill, "codi", 0);  // "+ Codi"
    choose(fill, 1, 11);     // "Retard": a number
    ASSERT_EQ(assistant->dataWindows().size(), 1);
    DataWindow* data = assistant->dataWindows().first();
    EXPECT_EQ(data->objectName(), QStringLiteral("Dades"));
    EXPECT_EQ(data->windowTitle(), QStringLiteral("Retardo"));
    EXPECT_EQ(assistant->context.contextTag, QStringLiteral("Retardo"));
    EXPECT_EQ(data->pos(), fill->pos() + QPoint(CommandAssistant::nestOffset(fill), CommandAssistant::nestOffset(fill)));
    EXPECT_TRUE(named<QLineEdit>(data, "Text2", 0)->isVisibleTo(data));
    EXPECT_FALSE(named<QLineEdit>(data, "Text1")->isVisibleTo(data));
    QTest::keyClicks(named<QLineEdit>(data, "Text2", 0), QStringLiteral("3"));
    press(data, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(fill->param2(1)->text(), QStringLiteral("3"));
    EXPECT_EQ(assistant->context.contextTag, QStringLiteral("Vexil"));

    press(fill, "codi", 0);
    choose(fill, 2, 28);  // "Mouse Mou-te": coordinates
    data = assistant->dataWindows().first();
    QTest::keyClicks(named<QLineEdit>(data, "Text2", 0), QStringLiteral("10"));
    QTest::keyClicks(named<QLineEdit>(data, "Text2", 1), QStringLiteral("20"));
    press(data, "BUTO_SORTIR", 0);
    settle();
    press(fill, "codi", 0);
    choose(fill, 3, 13);  // "Tancar tot": nothing asked
    EXPECT_TRUE(assistant->dataWindows().isEmpty());
    press(fill, "codi", 2);  // "^ Codi": above the mouse move
    EXPECT_EQ(fill->joined().keys, QStringLiteral("{|Espera 3}{|Tancar}{|Mouse M 10 20}"));
    fill->option(1)->click();
    EXPECT_EQ(named<QLineEdit>(fill, "n_items")->text(), QStringLiteral("1"));
    press(fill, "codi", 1);  // "- Codi"
    EXPECT_EQ(fill->joined().keys, QStringLiteral("{|Tancar}{|Mouse M 10 20}"));
    press(fill, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(keys()->text(), QStringLiteral("{|Cerrar}{|Mouse M 10 20}"));
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("{|Tancar}{|Mouse M 10 20}"));
}

TEST_F(AssistantTest, ANestedConditionIsBuiltInWindowsOpenAtOnce) {
    keys()->setText(QStringLiteral("a"));
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    press(fill, "codi", 0);
    choose(fill, 2, 12);  // "Si memoria es ..."
    ASSERT_EQ(assistant->conditionWindows().size(), 1);
    ConditionWindow* sim = assistant->conditionWindows().first();
    EXPECT_EQ(sim->objectName(), QStringLiteral("sim"));
    QTest::keyClicks(named<QLineEdit>(sim, "Text2"), QStringLiteral("x"));
    press(sim, "buto_codi", 0);  // "Cert"
    ASSERT_EQ(assistant->assistants().size(), 2);
    AssistantWindow* yes = assistant->assistants().last();
    const int off = CommandAssistant::nestOffset(sim);
    EXPECT_EQ(yes->pos(), sim->pos() + QPoint(off, off));
    EXPECT_EQ(assistant->context.contextTag, QStringLiteral("Si memoria es cert"));
    EXPECT_EQ(assistant->context.depth(), 2);
    // Three levels of windows, all open, the newest modal over the others.
    EXPECT_TRUE(fill->isVisible() && sim->isVisible() && yes->isVisible());
    press(yes, "codi", 0);
    choose(yes, 1, 0);  // "Escriu": a text
    DataWindow* text = assistant->dataWindows().first();
    QLineEdit* text1 = named<QLineEdit>(text, "Text1");
    EXPECT_TRUE(text1->property("vexilKeyField").toBool());
    QTest::keyClicks(text1, QStringLiteral("si"));
    press(text, "BUTO_SORTIR", 0);
    settle();
    press(yes, "codi", 0);
    choose(yes, 2, 13);
    press(yes, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(sim->branch(0), QStringLiteral("si{|Tancar}"));
    press(sim, "buto_codi", 1);  // "Fals", then cancelled: the branch stays empty
    EXPECT_EQ(assistant->context.contextTag, QStringLiteral("Si memoria es fals"));
    press(assistant->assistants().last(), "BUTO_SORTIR", 1);
    settle();
    press(sim, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(fill->param2(2)->text(), QStringLiteral("x {si{|Tancar}}{}"));
    press(fill, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("a{|SIM x {si{|Tancar}}{}}"));
    EXPECT_EQ(keys()->text(), QStringLiteral("a{|SIM x {si{|Cerrar}}{}}"));
    EXPECT_TRUE(allEnabled());
}

TEST_F(AssistantTest, AParameterOpensANestedAssistantThatWritesItBack) {
    keys()->setText(QStringLiteral("{|M+ abc}x"));
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    QTest::mouseDClick(fill->param2(1), Qt::LeftButton);
    ASSERT_EQ(assistant->assistants().size(), 2);
    AssistantWindow* nested = assistant->assistants().last();
    EXPECT_EQ(nested->tag(), QStringLiteral("Parametre"));
    EXPECT_EQ(named<QLineEdit>(fill, "n_items")->text(), QStringLiteral("1"));
    ASSERT_EQ(nested->rowList().count(), 1);
    EXPECT_EQ(nested->param2(1)->text(), QStringLiteral("abc"));
    press(nested, "codi", 0);
    choose(nested, 2, 17);  // "Memòria Recupera de memòria"
    press(nested, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(fill->param2(1)->text(), QStringLiteral("abc{|RM }"));
    // "Cancelar" of the top window writes nothing.
    press(fill, "BUTO_SORTIR", 1);
    settle();
    EXPECT_EQ(keys()->text(), QStringLiteral("{|M+ abc}x"));
    EXPECT_TRUE(assistant->assistants().isEmpty());
    EXPECT_TRUE(allEnabled());
}

TEST_F(AssistantTest, ListsTakeItemsOnEnterAndRefuseToBeEmpty) {
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    press(fill, "codi", 0);
    choose(fill, 1, 14);  // "Tria ": a list
    DataWindow* data = assistant->dataWindows().first();
    QListWidget* list = named<QListWidget>(data, "List1");
    QLineEdit* box = named<QLineEdit>(data, "Text2", 0);
    ASSERT_TRUE(list && box);
    EXPECT_EQ(list->count(), 0);
    const int before = beeps();
    press(data, "BUTO_SORTIR", 0);  // no item: a beep, the window stays
    EXPECT_EQ(beeps(), before + 1);
    EXPECT_EQ(assistant->dataWindows().size(), 1);
    for (const char* item : {"a", "b", "c"}) {
        QTest::keyClicks(box, QLatin1String(item));
        QTest::keyClick(box, Qt::Key_Return);
    }
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(assistant->dataWindows().size(), 1);  // Enter does not close the window
    EXPECT_EQ(box->text(), QString());
    // An item clicked goes back into the box for editing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(box->text(), QStringLiteral("b"));
    EXPECT_EQ(list->count(), 2);
    box->setText(QStringLiteral("B"));
    press(data, "BUTO_SORTIR", 0);  // the item still in the box counts
    settle();
    EXPECT_EQ(fill->param2(1)->text(), QStringLiteral("[a#c#B]"));
    // Opened on that value, the list holds its items again.
    choose(fill, 1, 14);
    data = assistant->dataWindows().first();
    EXPECT_EQ(named<QListWidget>(data, "List1")->count(), 3);
    press(data, "BUTO_SORTIR", 1);
    settle();
    EXPECT_EQ(fill->param2(1)->text(), QStringLiteral("[a#c#B]"));
}

TEST_F(AssistantTest, ATextsCodesAndFilesGoIntoTheText) {
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    press(fill, "codi", 0);
    choose(fill, 1, 0);
    DataWindow* data = assistant->dataWindows().first();
    QLineEdit* text1 = named<QLineEdit>(data, "Text1");
    text1->setText(QStringLiteral("ab{|Espera 1}cd"));
    text1->setSelection(2, 11);
    press(data, "buto_codi");  // "Codis": an assistant on the selection
    AssistantWindow* codes = assistant->assistants().last();
    ASSERT_NE(codes, fill);
    ASSERT_EQ(codes->rowList().count(), 1);
    EXPECT_EQ(codes->param2(1)->text(), QStringLiteral("1"));
    press(codes, "codi", 0);
    choose(codes, 2, 7);  // "Exploració nivell inicial"
    press(codes, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(text1->text(), QStringLiteral("ab{|Espera 1}{|Nivell 0}cd"));
    // "+ F" with a sound file, at the cursor.
    text1->setCursorPosition(2);
    named<QComboBox>(data, "fitxers")->setCurrentIndex(2);
    f.fake.dialogs.chosenFiles.push_back(f.dir.filePath(QStringLiteral("so.wav")));
    press(data, "mF");
    EXPECT_EQ(text1->text(), QStringLiteral("ab{|Sona SO.WAV}{|Espera 1}{|Nivell 0}cd"));
    // "teclat virtual" asks for the auxiliary keyboard through its menu item.
    EXPECT_FALSE(window.menus().teclatAuxiliar->isChecked());
    press(data, "TEC_VIRT");
    EXPECT_TRUE(window.menus().teclatAuxiliar->isChecked());
    press(data, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(fill->param2(1)->text(), QStringLiteral("ab{|Sona SO.WAV}{|Espera 1}{|Nivell 0}cd"));
}

// A row's value is typed in place (a click opens nothing); "Codis" works on the selection the
// author made in the text although pressing it takes the focus; a window opened without rows
// is already wide enough for the row "+ Codi" adds.
TEST_F(AssistantTest, ValuesAreTypedAndCodisReplacesTheSelection) {
    keys()->setText(QStringLiteral("{|Espera 2}x"));
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    fill->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fill));
    QTest::mouseClick(fill->param2(2), Qt::LeftButton);
    EXPECT_EQ(assistant->assistants().size(), 1);
    EXPECT_EQ(named<QLineEdit>(fill, "n_items")->text(), QStringLiteral("2"));
    fill->param2(1)->selectAll();
    QTest::keyClicks(fill->param2(1), QStringLiteral("5"));
    EXPECT_EQ(named<QLineEdit>(fill, "n_items")->text(), QStringLiteral("1"));
    EXPECT_EQ(fill->joined().keys, QStringLiteral("{|Espera 5}x"));

    press(fill, "codi", 0);
    choose(fill, 3, 0);  // "Escriu": a text
    DataWindow* data = assistant->dataWindows().first();
    data->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(data));
    QLineEdit* text1 = named<QLineEdit>(data, "Text1");
    QTest::keyClicks(text1, QStringLiteral("abcdef"));
    text1->setSelection(2, 2);
    press(data, "buto_codi");
    AssistantWindow* codes = assistant->assistants().last();
    ASSERT_NE(codes, fill);
    EXPECT_EQ(codes->start(), QStringLiteral("cd"));
    codes->param2(1)->selectAll();
    QTest::keyClicks(codes->param2(1), QStringLiteral("XY"));
    press(codes, "BUTO_SORTIR", 0);
    settle();
    EXPECT_EQ(text1->text(), QStringLiteral("abXYef"));
    press(data, "BUTO_SORTIR", 0);
    settle();

    EXPECT_EQ(fill->joined().keys, QStringLiteral("{|Espera 5}xabXYef"));

    // A nested assistant on an empty value: one row fits without the window growing.
    press(fill, "codi", 0);
    QTest::mouseDClick(fill->param2(4), Qt::LeftButton);
    AssistantWindow* nested = assistant->assistants().last();
    ASSERT_NE(nested, fill);
    ASSERT_EQ(nested->rowList().count(), 0);
    const int opened = nested->width();
    press(nested, "codi", 0);
    QCoreApplication::processEvents();
    QLineEdit* value = nested->param2(1);
    ASSERT_NE(value, nullptr);
    EXPECT_GE(opened, value->mapTo(nested, QPoint(value->width(), 0)).x()) << nested->width();
}

TEST_F(AssistantTest, AFileRowAsksForTheFileAndACancelLeavesItEmpty) {
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    AssistantWindow* fill = assistant->assistants().first();
    press(fill, "codi", 0);
    f.fake.dialogs.chosenFiles.push_back(f.dir.filePath(QStringLiteral("calc.exe")));
    choose(fill, 1, 5);
    EXPECT_EQ(fill->joined().keys, QStringLiteral("{|Executa CALC.EXE}"));
    choose(fill, 1, 4);  // cancelled
    EXPECT_EQ(fill->param2(1)->text(), QString());
    EXPECT_EQ(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).size(), 2u);
}

TEST_F(AssistantTest, HelpAndTheTextModeButton) {
    QSignalSpy help(&controller, &EditorController::helpRequested);
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    press(assistant->assistants().first(), "HelpTecles");
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help.first().first().toInt(), 80);
    // A second "Assistent tecles" while one is open opens no other.
    controller.codiModusBoto(1);
    EXPECT_EQ(assistant->assistants().size(), 1);
    press(assistant->assistants().first(), "BUTO_SORTIR", 1);
    settle();
    keys()->setEnabled(false);
    QTest::mouseClick(modeButton(0), Qt::LeftButton);
    EXPECT_TRUE(allEnabled());
}

TEST_F(AssistantTest, WithoutACurrentAreaTheAssistantDoesNotOpen) {
    controller.editor().panel.showArea(0);
    controller.panelWidget()->refresh();
    const int before = beeps();
    QTest::mouseClick(modeButton(1), Qt::LeftButton);
    EXPECT_TRUE(assistant->assistants().isEmpty());
    EXPECT_EQ(beeps(), before + 1);
    EXPECT_TRUE(allEnabled());
}

}  // namespace
