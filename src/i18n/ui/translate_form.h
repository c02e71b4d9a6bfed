#pragma once
// Passes a window's captions through the caption table when it loads.
class QWidget;

namespace vexil {

// Translates the window's title and the captions of every control on it, menus included:
// button, label and group box texts, menu titles and the texts of their actions. Controls
// without a caption, or whose caption is not in the table, keep theirs.
void translateForm(QWidget* window);

}  // namespace vexil
