// The question of an untrusted board answered from the keyboard, as a switch or key user
// answers it: nothing but a deliberate choice trusts the board.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "platform/qt/qt_dialogs.h"

using namespace vexil;

namespace {

struct KeysCase {
    const char* name;
    int scanIntervalMs;
    std::vector<Qt::Key> keys;
    bool trusted;
};

const KeysCase kKeyCases[] = {
    {"EnterTakesTheSafeChoice", 0, {Qt::Key_Return}, false},
    {"TabThenEnterTrusts", 0, {Qt::Key_Tab, Qt::Key_Return}, true},
    {"ArrowThenSpaceTrusts", 0, {Qt::Key_Down, Qt::Key_Space}, true},
    {"ArrowsComeBack", 0, {Qt::Key_Down, Qt::Key_Up, Qt::Key_Space}, false},
    {"EscapeDeclines", 0, {Qt::Key_Tab, Qt::Key_Escape}, false},
    // Scanning: the first press chooses what is highlighted, the safe choice at first.
    {"ScanningFirstPressIsTheSafeChoice", 60000, {Qt::Key_Tab, Qt::Key_Return}, false},
};

void PrintTo(const KeysCase& c, std::ostream* os) { *os << c.name; }

class TrustDialogKeys : public ::testing::TestWithParam<KeysCase> {};

}  // namespace

TEST_P(TrustDialogKeys, AnsweredFromTheKeyboard) {
    const KeysCase& c = GetParam();
    TrustQuestion q;
    q.title = QStringLiteral("Este tablero no es de confianza");
    q.actions = {QStringLiteral("Iniciar el programa: touch made"),
                 QStringLiteral("Escribir en el registro: [HKEY_CURRENT_USER\\Software\\V]")};
    q.trustButton = QStringLiteral("Confiar en este tablero");
    q.withoutButton = QStringLiteral("Usarlo sin esto");
    q.scanIntervalMs = c.scanIntervalMs;
    int listed = -1;
    bool open = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        open = true;
        if (auto* list = modal->findChild<QListWidget*>(QStringLiteral("trustActions")))
            listed = list->count();
        for (Qt::Key key : c.keys) {
            if (!modal->isVisible()) break;
            QWidget* target = QApplication::focusWidget();
            QTest::keyClick(target && modal->isAncestorOf(target) ? target : modal, key);
        }
        // A dialog the keys left open would block the test: close it as declined.
        if (modal->isVisible()) modal->close();
    });
    EXPECT_EQ(QtDialogs().askTrust(q), c.trusted);
    EXPECT_TRUE(open);
    EXPECT_EQ(listed, 2);
}

INSTANTIATE_TEST_SUITE_P(Keys, TrustDialogKeys, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });
