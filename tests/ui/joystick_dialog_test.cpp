#include "access/ui/joystick_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "access/access_actions.h"
#include "access/access_engine.h"
#include "app/ui/main_window.h"
#include "app/ui/window_controller.h"
#include "app/use_mode.h"
#include "i18n/ui/translate_form.h"
#include "support/test_support.h"
#include "ui_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

template <typename T>
T* child(QWidget& parent, const char* name) {
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

UserProfile joystickProfile() {
    UserProfile p;
    p.accessMode = kModeJoystick;
    p.n_joystic = 1;
    p.joystic_sensi = 3;
    p.joystic_retard = 25;
    p.gruix = 6;
    p.color = 65280;
    return p;
}

}  // namespace

TEST(JoystickDialog, ShowsTheProfile) {
    struct {
        int mode, sensi, retard;
        int option;  // the option checked
        const char* shownSensi;
        const char* shownRetard;
    } cases[] = {
        {kModeJoystick, 3, 25, 0, "3", "25"},
        {kModeMultimouse, 1, 10, 1, "1", "10"},
        {kModeMultimouse, 1, 1, 1, "1", "1"},  // the bars' first values show too
        {kModeJoystick, 0, 400, 0, "1", "100"},
    };
    for (const auto& c : cases) {
        UserProfile p = joystickProfile();
        p.accessMode = std::int16_t(c.mode);
        p.joystic_sensi = std::int16_t(c.sensi);
        p.joystic_retard = std::int16_t(c.retard);
        JoystickDialog d(p);
        EXPECT_EQ(d.objectName(), QStringLiteral("USR_JOYSTIC"));
        auto* option = child<QRadioButton>(d, c.option == 0 ? "modus_0" : "modus_1");
        auto* other = child<QRadioButton>(d, c.option == 0 ? "modus_1" : "modus_0");
        EXPECT_TRUE(option->isChecked()) << c.mode;
        EXPECT_FALSE(other->isChecked()) << c.mode;
        EXPECT_FALSE(option->isEnabled()) << "the options only show what was found";
        EXPECT_EQ(child<QLineEdit>(d, "intensitat_0")->text(), QLatin1String(c.shownSensi));
        EXPECT_EQ(child<QLineEdit>(d, "intensitat_1")->text(), QLatin1String(c.shownRetard));
        EXPECT_EQ(child<QScrollBar>(d, "HScroll1_0")->value(),
                  QString::fromLatin1(c.shownSensi).toInt());
        EXPECT_EQ(child<QLineEdit>(d, "Gruix")->text(), QStringLiteral("6"));
        // Without a joystick the dialog says so.
        EXPECT_EQ(!d.notice()->isHidden(), c.option == 1) << c.mode;
    }
}

