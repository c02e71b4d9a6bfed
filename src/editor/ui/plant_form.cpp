#include "editor/ui/plant_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editor/template_properties.h"
#include "help/help_book.h"
#include "editor/ui/folder_browser.h"
#include "i18n/texts.h"
#include "platform/paths.h"

namespace vexil {

namespace {

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int index = 0) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setProperty("index", index);
    b->setAutoDefault(false);
    return b;
}

void setText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

}  // namespace

PlantForm::PlantForm(TemplateProperties& properties, const DriveMap& drives, QWidget* parent)
    : QDialog(parent), p_(properties) {
    setObjectName(QStringLiteral("PlantForm"));
    setProperty("helpTopic", help_topic::Properties);
    setWindowTitle(QStringLiteral("Dades globals"));
    build(drives);
    wire();
    refresh();
    // The dialog opens on its first field, the cover picture.
    fitxGraf_->setFocus(Qt::OtherFocusReason);
}

void PlantForm::build(const DriveMap& drives) {
    drives_ = &drives;
    auto* grid = new QGridLayout(this);
    int row = 0;
    const auto add = [&](const QString& caption, QWidget* field, QWidget* b1 = nullptr,
                         QWidget* b2 = nullptr) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(field, row, 1);
        if (b1) grid->addWidget(b1, row, 2);
        if (b2) grid->addWidget(b2, row, 3);
        ++row;
    };
    fitxGraf_ = named(new QLineEdit(this), "FitxGraf");
    add(QStringLiteral("Caràtula:"), fitxGraf_,
        button(this, "SearchGraf", QStringLiteral("Fitxer...")),
        button(this, "PlayImg", QStringLiteral("Veure la Caràtula")));
    caratulaAuto_ = named(new QCheckBox(QStringLiteral("Automàtica"), this), "caratula_auto");
    grid->addWidget(caratulaAuto_, row++, 1);
    fitxDoc_ = named(new QLineEdit(this), "FitxDoc");
    add(QStringLiteral("Documentació:"), fitxDoc_,
        button(this, "SearchDoc", QStringLiteral("Fitxer...")),
        button(this, "PlayDoc", QStringLiteral("Veure la documentació")));
    descripcio_ = named(new QLineEdit(this), "descripcio");
    add(QStringLiteral("Descripció:"), descripcio_);

    auto* init = named(new QGroupBox(QStringLiteral("INICIALITZACIÓ"), this), "Shape1");
    auto* ig = new QGridLayout(init);
    ordres_ = named(new QLineEdit(init), "Ordres");
    programes_ = named(new QComboBox(init), "programes");
    programes_->setPlaceholderText(messageText(11));
    ig->addWidget(new QLabel(QStringLiteral("Programa"), init), 0, 0);
    ig->addWidget(ordres_, 0, 1);
    ig->addWidget(programes_, 0, 2);
    tecles_ = named(new QLineEdit(init), "Tecles");
    // The auxiliary keyboard writes here while this dialog is open.
    tecles_->setProperty("vexilKeyField", true);
    macros_ = named(new QComboBox(init), "Macros");
    macros_->setPlaceholderText(messageText(13));
    auto* hlpK = button(init, "HlpK", QStringLiteral("Tec Aux"));
    connect(hlpK, &QPushButton::clicked, this, [this] {
        if (showAuxiliaryKeyboard) showAuxiliaryKeyboard();
    });
    ig->addWidget(new QLabel(QStringLiteral("Tecles a enviar:"), init), 1, 0);
    ig->addWidget(tecles_, 1, 1);
    ig->addWidget(macros_, 1, 2);
    ig->addWidget(hlpK, 1, 3);
    txFinestra_ = named(new QLineEdit(init), "TxFinestra");
    ig->addWidget(new QLabel(QStringLiteral("Aplicació:"), init), 2, 0);
    ig->addWidget(txFinestra_, 2, 1);
    fitxClip_ = named(new QLineEdit(init), "FitxClip");
    ig->addWidget(new QLabel(QStringLiteral("Carregar fitxer a la carpeta:"), init), 3, 0);
    ig->addWidget(fitxClip_, 3, 1);
    ig->addWidget(button(init, "SearchClip", QStringLiteral("Fitxer...")), 3, 2);
    const char* const kinds[2] = {"TXT", "Gràfic"};
    auto* kindRow = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        option1_[i] = named(new QRadioButton(QString::fromUtf8(kinds[i]), init), "Option1");
        option1_[i]->setProperty("index", i);
        kindRow->addWidget(option1_[i]);
    }
    ig->addLayout(kindRow, 3, 3);
    grid->addWidget(init, row++, 0, 1, 4);

    pathdefault_ = named(new QLineEdit(this), "Pathdefault");
    add(QStringLiteral("Directori"), pathdefault_,
        button(this, "SearchPath", QStringLiteral("Path")));
    frame1_ = named(new QGroupBox(QStringLiteral("Directori"), this), "Frame1");
    auto* fl = new QVBoxLayout(frame1_);
    browser_ = new FolderBrowser(drives, {QStringLiteral("*")}, frame1_);
    fl->addWidget(browser_);
    auto* fb = new QHBoxLayout;
    fb->addWidget(button(frame1_, "direcboto", QStringLiteral("Acceptar"), 0));
    fb->addWidget(button(frame1_, "direcboto", QStringLiteral("Abandonar"), 1));
    fl->addLayout(fb);
    frame1_->hide();
    grid->addWidget(frame1_, row++, 0, 1, 4);

    auto* voice = new QGroupBox(QStringLiteral("Síntesis de veu UPCTV"), this);
    auto* vg = new QGridLayout(voice);
    svIdioma_ = named(new QListWidget(voice), "sv_idioma");
    svIdioma_->addItems({QStringLiteral("Catala"), QStringLiteral("Español")});
    svLocutor_ = named(new QListWidget(voice), "sv_locutor");
    svLocutor_->addItems({QStringLiteral("Home"), QStringLiteral("Dona")});
    svVelocitat_ = named(new QLineEdit(voice), "SV_velocitat");
    for (QListWidget* list : {svIdioma_, svLocutor_}) list->setMaximumHeight(48);
    vg->addWidget(new QLabel(QStringLiteral("Idioma"), voice), 0, 0);
    vg->addWidget(new QLabel(QStringLiteral("Veu"), voice), 0, 1);
    vg->addWidget(new QLabel(QStringLiteral("Velocitat"), voice), 0, 2);
    vg->addWidget(svIdioma_, 1, 0);
    vg->addWidget(svLocutor_, 1, 1);
    vg->addWidget(svVelocitat_, 1, 2);
    grid->addWidget(voice, row++, 0, 1, 4);

    auto* buttons = new QHBoxLayout;
    auto* ok = button(this, "BotoOk", QStringLiteral("D'Acord"));
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(button(this, "BotoCancel", QStringLiteral("Anul·lació")));
    grid->addLayout(buttons, row, 0, 1, 4);
}

