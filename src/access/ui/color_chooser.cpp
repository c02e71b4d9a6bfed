#include "access/ui/color_chooser.h"

#include <QColorDialog>

namespace vexil {

std::optional<QColor> chooseFrameColor(const QColor& current, QWidget* parent) {
    const QColor chosen =
        QColorDialog::getColor(current, parent, QStringLiteral("Color del marc"));
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

}  // namespace vexil
