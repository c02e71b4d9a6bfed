// Open Board Format: the export against the format's rules, the way back to the same board
// files, boards of other programs, and packages that must be refused without a trace.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include "files/template_reader.h"
#include "obf/obf_error.h"
#include "obf/obf_export.h"
#include "obf/obf_format.h"
#include "obf/obf_import.h"
#include "obf/zip_archive.h"
#include "platform/codepage.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "support/test_support.h"
#include "template/template_writer.h"

using namespace vexil;
using namespace vexil::obf;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// Every file below `folder`, by relative path, with its bytes.
QMap<QString, QByteArray> tree(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        out.insert(QDir(folder).relativeFilePath(p), readAll(p));
    }
    return out;
}

QByteArray png(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "PNG");
    return bytes;
}

QByteArray bmp(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "BMP");
    return bytes;
}

QByteArray wave() {
    QByteArray w("RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00"
                 "\x40\x1f\x00\x00\x01\x00\x08\x00data\x00\x00\x00\x00",
                 44);
    return w;
}

QByteArray json(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A board written through the program's own writer.
QByteArray boardBytes(const TemplateSettings& settings, const std::vector<Area>& areas) {
    Template t;
    t.settings = settings;
    for (const Area& a : areas) t.appendArea(a);
    return templateFileBytes(t);
}

Area area(int x0, int y0, int x1, int y1, int level, QString keys = {}, QString icon = {},
          QString sound = {}) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    a.keys = std::move(keys);
    a.iconFile = std::move(icon);
    a.soundFile = std::move(sound);
    return a;
}

class ObfTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    // The two demo boards, which open each other.
    QString copyDemo() {
        for (const char* name : {"LLETRES.VXL", "LLETRES.BMP", "FRASES.VXL", "FRASES.BMP"}) {
            const QString from = test::sourceDir() + QStringLiteral("/examples/") + QLatin1String(name);
            writeAll(path(QStringLiteral("demo/") + QLatin1String(name)), readAll(from));
        }
        return path(QStringLiteral("demo/LLETRES.VXL"));
    }

    // A board with what the format has no field for: groups, a reversed rectangle, quotes,
    // commas and code-page letters, clip files, a sound, an icon, a file in a sub-folder and
    // another above the board's folder.
    QString richBoard() {
        TemplateSettings st;
        st.pictureFile = QStringLiteral("RICH.BMP");
        st.startProgram = QStringLiteral("mousepad|calc.exe");
        st.startKeys = QStringLiteral("{|Sona ..\\COMU\\INICI.WAV}");
        st.description = QStringLiteral("Taula \"rica\", amb comes · àèòç €");
        st.docFile = QStringLiteral("DOC.TXT");
        st.templateClipKind = 0;
        st.templateClipFile = QStringLiteral("DOC.TXT");
        st.soundOn = -1;
        st.autoCover = 1;
        st.voiceLanguage = 1;
        st.voiceSpeaker = 1;
        st.voiceSpeed = 120;
        std::vector<Area> areas{area(0, 0, 640, 445, 0),
                                area(10, 10, 200, 100, 1, QStringLiteral("{|Llegir Bon dia}Bon dia{ENTER}"),
                                     QStringLiteral("ICONES\\SOL.BMP"), QStringLiteral("SONS\\SOL.WAV")),
                                area(300, 100, 210, 10, 1, QStringLiteral("+(a)~{|Carrega ALTRA.VXL}"),
                                     QStringLiteral("Text de l'icona")),
                                area(10, 200, 630, 430, 1),
                                area(20, 210, 300, 420, 4, QStringLiteral("x, \"y\" ¶"), {},
                                     QStringLiteral("digues això")),
                                area(320, 210, 620, 420, 4, QStringLiteral("{|Enganxa NOTES.TXT}"))};
        areas[3].isGroup = -1;
        areas[4].repeatReading = 1;
        areas[5].clipKind = 1;
        areas[5].clipFile = QStringLiteral("ICONES\\SOL.BMP");
        writeAll(path(QStringLiteral("rich/board/RICH.VXL")), boardBytes(st, areas));
        writeAll(path(QStringLiteral("rich/board/RICH.BMP")), bmp(640, 445, Qt::yellow));
        writeAll(path(QStringLiteral("rich/board/ICONES/SOL.BMP")), bmp(40, 30, Qt::red));
        writeAll(path(QStringLiteral("rich/board/SONS/SOL.WAV")), wave());
        writeAll(path(QStringLiteral("rich/board/DOC.TXT")), "documentacio\r\n");
        writeAll(path(QStringLiteral("rich/board/NOTES.TXT")), "notes");
        writeAll(path(QStringLiteral("rich/COMU/INICI.WAV")), wave());
        TemplateSettings other;
        other.description = QStringLiteral("Altra");
        writeAll(path(QStringLiteral("rich/board/ALTRA.VXL")),
                 boardBytes(other, {area(0, 0, 640, 445, 0),
                                    area(0, 0, 100, 100, 1, QStringLiteral("{|Carrega RICH.VXL}"))}));
        return path(QStringLiteral("rich/board/RICH.VXL"));
    }

    // Unpacks a package into a map of entry name -> bytes.
    static QMap<QString, QByteArray> entries(const QString& obz) {
        ZipReader zip(readAll(obz));
        QMap<QString, QByteArray> out;
        for (const QString& n : zip.names()) out.insert(n, zip.read(n));
        return out;
    }
    static void repack(const QString& obz, const QMap<QString, QByteArray>& files) {
        ZipWriter w;
        for (auto it = files.begin(); it != files.end(); ++it) w.add(it.key(), it.value());
        w.writeTo(obz);
    }
};