void PlantForm::wire() {
    PropertiesFields& f = p_.fields;
    const auto bind = [this](QLineEdit* edit, QString PropertiesFields::*field) {
        connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& text) {
            if (!refreshing_) p_.fields.*field = text;
        });
    };
    bind(fitxGraf_, &PropertiesFields::fitxGraf);
    bind(fitxDoc_, &PropertiesFields::fitxDoc);
    bind(descripcio_, &PropertiesFields::descripcio);
    bind(ordres_, &PropertiesFields::ordres);
    bind(tecles_, &PropertiesFields::tecles);
    bind(txFinestra_, &PropertiesFields::txFinestra);
    bind(fitxClip_, &PropertiesFields::fitxClip);
    bind(svVelocitat_, &PropertiesFields::svVelocitat);
    connect(pathdefault_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!refreshing_) p_.setFolder(text);
    });
    connect(caratulaAuto_, &QCheckBox::toggled, this, [this, &f](bool on) {
        if (!refreshing_) f.caratulaAuto = on;
    });
    for (int i = 0; i < 2; ++i) {
        connect(option1_[i], &QRadioButton::clicked, this, [this, i] {
            p_.setClipKind(i);
            refresh();
        });
    }
    connect(svIdioma_, &QListWidget::currentRowChanged, this, [this, &f](int row) {
        if (!refreshing_) f.svIdioma = row;
    });
    connect(svLocutor_, &QListWidget::currentRowChanged, this, [this, &f](int row) {
        if (!refreshing_) f.svLocutor = row;
    });
    connect(programes_, &QComboBox::activated, this, [this](int index) {
        p_.chooseProgram(index);
        refresh();
    });
    connect(macros_, &QComboBox::activated, this, [this](int index) {
        p_.chooseMacro(index);
        refresh();
    });
    const auto onButton = [this](const char* name, void (TemplateProperties::*action)()) {
        auto* b = findChild<QPushButton*>(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [this, action] { run(action); });
    };
    onButton("SearchGraf", &TemplateProperties::searchGraf);
    onButton("PlayImg", &TemplateProperties::playImg);
    onButton("SearchDoc", &TemplateProperties::searchDoc);
    onButton("PlayDoc", &TemplateProperties::playDoc);
    onButton("SearchClip", &TemplateProperties::searchClip);
    connect(findChild<QPushButton*>(QStringLiteral("SearchPath")), &QPushButton::clicked, this,
            [this] {
                // The board's folder as this machine names it; a folder that is not here
                // opens the home folder, so that the frame always shows where it is.
                const QString here = realPath(p_.fields.pathdefault, QString(), *drives_);
                browser_->setFolder(QDir(here).exists() && !p_.fields.pathdefault.isEmpty()
                                        ? here
                                        : QDir::homePath());
                frame1_->show();
            });
    const QList<QPushButton*> direcboto = frame1_->findChildren<QPushButton*>("direcboto");
    connect(direcboto.at(0), &QPushButton::clicked, this, [this] {
        // The folder is taken at once, as typing it would.
        pathdefault_->setText(browser_->folder());
        frame1_->hide();
    });
    connect(direcboto.at(1), &QPushButton::clicked, frame1_, &QWidget::hide);
    connect(findChild<QPushButton*>(QStringLiteral("BotoOk")), &QPushButton::clicked, this, [this] {
        p_.accept();
        accept();
    });
    connect(findChild<QPushButton*>(QStringLiteral("BotoCancel")), &QPushButton::clicked, this,
            &QDialog::reject);
}

