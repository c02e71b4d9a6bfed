#include "access/ui/adapt_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "app/ui/edit_board.h"
#include "app/ui/use_board.h"
#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"
#include "settings/adapt_settings.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

TEST(AdaptDialog, LoadsAndStoresEverySettingWithinItsRange) {
    UserProfile profile;
    profile.adapt.Acceptacio = 300;
    profile.adapt.Voltes = 3;
    profile.adapt.GuiaAuditiva = 1;
    profile.adapt.GuiaSortida = QStringLiteral("auriculars");
    AdaptDialog d(profile);
    EXPECT_EQ(d.number("Acceptacio")->value(), 300);
    EXPECT_EQ(d.number("Voltes")->value(), 3);
    EXPECT_TRUE(d.check("GuiaAuditiva")->isChecked());
    EXPECT_FALSE(d.check("GuiaEspera")->isChecked());
    EXPECT_EQ(d.output()->currentText(), "auriculars");
    // Every key of the section has its box, bound to the key's range.
    for (const AdaptKey& k : adaptKeys()) {
        QSpinBox* n = d.number(k.key);
        QCheckBox* c = d.check(k.key);
        ASSERT_TRUE(n || c) << k.key;
        if (n) {
            EXPECT_EQ(n->minimum(), k.min) << k.key;
            EXPECT_EQ(n->maximum(), k.max) << k.key;
        }
    }
    d.number("TempsMort")->setValue(99999);  // beyond the range: its largest value
    d.check("RegistreUs")->setChecked(true);
    d.output()->setEditText(QStringLiteral("  cascos "));
    d.acceptButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(profile.adapt.TempsMort, kMaxAdaptMilliseconds);
    EXPECT_EQ(profile.adapt.RegistreUs, 1);
    EXPECT_EQ(profile.adapt.Acceptacio, 300);
    EXPECT_EQ(profile.adapt.GuiaSortida, "cascos");
}

TEST(AdaptDialog, ListsTheServersOutputsAndTestsTheOneChosen) {
    UserProfile profile;
    profile.adapt.GuiaSortida = QStringLiteral("usb");
    profile.adapt.GuiaVolum = 0;  // silent
    QStringList tested;
    AdaptHooks hooks;
    hooks.outputs = [] {
        return QList<std::pair<QString, QString>>{{"pci", "Altaveus"}, {"usb", "Auriculars"}};
    };
    hooks.testOutput = [&](const QString& output, int volume) {
        tested << output + '@' + QString::number(volume);
    };
    AdaptDialog d(profile, nullptr, hooks);
    // The main output, then the server's, the profile's chosen.
    ASSERT_EQ(d.output()->count(), 3);
    EXPECT_EQ(d.output()->currentIndex(), 2);
    EXPECT_EQ(d.number("VolumGuia")->value(), 0);
    EXPECT_EQ(d.settings().GuiaSortida, "usb");
    d.output()->setCurrentIndex(1);
    d.number("VolumGuia")->setValue(70);
    d.testButton()->click();
    d.output()->setCurrentIndex(0);
    d.testButton()->click();
    EXPECT_EQ(tested, QStringList({"pci@70", "@70"}));
    EXPECT_EQ(d.settings().GuiaSortida, "");
    EXPECT_FALSE(d.clearRecordButton()->isEnabled());
    // Without a server the box still takes a typed name.
    AdaptDialog bare(profile);
    EXPECT_EQ(bare.output()->currentText(), "usb");
    EXPECT_FALSE(bare.testButton()->isEnabled());
}

TEST(AdaptDialog, CancelStoresNothing) {
    UserProfile profile;
    AdaptDialog d(profile);
    d.number("Permanencia")->setValue(1500);
    d.cancelButton()->click();
    EXPECT_EQ(profile.adapt, AdaptSettings{});
}

TEST(AdaptDialog, TranslatesItsCaptionsAndNamesItsHelpTopic) {
    UserProfile profile;
    AdaptDialog d(profile);
    EXPECT_EQ(d.property("helpTopic").toInt(), kAdaptHelpTopic);
    translateForm(&d);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Adaptación"));
    EXPECT_EQ(d.check("GuiaAuditiva")->text(), QString::fromUtf8("Decir cada área con la voz guía"));
    EXPECT_EQ(d.acceptButton()->text(), "Aceptar");
    // No caption is left in Catalan: every label, box title and check box has its row.
    QStringList untranslated;
    AdaptDialog fresh(profile);
    for (QGroupBox* box : fresh.findChildren<QGroupBox*>())
        if (translateCaption(box->title()) == box->title()) untranslated << box->title();
    for (QLabel* label : fresh.findChildren<QLabel*>())
        if (translateCaption(label->text()) == label->text()) untranslated << label->text();
    for (QCheckBox* c : fresh.findChildren<QCheckBox*>())
        if (translateCaption(c->text()) == c->text()) untranslated << c->text();
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join(u'|').toStdString();
}