TEST_F(ObfTest, DemoBoardsComeBackByteForByte) {
    const QString board = copyDemo();
    const ExportReport report = exportBoards(board, path(QStringLiteral("demo.obz")));
    EXPECT_EQ(report.boards, 2);  // LLETRES opens FRASES, which opens LLETRES again: once each
    const ImportReport back = importBoards(path(QStringLiteral("demo.obz")), path(QStringLiteral("back")));
    EXPECT_EQ(back.rootBoard, path(QStringLiteral("back/LLETRES.VXL")));
    EXPECT_EQ(tree(path(QStringLiteral("back"))), tree(path(QStringLiteral("demo"))));
    ASSERT_EQ(back.cycles.size(), 1);
    EXPECT_TRUE(back.cycles.first().contains(QStringLiteral("(LLETRES.VXL > FRASES.VXL > LLETRES.VXL)")))
        << back.cycles.first().toStdString();
    // Imported boards are untrusted: the note names those that will ask before they start
    // their programs.
    EXPECT_EQ(back.notices,
              (QStringList{QStringLiteral("LLETRES.VXL would start the programs mousepad; it asks first, "
                                          "until it is trusted"),
                           QStringLiteral("FRASES.VXL would start the programs mousepad; it asks first, "
                                          "until it is trusted")}))
        << back.notices.join(u'\n').toStdString();
}

TEST_F(ObfTest, RichBoardComesBackByteForByteWithItsFiles) {
    const QString board = richBoard();
    const QMap<QString, QByteArray> before = tree(path(QStringLiteral("rich")));
    exportBoards(board, path(QStringLiteral("rich.obz")));
    importBoards(path(QStringLiteral("rich.obz")), path(QStringLiteral("back")));
    // The common folder of everything the boards name is the root of the package.
    EXPECT_EQ(tree(path(QStringLiteral("back"))), before);
}

TEST_F(ObfTest, TheFieldsAloneCarryTheWholeBoard) {
    // Without the packed board files, the ext_vexil_* fields rebuild the same bytes.
    const QString board = richBoard();
    const QString obz = path(QStringLiteral("rich.obz"));
    exportBoards(board, obz);
    QMap<QString, QByteArray> files = entries(obz);
    QJsonObject manifest = QJsonDocument::fromJson(files.value(kManifest)).object();
    QJsonArray kept;
    for (const QJsonValue& v : manifest.value(QStringLiteral("ext_vexil_files")).toArray())
        if (!v.toString().endsWith(QLatin1String(".VXL"))) kept.append(v);
        else files.remove(v.toString());
    manifest.insert(QStringLiteral("ext_vexil_files"), kept);
    files.insert(kManifest, json(manifest));
    repack(obz, files);
    importBoards(obz, path(QStringLiteral("back")));
    EXPECT_EQ(readAll(path(QStringLiteral("back/board/RICH.VXL"))), readAll(board));
    EXPECT_EQ(readAll(path(QStringLiteral("back/board/ALTRA.VXL"))),
              readAll(path(QStringLiteral("rich/board/ALTRA.VXL"))));
}