void PlantForm::run(void (TemplateProperties::*action)()) {
    (p_.*action)();
    refresh();
}

void PlantForm::refresh() {
    const PropertiesFields& f = p_.fields;
    refreshing_ = true;
    setText(fitxGraf_, f.fitxGraf);
    caratulaAuto_->setChecked(f.caratulaAuto);
    setText(fitxDoc_, f.fitxDoc);
    setText(descripcio_, f.descripcio);
    setText(ordres_, f.ordres);
    setText(tecles_, f.tecles);
    setText(txFinestra_, f.txFinestra);
    setText(fitxClip_, f.fitxClip);
    option1_[f.option1 == 1 ? 1 : 0]->setChecked(true);
    setText(pathdefault_, f.pathdefault);
    svIdioma_->setCurrentRow(f.svIdioma);
    svLocutor_->setCurrentRow(f.svLocutor);
    setText(svVelocitat_, f.svVelocitat);
    // The lists show their prompt until something is chosen.
    if (programes_->count() != f.programes.size()) {
        programes_->clear();
        programes_->addItems(f.programes);
        programes_->setCurrentIndex(-1);
    }
    QStringList shown;
    for (int i = 0; i < macros_->count(); ++i) shown << macros_->itemText(i);
    if (shown != f.macros) {
        macros_->clear();
        macros_->addItems(f.macros);
        macros_->setCurrentIndex(-1);
    }
    refreshing_ = false;
}

}  // namespace vexil
