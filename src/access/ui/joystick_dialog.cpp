#include "access/ui/joystick_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "access/vb_color.h"
#include "help/help_book.h"

namespace vexil {

JoystickDialog::JoystickDialog(UserProfile& profile, QWidget* parent)
    : QDialog(parent), profile_(profile) {
    setObjectName(QStringLiteral("USR_JOYSTIC"));
    setWindowTitle(QStringLiteral("Josytick"));
    setProperty("helpTopic", help_topic::JoystickDialog);
    setModal(true);

    auto* layout = new QVBoxLayout(this);

    // What detection found. The options only show it: nothing reads them back, so they
    // take no clicks.
    auto* found = new QGroupBox(this);
    found->setObjectName(QStringLiteral("modus"));
    auto* foundLayout = new QHBoxLayout(found);
    auto* group = new QButtonGroup(this);
    const char* const captions[2] = {"Joystick", "Multimouse"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(captions[i]), found);
        option->setObjectName(QStringLiteral("modus_%1").arg(i));
        option->setEnabled(false);
        group->addButton(option, i);
        foundLayout->addWidget(option);
        modus_.at(size_t(i)) = option;
    }
    layout->addWidget(found);
    notice_ = new QLabel(
        QStringLiteral("No s'ha trobat cap joystick: el ratolí fa de joystick. Per fer "
                       "servir un joystick, connecteu-lo i torneu a triar Joystic."), this);
    notice_->setObjectName(QStringLiteral("Label_avis"));
    notice_->setWordWrap(true);
    layout->addWidget(notice_);

    auto* grid = new QGridLayout;
    const char* const labels[2] = {"Intensitat", "Sensibilitat"};
    const int ranges[2][2] = {{kJoystickSensiMin, kJoystickSensiMax},
                              {kJoystickRetardMin, kJoystickRetardMax}};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(QString::fromLatin1(labels[i]), this);
        label->setObjectName(QStringLiteral("Label_%1").arg(i));
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QStringLiteral("HScroll1_%1").arg(i));
        bar->setRange(ranges[i][0], ranges[i][1]);
        bar->setSingleStep(1);
        bar->setPageStep(i == 0 ? 1 : 10);
        // Right and Page Up raise the value, as on the old form's scroll bars (Qt's scroll
        // bars turn the keys round for scrolling a view).
        bar->setInvertedControls(false);
        // Scroll bars take no focus by default; these are the dialog's main controls and
        // must be reachable from the keyboard.
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setMinimumWidth(220);
        // The box shows the bar's value; typing there would only disagree with the bar.
        auto* box = new QLineEdit(QStringLiteral("10"), this);
        box->setObjectName(QStringLiteral("intensitat_%1").arg(i));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(50);
        box->setAlignment(Qt::AlignRight);
        label->setBuddy(bar);
        grid->addWidget(label, i, 0);
        grid->addWidget(bar, i, 1);
        grid->addWidget(box, i, 2);
        scroll_.at(size_t(i)) = bar;
        intensitat_.at(size_t(i)) = box;
        connect(bar, &QScrollBar::valueChanged, box,
                [box](int value) { box->setText(QString::number(value)); });
    }
    auto* gruixLabel = new QLabel(QStringLiteral("Gruix del marc"), this);
    gruixLabel->setObjectName(QStringLiteral("Label_2"));
    gruix_ = new QLineEdit(QStringLiteral("8"), this);
    gruix_->setObjectName(QStringLiteral("Gruix"));
    gruix_->setMaximumWidth(50);
    gruixLabel->setBuddy(gruix_);
    grid->addWidget(gruixLabel, 2, 0);
    grid->addWidget(gruix_, 2, 1, Qt::AlignLeft);
    colorRow_ = new FrameColorRow(this);
    grid->addWidget(colorRow_, 3, 1);
    layout->addLayout(grid);

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

    connect(accept_, &QPushButton::clicked, this, &JoystickDialog::store);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    const JoystickEntry e = joystickEntryFor(profile_);
    modus_[e.joystick ? 0 : 1]->setChecked(true);
    notice_->setVisible(!e.joystick);
    for (int i = 0; i < 2; ++i) {
        QScrollBar* bar = scroll_.at(size_t(i));
        bar->setValue(i == 0 ? e.sensi : e.retard);
        // Written even when the value did not change, so the box never shows a number
        // the bar does not hold.
        intensitat_.at(size_t(i))->setText(QString::number(bar->value()));
    }
    gruix_->setText(e.thickness);
    colorRow_->setColor(colorFromNumber(e.color));
    scroll_[0]->setFocus();
}

JoystickEntry JoystickDialog::entry() const {
    JoystickEntry e;
    e.joystick = modus_[0]->isChecked();
    e.sensi = scroll_[0]->value();
    e.retard = scroll_[1]->value();
    e.thickness = gruix_->text();
    e.color = numberFromColor(colorRow_->color());
    return e;
}

void JoystickDialog::store() {
    acceptJoystickEntry(profile_, entry());
    accept();
}

}  // namespace vexil