TEST_F(ObfTest, AnOlderBoardFileComesBackAsItWas) {
    // Version 1, LF line ends: not the writer's form, kept through the packed copy.
    const QByteArray old = " 1\n 0\nOLD.BMP\n 2\n\"\"\n 0\n\"\"\n\"\"\n\"\"\n\"\"\n\"vella\"\n 0\n 0\n"
                           " 0\n 0\n 640\n 445\n 0\n 0\n\"\"\n\"\"\n\"\"\n\"\"\n 0\n 0\n"
                           " 10\n 10\n 100\n 100\n 1\n 0\n\"\"\n\"\"\n\"abc\"\n\"\"\n 0\n 0\n";
    writeAll(path(QStringLiteral("old/OLD.VXL")), old);
    exportBoards(path(QStringLiteral("old/OLD.VXL")), path(QStringLiteral("old.obz")));
    const ImportReport back = importBoards(path(QStringLiteral("old.obz")), path(QStringLiteral("back")));
    EXPECT_EQ(readAll(path(QStringLiteral("back/OLD.VXL"))), old);
}

TEST_F(ObfTest, AChangedPackageIsWrittenFromItsFields) {
    // Another program moved a button: the board file follows the fields, not the old copy.
    const QString board = copyDemo();
    const QString obz = path(QStringLiteral("demo.obz"));
    exportBoards(board, obz);
    QMap<QString, QByteArray> files = entries(obz);
    QJsonObject b1 = QJsonDocument::fromJson(files.value(QStringLiteral("boards/board-1.obf"))).object();
    QJsonArray buttons = b1.value(QStringLiteral("buttons")).toArray();
    QJsonObject first = buttons[0].toObject();
    QJsonObject a = first.value(QStringLiteral("ext_vexil_area")).toObject();
    a.insert(QStringLiteral("keys"), QStringLiteral("canviat"));
    first.insert(QStringLiteral("ext_vexil_area"), a);
    buttons[0] = first;
    b1.insert(QStringLiteral("buttons"), buttons);
    files.insert(QStringLiteral("boards/board-1.obf"), json(b1));
    repack(obz, files);
    const ImportReport back = importBoards(obz, path(QStringLiteral("back")));
    test::FakeSessionFixture f;
    loadTemplate(*f.session, path(QStringLiteral("back/LLETRES.VXL")));
    EXPECT_EQ(f.session->tmpl.area(2).keys, QStringLiteral("canviat"));
    EXPECT_TRUE(back.notices.join(u'\n').contains(QStringLiteral("changed")));
}

