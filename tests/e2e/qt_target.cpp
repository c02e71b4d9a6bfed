// A Qt Widgets text window that records what it receives, a target of the end-to-end tests
// and of the typing benchmark beside the Tk one (target_app.py), with the same files:
//   qt-target --caption TITLE --out PREFIX
// PREFIX.txt holds the text (rewritten shortly after every change); PREFIX.log gets one
// JSON line per key press, with the time it was read (CLOCK_MONOTONIC seconds), one per
// mouse button press (as the Tk target: num 1 left, 3 right; x_root, y_root where the
// window saw it on the screen), one when it gains or loses the keyboard focus ("focus",
// "in"), and a "ready" line once the window is shown.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <time.h>

namespace {

double monotonicSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

class Recorder : public QPlainTextEdit {
public:
    explicit Recorder(const QString& prefix) : prefix_(prefix), log_(prefix + ".log") {
        log_.open(QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered);
        save_.setSingleShot(true);
        save_.setInterval(30);
        connect(&save_, &QTimer::timeout, this, [this] { save(); });
        connect(this, &QPlainTextEdit::textChanged, this, [this] {
            if (!save_.isActive()) save_.start();
        });
    }

    void write(const QJsonObject& o) {
        log_.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    }

    // Written beside and renamed over, so that a reader never sees half a file, but not
    // synced to disk: a sync every 30 ms would slow the window's reading of its keys, which
    // the typing benchmarks measure.
    void save() {
        const QString path = prefix_ + ".txt";
        QFile f(path + ".new");
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
        // The raw text keeps a no-break space as typed (the plain text turns it into a blank).
        QString text = document()->toRawText();
        text.replace(QChar::ParagraphSeparator, u'\n');
        const QByteArray bytes = text.toUtf8();
        const bool written = f.write(bytes) == bytes.size();
        f.close();
        if (written) std::rename(QFile::encodeName(f.fileName()).constData(),
                                 QFile::encodeName(path).constData());
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        write({{"type", "key"}, {"key", e->key()}, {"char", e->text()},
               {"state", int(e->modifiers() >> 25)}, {"t", monotonicSeconds()}});
        QPlainTextEdit::keyPressEvent(e);
    }

    void focusInEvent(QFocusEvent* e) override {
        write({{"type", "focus"}, {"in", true}, {"t", monotonicSeconds()}});
        QPlainTextEdit::focusInEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override {
        write({{"type", "focus"}, {"in", false}, {"t", monotonicSeconds()}});
        QPlainTextEdit::focusOutEvent(e);
    }

    void mousePressEvent(QMouseEvent* e) override {
        const int num = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 3 : 2;
        const QPoint global = e->globalPosition().toPoint();
        write({{"type", "button"}, {"num", num}, {"x_root", global.x()}, {"y_root", global.y()},
               {"t", monotonicSeconds()}});
        QPlainTextEdit::mousePressEvent(e);
    }

private:
    QString prefix_;
    QFile log_;
    QTimer save_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser args;
    args.addOption(QCommandLineOption("caption", "window title", "TITLE"));
    args.addOption(QCommandLineOption("out", "prefix of the files written", "PREFIX"));
    args.addOption(QCommandLineOption("geometry", "WxH+X+Y", "GEOMETRY", "500x300+300+200"));
    // On Wayland no client knows where its window lies: full screen, its pixels are the
    // screen's.
    args.addOption(QCommandLineOption("fullscreen", "cover the whole screen"));
    args.process(app);
    if (!args.isSet("caption") || !args.isSet("out")) args.showHelp(2);

    Recorder editor(args.value("out"));
    editor.setWindowTitle(args.value("caption"));
    const QStringList g = args.value("geometry").split(QRegularExpression("[x+]"));
    if (g.size() == 4) editor.setGeometry(g[2].toInt(), g[3].toInt(), g[0].toInt(), g[1].toInt());
    if (args.isSet("fullscreen")) editor.showFullScreen();
    else editor.show();
    editor.activateWindow();
    editor.setFocus();
    QTimer::singleShot(200, &editor, [&editor] {
        editor.save();
        editor.write({{"type", "ready"}, {"x", editor.x()}, {"y", editor.y()}});
    });
    return app.exec();
}
