// The floor the start-up benchmark measures the program against: a bare Qt window (one
// label), built with the same Qt, started and shown the same way.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Vexil"));
    label.setWindowTitle(QStringLiteral("Bare Qt window"));
    label.resize(1024, 300);
    label.show();
    return QApplication::exec();
}
