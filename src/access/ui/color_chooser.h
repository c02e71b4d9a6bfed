#pragma once
// The colour chooser of the access dialogs ("Color del marc"): the system's colour dialog,
// or, in tests, whatever the caller puts in its place.
#include <QColor>
#include <functional>
#include <optional>

class QWidget;

namespace vexil {

// The chosen colour; nothing when the chooser was cancelled.
using ColorChooser = std::function<std::optional<QColor>(const QColor& current, QWidget* parent)>;

// The system colour dialog titled "Color del marc", the current colour preselected.
std::optional<QColor> chooseFrameColor(const QColor& current, QWidget* parent);

}  // namespace vexil