// The format's published rules, checked on what the export writes.
TEST_F(ObfTest, ExportFollowsTheFormatsRules) {
    exportBoards(richBoard(), path(QStringLiteral("rich.obz")));
    const QMap<QString, QByteArray> files = entries(path(QStringLiteral("rich.obz")));
    const QJsonObject manifest = QJsonDocument::fromJson(files.value(kManifest)).object();
    EXPECT_EQ(manifest.value(QStringLiteral("format")).toString(), kFormat);
    EXPECT_TRUE(files.contains(manifest.value(QStringLiteral("root")).toString()));
    const QJsonObject paths = manifest.value(QStringLiteral("paths")).toObject();
    QSet<QString> packageImageIds, boardIds;
    for (const QString& kind : {QStringLiteral("images"), QStringLiteral("sounds")})
        for (const QJsonValue& p : paths.value(kind).toObject()) EXPECT_TRUE(files.contains(p.toString()));
    const QJsonObject boards = paths.value(QStringLiteral("boards")).toObject();
    ASSERT_EQ(boards.size(), 2);
    for (auto it = boards.begin(); it != boards.end(); ++it) {
        ASSERT_TRUE(files.contains(it.value().toString()));
        const QJsonObject b = QJsonDocument::fromJson(files.value(it.value().toString())).object();
        for (const char* required : {"format", "id", "buttons", "grid", "images", "sounds", "name"})
            EXPECT_TRUE(b.contains(QLatin1String(required))) << required;
        EXPECT_EQ(b.value(QStringLiteral("id")).toString(), it.key());
        EXPECT_FALSE(boardIds.contains(it.key()));
        boardIds.insert(it.key());
        QSet<QString> buttonIds, imageIds, soundIds;
        for (const QJsonValue& v : b.value(QStringLiteral("images")).toArray()) {
            const QString id = v.toObject().value(QStringLiteral("id")).toString();
            EXPECT_FALSE(imageIds.contains(id));
            imageIds.insert(id);
            EXPECT_TRUE(files.contains(v.toObject().value(QStringLiteral("path")).toString()));
            EXPECT_EQ(v.toObject().value(QStringLiteral("content_type")).toString(), QStringLiteral("image/png"));
        }
        for (const QJsonValue& v : b.value(QStringLiteral("sounds")).toArray()) {
            soundIds.insert(v.toObject().value(QStringLiteral("id")).toString());
            EXPECT_TRUE(files.contains(v.toObject().value(QStringLiteral("path")).toString()));
        }
        for (const QJsonValue& v : b.value(QStringLiteral("buttons")).toArray()) {
            const QJsonObject button = v.toObject();
            const QString id = button.value(QStringLiteral("id")).toString();
            EXPECT_FALSE(id.isEmpty());
            EXPECT_FALSE(buttonIds.contains(id));
            buttonIds.insert(id);
            // Absolute positions: all four, each a fraction of the board.
            for (const char* k : {"left", "top", "width", "height"}) {
                ASSERT_TRUE(button.value(QLatin1String(k)).isDouble()) << k;
                EXPECT_GE(button.value(QLatin1String(k)).toDouble(), 0.0);
                EXPECT_LE(button.value(QLatin1String(k)).toDouble(), 1.0);
            }
            if (button.contains(QStringLiteral("image_id"))) {
                EXPECT_TRUE(imageIds.contains(button.value(QStringLiteral("image_id")).toString()));
            }
            if (button.contains(QStringLiteral("sound_id"))) {
                EXPECT_TRUE(soundIds.contains(button.value(QStringLiteral("sound_id")).toString()));
            }
            if (button.contains(QStringLiteral("load_board"))) {
                EXPECT_TRUE(files.contains(button.value(QStringLiteral("load_board")).toObject()
                                               .value(QStringLiteral("path")).toString()));
            }
        }
        const QJsonObject grid = b.value(QStringLiteral("grid")).toObject();
        const QJsonArray order = grid.value(QStringLiteral("order")).toArray();
        EXPECT_EQ(order.size(), grid.value(QStringLiteral("rows")).toInt());
        for (const QJsonValue& row : order) {
            EXPECT_EQ(row.toArray().size(), grid.value(QStringLiteral("columns")).toInt());
            for (const QJsonValue& cell : row.toArray())
                if (!cell.isNull()) {
                    EXPECT_TRUE(buttonIds.contains(cell.toString())) << cell.toString().toStdString();
                }
        }
        const QString background = b.value(QStringLiteral("background")).toObject()
                                       .value(QStringLiteral("image_id")).toString();
        if (!background.isEmpty()) {
            EXPECT_TRUE(imageIds.contains(background));
        }
        for (const QString& id : imageIds) packageImageIds.insert(id);
    }
}