TEST(JoystickDialog, BarsWriteTheirBoxesAndAcceptStoresThem) {
    UserProfile p = joystickProfile();
    JoystickDialog d(p);
    d.show();
    auto* sensi = child<QScrollBar>(d, "HScroll1_0");
    auto* retard = child<QScrollBar>(d, "HScroll1_1");
    // Both bars are worked from the keyboard; the first has the focus on opening.
    EXPECT_EQ(sensi->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(retard->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(d.focusWidget(), sensi);
    QTest::keyClick(sensi, Qt::Key_Right);
    QTest::keyClick(sensi, Qt::Key_Right);
    EXPECT_EQ(child<QLineEdit>(d, "intensitat_0")->text(), QStringLiteral("5"));
    QTest::keyClick(sensi, Qt::Key_End);
    QTest::keyClick(sensi, Qt::Key_Right);  // no further than 9
    EXPECT_EQ(child<QLineEdit>(d, "intensitat_0")->text(), QStringLiteral("9"));
    QTest::keyClick(retard, Qt::Key_PageDown);
    QTest::keyClick(retard, Qt::Key_Left);
    EXPECT_EQ(child<QLineEdit>(d, "intensitat_1")->text(), QStringLiteral("14"));
    auto* gruix = child<QLineEdit>(d, "Gruix");
    gruix->clear();
    QTest::keyClicks(gruix, QStringLiteral("0"));
    d.setColorChooser([](const QColor&, QWidget*) { return std::optional<QColor>(Qt::blue); });
    QTest::mouseClick(child<QPushButton>(d, "Command1"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(d, "buto_0"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(p.joystic_sensi, 9);
    EXPECT_EQ(p.joystic_retard, 14);
    EXPECT_EQ(p.gruix, 8) << "a thickness of 0 becomes 8";
    EXPECT_EQ(p.color, 16711680.0);
    EXPECT_EQ(p.accessMode, kModeJoystick);
}

TEST(JoystickDialog, CancelStoresNothing) {
    UserProfile p = joystickProfile();
    const UserProfile before = p;
    JoystickDialog d(p);
    d.show();
    QTest::keyClick(child<QScrollBar>(d, "HScroll1_0"), Qt::Key_Right);
    QTest::mouseClick(child<QPushButton>(d, "buto_1"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(p, before);
}

TEST(JoystickDialog, CaptionsPassThroughTheCaptionTable) {
    UserProfile p = joystickProfile();
    p.accessMode = kModeMultimouse;
    JoystickDialog d(p);
    translateForm(&d);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Josytick"));
    EXPECT_EQ(child<QLabel>(d, "Label_0")->text(), QStringLiteral("Intensidad"));
    EXPECT_EQ(child<QLabel>(d, "Label_1")->text(), QStringLiteral("Sensibilidad"));
    EXPECT_EQ(child<QLabel>(d, "Label_2")->text(), QStringLiteral("Grosor del marco"));
    EXPECT_EQ(child<QPushButton>(d, "Command1")->text(), QStringLiteral("Color del marco"));
    EXPECT_EQ(child<QPushButton>(d, "buto_0")->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(child<QPushButton>(d, "buto_1")->text(), QStringLiteral("Cancelar"));
    EXPECT_TRUE(d.notice()->text().startsWith(
        QStringLiteral("No se ha encontrado ningún joystick")))
        << d.notice()->text().toStdString();
}

namespace {

struct MenuFixture {
    MenuFixture() {
        session.tmpl.appendArea(areaRect(0, 0, 640, 445, 0));
        session.tmpl.appendArea(areaRect(10, 10, 300, 200));
        session.tmpl.appendArea(areaRect(340, 10, 630, 200));
        window.show();
    }
    // Chooses "&Joystic" and presses `button` of the joystick dialog when it shows.
    QString chooseJoystick(const char* button) {
        QString seen;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            seen = modal->objectName();
            if (auto* b = modal->findChild<QPushButton*>(QString::fromLatin1(button)))
                QTest::mouseClick(b, Qt::LeftButton);
            else
                modal->close();
        });
        window.menus().tipusExploracio.at(4)->trigger();
        return seen;
    }
    int checkedItem() const {
        for (QAction* a : window.menus().tipusExploracio)
            if (a->isChecked()) return a->data().toInt();
        return -1;
    }
    FakeSessionFixture f;
    Session& session = *f.session;
    MainWindow window{session};
    PlayerActions actions{session};
    AccessEngine engine{session, actions};
    UseMode useMode{session, engine};
    WindowController controller{session, window, engine, useMode};
};

}  // namespace

TEST(JoystickDialog, OpensFromTheAccessMenuWithoutAStick) {
    MenuFixture m;
    EXPECT_EQ(m.chooseJoystick("buto_0"), QStringLiteral("USR_JOYSTIC"));
    EXPECT_EQ(m.session.profile.accessMode, kModeMultimouse);
    EXPECT_EQ(m.session.profile.n_joystic, 100);
    EXPECT_EQ(m.checkedItem(), 4);
    EXPECT_EQ(m.session.profile.joystic_retard, 10);
}

TEST(JoystickDialog, CancelReturnsToTheMouse) {
    MenuFixture m;
    m.f.fake.joystick.sticks[0] = JoystickState{32768, 32768, 0, 0};
    m.session.profile.accessMode = kModeAutoScan;
    ASSERT_TRUE(m.useMode.enterUseMode());
    EXPECT_EQ(m.chooseJoystick("buto_1"), QStringLiteral("USR_JOYSTIC"));
    EXPECT_EQ(m.session.profile.accessMode, kModeMouse);
    EXPECT_EQ(m.checkedItem(), 0);
    EXPECT_FALSE(m.session.timer3->enabled()) << "neither scanning nor polling goes on";
    m.useMode.leaveUseMode();
}

TEST(JoystickDialog, AcceptInUseModeStartsPolling) {
    MenuFixture m;
    m.f.fake.joystick.sticks[0] = JoystickState{32768, 32768, 0, 0};
    ASSERT_TRUE(m.useMode.enterUseMode());
    EXPECT_EQ(m.chooseJoystick("buto_0"), QStringLiteral("USR_JOYSTIC"));
    EXPECT_EQ(m.session.profile.accessMode, kModeJoystick);
    EXPECT_EQ(m.checkedItem(), 4);
    EXPECT_TRUE(m.session.timer3->enabled());
    EXPECT_EQ(m.session.timer3->interval(), 1000);
    EXPECT_EQ(m.session.access.scanPosition, 3);
    m.f.fake.joystick.sticks[0] = JoystickState{0, 32768, 0, 0};
    m.engine.timer3Tick();
    EXPECT_EQ(m.session.access.scanPosition, 2);
    m.useMode.leaveUseMode();
}
