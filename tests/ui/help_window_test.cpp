#include "help/ui/help_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include "access/ui/switch_dialog.h"
#include "app/ui/editor_controller.h"
#include "app/ui/main_window.h"
#include "editor/ui/layout_dialogs.h"
#include "help/help_book.h"
#include "i18n/texts.h"
#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class HelpTest : public ::testing::Test {
protected:
    HelpTest() {
        f.session->folders.programFolder = sourceDir() + QStringLiteral("/examples");
        window = std::make_unique<MainWindow>(*f.session);
        window->show();
    }
    HelpWindow* helpWindow() const { return window->help()->window(); }
    // The page shown: its file name and anchor.
    QString shown() const {
        if (!helpWindow() || !helpWindow()->isVisible()) return QString();
        const QUrl url = helpWindow()->browser()->source();
        QString page = url.fileName();
        if (!url.fragment().isEmpty()) page += u'#' + url.fragment();
        return url.adjusted(QUrl::RemoveFilename).path().section(u'/', -2, -2) + u'/' + page;
    }

    FakeSessionFixture f;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(HelpTest, HelpMenuItemsOpenTheIndexAndTheKeySequences) {
    const MainMenus& m = window->menus();
    EXPECT_TRUE(m.indexAjuda->isEnabled());
    m.indexAjuda->trigger();
    EXPECT_EQ(shown(), QStringLiteral("es/index.html"));
    EXPECT_FALSE(helpWindow()->browser()->toPlainText().isEmpty());
    EXPECT_TRUE(helpWindow()->windowTitle().startsWith(QStringLiteral("Vexil - ")));
    m.seqTecles->trigger();
    EXPECT_EQ(shown(), QStringLiteral("es/tecles.html"));
    EXPECT_EQ(m.seqTecles->objectName(), QStringLiteral("HelpTecles"));
}

TEST_F(HelpTest, AboutShowsTheVersion) {
    window->menus().quantAl->trigger();
    const QStringList messages = f.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(programVersion()));
    EXPECT_TRUE(messages[0].startsWith(messageText(6)));
}

TEST_F(HelpTest, F1InTheEditorOpensTheIndexAndInThePanelItsTopic) {
    EditorController controller(*f.session, *window);
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(shown(), QStringLiteral("es/index.html"));
    helpWindow()->hide();
    auto* keys = window->findChild<QLineEdit*>(QStringLiteral("TxText"));
    keys->setFocus();
    QTest::keyClick(keys, Qt::Key_F1);
    EXPECT_EQ(shown(), QStringLiteral("es/editor.html#panell"));
}

TEST_F(HelpTest, F1InADialogOpensItsTopic) {
    struct Case {
        std::function<QDialog*(QWidget*)> make;
        const char* page;
    };
    UserProfile profile;
    const Case cases[] = {
        {[](QWidget* p) { return new RdmDialog(p); }, "es/editor.html#eines"},
        {[](QWidget* p) { return new QuadriculaDialog(p); }, "es/editor.html#eines"},
        {[&profile](QWidget* p) { return new SwitchDialog(profile, p); }, "es/acces.html#pulsadors"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QDialog> dialog(c.make(window.get()));
        QString seen;
        // Pressed while the dialog runs modally, as a user would.
        QTimer::singleShot(0, dialog.get(), [&] {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : dialog.get(), Qt::Key_F1);
            seen = shown();
            // The help can be used while the dialog is open: it is the dialog's transient.
            EXPECT_EQ(helpWindow()->windowHandle()->transientParent(), dialog->windowHandle());
            dialog->reject();
        });
        dialog->exec();
        EXPECT_EQ(seen, QString::fromLatin1(c.page)) << dialog->objectName().toStdString();
        helpWindow()->hide();
    }
}

TEST_F(HelpTest, AnyCodeCanShowATopicAndUseModeIgnoresF1) {
    EXPECT_TRUE(showHelpTopic(help_topic::AuxKeyboard));
    EXPECT_EQ(shown(), QStringLiteral("es/teclat-auxiliar.html"));
    helpWindow()->hide();
    f.session->view->enterUseModeDisplay(QRect(0, 300, 640, 445));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(shown(), QString());
    {
        // A dialog opened in use mode keeps its help.
        RdmDialog dialog(window.get());
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_F1);
        EXPECT_EQ(shown(), QStringLiteral("es/editor.html#eines"));
        helpWindow()->hide();
    }
    f.session->view->leaveUseModeDisplay();
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(shown(), QStringLiteral("es/index.html"));
}

TEST_F(HelpTest, LinksBetweenPagesStayInTheWindow) {
    window->help()->showTopic(help_topic::Index);
    QTextBrowser* browser = helpWindow()->browser();
    // The first link of the index, followed from the keyboard.
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("es/editor.html"));
    EXPECT_TRUE(browser->isBackwardAvailable());
    browser->backward();
    EXPECT_EQ(shown(), QStringLiteral("es/index.html"));
}

TEST(HelpMissing, AProgramWithoutItsHelpSaysSo) {
    FakeSessionFixture f;
    MainWindow window(*f.session);  // the fixture's program folder holds no help
    window.menus().indexAjuda->trigger();
    const QStringList messages = f.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(messageText(15)));
    EXPECT_TRUE(window.help()->window() == nullptr || !window.help()->window()->isVisible());
}

TEST_F(HelpTest, F1InTheBoardPropertiesOpensTheirTopic) {
    EditorController controller(*f.session, *window);
    QString seen;
    controller.runDialog = [&](QDialog& d) {
        d.setModal(true);
        d.show();
        auto* tecles = d.findChild<QLineEdit*>(QStringLiteral("Tecles"));
        tecles->setFocus();
        QTest::keyClick(tecles, Qt::Key_F1);
        seen = shown();
        return false;
    };
    window->menus().dadesGlobals->trigger();
    EXPECT_EQ(seen, QStringLiteral("es/editor.html#dades-globals"));
}