TEST_F(ObfTest, ButtonsCarryLabelsSpeechPicturesAndPositions) {
    exportBoards(richBoard(), path(QStringLiteral("rich.obz")));
    const QMap<QString, QByteArray> files = entries(path(QStringLiteral("rich.obz")));
    const QJsonObject b = QJsonDocument::fromJson(files.value(QStringLiteral("boards/board-1.obf"))).object();
    const QJsonArray buttons = b.value(QStringLiteral("buttons")).toArray();
    ASSERT_EQ(buttons.size(), 5);  // areas 2..6; area 1 is the frame
    const QJsonObject sol = buttons[0].toObject();
    EXPECT_EQ(sol.value(QStringLiteral("label")).toString(), QStringLiteral("Bon dia"));
    EXPECT_EQ(sol.value(QStringLiteral("vocalization")).toString(), QStringLiteral("Bon dia"));
    EXPECT_TRUE(sol.contains(QStringLiteral("image_id")));
    EXPECT_TRUE(sol.contains(QStringLiteral("sound_id")));
    EXPECT_NEAR(sol.value(QStringLiteral("left")).toDouble(), 10.0 / 640, 1e-6);
    EXPECT_NEAR(sol.value(QStringLiteral("width")).toDouble(), 190.0 / 640, 1e-6);
    EXPECT_NEAR(sol.value(QStringLiteral("top")).toDouble(), 10.0 / 445, 1e-6);
    const QJsonObject link = buttons[1].toObject();  // reversed rectangle, icon text, link
    EXPECT_EQ(link.value(QStringLiteral("label")).toString(), QStringLiteral("Text de l'icona"));
    EXPECT_NEAR(link.value(QStringLiteral("left")).toDouble(), 210.0 / 640, 1e-6);
    EXPECT_EQ(link.value(QStringLiteral("load_board")).toObject().value(QStringLiteral("path")).toString(),
              QStringLiteral("boards/board-2.obf"));
    EXPECT_EQ(link.value(QStringLiteral("ext_vexil_area")).toObject().value(QStringLiteral("x0")).toInt(), 300);
    // The group opens a level: not on the grid; its members are.
    const QJsonArray order = b.value(QStringLiteral("grid")).toObject().value(QStringLiteral("order")).toArray();
    QStringList cells;
    for (const QJsonValue& row : order)
        for (const QJsonValue& c : row.toArray()) cells << (c.isNull() ? QStringLiteral("-") : c.toString());
    EXPECT_EQ(cells, (QStringList{"board-1-area-2", "board-1-area-3", "board-1-area-5", "board-1-area-6"}));
    const QJsonObject background = b.value(QStringLiteral("background")).toObject();
    const QString cover = background.value(QStringLiteral("image_id")).toString();
    ASSERT_FALSE(cover.isEmpty());
    // The same picture inline, for readers that take the background as a URL.
    QString type;
    const QImage inlined = QImage::fromData(decodeDataUri(background.value(QStringLiteral("image_url")).toString(), &type));
    EXPECT_EQ(type, QStringLiteral("image/png"));
    EXPECT_EQ(inlined.size(), QSize(640, 445));
    EXPECT_EQ(b.value(QStringLiteral("locale")).toString(), QStringLiteral("es"));
}

TEST(ReadingOrder, RowsFromTheTopLeftToRight) {
    struct Case {
        const char* what;
        std::vector<std::array<int, 4>> rects;
        std::vector<std::vector<int>> rows;  // area numbers
    };
    const Case cases[] = {
        {"a grid given out of order", {{100, 0, 200, 50}, {0, 0, 100, 50}, {0, 60, 100, 110}},
         {{3, 2}, {4}}},
        {"uneven tops still share a row", {{0, 10, 100, 60}, {120, 0, 200, 55}, {0, 100, 50, 140}},
         {{2, 3}, {4}}},
        {"two short areas beside a tall one share its row, the upper first",
         {{0, 0, 100, 200}, {120, 110, 200, 200}, {120, 0, 200, 90}},
         {{2, 4, 3}}},
        {"areas that overlap by less than half a height start a new row",
         {{0, 0, 100, 100}, {120, 60, 200, 160}},
         {{2}, {3}}},
        {"reversed rectangles are normalised", {{100, 50, 0, 0}, {300, 0, 200, 50}}, {{2, 3}}},
        {"no areas", {}, {}},
    };
    for (const Case& c : cases) {
        Template t;
        t.appendArea(area(0, 0, 640, 445, 0));
        std::vector<int> numbers;
        for (const auto& r : c.rects) {
            t.appendArea(area(r[0], r[1], r[2], r[3], 1));
            numbers.push_back(t.areaCount());
        }
        EXPECT_EQ(readingRows(t, numbers), c.rows) << c.what;
    }
}

TEST_F(ObfTest, SingleBoardObfComesBackWithItsFiles) {
    const QString board = richBoard();
    const ExportReport report = exportBoards(board, path(QStringLiteral("rich.obf")));
    EXPECT_EQ(report.boards, 1);
    const QJsonObject b = QJsonDocument::fromJson(readAll(path(QStringLiteral("rich.obf")))).object();
    for (const QJsonValue& v : b.value(QStringLiteral("images")).toArray())
        EXPECT_TRUE(v.toObject().value(QStringLiteral("data")).toString().startsWith(QLatin1String("data:image/png;base64,")));
    importBoards(path(QStringLiteral("rich.obf")), path(QStringLiteral("back")));
    EXPECT_EQ(readAll(path(QStringLiteral("back/board/RICH.VXL"))), readAll(board));
    EXPECT_EQ(readAll(path(QStringLiteral("back/board/ICONES/SOL.BMP"))),
              readAll(path(QStringLiteral("rich/board/ICONES/SOL.BMP"))));
}

