#include "access/ui/switch_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "access/vb_color.h"
#include "help/help_book.h"

namespace vexil {

namespace {

const char* const kOptionCaptions[9] = {
    "Qualsevol tecla", "Tecla {ENTER}", "Tecla {ESPAI}", "Tecla de la llista", "Moure el ratolí",
    "Clic esquerra",   "Doble clic esquerra", "Clic dret", "Doble clic dret"};

QLineEdit* numberBox(const QString& name, const QString& text, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setMaximumWidth(60);
    return box;
}

}  // namespace

SwitchDialog::SwitchDialog(UserProfile& profile, QWidget* parent)
    : QDialog(parent), profile_(profile) {
    setObjectName(QStringLiteral("usr"));
    setProperty("helpTopic", help_topic::Switches);
    setWindowTitle(QStringLiteral("Configuració Pulsador"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    pulsadorLabel_ = new QLabel(QStringLiteral("1"), this);
    pulsadorLabel_->setObjectName(QStringLiteral("pulsador"));
    QFont big = pulsadorLabel_->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    pulsadorLabel_->setFont(big);
    top->addWidget(pulsadorLabel_);

    // One radio group across the two boxes: exactly one gesture per switch.
    auto* group = new QButtonGroup(this);
    auto* keyboard = new QGroupBox(QStringLiteral("Teclat"), this);
    keyboard->setObjectName(QStringLiteral("Teclat"));
    auto* keyboardLayout = new QVBoxLayout(keyboard);
    auto* mouse = new QGroupBox(QStringLiteral("Ratolí"), this);
    mouse->setObjectName(QStringLiteral("Ratoli"));
    auto* mouseLayout = new QVBoxLayout(mouse);
    for (int i = 0; i < 9; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(kOptionCaptions[i]), this);
        button->setObjectName(QStringLiteral("Option1_%1").arg(i));
        group->addButton(button, i);
        (i < 4 ? keyboardLayout : mouseLayout)->addWidget(button);
        options_.at(size_t(i)) = button;
    }
    keyList_ = new QLineEdit(this);
    keyList_->setObjectName(QStringLiteral("llista_tecles"));
    auto* listLabel = new QLabel(QStringLiteral("Llista de tecles "), this);
    listLabel->setObjectName(QStringLiteral("Label_llista"));
    keyboardLayout->addWidget(listLabel);
    keyboardLayout->addWidget(keyList_);
    top->addWidget(keyboard);
    top->addWidget(mouse);
    layout->addLayout(top);

    auto* form = new QFormLayout;
    retard_[0] = numberBox(QStringLiteral("retard_0"), QStringLiteral("10"), this);
    retard_[1] = numberBox(QStringLiteral("retard_1"), QStringLiteral("10"), this);
    gruix_ = numberBox(QStringLiteral("Gruix"), QStringLiteral("8"), this);
    form->addRow(QStringLiteral("Temps de presentació"), retard_[0]);
    form->addRow(QStringLiteral("Temps d'acció"), retard_[1]);
    form->addRow(QStringLiteral("Gruix del marc"), gruix_);
    colorRow_ = new FrameColorRow(this);
    form->addRow(colorRow_);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    accept_ = new QPushButton(QStringLiteral("Acceptar"), this);
    accept_->setObjectName(QStringLiteral("buto_0"));
    accept_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setObjectName(QStringLiteral("buto_1"));
    buttons->addStretch();
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    // The labels of the form rows carry the captions the caption table knows.
    for (int row = 0; row < form->rowCount(); ++row) {
        if (auto* item = form->itemAt(row, QFormLayout::LabelRole)) {
            if (auto* label = qobject_cast<QLabel*>(item->widget()))
                label->setObjectName(QStringLiteral("Label_%1").arg(row));
        }
    }

    connect(accept_, &QPushButton::clicked, this, &SwitchDialog::tryAccept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void SwitchDialog::setFrame(int thickness, double color) {
    gruix_->setText(QString::number(thickness));
    colorRow_->setColor(colorFromNumber(color));
}

void SwitchDialog::setPulsador(int number) {
    number_ = number == 2 ? 2 : 1;
    pulsadorLabel_->setText(QString::number(number_));
    const SwitchEntry e = switchEntryFor(profile_, number_);
    for (QRadioButton* b : options_) b->setAutoExclusive(false), b->setChecked(false);
    for (QRadioButton* b : options_) b->setAutoExclusive(true);
    if (e.option >= 0) options_.at(size_t(e.option))->setChecked(true);
    keyList_->setText(e.keyList);
    retard_[1]->setText(e.actionTime);
    retard_[0]->setText(e.presentationTime);
}

SwitchEntry SwitchDialog::entry() const {
    SwitchEntry e;
    for (int i = 0; i < 9; ++i) {
        if (options_.at(size_t(i))->isChecked()) {
            e.option = i;
            break;
        }
    }
    e.keyList = keyList_->text();
    e.presentationTime = retard_[0]->text();
    e.actionTime = retard_[1]->text();
    e.thickness = gruix_->text();
    e.color = numberFromColor(colorRow_->color());
    return e;
}

void SwitchDialog::tryAccept() {
    // A refused entry leaves the dialog open, as it was, without a message.
    if (acceptSwitchEntry(profile_, number_, entry())) accept();
}

}  // namespace vexil
