#include "access/ui/voice_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWindow>

#include "access/ui/voice_windows.h"
#include "access/vb_color.h"
#include "access/voice_control.h"
#include "help/help_book.h"
#include "i18n/ui/translate_form.h"
#include "session/session.h"

namespace vexil {

namespace {

QLineEdit* numberBox(const QString& name, const QString& text, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setMaximumWidth(60);
    return box;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* label(const QString& name, const QString& caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

VoiceDialog::VoiceDialog(Session& session, QWidget* parent)
    : QDialog(parent), s_(session), runWindow_([](QDialog& d) { d.exec(); }) {
    setObjectName(QStringLiteral("veu"));
    setWindowTitle(QStringLiteral("Control per veu"));
    setProperty("helpTopic", help_topic::VoiceDialog);
    setModal(true);
    // The dialog stays above every other window while it is open.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* orders = new QGroupBox(QStringLiteral("Ordres"), this);
    orders->setObjectName(QStringLiteral("Frame_ordres"));
    auto* ordersLayout = new QVBoxLayout(orders);
    auto* group = new QButtonGroup(this);
    const char* const captions[3] = {"1 Ordre", "2 Ordres", "5 Ordres"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(captions[i]), orders);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        group->addButton(b, i);
        ordersLayout->addWidget(b);
        options_.at(std::size_t(i)) = b;
    }
    top->addWidget(orders);

    auto* form = new QFormLayout;
    retard_ = numberBox(QStringLiteral("retard"), QStringLiteral("10"), this);
    gruix_ = numberBox(QStringLiteral("Gruix"), QStringLiteral("8"), this);
    form->addRow(label(QStringLiteral("Label_retard"), QStringLiteral("Temps de presentació"), this),
                 retard_);
    form->addRow(label(QStringLiteral("Label_gruix"), QStringLiteral("Gruix del marc"), this),
                 gruix_);
    colorRow_ = new FrameColorRow(this);
    form->addRow(colorRow_);
    top->addLayout(form);
    layout->addLayout(top);

    auto* recognition = new QGridLayout;
    decimesLabel_ = label(QStringLiteral("Label_decimes"), QStringLiteral("Dècimes de registre"), this);
    decimes_ = numberBox(QStringLiteral("decimes"), QStringLiteral("1"), this);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName(QStringLiteral("HScroll1"));
    scroll_->setRange(1, 14);
    scroll_->setValue(1);
    scroll_->setMinimumWidth(160);
    recognition->addWidget(decimesLabel_, 0, 0);
    recognition->addWidget(decimes_, 0, 1);
    recognition->addWidget(scroll_, 0, 2);
    training_ = button(QStringLiteral("CommandEntrenament"), QStringLiteral("&Entrenament"), this);
    save_ = button(QStringLiteral("CommandGuardar"), QStringLiteral("&Guardar..."), this);
    graphs_ = button(QStringLiteral("CommandVeureLesFuncions"), QStringLiteral(" &Millorar..."), this);
    level_ = button(QStringLiteral("CommandControlDelVolum"), QStringLiteral("Control del &volum"), this);
    recognition->addWidget(training_, 1, 0);
    recognition->addWidget(save_, 1, 1);
    recognition->addWidget(graphs_, 1, 2);
    recognition->addWidget(level_, 1, 3);
    layout->addLayout(recognition);

    auto* buttons = new QHBoxLayout;
    accept_ = button(QStringLiteral("buto_0"), QStringLiteral("Acceptar"), this);
    accept_->setDefault(true);
    cancel_ = button(QStringLiteral("buto_1"), QStringLiteral("Cancelar"), this);
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    // Until the recogniser is there (and has started) these wait.
    training_->setEnabled(false);
    decimes_->setEnabled(false);
    decimesLabel_->setEnabled(false);
    save_->setEnabled(false);
    graphs_->setEnabled(false);
    level_->setEnabled(false);

    connect(group, &QButtonGroup::idClicked, this, &VoiceDialog::optionChosen);
    connect(scroll_, &QScrollBar::valueChanged, this,
            [this](int v) { decimes_->setText(QString::number(v)); });
    connect(training_, &QPushButton::clicked, this, &VoiceDialog::train);
    connect(save_, &QPushButton::clicked, this, &VoiceDialog::saveSounds);
    connect(graphs_, &QPushButton::clicked, this, &VoiceDialog::showGraphs);
    connect(level_, &QPushButton::clicked, this, &VoiceDialog::showLevel);
    connect(accept_, &QPushButton::clicked, this, &VoiceDialog::acceptEntry);
    connect(cancel_, &QPushButton::clicked, this, &VoiceDialog::cancelEntry);
}

void VoiceDialog::load() {
    translateForm(this);
    const UserProfile& p = s_.profile;
    retard_->setText(QString::number(p.temps));
    gruix_->setText(QString::number(p.gruix));
    colorRow_->setColor(colorFromNumber(p.color));
    if (s_.platform.recognizer.available()) {
        training_->setEnabled(true);
        decimes_->setEnabled(true);
        decimesLabel_->setEnabled(true);
    }
    if (const int option = voiceOptionOfMode(p.accessMode); option >= 0) {
        options_.at(std::size_t(option))->setChecked(true);
        optionChosen(option);
    }
    if (s_.profile.recognitionState != 0) {
        lockOptions();
        // Started in an earlier opening: its windows stay at hand.
        save_->setEnabled(true);
        graphs_->setEnabled(true);
        level_->setEnabled(true);
    }
}

void VoiceDialog::lockOptions() {
    for (QRadioButton* b : options_) b->setEnabled(false);
}

void VoiceDialog::optionChosen(int index) {
    if (s_.profile.recognitionState != 0) return;
    chooseVoiceCommandSet(s_, index);
}

void VoiceDialog::train() {
    if (!beginVoiceTraining(s_, decimes_->text())) return;
    level_->setEnabled(true);
    lockOptions();
    VoiceTrainingWindow window(s_, this);
    translateForm(&window);
    window.begin();
    runWindow_(window);
    graphs_->setEnabled(true);
    save_->setEnabled(true);
}

void VoiceDialog::saveSounds() {
    // Out of the top layer while the messages show, then back where it was.
    // (the window's own flag: the widget's would hide the dialog and end it).
    const QRect at = geometry();
    QWindow* window = windowHandle();
    if (window) window->setFlag(Qt::WindowStaysOnTopHint, false);
    saveVoiceSounds(s_);
    if (window) window->setFlag(Qt::WindowStaysOnTopHint, true);
    setGeometry(at);
}

void VoiceDialog::showGraphs() {
    VoiceGraphsWindow window(s_, this);
    translateForm(&window);
    runWindow_(window);
}

void VoiceDialog::showLevel() {
    VoiceLevelWindow window(s_, this);
    translateForm(&window);
    window.begin();
    runWindow_(window);
}

void VoiceDialog::acceptEntry() {
    acceptVoiceDialog(s_, VoiceEntry{retard_->text(), gruix_->text(), numberFromColor(colorRow_->color())});
    accept();
}

void VoiceDialog::cancelEntry() {
    reject();
}



}  // namespace vexil
