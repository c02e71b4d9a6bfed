#pragma once
// The widgets every window of the command assistant builds alike: buttons that Enter in a
// text box does not press, named text boxes, the window's name, title and help topic, and
// the "Acceptar" / "Cancelar" pair.
class QDialog;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace vexil::assistant {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int index = -1);
QLineEdit* lineEdit(QWidget* parent, const char* name, int index = -1);
// Names the window, titles it and gives it the help topic of key sequences; it is deleted
// when it closes.
void markTopLevel(QDialog* window, const char* name, const QString& caption);
// The "Acceptar" / "Cancelar" pair of every assistant window.
QHBoxLayout* exitButtons(QDialog* window);

}  // namespace vexil::assistant
