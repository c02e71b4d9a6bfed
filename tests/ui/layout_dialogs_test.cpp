#include "editor/ui/layout_dialogs.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "i18n/ui/translate_form.h"

using namespace vexil;

namespace {

template <typename W>
W* named(QWidget& parent, const char* name, int index = 0) {
    const QList<W*> all = parent.findChildren<W*>(QLatin1String(name));
    EXPECT_GT(all.size(), index) << name;
    return all.value(index);
}

TEST(RdmDialog, OpensAtHundredAndTheScrollBarsSetTheTexts) {
    RdmDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Redimensionar "));
    EXPECT_EQ(named<QLineEdit>(d, "Hor")->text(), QStringLiteral("100"));
    EXPECT_EQ(named<QLineEdit>(d, "ver")->text(), QStringLiteral("100"));
    const struct {
        const char* bar;
        const char* box;
        int value;
        const char* text;
    } cases[] = {{"VScroll1", "Hor", 30, "70"},
                 {"VScroll2", "ver", 100, "0"},
                 {"VScroll1", "Hor", 0, "100"}};
    for (const auto& c : cases) {
        QScrollBar* bar = named<QScrollBar>(d, c.bar);
        EXPECT_EQ(bar->maximum(), 100);
        bar->setValue(c.value);
        EXPECT_EQ(named<QLineEdit>(d, c.box)->text(), QLatin1String(c.text)) << c.bar;
    }
    EXPECT_EQ(d.horizontal(), QStringLiteral("100"));
    EXPECT_EQ(d.vertical(), QStringLiteral("0"));
}

TEST(RdmDialog, AcceptarAcceptsCancelarRejects) {
    for (int index : {0, 1}) {
        RdmDialog d;
        d.show();
        named<QPushButton>(d, "buto", index)->click();
        EXPECT_EQ(d.result(), index == 0 ? QDialog::Accepted : QDialog::Rejected);
    }
}

TEST(RdmDialog, CaptionsAreTranslated) {
    RdmDialog d;
    translateForm(&d);
    EXPECT_EQ(named<QPushButton>(d, "buto", 0)->text(), QStringLiteral("Aceptar"));
}

TEST(QuadriculaDialog, SpinnersCountUpAsTheirValueGoesDown) {
    QuadriculaDialog d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Subdividir l'àrea"));
    EXPECT_EQ(d.columns(), 1);
    EXPECT_EQ(d.rows(), 1);
    const struct {
        int h, v, columns, rows;
    } cases[] = {{10, 10, 1, 1}, {8, 9, 3, 2}, {1, 1, 10, 10}, {0, 11, 10, 1}};
    for (const auto& c : cases) {
        named<QScrollBar>(d, "ScrollH")->setValue(c.h);
        named<QScrollBar>(d, "ScrollV")->setValue(c.v);
        EXPECT_EQ(d.columns(), c.columns);
        EXPECT_EQ(d.rows(), c.rows);
        EXPECT_EQ(named<QLabel>(d, "TxH")->text(), QString::number(c.columns));
        EXPECT_EQ(named<QLabel>(d, "TxV")->text(), QString::number(c.rows));
    }
}

TEST(QuadriculaDialog, ButtonsAcceptAndReject) {
    QuadriculaDialog a;
    a.show();
    named<QPushButton>(a, "Command1")->click();
    EXPECT_EQ(a.result(), QDialog::Accepted);
    QuadriculaDialog c;
    c.show();
    named<QPushButton>(c, "Command2")->click();
    EXPECT_EQ(c.result(), QDialog::Rejected);
}

}  // namespace
