#include "app/ui/main_window.h"

namespace vexil {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Vexil - (Sense Nom)"));
}

}  // namespace vexil
