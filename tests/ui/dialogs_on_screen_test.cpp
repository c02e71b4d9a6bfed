#include "app/ui/dialogs_on_screen.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

using namespace vexil;

TEST(DialogsOnScreen, ADialogOpensWholeOnItsScreen) {
    DialogsOnScreen keeper;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        const char* what;
        QRect asked;
    };
    const Case cases[] = {
        {"beside a window at the right edge", QRect(screen.right() - 100, 100, 400, 300)},
        {"below the bottom", QRect(50, screen.bottom() - 50, 300, 250)},
        {"above and left of the screen", QRect(-200, -150, 300, 200)},
        {"larger than the screen", QRect(0, 0, screen.width() + 400, screen.height() + 300)},
    };
    for (const Case& c : cases) {
        QDialog dialog;
        dialog.setGeometry(c.asked);
        dialog.show();
        // Whole, with room for the title bar above it.
        EXPECT_TRUE(screen.contains(dialog.geometry().adjusted(0, -30, 0, 0))) << c.what;
        dialog.hide();
    }
    // One that fits is left where it was put.
    QDialog fits;
    fits.setGeometry(QRect(screen.left() + 100, screen.top() + 100, 200, 150));
    fits.show();
    EXPECT_EQ(fits.geometry(), QRect(screen.left() + 100, screen.top() + 100, 200, 150));
}