TEST(UseBoardAdapt, TheFillAndTheDwellRingAreDrawn) {
    Template t;
    t.appendArea(areaRect(0, 0, 640, 445, 0));
    t.appendArea(areaRect(10, 10, 300, 200));
    UseBoard board(t);
    board.resize(640, 445);
    board.showHighlight(QRect(16, 16, 200, 100), 4, Qt::red);
    board.highlight()->setFill(0.5);
    QImage frame(board.highlight()->size(), QImage::Format_ARGB32);
    frame.fill(Qt::white);
    board.highlight()->render(&frame);
    // Left half filled (pinkish), right half untouched inside the frame.
    EXPECT_NE(frame.pixelColor(50, 50).rgb(), QColor(Qt::white).rgb());
    EXPECT_EQ(frame.pixelColor(150, 50).rgb(), QColor(Qt::white).rgb());
    board.highlight()->setFill(0);
    frame.fill(Qt::white);
    board.highlight()->render(&frame);
    EXPECT_EQ(frame.pixelColor(50, 50).rgb(), QColor(Qt::white).rgb());

    board.setDwell(QRect(16, 16, 200, 100), 0.5);
    EXPECT_DOUBLE_EQ(board.dwellProgress(), 0.5);
    QImage image(board.size(), QImage::Format_ARGB32);
    board.render(&image);
    // The arc starts at the top of the ring and runs clockwise: the right half is drawn,
    // the left half not yet.
    const QPoint c = QRect(16, 16, 200, 100).center();
    const auto blue = [](QColor col) { return col.blue() > 150 && col.red() < 80; };
    bool right = false, left = false;
    for (int dx = 20; dx < 48; ++dx) {
        right = right || blue(image.pixelColor(c.x() + dx, c.y()));
        left = left || blue(image.pixelColor(c.x() - dx, c.y()));
    }
    EXPECT_TRUE(right);
    EXPECT_FALSE(left);
    board.setDwell(QRect(), 0);
    EXPECT_EQ(board.dwellProgress(), 0);
}

TEST(UseBoardAdapt, SignsShowInTheTopRightCornerWhileTheyLast) {
    Template t;
    t.appendArea(areaRect(0, 0, 640, 445, 0));
    UseBoard board(t);
    board.resize(640, 445);
    QImage before(board.size(), QImage::Format_ARGB32);
    board.render(&before);
    board.setSign(0, QStringLiteral("Escoltant la veu"));
    board.setSign(1, QStringLiteral("Registre d'ús actiu"));
    board.flashSign(QStringLiteral("Premuda massa curta"));
    EXPECT_EQ(board.signs(),
              QStringList({"Escoltant la veu", QString::fromUtf8("Registre d'ús actiu"),
                           "Premuda massa curta"}));
    QImage shown(board.size(), QImage::Format_ARGB32);
    board.render(&shown);
    EXPECT_NE(shown.pixelColor(630, 8).rgb(), before.pixelColor(630, 8).rgb());
    EXPECT_EQ(shown.pixelColor(10, 440).rgb(), before.pixelColor(10, 440).rgb());
    board.setSign(0, QString());
    EXPECT_EQ(board.signs().size(), 2);
}

TEST(EditBoardUsage, TheHeatMapShowsTheCountsOfTheBoard) {
    Template t;
    t.appendArea(areaRect(0, 0, 640, 445, 0));
    t.appendArea(areaRect(10, 10, 300, 200));
    t.appendArea(areaRect(340, 10, 630, 200));
    EditBoard board(t);
    board.resize(640, 445);
    board.setCoverVisible(false);
    QImage before(board.size(), QImage::Format_ARGB32);
    board.render(&before);
    board.setUsage({{2, 10}, {3, 1}});
    QImage after(board.size(), QImage::Format_ARGB32);
    board.render(&after);
    const QColor hot = after.pixelColor(30, 30);
    const QColor cool = after.pixelColor(360, 30);
    EXPECT_NE(hot.rgb(), before.pixelColor(30, 30).rgb());
    // The most used area is redder (less green) than the one used once.
    EXPECT_LT(hot.green(), cool.green());
    board.setUsage({});
    QImage off(board.size(), QImage::Format_ARGB32);
    board.render(&off);
    EXPECT_EQ(off.pixelColor(30, 30).rgb(), before.pixelColor(30, 30).rgb());
}
