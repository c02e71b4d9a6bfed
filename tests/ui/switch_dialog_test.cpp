#include "access/ui/switch_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "access/vb_color.h"
#include "i18n/ui/translate_form.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

SwitchEntry entryOf(int option, QString list = {}) {
    SwitchEntry e;
    e.option = option;
    e.keyList = std::move(list);
    e.presentationTime = QStringLiteral("15");
    e.actionTime = QStringLiteral("3");
    e.thickness = QStringLiteral("6");
    e.color = 65280;
    return e;
}

}  // namespace

TEST(SwitchEntryRules, RefusalsLeaveTheProfileAsItWas) {
    struct Case {
        const char* what;
        int number;
        int firstCode;
        QString firstList;
        SwitchEntry entry;
        bool accepted;
    };
    const Case cases[] = {
        {"no gesture", 1, 0, {}, entryOf(-1), false},
        {"key list empty", 1, 0, {}, entryOf(3, QStringLiteral("   ")), false},
        {"key list given", 1, 0, {}, entryOf(3, QStringLiteral("ab")), true},
        {"switch 2 equal to switch 1", 2, 2, {}, entryOf(1), false},
        {"switch 2 other gesture", 2, 2, {}, entryOf(2), true},
        {"both lists, different keys", 2, 4, QStringLiteral("ab"), entryOf(3, QStringLiteral("cd")),
         true},
        {"both lists, same keys", 2, 4, QStringLiteral("ab"), entryOf(3, QStringLiteral(" ab ")),
         false},
        {"switch 1 may equal an old switch 2", 1, 0, {}, entryOf(1), true},
    };
    for (const Case& c : cases) {
        UserProfile p;
        p.switches[1].accio = std::int16_t(c.firstCode);
        p.switches[1].variable = c.firstList;
        p.switches[2].accio = 2;
        const UserProfile before = p;
        EXPECT_EQ(acceptSwitchEntry(p, c.number, c.entry), c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(p, before) << c.what;
            continue;
        }
        const SwitchSetting& s = p.switches[size_t(c.number)];
        EXPECT_EQ(s.accio, c.entry.option + 1) << c.what;
        EXPECT_EQ(s.variable, c.entry.keyList.trimmed()) << c.what;
        EXPECT_EQ(s.retard, 3) << c.what;
        EXPECT_EQ(p.temps, 15) << c.what;
        EXPECT_EQ(p.gruix, 6) << c.what;
        EXPECT_EQ(p.color, 65280) << c.what;
    }
}

TEST(SwitchEntryRules, NumbersOfTheDialog) {
    UserProfile p;
    SwitchEntry e = entryOf(1);
    e.thickness = QStringLiteral("0");
    e.presentationTime = QStringLiteral(" 2.5 s");
    ASSERT_TRUE(acceptSwitchEntry(p, 1, e));
    EXPECT_EQ(p.gruix, 8) << "a thickness of 0 becomes 8";
    EXPECT_EQ(p.temps, 2) << "halves go to even";
    e.thickness = QStringLiteral("-4");
    e.presentationTime = QStringLiteral("");
    ASSERT_TRUE(acceptSwitchEntry(p, 1, e));
    EXPECT_EQ(p.gruix, 8);
    EXPECT_EQ(p.temps, 0) << "an empty box reads 0";
    // A presentation time that is no number, or too large, is refused.
    for (const char* bad : {"abc", "99999"}) {
        e.presentationTime = QString::fromLatin1(bad);
        const UserProfile before = p;
        EXPECT_FALSE(acceptSwitchEntry(p, 1, e)) << bad;
        EXPECT_EQ(p, before);
    }
}

TEST(SwitchDialog, LoadsTheSwitchItIsLabelledFor) {
    UserProfile p;
    p.switches[1] = {4, QStringLiteral("xy"), 7};
    p.switches[2] = {9, {}, 2};
    p.temps = 12;
    SwitchDialog d(p);
    d.setPulsador(1);
    EXPECT_TRUE(d.option(3)->isChecked());
    EXPECT_EQ(d.keyList()->text(), QStringLiteral("xy"));
    EXPECT_EQ(d.actionTime()->text(), QStringLiteral("7"));
    EXPECT_EQ(d.presentationTime()->text(), QStringLiteral("12"));
    d.setPulsador(2);
    EXPECT_TRUE(d.option(8)->isChecked());
    EXPECT_FALSE(d.option(3)->isChecked());
    EXPECT_EQ(d.keyList()->text(), QString());
}

TEST(SwitchDialog, AcceptStaysOpenOnARefusalAndClosesOnAGoodEntry) {
    UserProfile p;
    p.switches[1].accio = 2;
    SwitchDialog d(p);
    d.setPulsador(2);
    d.setFrame(5, 255);
    d.show();
    d.option(1)->setChecked(true);  // ENTER, as switch 1
    d.acceptButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.result(), 0);
    EXPECT_EQ(p.switches[2].accio, 0);

    d.option(2)->setChecked(true);  // SPACE
    d.acceptButton()->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(p.switches[2].accio, 3);
    EXPECT_EQ(p.gruix, 5);
    EXPECT_EQ(p.color, 255);
}

TEST(SwitchDialog, ColourChooserKeepsTheColourWhenCancelled) {
    UserProfile p;
    SwitchDialog d(p);
    d.setFrame(8, 255);
    std::optional<QColor> answer = QColor(0, 0, 255);
    QColor offered;
    d.setColorChooser([&](const QColor& current, QWidget*) {
        offered = current;
        return answer;
    });
    d.colorButton()->click();
    EXPECT_EQ(offered, QColor(255, 0, 0)) << "the current colour is preselected";
    EXPECT_EQ(d.entry().color, 16711680.0);
    answer.reset();
    d.colorButton()->click();
    EXPECT_EQ(d.entry().color, 16711680.0);
    EXPECT_EQ(numberFromColor(colorFromNumber(4259839.0)), 4259839.0);
}

TEST(SwitchDialog, CancelStoresNothing) {
    UserProfile p;
    SwitchDialog d(p);
    d.setPulsador(1);
    d.show();
    d.option(0)->setChecked(true);
    d.cancelButton()->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(p, UserProfile{});
}

TEST(SwitchDialog, CaptionsPassThroughTheCaptionTable) {
    UserProfile p;
    SwitchDialog d(p);
    translateForm(&d);
    EXPECT_EQ(d.option(0)->text(), QStringLiteral("Cualquier tecla"));
    EXPECT_EQ(d.acceptButton()->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(d.cancelButton()->text(), QStringLiteral("Cancelar"));
    EXPECT_NE(d.windowTitle(), QStringLiteral("Configuració Pulsador"));
    auto* label = d.findChild<QLabel*>(QStringLiteral("Label_0"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Tiempo de presentación"));
}
