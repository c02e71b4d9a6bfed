#include <QApplication>

#include "app/ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vexil::MainWindow window;
    window.show();
    return app.exec();
}
