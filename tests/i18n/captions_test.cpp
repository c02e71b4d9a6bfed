#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "i18n/texts.h"
#include "i18n/ui/translate_form.h"

namespace vexil {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

struct CaptionCase {
    const char* catalan;
    const char* spanish;
};

// The rows whose exact form matters: odd spellings, blanks, dropped punctuation.
const CaptionCase kTellingRows[] = {
    {"&Dades generals", "&Datoss generales"},
    {"Acceptar", "Aceptar"},
    {"Caràtula", "Carátula"},
    {"D 'Acord", "Aceptar"},
    {"D'Acord", "D'Acord"},  // not in the table
    {"----- àrees", "-----  áreas"},
    {"&So actiu", "&Sonido activado"},
    {"So actiu", "Sonido"},
    {"Fitxer...", "Archivo"},
    {"Descripció:", "Descripción"},
    {"Documentació:", "Documentación"},
    {"Aixecar botó esquerra", " Soltar botón izquierdo"},
    {"Enganxar", "Pegar "},
    {"Escoltar", "Escuchar "},
    {"Teclat Auxiliar", "Teclado Auxiliar "},
    {"&Quant al Vexil...", "&Acerca de Vexil..."},
    {"Mouse Aixecar botó dret", "Mouse Aixecar botó dret"},
    {"Fi", "Finalizar"},
    {"Canvi de plafó", "Cambió de plafón"},
    {"&Fitxers", "&Archivos"},
    {"&Obrir ...", "&Abrir ..."},
    {"Usuari &Nou", "Usuario &Nuevo"},
    {"Llista de tecles ", "Lista de teclas "},
    {"Llista de tecles", "Llista de tecles"},  // the key holds a trailing blank
    {"acceptar", "acceptar"},                  // compared with its case
    {"", ""},
};

void PrintTo(const CaptionCase& c, std::ostream* out) {
    *out << '"' << c.catalan << '"';
}

class CaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionTest, TranslatesWholeCaptionsExactly) {
    EXPECT_EQ(translateCaption(u8(GetParam().catalan)), u8(GetParam().spanish))
        << GetParam().catalan;
}

INSTANTIATE_TEST_SUITE_P(TellingRows, CaptionTest, testing::ValuesIn(kTellingRows));

// Items beyond the old design are translated too, without joining the table.
TEST(CaptionTable, ItemsAddedByThisProgramAreTranslated) {
    EXPECT_EQ(translateCaption(QStringLiteral("Refer")), QStringLiteral("Rehacer"));
    EXPECT_EQ(translateCaption(QStringLiteral("&Refer")), QStringLiteral("&Refer"));
}

TEST(CaptionTable, HoldsItsRowsInOrder) {
    const auto rows = captionTable();
    ASSERT_EQ(rows.size(), 176u);
    EXPECT_EQ(QStringView(rows[0].catalan), u"1 Ordre");
    EXPECT_EQ(QStringView(rows[3].catalan), u"----- àrees");
    EXPECT_EQ(QStringView(rows[12].spanish), u"&Datos generales");  // never reached
    EXPECT_EQ(QStringView(rows[175].catalan), u"Veure");
    // Only the known keys repeat, and every translation keeps its menu accelerator.
    QStringList seen;
    QStringList repeated;
    for (const CaptionRow& row : rows) {
        const QString key = QString::fromUtf16(row.catalan);
        if (seen.contains(key)) repeated << key;
        seen << key;
        EXPECT_EQ(key.count(u'&'), QString::fromUtf16(row.spanish).count(u'&'))
            << key.toStdString();
    }
    EXPECT_EQ(repeated, (QStringList{"&Dades generals", "Acceptar", u8("Caràtula")}));
}

struct CommandCase {
    const char* stored;
    const char* displayed;
};

