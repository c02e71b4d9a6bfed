#include "access/ui/color_chooser.h"

#include <QColorDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

namespace vexil {

std::optional<QColor> chooseFrameColor(const QColor& current, QWidget* parent) {
    const QColor chosen =
        QColorDialog::getColor(current, parent, QStringLiteral("Color del marc"));
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

FrameColorRow::FrameColorRow(QWidget* parent) : QWidget(parent) {
    swatch_ = new QFrame(this);
    swatch_->setObjectName(QStringLiteral("marc_color"));
    swatch_->setFixedSize(40, 20);
    swatch_->setFrameShape(QFrame::Box);
    swatch_->setAutoFillBackground(true);
    button_ = new QPushButton(QStringLiteral("Color del marc"), this);
    button_->setObjectName(QStringLiteral("Command1"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(swatch_);
    row->addWidget(button_);
    row->addStretch();
    connect(button_, &QPushButton::clicked, this, &FrameColorRow::choose);
    setColor(color_);
}

void FrameColorRow::setColor(const QColor& color) {
    color_ = color;
    QPalette pal = swatch_->palette();
    pal.setColor(QPalette::Window, color_);
    swatch_->setPalette(pal);
}

void FrameColorRow::choose() {
    // The dialog the row stands in is the chooser's parent.
    if (const auto chosen = chooser_(color_, window())) setColor(*chosen);
}

}  // namespace vexil
