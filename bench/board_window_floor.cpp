// The second floor of bench/startup_vs_onboard.sh: the letter board's window with no program
// behind it. A Qt main window with the board's menus and Qt's own translation of the
// interface language, its picture drawn scaled on each paint as the board draws it. What
// Vexil takes beyond this window is the program itself.
//   board-window-floor PICTURE LANGUAGE
#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTranslator>
#include <QWidget>

namespace {

class Picture : public QWidget {
public:
    explicit Picture(QImage image) : image_(std::move(image)) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image_);
    }

private:
    QImage image_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    QTranslator qt;
    if (args.size() > 2 &&
        qt.load(QStringLiteral("qtbase_") + args[2], QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Board window floor"));
    for (const char* title : {"&Accesibilidad", "&Salir", "&Canvi de plafó"})
        window.menuBar()->addMenu(QString::fromUtf8(title))->addAction(QString::fromUtf8(title));
    window.setCentralWidget(new Picture(QImage(args.value(1))));
    window.resize(1022, 349);
    window.show();
    return QApplication::exec();
}