// A package of another program: two grid boards that open each other, a picture, a sound.
QMap<QString, QByteArray> foreignPackage() {
    const QJsonObject home{
        {"format", kFormat}, {"id", "home"}, {"name", "Casa i menjar"}, {"locale", "es"},
        {"buttons", QJsonArray{QJsonObject{{"id", "1"}, {"label", "hola"}, {"image_id", "img"}},
                               QJsonObject{{"id", 2}, {"label", "yo {quiero}"}, {"vocalization", "yo quiero+"}},
                               QJsonObject{{"id", "3"}, {"label", "comida"},
                                           {"load_board", QJsonObject{{"id", "food"}, {"path", "boards/food.obf"}}}},
                               QJsonObject{{"id", "4"}, {"label", "a"}, {"action", "+a"}, {"sound_id", "s"}},
                               QJsonObject{{"id", "5"}, {"label", "oculto"}, {"hidden", true}}}},
        {"grid", QJsonObject{{"rows", 2}, {"columns", 3},
                             {"order", QJsonArray{QJsonArray{"1", 2, QJsonValue::Null}, QJsonArray{"4", "3", "ghost"}}}}},
        {"images", QJsonArray{QJsonObject{{"id", "img"}, {"path", "images/hola.png"}, {"content_type", "image/png"}}}},
        {"sounds", QJsonArray{QJsonObject{{"id", "s"}, {"path", "sounds/a.wav"}}}}};
    const QJsonObject food{
        {"format", kFormat}, {"id", "food"}, {"name", "Comida"},
        {"buttons", QJsonArray{QJsonObject{{"id", "1"}, {"label", "pan"}},
                               QJsonObject{{"id", "2"}, {"label", "casa"},
                                           {"load_board", QJsonObject{{"id", "home"}, {"path", "boards/home.obf"}}}}}},
        {"grid", QJsonObject{{"rows", 1}, {"columns", 2}, {"order", QJsonArray{QJsonArray{"1", "2"}}}}}};
    const QJsonObject manifest{
        {"format", kFormat}, {"root", "boards/home.obf"},
        {"paths", QJsonObject{{"boards", QJsonObject{{"home", "boards/home.obf"}, {"food", "boards/food.obf"}}},
                              {"images", QJsonObject{{"img", "images/hola.png"}}},
                              {"sounds", QJsonObject{{"s", "sounds/a.wav"}}}}}};
    return {{kManifest, json(manifest)},
            {QStringLiteral("boards/home.obf"), json(home)},
            {QStringLiteral("boards/food.obf"), json(food)},
            {QStringLiteral("images/hola.png"), png(300, 200, Qt::blue)},
            {QStringLiteral("sounds/a.wav"), wave()}};
}

