#include "auxkeys/ui/aux_keyboard.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "app/ui/editor_controller.h"
#include "app/ui/main_window.h"
#include "auxkeys/ui/tec_virt.h"
#include "editor/ui/area_panel_widget.h"
#include "platform/qt/qt_dialogs.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class AuxKeyboardTest : public ::testing::Test {
protected:
    AuxKeyboardTest() {
        Template& t = session.tmpl;
        Area root = areaRect(0, 0, 640, 445, 0);
        root.isGroup = -1;
        t.appendArea(root);
        t.appendArea(areaRect(100, 100, 300, 200));
        session.view->setDrawingArmed(false);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    AuxKeyboard& keyboard() { return *window.auxKeyboard(); }
    TecVirt* tecVirt() { return keyboard().window(); }
    QLineEdit* txText() { return window.findChild<QLineEdit*>(QStringLiteral("TxText")); }
    void clickKey(int index) {
        QAbstractButton* b = tecVirt()->keyButton(index);
        ASSERT_NE(b, nullptr) << index;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void clickPicture(int index) {
        QAbstractButton* b = tecVirt()->pictureButton(index);
        ASSERT_NE(b, nullptr) << index;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Area 2 current, its keys in the field, the cursor at `cursor`, the field focused.
    void editKeys(const QString& keys, int cursor) {
        Area a = session.tmpl.area(2);
        a.keys = keys;
        session.tmpl.setArea(2, a);
        controller.editor().panel.showArea(2);
        controller.panelWidget()->refresh();
        txText()->setFocus();
        txText()->setCursorPosition(cursor);
    }
    int beeps() const { return int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size()); }

    FakeSessionFixture f;
    Session& session = *f.session;
    MainWindow window{session};
    EditorController controller{session, window};
};

}  // namespace

TEST_F(AuxKeyboardTest, MenuItemBoxAndWindowGoTogether) {
    QAction* item = window.menus().teclatAuxiliar;
    QCheckBox* box = window.checkBox(1);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(keyboard().isShown());

    item->trigger();  // ticked from the menu
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(keyboard().isShown());
    EXPECT_EQ(tecVirt()->windowTitle(), QStringLiteral("Teclado Auxiliar "));

    box->setChecked(false);  // the box takes it away
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(keyboard().isShown());

    box->setChecked(true);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(keyboard().isShown());

    // The file buttons of the editor close it, and the box and tick go.
    session.view->closeAuxiliaryKeyboard();
    EXPECT_FALSE(keyboard().isShown());
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(box->isChecked());

    // Its own close box does the same.
    item->trigger();
    ASSERT_TRUE(keyboard().isShown());
    tecVirt()->close();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(box->isChecked());
}

TEST_F(AuxKeyboardTest, UseModeClosesItAndEditModeBringsItBack) {
    window.menus().teclatAuxiliar->trigger();
    ASSERT_TRUE(keyboard().isShown());
    session.view->enterUseModeDisplay(QRect(0, 300, 640, 445));
    EXPECT_FALSE(keyboard().isShown());
    session.view->leaveUseModeDisplay();
    EXPECT_TRUE(keyboard().isShown());
    EXPECT_TRUE(window.menus().teclatAuxiliar->isChecked());
}

TEST_F(AuxKeyboardTest, ButtonsWriteIntoTheAreaKeysAtTheCursorAndLeaveTheFocusThere) {
    window.menus().teclatAuxiliar->trigger();
    editKeys(QStringLiteral("abcdef"), 3);
    EXPECT_EQ(QApplication::focusWidget(), txText());
    clickKey(9);  // Tab
    EXPECT_EQ(txText()->text(), QStringLiteral("abc{TAB}def"));
    EXPECT_EQ(txText()->cursorPosition(), 8);
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("abc{TAB}def"));
    EXPECT_EQ(QApplication::focusWidget(), txText());
    // Shift, then Inici.
    clickPicture(0);
    clickKey(2);
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("abc{TAB}+{HOME}def"));
    // No button takes the focus, nor does the window.
    for (QAbstractButton* b : tecVirt()->findChildren<QAbstractButton*>())
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->text().toStdString();
    EXPECT_TRUE(tecVirt()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

TEST_F(AuxKeyboardTest, WithoutACurrentAreaNothingIsKept) {
    window.menus().teclatAuxiliar->trigger();
    controller.editor().panel.showArea(0);
    controller.panelWidget()->refresh();
    txText()->setFocus();
    const int before = beeps();
    clickKey(23);
    // As typing there would: a beep, and no area gets the keys.
    EXPECT_EQ(beeps(), before + 1);
    for (int n = 1; n <= session.tmpl.areaCount(); ++n)
        EXPECT_FALSE(session.tmpl.area(n).keys.contains(QStringLiteral("{ENTER}")));
}

TEST_F(AuxKeyboardTest, TheTemplateButtonWritesTheChosenBoardRelative) {
    session.tmpl.templateFolder = f.path(QStringLiteral("boards"));
    window.menus().teclatAuxiliar->trigger();
    editKeys(QStringLiteral("x"), 1);
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("boards/menjar.vxl")));
    clickPicture(4);
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("x{|Carrega MENJAR.VXL}"));
    // Cancelled: nothing more.
    clickPicture(5);
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("x{|Carrega MENJAR.VXL}"));
}

TEST_F(AuxKeyboardTest, InTheBoardPropertiesItWritesTheStartKeys) {
    editKeys(QStringLiteral("area"), 4);
    QString startKeys;
    QString areaKeysMeanwhile;
    controller.runDialog = [&](QDialog& d) {
        d.setModal(true);
        d.show();
        auto* tecles = d.findChild<QLineEdit*>(QStringLiteral("Tecles"));
        EXPECT_TRUE(tecles->property("vexilKeyField").toBool());
        tecles->setText(QStringLiteral("ab"));
        tecles->setCursorPosition(1);
        // The dialog's first field has the focus, not "Tecles": it is still where keys go.
        d.findChild<QLineEdit*>(QStringLiteral("FitxGraf"))->setFocus();
        auto* hlpK = d.findChild<QPushButton*>(QStringLiteral("HlpK"));
        EXPECT_TRUE(hlpK->isEnabled());
        hlpK->click();
        EXPECT_TRUE(keyboard().isShown());
        // Usable while the dialog is modal: the keyboard is the dialog's transient.
        EXPECT_EQ(tecVirt()->windowHandle()->transientParent(), d.windowHandle());
        EXPECT_TRUE(window.checkBox(1)->isChecked());
        clickKey(13);  // Esc
        startKeys = tecles->text();
        areaKeysMeanwhile = session.tmpl.area(2).keys;
        d.findChild<QPushButton*>(QStringLiteral("BotoOk"))->click();
        return true;
    };
    window.menus().dadesGlobals->trigger();
    EXPECT_EQ(startKeys, QStringLiteral("a{ESC}b"));
    EXPECT_EQ(areaKeysMeanwhile, QStringLiteral("area"));
    EXPECT_EQ(session.tmpl.settings.startKeys, QStringLiteral("a{ESC}b"));
}

TEST_F(AuxKeyboardTest, AModalDataWindowGetsTheKeysInItsTextField) {
    // A window of the command assistant: a multi-line text marked as a key field.
    window.menus().teclatAuxiliar->trigger();
    editKeys(QStringLiteral("area"), 0);
    QDialog data(&window);
    data.setObjectName(QStringLiteral("Dades"));
    auto* text1 = new QPlainTextEdit(&data);
    text1->setObjectName(QStringLiteral("Text1"));
    text1->setProperty("vexilKeyField", true);
    auto* other = new QLineEdit(&data);
    auto* layout = new QVBoxLayout(&data);
    layout->addWidget(other);
    layout->addWidget(text1);
    data.setModal(true);
    data.show();
    text1->setPlainText(QStringLiteral("hola"));
    text1->setFocus();
    QTextCursor c = text1->textCursor();
    c.setPosition(2);
    text1->setTextCursor(c);
    other->setFocus();  // a field that is not for keys had the focus last
    clickKey(19);
    EXPECT_EQ(text1->toPlainText(), QStringLiteral("ho{RIGHT}la"));
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("area"));
    data.hide();
    // Back in the editor, the key field of the area again.
    clickKey(18);
    EXPECT_EQ(session.tmpl.area(2).keys, QStringLiteral("{UP}area"));
}

TEST_F(AuxKeyboardTest, EveryButtonIsThereWithItsTranslatedCaption) {
    for (int index = 0; index <= 31; ++index) {
        if (index == 25) {
            EXPECT_EQ(tecVirt()->keyButton(index), nullptr);
        } else {
            EXPECT_NE(tecVirt()->keyButton(index), nullptr) << index;
        }
    }
    for (int index = 0; index <= 7; ++index) EXPECT_NE(tecVirt()->pictureButton(index), nullptr);
    EXPECT_EQ(tecVirt()->pictureButton(8), nullptr);
    EXPECT_EQ(tecVirt()->keyButton(6)->text(), QStringLiteral("Finalizar"));  // "Fi"
}

// The keyboard opens clear of the key field it writes into and moves off a dialog that
// becomes modal under it; every file dialog, shown where the program shows them, finds it
// out of the way, and it is back afterwards while its item is ticked.
TEST_F(AuxKeyboardTest, ItHidesNothingItWritesIntoAndStepsAsideForFileDialogs) {
    const auto globalRect = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); };
    editKeys(QStringLiteral("abc"), 1);
    window.menus().teclatAuxiliar->trigger();
    ASSERT_TRUE(keyboard().isShown());
    EXPECT_FALSE(tecVirt()->frameGeometry().intersects(globalRect(txText())));

    QDialog data(&window);
    auto* text1 = new QLineEdit(&data);
    text1->setProperty("vexilKeyField", true);
    (new QVBoxLayout(&data))->addWidget(text1);
    data.setGeometry(tecVirt()->frameGeometry());  // right where the keyboard stands
    data.setModal(true);
    data.show();
    data.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&data));
    text1->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(tecVirt()->frameGeometry().intersects(globalRect(text1)));
    data.hide();

    QtDialogs dialogs;
    bool shownMeanwhile = true;
    QString modal;
    QTimer::singleShot(50, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            modal = d->windowTitle();
            shownMeanwhile = keyboard().isShown();
            d->reject();
        }
    });
    FileDialogRequest request;
    request.title = QStringLiteral("Fitxers");
    request.initialFolder = f.dir.path();
    EXPECT_TRUE(dialogs.chooseFile(request).isEmpty());
    EXPECT_EQ(modal, QStringLiteral("Fitxers"));
    EXPECT_FALSE(shownMeanwhile);
    EXPECT_TRUE(keyboard().isShown());
    EXPECT_TRUE(window.menus().teclatAuxiliar->isChecked());
}
