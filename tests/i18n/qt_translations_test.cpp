// Qt's own texts in Spanish beside the program's menus, the program's own texts untouched.
#include "i18n/qt_translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "help/help_book.h"
#include "i18n/ui/translate_form.h"

namespace vexil {
namespace {

TEST(QtTranslations, DialogButtonsAndContextMenusReadInSpanish) {
    ASSERT_TRUE(installQtTranslations(*qApp, interfaceLanguage()));
    EXPECT_FALSE(installQtTranslations(*qApp, QStringLiteral("xx")));

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Sí"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&No"));

    QFileDialog files(nullptr, QStringLiteral("Fitxer de plantilla"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    auto* buttons = files.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("&Abrir"));
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    // The program's own title is not Qt's to translate.
    EXPECT_EQ(files.windowTitle(), QStringLiteral("Fitxer de plantilla"));

    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList items;
    for (const QAction* a : menu->actions()) items << a->text().section(u'\t', 0, 0);
    EXPECT_TRUE(items.contains(QStringLiteral("&Pegar"))) << items.join(u'|').toStdString();

    // Captions the table leaves in Catalan stay Catalan.
    QWidget window;
    auto* ok = new QPushButton(QStringLiteral("D'Acord"), &window);
    translateForm(&window);
    EXPECT_EQ(ok->text(), QStringLiteral("D'Acord"));
}

}  // namespace
}  // namespace vexil
