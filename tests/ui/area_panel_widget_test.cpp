#include "editor/ui/area_panel_widget.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "editor/editor.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class PanelWidgetTest : public ::testing::Test {
protected:
    PanelWidgetTest() {
        Template& t = session.tmpl;
        Area root = areaRect(0, 0, 640, 445, 0);
        root.isGroup = -1;
        t.appendArea(root);
        Area group = areaRect(100, 100, 300, 200);
        group.isGroup = -1;
        t.appendArea(group);
        t.appendArea(areaRect(100, 100, 200, 200, 2));
        t.appendArea(areaRect(400, 300, 500, 400));
        t.modified = false;
        widget.show();
    }
    template <typename W>
    W* child(const char* name) {
        W* w = widget.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void show(int n) {
        editor.panel.showArea(n);
        widget.refresh();
    }
    static void focus(QWidget* w, QEvent::Type type) {
        QFocusEvent event(type, Qt::TabFocusReason);
        QApplication::sendEvent(w, &event);
    }
    int beeps() const { return int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size()); }

    FakeSessionFixture f;
    Session& session = *f.session;
    Editor editor{session};
    AreaPanelWidget widget{editor};
};

TEST_F(PanelWidgetTest, ShowsTheCurrentAreaInEveryControl) {
    Area a = session.tmpl.area(4);
    a.keys = QStringLiteral("hola");
    a.clipFile = QStringLiteral("dibuix.bmp");
    a.clipKind = 1;
    a.iconFile = QStringLiteral("gat.jpg");
    a.soundFile = QStringLiteral("miau.wav");
    a.repeatReading = 1;
    session.tmpl.setArea(4, a);
    show(4);
    EXPECT_EQ(child<QLabel>("MsgArea")->text(), QStringLiteral("4/4 àrees"));
    const struct {
        const char* scroll;
        const char* text;
        int value;
    } edges[] = {{"ScrollX0", "TxX0", 400},
                 {"scrollx1", "TxX1", 500},
                 {"ScrollY0", "TxY0", 300},
                 {"ScrollY1", "TxY1", 400}};
    for (const auto& e : edges) {
        EXPECT_EQ(child<QScrollBar>(e.scroll)->value(), e.value) << e.scroll;
        EXPECT_EQ(child<QScrollBar>(e.scroll)->maximum(), 640);
        EXPECT_EQ(child<QLineEdit>(e.text)->text(), QString::number(e.value)) << e.text;
    }
    EXPECT_EQ(child<QLineEdit>("TxText")->text(), QStringLiteral("hola"));
    EXPECT_EQ(child<QLineEdit>("TxApp")->text(), QStringLiteral("dibuix.bmp"));
    EXPECT_EQ(child<QLineEdit>("Icona_text")->text(), QStringLiteral("gat.jpg"));
    EXPECT_EQ(child<QLineEdit>("So_Text")->text(), QStringLiteral("miau.wav"));
    EXPECT_TRUE(child<QCheckBox>("ChRepe")->isChecked());
    const QList<QRadioButton*> options = widget.findChildren<QRadioButton*>("Option1");
    ASSERT_EQ(options.size(), 2);
    EXPECT_TRUE(options[1]->isChecked());

    show(0);
    EXPECT_EQ(child<QLabel>("MsgArea")->text(), QStringLiteral("----- àrees"));
    EXPECT_EQ(child<QLineEdit>("TxText")->text(), QString());
    EXPECT_FALSE(child<QCheckBox>("ChRepe")->isChecked());
}

TEST_F(PanelWidgetTest, TypedFieldsAreStoredInTheArea) {
    show(4);
    QTest::keyClicks(child<QLineEdit>("TxText"), QStringLiteral("ab"));
    QTest::keyClicks(child<QLineEdit>("TxApp"), QStringLiteral("c.txt"));
    QTest::keyClicks(child<QLineEdit>("So_Text"), QStringLiteral("s.wav"));
    QTest::keyClicks(child<QLineEdit>("Icona_text"), QStringLiteral("HOLA"));
    child<QCheckBox>("ChRepe")->click();
    const Area& a = session.tmpl.area(4);
    EXPECT_EQ(a.keys, QStringLiteral("ab"));
    EXPECT_EQ(a.clipFile, QStringLiteral("c.txt"));
    EXPECT_EQ(a.soundFile, QStringLiteral("s.wav"));
    EXPECT_EQ(a.iconFile, QStringLiteral("HOLA"));
    EXPECT_EQ(a.repeatReading, 1);
    EXPECT_TRUE(session.tmpl.modified);
    EXPECT_TRUE(session.tmpl.coverOutdated);  // the icon changed

    // Another kind of clip file empties the field.
    widget.findChildren<QRadioButton*>("Option1")[1]->click();
    EXPECT_EQ(session.tmpl.area(4).clipKind, 1);
    EXPECT_EQ(session.tmpl.area(4).clipFile, QString());
    EXPECT_EQ(child<QLineEdit>("TxApp")->text(), QString());
}

TEST_F(PanelWidgetTest, TypingWithoutACurrentAreaOnlyBeeps) {
    show(0);
    QTest::keyClicks(child<QLineEdit>("TxText"), QStringLiteral("x"));
    EXPECT_EQ(beeps(), 1);
    EXPECT_FALSE(session.tmpl.modified);
}

TEST_F(PanelWidgetTest, EdgeBoxesShowTheStoredValueAgain) {
    show(4);
    QLineEdit* box = child<QLineEdit>("TxX0");
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("100"));
    EXPECT_EQ(session.tmpl.area(4).x0, 400);
    EXPECT_EQ(box->text(), QStringLiteral("400"));
}

TEST_F(PanelWidgetTest, ScrollBarsEditEdgesWithinTheRootAndSpringBackBeyondIt) {
    show(4);
    QScrollBar* x1 = child<QScrollBar>("scrollx1");
    focus(x1, QEvent::FocusIn);
    x1->setValue(550);
    focus(x1, QEvent::FocusOut);
    EXPECT_EQ(session.tmpl.area(4).x1, 550);
    EXPECT_EQ(child<QLineEdit>("TxX1")->text(), QStringLiteral("550"));
    EXPECT_EQ(session.tmpl.currentArea, 4);  // the edited area stays current

    // The root covers the whole board: none of its edges may move.
    show(1);
    QScrollBar* y1 = child<QScrollBar>("ScrollY1");
    y1->setValue(300);
    EXPECT_EQ(y1->value(), 445);
    EXPECT_EQ(session.tmpl.area(1).y1, 445);
}

TEST_F(PanelWidgetTest, StretchingAGroupCarriesItsSubAreasAlong) {
    show(2);
    QScrollBar* x1 = child<QScrollBar>("scrollx1");
    focus(x1, QEvent::FocusIn);
    x1->setValue(500);  // 200 wide -> 400 wide
    focus(x1, QEvent::FocusOut);
    EXPECT_EQ(session.tmpl.area(2).x1, 500);
    EXPECT_EQ(session.tmpl.area(3).x0, 100);
    EXPECT_EQ(session.tmpl.area(3).x1, 300);
}

TEST_F(PanelWidgetTest, StepButtonsWalkTheAreasAndBeepAtTheEnds) {
    show(3);
    child<QPushButton>("NextArea")->click();
    EXPECT_EQ(child<QLabel>("MsgArea")->text(), QStringLiteral("4/4 àrees"));
    child<QPushButton>("NextArea")->click();
    EXPECT_EQ(beeps(), 1);
    show(1);
    child<QPushButton>("PrevArea")->click();
    EXPECT_EQ(beeps(), 2);
    child<QPushButton>("NextArea")->click();
    EXPECT_EQ(session.tmpl.currentArea, 2);
}

TEST_F(PanelWidgetTest, IconChooserCancelledLeavesTheIconAndAChoiceIsStored) {
    show(4);
    QLineEdit* icon = child<QLineEdit>("Icona_text");
    QTest::keyClicks(icon, QStringLiteral("old.bmp"));
    std::optional<QString> answer;
    QString askedFolder = QStringLiteral("-");
    widget.choosePicture = [&](const QString& folder) {
        askedFolder = folder;
        return answer;
    };
    child<QPushButton>("Icona_buscar")->click();
    EXPECT_EQ(askedFolder, session.tmpl.templateFolder);
    EXPECT_EQ(icon->text(), QStringLiteral("old.bmp"));
    answer = QStringLiteral("C:\\dibuixos\\gat.bmp");
    child<QPushButton>("Icona_buscar")->click();
    EXPECT_EQ(session.tmpl.area(4).iconFile, QStringLiteral("C:\\dibuixos\\gat.bmp"));
    EXPECT_EQ(icon->text(), QStringLiteral("C:\\dibuixos\\gat.bmp"));
}

TEST_F(PanelWidgetTest, ViewersAndTheSoundButton) {
    show(4);
    child<QPushButton>("Icona_veure")->click();  // empty: nothing
    EXPECT_TRUE(f.messages().isEmpty());
    QTest::keyClicks(child<QLineEdit>("Icona_text"), QStringLiteral("gat.txt"));
    child<QPushButton>("Icona_veure")->click();
    ASSERT_EQ(f.messages().size(), 1);
    EXPECT_EQ(f.messages()[0], QStringLiteral(" No se puede activar el fichero de la imagen"));
    QTest::keyClicks(child<QLineEdit>("TxApp"), QStringLiteral("notes.doc"));
    child<QPushButton>("VeureClip")->click();
    EXPECT_EQ(f.messages().size(), 2);

    const auto played = [&] { return f.fake.recorder.events().size(); };
    const size_t before = played();
    child<QPushButton>("So_escoltar")->click();  // empty: nothing
    EXPECT_EQ(played(), before);
    QTest::keyClicks(child<QLineEdit>("So_Text"), QStringLiteral("miau.wav"));
    child<QPushButton>("So_escoltar")->click();
    EXPECT_GT(played(), before);
}

TEST_F(PanelWidgetTest, UndoAndRedoKeysAreLeftToTheWindow) {
    show(4);
    for (const char* name : {"TxText", "TxApp", "Icona_text", "So_Text", "TxX0"}) {
        QKeyEvent undo(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
        QApplication::sendEvent(child<QLineEdit>(name), &undo);
        EXPECT_FALSE(undo.isAccepted()) << name;
        QKeyEvent redo(QEvent::ShortcutOverride, Qt::Key_Y, Qt::ControlModifier);
        QApplication::sendEvent(child<QLineEdit>(name), &redo);
        EXPECT_FALSE(redo.isAccepted()) << name;
    }
    // Other shortcuts stay the field's own.
    QKeyEvent copy(QEvent::ShortcutOverride, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(child<QLineEdit>("TxText"), &copy);
    EXPECT_TRUE(copy.isAccepted());
}

TEST_F(PanelWidgetTest, CaptionsAreTranslatedOnLoading) {
    translateForm(&widget);
    EXPECT_EQ(widget.findChildren<QRadioButton*>("Option1")[1]->text(), QStringLiteral("Gráfico"));
    EXPECT_NE(child<QCheckBox>("ChRepe")->text(), QStringLiteral("Repetició de lectures"));
    EXPECT_NE(child<QPushButton>("So_escoltar")->text(), QStringLiteral("Escoltar"));
}

}  // namespace