const CommandCase kCommandCases[] = {
    {"{|Carrega PLANA.VXL}", "{|Carga PLANA.VXL}"},
    {"{|Sona a.wav}{|Sona b.wav}", "{|Suena a.wav}{|Suena b.wav}"},
    {"{|Enganxa a}x{|Enganxa b}{|Nivell 1}{|Nivell 2}", "{|Pega a}x{|Pega b}{|Nivel1}{|Nivel2}"},
    {"{|Espera 5}{|Espera 6}", "{|Espera 5}{|Espera 6}"},
    {"{|Nivell 2}", "{|Nivel2}"},
    {"{|Mouse CE}{|Mouse 2CE}{|Mouse AE}", "{|Mouse CI}{|Mouse 2CI}{|Mouse AI}"},
    {"{|Mouse PE x y }", "{|Mouse PI x y }"},
    {"{|SIM {cert}}{|SIM {fals}}", "{|SIM {cierto}}{|SIM {falso}}"},
    {"{|Tria}{|Tancar}", "{|Escoge}{|Cerrar}"},
    {"hola{ENTER}", "hola{ENTER}"},
    {"", ""},
    {"{|Llegir x}{|Llegeix y}{|Enganxa z}{|Executa w}", "{|Leer x}{|Lee y}{|Pega z}{|Ejecuta w}"},
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.stored;
}

class CommandNamesTest : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandNamesTest, DisplaysStoredNamesAndStoresThemBack) {
    const CommandCase& c = GetParam();
    EXPECT_EQ(translateCommands(u8(c.stored), 0), u8(c.displayed)) << c.stored;
    EXPECT_EQ(translateCommands(u8(c.displayed), 1), u8(c.stored)) << c.displayed;
}

INSTANTIATE_TEST_SUITE_P(Sequences, CommandNamesTest, testing::ValuesIn(kCommandCases));

TEST(CommandNames, TableHasItsTwentyFiveRows) {
    ASSERT_EQ(commandNameTable().size(), 25u);
    EXPECT_EQ(QStringView(commandNameTable()[19].catalan), u"{|Nivell ");
    EXPECT_EQ(QStringView(commandNameTable()[19].spanish), u"{|Nivel");
}

TEST(CommandNames, OneWayOnlyCases) {
    // A displayed name typed with a blank gets a second one when stored.
    EXPECT_EQ(translateCommands("{|Nivel 2}", 1), "{|Nivell  2}");
    // Every displayed name goes back to the stored one, not only the first.
    EXPECT_EQ(translateCommands("{|Suena}{|Suena}", 1), "{|Sona}{|Sona}");
    // The end marks never leak into the result.
    EXPECT_EQ(translateCommands("#", 0), "#");
    EXPECT_EQ(translateCommands("##{fals}##", 0), "##{falso}##");
}

TEST(TranslateForm, TranslatesEveryCaptionOfTheWindow) {
    QMainWindow window;
    window.setWindowTitle("Teclat Auxiliar");
    QMenu* files = window.menuBar()->addMenu("&Fitxers");
    QAction* open = files->addAction(u8("&Obrir ..."));
    files->addSeparator();
    QMenu* sub = files->addMenu(u8("&Accessibilitat"));
    QAction* voice = sub->addAction("&Veu");
    QAction* unknown = sub->addAction("&Joystic");
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);
    auto* ok = new QPushButton("D 'Acord", central);
    auto* keep = new QPushButton("D'Acord", central);
    auto* label = new QLabel(u8("Descripció:"), central);
    auto* box = new QGroupBox("Color del marc", central);
    auto* check = new QCheckBox("So actiu", box);
    auto* edit = new QLineEdit("Fi", central);  // a text box has no caption

    translateForm(&window);

    EXPECT_EQ(window.windowTitle(), "Teclado Auxiliar ");
    EXPECT_EQ(files->title(), "&Archivos");
    EXPECT_EQ(open->text(), "&Abrir ...");
    EXPECT_EQ(sub->title(), "&Accesibilidad");
    EXPECT_EQ(voice->text(), "&Voz");
    EXPECT_EQ(unknown->text(), "&Joystic");
    EXPECT_EQ(ok->text(), "Aceptar");
    EXPECT_EQ(keep->text(), "D'Acord");
    EXPECT_EQ(label->text(), u8("Descripción"));
    EXPECT_EQ(box->title(), "Color del marco");
    EXPECT_EQ(check->text(), "Sonido");
    EXPECT_EQ(edit->text(), "Fi");

    translateForm(nullptr);  // nothing to do, no failure
}

}  // namespace
}  // namespace vexil
