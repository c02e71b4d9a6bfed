// Writes the demo boards shipped in examples/ (LLETRES.VXL, FRASES.VXL) and draws their
// covers with QPainter, so that the boards, their areas and their pictures come from one
// description. Run it again after changing a layout:  demo-boards examples
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <vector>

#include "platform/codepage.h"

namespace {

struct Key {
    QString label;  // drawn on the cover
    QString keys;   // the key sequence
    QRect rect;     // board units, x1/y1 as right/bottom edges
    int level = 1;
    bool group = false;
    QColor fill = Qt::white;
};

struct Board {
    QString name;     // LLETRES
    QString program;  // start program
    QString description;
    QRect frame;      // area 1
    std::vector<Key> keys;
};

QString quoted(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('"'), QChar(0xB6));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

QString number(int n) { return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n); }

QByteArray boardFile(const Board& b) {
    QStringList lines;
    const int count = 1 + int(b.keys.size());
    lines << number(2) << number(1) << b.name + QStringLiteral(".BMP") << number(count)
          << quoted(b.program) << number(0) << quoted({}) << quoted({}) << quoted({})
          << quoted({}) << quoted(b.description) << number(0) << number(-1) << number(0)
          << number(0) << number(0) << number(100);
    auto area = [&](const QRect& r, int level, int isGroup, const QString& keys) {
        lines << number(r.left()) << number(r.top()) << number(r.left() + r.width())
              << number(r.top() + r.height()) << number(level) << number(0) << quoted({})
              << quoted({}) << quoted(keys) << quoted({}) << number(0) << number(isGroup);
    };
    area(b.frame, 0, 0, {});
    for (const Key& k : b.keys) area(k.rect, k.level, k.group ? -1 : 0, k.keys);
    return vexil::encodeAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// One pixel per board unit over area 1, as the program's own generated covers are.
QImage cover(const Board& b) {
    QImage img(b.frame.size(), QImage::Format_RGB32);
    img.fill(QColor(250, 250, 245));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-b.frame.topLeft());
    for (const Key& k : b.keys) {
        if (k.group) p.fillRect(k.rect, k.fill);
    }
    for (const Key& k : b.keys) {
        if (k.group) continue;
        const QRectF r = QRectF(k.rect).adjusted(3, 3, -3, -3);
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(r, 6, 6);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(k.label.size() <= 2 ? int(r.height() * 0.6)
                                           : std::min(int(r.height() * 0.5), 20));
        p.setFont(f);
        p.setPen(QColor(20, 20, 90));
        p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, k.label);
    }
    p.end();
    // Few colours: stored as an 8-bit picture.
    return img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

Board letters() {
    Board b;
    b.name = QStringLiteral("LLETRES");
    b.program = QStringLiteral("mousepad");
    b.description = QStringLiteral("Lletres en files per a l'escombrat");
    b.frame = QRect(0, 245, 640, 200);
    const QStringList rows[] = {
        {"a", "b", "c", "d", "e", "f", "g", "h"},
        {"i", "j", "k", "l", "m", "n", "o", "p"},
        {"q", "r", "s", "t", "u", "v", "w", "x"},
        {"y", "z", "ç", "ñ", "ü", "·", ",", "."},
        {"à", "è", "é", "í", "ï", "ò", "ó", "ú"},
    };
    const QColor shades[] = {QColor(255, 220, 150), QColor(170, 215, 255)};
    const int rowHeight = 33;
    int number = 2;
    auto addRow = [&](int r, const std::vector<std::pair<QString, QString>>& items,
                      const std::vector<int>& widths) {
        const int y0 = b.frame.top() + r * rowHeight;
        const int h = r == 5 ? b.frame.bottom() + 1 - y0 : rowHeight;
        const int group = number;
        b.keys.push_back({QString(), QString(), QRect(0, y0, 640, h), 1, true, shades[r % 2]});
        ++number;
        int x = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            b.keys.push_back({items[i].first, items[i].second, QRect(x, y0, widths[i], h), group});
            x += widths[i];
            ++number;
        }
    };
    // Every key types and brings the scan back to the rows.
    const QString back = QStringLiteral("{|Nivell 0}");
    for (int r = 0; r < 5; ++r) {
        std::vector<std::pair<QString, QString>> items;
        for (const QString& c : rows[r]) items.push_back({c, c + back});
        addRow(r, items, std::vector<int>(8, 80));
    }
    addRow(5,
           {{QStringLiteral("espai"), QStringLiteral(" ") + back},
            {QStringLiteral("esborra"), QStringLiteral("{BACKSPACE}") + back},
            {QStringLiteral("retorn"), QStringLiteral("{ENTER}") + back},
            {QStringLiteral("frases"), QStringLiteral("{|Carrega FRASES.VXL}")}},
           {240, 160, 160, 80});
    return b;
}

Board phrases() {
    Board b;
    b.name = QStringLiteral("FRASES");
    // Started on its own, the board opens the editor its phrases are written into.
    b.program = QStringLiteral("mousepad");
    b.description = QStringLiteral("Frases que es diuen i s'escriuen");
    b.frame = QRect(0, 245, 640, 200);
    const char* const texts[] = {"Hola", "Bon dia", "Gràcies", "Sí",
                                 "No", "Tinc set", "Tinc gana", "Vull descansar",
                                 "Em fa mal", "Truca algú", "Fins després"};
    const int w = 160, h = 66;
    for (int i = 0; i < 12; ++i) {
        const QRect r(b.frame.left() + (i % 4) * w, b.frame.top() + (i / 4) * h, w,
                      i / 4 == 2 ? b.frame.height() - 2 * h : h);
        if (i == 11) {
            b.keys.push_back({QStringLiteral("lletres"), QStringLiteral("{|Carrega LLETRES.VXL}"), r});
            continue;
        }
        const QString t = QString::fromUtf8(texts[i]);
        // Said first, then written: with no target open the player drops whatever follows
        // a plain stretch, and the phrase must still be heard.
        b.keys.push_back(
            {t, QStringLiteral("{|Llegir ") + t + QStringLiteral("}") + t + QStringLiteral(". "),
             r});
    }
    return b;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-boards <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const Board& b : {letters(), phrases()}) {
        const QString vxl = out.filePath(b.name + QStringLiteral(".VXL"));
        const QString bmp = out.filePath(b.name + QStringLiteral(".BMP"));
        if (!write(vxl, boardFile(b)) || !cover(b).save(bmp, "BMP")) {
            std::fprintf(stderr, "demo-boards: cannot write %s\n", qPrintable(vxl));
            return 1;
        }
    }
    return 0;
}