TEST_F(ObfTest, GridBoardsOfOtherProgramsBecomeBoardsWithCoversAndLinks) {
    repack(path(QStringLiteral("other.obz")), foreignPackage());
    const ImportReport report = importBoards(path(QStringLiteral("other.obz")), path(QStringLiteral("out")));
    EXPECT_EQ(report.boards, 2);
    EXPECT_EQ(report.rootBoard, path(QStringLiteral("out/CASA_I_MENJAR.VXL")));
    EXPECT_EQ(report.cycles.size(), 1);

    test::FakeSessionFixture f;
    loadTemplate(*f.session, report.rootBoard);
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    const Template& t = f.session->tmpl;
    ASSERT_EQ(t.areaCount(), 5);  // the frame and the four buttons on the grid, not the hidden one
    EXPECT_EQ(t.settings.pictureFile, QStringLiteral("CASA_I_MENJAR.BMP"));
    EXPECT_EQ(t.settings.voiceLanguage, 1);
    // Cell (0,0): a picture; cell (0,1): what the button says, its braces typed as themselves.
    EXPECT_EQ(t.area(2).x0, 0);
    EXPECT_EQ(t.area(2).x1, 213);
    EXPECT_EQ(t.area(2).keys, QStringLiteral("hola"));
    EXPECT_TRUE(QFileInfo(f.session->realPath(t.area(2).iconFile)).isFile());
    EXPECT_EQ(QImage(f.session->realPath(t.area(2).iconFile)).width(), 256);
    EXPECT_EQ(t.area(3).keys, QStringLiteral("yo quiero{+}"));
    EXPECT_EQ(t.area(3).iconFile, QStringLiteral("yo {quiero}"));  // no picture: the label
    EXPECT_EQ(t.area(4).keys, QStringLiteral("{|Carrega COMIDA.VXL}"));
    EXPECT_EQ(t.area(4).y0, 222);
    EXPECT_EQ(t.area(4).x0, 213);
    EXPECT_EQ(t.area(5).keys, QStringLiteral("a"));  // "+a": the letter
    EXPECT_EQ(t.area(5).x0, 0);
    EXPECT_TRUE(report.notices.join(u'\n').contains(QStringLiteral("\"ghost\", which is no button")));
    EXPECT_TRUE(QFileInfo(f.session->realPath(t.area(5).soundFile)).isFile());
    const QImage cover(path(QStringLiteral("out/CASA_I_MENJAR.BMP")));
    EXPECT_EQ(cover.size(), QSize(640, 445));
    loadTemplate(*f.session, path(QStringLiteral("out/COMIDA.VXL")));
    EXPECT_EQ(f.session->tmpl.area(3).keys, QStringLiteral("{|Carrega CASA_I_MENJAR.VXL}"));
}

struct BadPackage {
    const char* what;
    std::function<void(QMap<QString, QByteArray>&)> spoil;
    const char* message;  // a part of the message
};

TEST_F(ObfTest, BadPackagesAreRefusedWithoutATrace) {
    const BadPackage cases[] = {
        {"an entry that climbs out", [](auto& f) { f.insert("../evil.txt", "x"); }, "climbs out"},
        {"an absolute entry", [](auto& f) { f.insert("/etc/evil", "x"); }, "climbs out"},
        {"no manifest for two boards", [](auto& f) { f.remove(kManifest); }, "no manifest.json"},
        {"a root board that is missing",
         [](auto& f) { f.remove(QStringLiteral("boards/home.obf")); }, "missing from the package"},
        {"a button id that repeats",
         [](auto& f) {
             QJsonObject b = QJsonDocument::fromJson(f.value("boards/food.obf")).object();
             QJsonArray buttons = b.value("buttons").toArray();
             buttons.append(QJsonObject{{"id", "1"}, {"label", "again"}});
             b.insert("buttons", buttons);
             f.insert("boards/food.obf", json(b));
         },
         "repeats"},
        {"a board id that repeats",
         [](auto& f) {
             QJsonObject b = QJsonDocument::fromJson(f.value("boards/food.obf")).object();
             b.insert("id", "home");
             f.insert("boards/food.obf", json(b));
         },
         "repeats"},
        {"a picture that does not decode",
         [](auto& f) { f.insert("images/hola.png", QByteArray("\x89PNG\r\n\x1a\n broken", 16)); },
         "does not decode"},
        {"a board that is not JSON", [](auto& f) { f.insert("boards/food.obf", "{ not json"); }, "not valid JSON"},
        {"a grid far too large",
         [](auto& f) {
             QJsonObject b = QJsonDocument::fromJson(f.value("boards/food.obf")).object();
             b.insert("grid", QJsonObject{{"rows", 100000}, {"columns", 100000}, {"order", QJsonArray{}}});
             f.insert("boards/food.obf", json(b));
         },
         "too large"},
    };
    for (const BadPackage& c : cases) {
        QMap<QString, QByteArray> files = foreignPackage();
        c.spoil(files);
        const QString obz = path(QStringLiteral("bad.obz"));
        repack(obz, files);
        const QString out = path(QStringLiteral("out"));
        try {
            importBoards(obz, out);
            ADD_FAILURE() << c.what << ": imported";
        } catch (const ObfError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.message)))
                << c.what << ": " << e.message().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(out)) << c.what;
        // Nothing half-written beside it either.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{QStringLiteral("bad.obz")})
            << c.what;
    }
}

TEST_F(ObfTest, ZipBombsAreStoppedBySizeAndRatio) {
    ImportOptions small;
    small.limits.maxEntrySize = 1024 * 1024;
    small.limits.ratioFloor = 64 * 1024;
    struct Case {
        const char* what;
        int padding;  // blanks after the board's JSON: they inflate a thousandfold
        const char* message;
    };
    const Case cases[] = {
        {"an entry larger than allowed", 2 * 1024 * 1024, "more than"},
        {"an entry that inflates a thousand times", 900 * 1024, "zip bomb"},
    };
    for (const Case& c : cases) {
        QMap<QString, QByteArray> files = foreignPackage();
        files.insert(QStringLiteral("boards/home.obf"), files.value(QStringLiteral("boards/home.obf")) +
                                                            QByteArray(c.padding, ' '));
        repack(path(QStringLiteral("bomb.obz")), files);
        try {
            importBoards(path(QStringLiteral("bomb.obz")), path(QStringLiteral("out")), small);
            ADD_FAILURE() << c.what;
        } catch (const ObfError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.message))) << c.what << ": " << e.message().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("out"))));
    }
    // The whole package counts too: many entries within the limit each, too many together.
    ImportOptions total;
    total.limits.maxTotalSize = 200 * 1024;
    QMap<QString, QByteArray> files = foreignPackage();
    files.insert(QStringLiteral("images/hola.png"), png(300, 200, Qt::blue) + QByteArray(300 * 1024, '\0'));
    repack(path(QStringLiteral("bomb.obz")), files);
    EXPECT_THROW(importBoards(path(QStringLiteral("bomb.obz")), path(QStringLiteral("out")), total), ObfError);
}

TEST_F(ObfTest, ImportWantsANewOrEmptyFolder) {
    repack(path(QStringLiteral("other.obz")), foreignPackage());
    writeAll(path(QStringLiteral("full/KEEP.TXT")), "mine");
    EXPECT_THROW(importBoards(path(QStringLiteral("other.obz")), path(QStringLiteral("full"))), ObfError);
    EXPECT_EQ(tree(path(QStringLiteral("full"))).keys(), QStringList{QStringLiteral("KEEP.TXT")});
    QDir().mkpath(path(QStringLiteral("empty")));
    EXPECT_EQ(importBoards(path(QStringLiteral("other.obz")), path(QStringLiteral("empty"))).boards, 2);
}

TEST_F(ObfTest, ExportRefusesWhatItCannotWriteAndLeavesNothing) {
    EXPECT_THROW(exportBoards(path(QStringLiteral("NONE.VXL")), path(QStringLiteral("x.obz"))), ObfError);
    EXPECT_THROW(exportBoards(copyDemo(), path(QStringLiteral("x.zip"))), ObfError);
    writeAll(path(QStringLiteral("bad/BAD.VXL")), " 9\n 9\n");  // a newer format: refused by the loader
    EXPECT_THROW(exportBoards(path(QStringLiteral("bad/BAD.VXL")), path(QStringLiteral("x.obz"))), ObfError);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("x.obz"))));
    EXPECT_THROW(exportBoards(copyDemo(), path(QStringLiteral("nofolder/x.obz"))), ObfError);
}

TEST_F(ObfTest, AMissingCoverIsANoticeNotAFailure) {
    const QString board = copyDemo();
    QFile::remove(path(QStringLiteral("demo/FRASES.BMP")));
    const ExportReport report = exportBoards(board, path(QStringLiteral("demo.obz")));
    EXPECT_EQ(report.boards, 2);
    EXPECT_TRUE(report.notices.join(u'\n').contains(QStringLiteral("FRASES.BMP")));
}

TEST(SafeNames, OnlyPlainRelativeNamesPass) {
    struct Case {
        const char* name;
        bool safe;
    };
    const Case cases[] = {{"boards/1.obf", true},   {"files/a b/C.VXL", true}, {"../x", false},
                          {"a/../../x", false},     {"/etc/passwd", false},    {"C:/x", false},
                          {"a\\..\\x", false},      {"a//b", false},           {"./a", false},
                          {"", false},              {"a/\x01", false}};
    for (const Case& c : cases) EXPECT_EQ(isSafeRelativePath(QString::fromLatin1(c.name)), c.safe) << c.name;
}

}  // namespace
