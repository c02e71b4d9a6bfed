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
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "files/template_reader.h"
#include "obf/obf_error.h"
#include "obf/obf_export.h"
#include "obf/obf_format.h"
#include "obf/obf_import.h"
#include "obf/zip_archive.h"
#include "platform/codepage.h"
#include "platform/fake/fake_platform.h"
#include "platform/zip/libzip_codec.h"
#include "session/session.h"
#include "support/test_support.h"
#include "template/template_writer.h"

using namespace vexil;
using namespace vexil::obf;

namespace {

// The packages of every test here go through the zip codec itself, as the program's module
// holds it.
[[maybe_unused]] const bool zipCodecSet = (setZipCodecSource(&zip::libzipCodec), true);

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
    for (const QString& name : {QStringLiteral("boards/board-1.obf"), QStringLiteral("boards/board-2.obf")}) {
        QJsonObject b = QJsonDocument::fromJson(files.value(name)).object();
        QJsonObject own = b.value(QStringLiteral("ext_vexil_files")).toObject();
        for (const QString& key : own.keys())
            if (key.endsWith(QLatin1String(".VXL"))) own.remove(key);
        b.insert(QStringLiteral("ext_vexil_files"), own);
        files.insert(name, json(b));
    }
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

// The rules of the format's reference validator, written out: each error and each warning
// it gives is a fault here. `files` is a package's entries, or one board under "".
QStringList ruleFaults(const QMap<QString, QByteArray>& files) {
    QStringList faults;
    auto fault = [&](const QString& where, const QString& what) { faults << where + QStringLiteral(": ") + what; };
    auto extrasOf = [&](const QString& where, const QJsonObject& o, const QStringList& known) {
        for (const QString& key : o.keys())
            if (!known.contains(key) && !key.startsWith(QLatin1String("ext_")))
                fault(where, key + QStringLiteral(" is not defined by the format"));
    };
    auto isWhole = [](const QJsonValue& v) { return v.isDouble() && v.toDouble() == std::floor(v.toDouble()); };
    auto checkBoard = [&](const QString& where, const QJsonObject& b, bool packed) {
        if (b.value(QStringLiteral("format")).toString() != kFormat) fault(where, QStringLiteral("format"));
        for (const char* key : {"id", "locale", "name", "description_html"})
            if (b.value(QLatin1String(key)).toString().isEmpty()) fault(where, QLatin1String(key));
        extrasOf(where, b, {"format", "id", "locale", "url", "data_url", "name", "description_html",
                            "default_layout", "buttons", "images", "sounds", "grid", "license"});
        const QJsonObject grid = b.value(QStringLiteral("grid")).toObject();
        const QJsonValue rows = grid.value(QStringLiteral("rows")), columns = grid.value(QStringLiteral("columns"));
        if (!isWhole(rows) || rows.toInt() < 1 || !isWhole(columns) || columns.toInt() < 1)
            fault(where, QStringLiteral("grid.rows and grid.columns must be positive"));
        const QJsonArray order = grid.value(QStringLiteral("order")).toArray();
        if (order.size() != rows.toInt()) fault(where, QStringLiteral("grid.order length"));
        extrasOf(where + QStringLiteral(" grid"), grid, {"rows", "columns", "order"});
        QSet<QString> buttonIds, onGrid, imageIds;
        for (const QJsonValue& v : b.value(QStringLiteral("buttons")).toArray())
            buttonIds.insert(v.toObject().value(QStringLiteral("id")).toString());
        for (const QJsonValue& row : order) {
            if (row.toArray().size() != columns.toInt()) fault(where, QStringLiteral("a grid row's size"));
            for (const QJsonValue& cell : row.toArray()) {
                if (cell.isNull()) continue;
                if (!buttonIds.contains(cell.toString())) fault(where, QStringLiteral("grid names no button"));
                onGrid.insert(cell.toString());
            }
        }
        if (onGrid.isEmpty()) fault(where, QStringLiteral("no button on the grid"));
        if (onGrid != buttonIds) fault(where, QStringLiteral("buttons left out of the grid"));
        static const QRegularExpression imageData(QStringLiteral("^data:image/.+;base64,.+$"));
        static const QRegularExpression soundData(QStringLiteral("^data:audio/.+;base64,.+$"));
        static const QRegularExpression colour(QStringLiteral("^\\s*rgba?\\(\\s*\\d+\\s*,\\s*\\d+\\s*,\\s*\\d+\\s*(,\\s*[01]\\.?\\d*)?\\)\\s*"));
        for (const QJsonValue& v : b.value(QStringLiteral("images")).toArray()) {
            const QJsonObject i = v.toObject();
            const QString w = where + QStringLiteral(" image ") + i.value(QStringLiteral("id")).toString();
            imageIds.insert(i.value(QStringLiteral("id")).toString());
            if (!isWhole(i.value(QStringLiteral("width"))) || !isWhole(i.value(QStringLiteral("height"))))
                fault(w, QStringLiteral("width and height"));
            if (!i.value(QStringLiteral("content_type")).toString().startsWith(QLatin1String("image/")))
                fault(w, QStringLiteral("content_type"));
            const QString path = i.value(QStringLiteral("path")).toString();
            if (path.isEmpty() && !i.contains(QStringLiteral("data")) && !i.contains(QStringLiteral("url")))
                fault(w, QStringLiteral("no data, url or path"));
            if (i.contains(QStringLiteral("data")) && !imageData.match(i.value(QStringLiteral("data")).toString()).hasMatch())
                fault(w, QStringLiteral("data is no picture's data URI"));
            if (!path.isEmpty() && (!packed || !files.contains(path))) fault(w, QStringLiteral("path"));
            extrasOf(w, i, {"id", "width", "height", "content_type", "data", "url", "symbol", "path", "data_url", "license"});
        }
        for (const QJsonValue& v : b.value(QStringLiteral("sounds")).toArray()) {
            const QJsonObject i = v.toObject();
            const QString w = where + QStringLiteral(" sound ") + i.value(QStringLiteral("id")).toString();
            if (!isWhole(i.value(QStringLiteral("duration")))) fault(w, QStringLiteral("duration"));
            if (!i.value(QStringLiteral("content_type")).toString().startsWith(QLatin1String("audio/")))
                fault(w, QStringLiteral("content_type"));
            if (i.contains(QStringLiteral("data")) && !soundData.match(i.value(QStringLiteral("data")).toString()).hasMatch())
                fault(w, QStringLiteral("data is no sound's data URI"));
            if (i.contains(QStringLiteral("path")) && !files.contains(i.value(QStringLiteral("path")).toString()))
                fault(w, QStringLiteral("path"));
            extrasOf(w, i, {"id", "duration", "content_type", "data", "url", "path", "data_url", "license"});
        }
        for (const QJsonValue& v : b.value(QStringLiteral("buttons")).toArray()) {
            const QJsonObject button = v.toObject();
            const QString w = where + QStringLiteral(" button ") + button.value(QStringLiteral("id")).toString();
            if (!button.value(QStringLiteral("label")).isString()) fault(w, QStringLiteral("label"));
            for (const char* k : {"left", "top", "width", "height"})
                if (button.contains(QLatin1String(k)) && (!button.value(QLatin1String(k)).isDouble() ||
                                                          button.value(QLatin1String(k)).toDouble() < 0))
                    fault(w, QLatin1String(k));
            for (const char* k : {"background_color", "border_color"})
                if (button.contains(QLatin1String(k)) && !colour.match(button.value(QLatin1String(k)).toString()).hasMatch())
                    fault(w, QLatin1String(k));
            if (button.contains(QStringLiteral("hidden")) && !button.value(QStringLiteral("hidden")).isBool())
                fault(w, QStringLiteral("hidden"));
            if (!imageIds.contains(button.value(QStringLiteral("image_id")).toString()))
                fault(w, QStringLiteral("no image_id of the board"));
            // The validator takes "action" for an array: any string there is an error.
            if (button.contains(QStringLiteral("action"))) fault(w, QStringLiteral("action"));
            for (const QJsonValue& a : button.value(QStringLiteral("actions")).toArray())
                if (!a.toString().startsWith(u':') && !a.toString().startsWith(u'+')) fault(w, QStringLiteral("actions"));
            extrasOf(w, button, {"id", "label", "vocalization", "image_id", "sound_id", "hidden", "background_color",
                                 "border_color", "action", "actions", "load_board", "top", "left", "width", "height"});
            const QString link = button.value(QStringLiteral("load_board")).toObject().value(QStringLiteral("path")).toString();
            if (!link.isEmpty() && (!packed || !files.contains(link))) fault(w, QStringLiteral("load_board.path"));
        }
    };
    if (files.contains(QString())) {
        checkBoard(QStringLiteral("the board"), QJsonDocument::fromJson(files.value(QString())).object(), false);
        return faults;
    }
    const QJsonObject manifest = QJsonDocument::fromJson(files.value(kManifest)).object();
    if (manifest.value(QStringLiteral("format")).toString() != kFormat) fault(kManifest, QStringLiteral("format"));
    if (!files.contains(manifest.value(QStringLiteral("root")).toString())) fault(kManifest, QStringLiteral("root"));
    extrasOf(kManifest, manifest, {"format", "root", "paths"});
    const QJsonObject paths = manifest.value(QStringLiteral("paths")).toObject();
    extrasOf(kManifest, paths, {"boards", "images", "sounds"});
    QSet<QString> listed{kManifest};
    for (const QString& kind : {QStringLiteral("boards"), QStringLiteral("images"), QStringLiteral("sounds")}) {
        const QJsonObject map = paths.value(kind).toObject();
        for (auto it = map.begin(); it != map.end(); ++it) {
            listed.insert(it.value().toString());
            if (!files.contains(it.value().toString())) fault(kManifest, it.value().toString());
            if (kind == u"boards") {
                const QJsonObject b = QJsonDocument::fromJson(files.value(it.value().toString())).object();
                if (b.value(QStringLiteral("id")).toString() != it.key()) fault(kManifest, QStringLiteral("board id"));
                checkBoard(it.value().toString(), b, true);
            }
        }
    }
    for (const QString& name : files.keys())
        if (!name.endsWith(u'/') && !listed.contains(name)) fault(name, QStringLiteral("is not listed in manifest.json"));
    return faults;
}

TEST_F(ObfTest, ExportsPassTheReferenceValidatorsRules) {
    // A board with nothing to pick but its frame, and a board whose only area is a group.
    TemplateSettings bare;
    writeAll(path(QStringLiteral("bare/BARE.VXL")), boardBytes(bare, {area(0, 0, 640, 445, 0)}));
    std::vector<Area> grouped{area(0, 0, 640, 445, 0), area(10, 10, 300, 300, 1)};
    grouped[1].isGroup = -1;
    writeAll(path(QStringLiteral("bare/GROUP.VXL")), boardBytes(bare, grouped));
    const QString rich = richBoard();
    for (const QString& board : {rich, copyDemo(), path(QStringLiteral("bare/BARE.VXL")),
                                 path(QStringLiteral("bare/GROUP.VXL"))}) {
        exportBoards(board, path(QStringLiteral("x.obz")));
        EXPECT_EQ(ruleFaults(entries(path(QStringLiteral("x.obz")))), QStringList()) << board.toStdString();
        exportBoards(board, path(QStringLiteral("x.obf")));
        EXPECT_EQ(ruleFaults({{QString(), readAll(path(QStringLiteral("x.obf")))}}), QStringList()) << board.toStdString();
    }
    // The rules catch what they are for: an empty grid, a sound without its length, a
    // file the manifest does not list.
    exportBoards(rich, path(QStringLiteral("x.obz")));
    QMap<QString, QByteArray> files = entries(path(QStringLiteral("x.obz")));
    QJsonObject b = QJsonDocument::fromJson(files.value(QStringLiteral("boards/board-1.obf"))).object();
    b.insert(QStringLiteral("grid"), QJsonObject{{"rows", 0}, {"columns", 0}, {"order", QJsonArray()}});
    QJsonArray sounds = b.value(QStringLiteral("sounds")).toArray();
    QJsonObject sound = sounds[0].toObject();
    EXPECT_EQ(sound.value(QStringLiteral("duration")).toInt(), 1);
    sound.remove(QStringLiteral("duration"));
    sounds[0] = sound;
    b.insert(QStringLiteral("sounds"), sounds);
    files.insert(QStringLiteral("boards/board-1.obf"), json(b));
    files.insert(QStringLiteral("files/RICH.VXL"), "x");
    const QString faults = ruleFaults(files).join(u'\n');
    for (const char* f : {"grid.rows", "duration", "files/RICH.VXL", "no button on the grid"})
        EXPECT_TRUE(faults.contains(QLatin1String(f))) << f << "\n" << faults.toStdString();
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
    // Every button is on the grid, the group too (readers want each placed), in reading order.
    const QJsonArray order = b.value(QStringLiteral("grid")).toObject().value(QStringLiteral("order")).toArray();
    QStringList cells;
    for (const QJsonValue& row : order)
        for (const QJsonValue& c : row.toArray()) cells << (c.isNull() ? QStringLiteral("-") : c.toString());
    EXPECT_EQ(cells, (QStringList{"board-1-area-2", "board-1-area-3", "-", "board-1-area-4", "board-1-area-5",
                                  "board-1-area-6"}));
    // Buttons without a picture of their own show the part of the cover they lie over.
    const QJsonObject group = buttons[2].toObject();
    ASSERT_TRUE(group.contains(QStringLiteral("image_id")));
    for (const QJsonValue& v : b.value(QStringLiteral("images")).toArray())
        if (v.toObject().value(QStringLiteral("id")) == group.value(QStringLiteral("image_id"))) {
            EXPECT_EQ(v.toObject().value(QStringLiteral("width")).toInt(), 620);
            EXPECT_EQ(v.toObject().value(QStringLiteral("height")).toInt(), 230);
        }
    const QJsonObject background = b.value(QStringLiteral("ext_vexil_background")).toObject();
    const QString cover = background.value(QStringLiteral("image_id")).toString();
    ASSERT_FALSE(cover.isEmpty());
    // The same picture inline, for readers that take the background as a URL.
    QString type;
    const QImage inlined = QImage::fromData(decodeDataUri(background.value(QStringLiteral("image_url")).toString(), &type));
    EXPECT_EQ(type, QStringLiteral("image/png"));
    EXPECT_EQ(inlined.size(), QSize(640, 445));
    EXPECT_EQ(b.value(QStringLiteral("locale")).toString(), QStringLiteral("es"));
}

// A label is what the board shows: the icon's text, the printable text of the keys, or the
// names of the keys; what readers of the format can do with the keys is an action.
TEST_F(ObfTest, LabelsAndActionsAreWhatTheAreasShowAndDo) {
    struct Case {
        const char* keys;
        const char* icon;
        const char* label;
        const char* action;   // "" for none
        const char* earlier;  // the label earlier versions wrote
    };
    const Case cases[] = {
        {"{|Enganxa PA.PNG}^v", "PA.PNG ", "Ctrl+V", "", "PA.PNG"},
        {"%{F4}", "", "Alt+F4", "", "F4}"},
        {" ", "", "Space", ":space", ""},
        {"{BACKSPACE}", "", "Backspace", ":backspace", ""},
        {"~", "", "Enter", ":enter", "~"},
        {"{TAB}", "", "Tab", ":tab", ""},
        {"cafè", "..\\COMU\\CAFÈ AMB LLET.GIF", "cafè", "+cafè", "cafè"},
        {"{|Llegir Hola}hola ", "", "hola", "+hola ", "hola"},
        {"+a", "", "A", "", ""},
        {"x", "Icona", "Icona", "+x", "Icona"},
    };
    std::vector<Area> areas{area(0, 0, 640, 445, 0)};
    for (int i = 0; i < int(std::size(cases)); ++i)
        areas.push_back(area(i * 60, 0, i * 60 + 50, 50, 1, QString::fromUtf8(cases[i].keys),
                             QString::fromUtf8(cases[i].icon)));
    writeAll(path(QStringLiteral("labels/L.VXL")), boardBytes({}, areas));
    exportBoards(path(QStringLiteral("labels/L.VXL")), path(QStringLiteral("l.obf")));
    const QJsonArray buttons = QJsonDocument::fromJson(readAll(path(QStringLiteral("l.obf")))).object()
                                   .value(QStringLiteral("buttons")).toArray();
    ASSERT_EQ(buttons.size(), qsizetype(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const QJsonObject b = buttons[i].toObject();
        EXPECT_EQ(b.value(QStringLiteral("label")).toString(), QString::fromUtf8(cases[i].label)) << cases[i].keys;
        EXPECT_EQ(b.value(QStringLiteral("actions")).toArray(),
                  *cases[i].action ? QJsonArray{QString::fromUtf8(cases[i].action)} : QJsonArray())
            << cases[i].keys;
    }
    // The part of the cover that stands for a missing icon comes back as no icon file.
    importBoards(path(QStringLiteral("l.obf")), path(QStringLiteral("back")));
    EXPECT_EQ(readAll(path(QStringLiteral("back/L.VXL"))), readAll(path(QStringLiteral("labels/L.VXL"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("back/PA.PNG"))));
    // A board exported by an earlier version, with its labels, comes back as it was: those
    // labels are no edit made in another program.
    QJsonObject board = QJsonDocument::fromJson(readAll(path(QStringLiteral("l.obf")))).object();
    QJsonArray earlier = board.value(QStringLiteral("buttons")).toArray();
    for (int i = 0; i < int(std::size(cases)); ++i) {
        QJsonObject b = earlier[i].toObject();
        b.insert(QStringLiteral("label"), QString::fromUtf8(cases[i].earlier));
        earlier[i] = b;
    }
    board.insert(QStringLiteral("buttons"), earlier);
    writeAll(path(QStringLiteral("earlier.obf")), json(board));
    const ImportReport report = importBoards(path(QStringLiteral("earlier.obf")), path(QStringLiteral("back2")));
    EXPECT_EQ(readAll(path(QStringLiteral("back2/L.VXL"))), readAll(path(QStringLiteral("labels/L.VXL"))));
    EXPECT_FALSE(report.notices.join(u'\n').contains(QStringLiteral("edited"))) << report.notices.join(u'\n').toStdString();
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
    // Cell (0,0): a picture, its label said; cell (0,1): what the button says, spoken.
    EXPECT_EQ(t.area(2).x0, 0);
    EXPECT_EQ(t.area(2).x1, 213);
    EXPECT_EQ(t.area(2).keys, QStringLiteral("{|Llegir hola}"));
    EXPECT_TRUE(QFileInfo(f.session->realPath(t.area(2).iconFile)).isFile());
    EXPECT_EQ(QImage(f.session->realPath(t.area(2).iconFile)).width(), 256);
    EXPECT_EQ(t.area(3).keys, QStringLiteral("{|Llegir yo quiero+}"));
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

// What the buttons of other programs do: vocalizations and labels are spoken, actions are
// the keys that do them, links open boards; what a board cannot hold is said in one note.
TEST_F(ObfTest, ButtonsOfOtherProgramsSpeakAndDoTheirActions) {
    struct Case {
        QJsonObject button;
        const char* keys;
    };
    const Case cases[] = {
        {{{"label", "hola"}}, "{|Llegir hola}"},
        {{{"label", "yo"}, {"vocalization", "yo {quiero}"}}, "{|Llegir yo (quiero)}"},
        {{{"label", "espai"}, {"action", ":space"}}, " "},
        {{{"label", "Clear Text"}, {"action", ":clear"}}, "^a{DEL}"},
        {{{"label", "esborra"}, {"actions", QJsonArray{":backspace", ":enter", ":tab"}}}, "{BACKSPACE}{ENTER}{TAB}"},
        {{{"label", "ab"}, {"vocalization", "a be"}, {"actions", QJsonArray{"+a", "+b(", ":beep"}}}, "{|Llegir a be}ab{(}"},
        {{{"label", "inici"}, {"action", ":home"}}, "{|Carrega HOME.VXL}"},
        {{{"label", "menjar"}, {"vocalization", "menjar"}, {"load_board", QJsonObject{{"id", "home"}}}},
         "{|Llegir menjar}{|Carrega HOME.VXL}"},
    };
    QJsonArray buttons, row;
    for (int i = 0; i < int(std::size(cases)); ++i) {
        QJsonObject b = cases[i].button;
        b.insert(QStringLiteral("id"), QString::number(i));
        buttons.append(b);
        row.append(QString::number(i));
    }
    buttons.append(QJsonObject{{"id", "h"}, {"label", "amagat"}, {"hidden", true}});
    row.append("h");
    buttons.append(QJsonObject{{"id", "c"}, {"label", "\u4f60\u597d"}, {"background_color", "rgb(255, 0, 0)"}});
    row.append("c");
    const QJsonObject home{{"format", kFormat}, {"id", "home"}, {"name", "Home"}, {"buttons", QJsonArray{
        QJsonObject{{"id", "x"}, {"label", "x"}}}}, {"grid", QJsonObject{{"rows", 1}, {"columns", 1},
        {"order", QJsonArray{QJsonArray{"x"}}}}}};
    const QJsonObject other{{"format", kFormat}, {"id", "other"}, {"name", "Other"}, {"buttons", buttons},
                            {"grid", QJsonObject{{"rows", 1}, {"columns", row.size()}, {"order", QJsonArray{row}}}}};
    const QJsonObject manifest{{"format", kFormat}, {"root", "home.obf"},
                               {"paths", QJsonObject{{"boards", QJsonObject{{"home", "home.obf"}, {"other", "other.obf"}}}}}};
    repack(path(QStringLiteral("a.obz")), {{kManifest, json(manifest)}, {"home.obf", json(home)}, {"other.obf", json(other)}});
    const ImportReport report = importBoards(path(QStringLiteral("a.obz")), path(QStringLiteral("out")));
    // A board no link reaches is imported too: every board the manifest lists.
    EXPECT_EQ(report.boards, 2);
    test::FakeSessionFixture f;
    loadTemplate(*f.session, path(QStringLiteral("out/OTHER.VXL")));
    const Template& t = f.session->tmpl;
    ASSERT_EQ(t.areaCount(), int(std::size(cases)) + 2);  // the frame, the cases, the Chinese label
    for (int i = 0; i < int(std::size(cases)); ++i)
        EXPECT_EQ(t.area(i + 2).keys, QString::fromUtf8(cases[i].keys)) << i;
    const QString notes = report.notices.join(u'\n');
    for (const char* kept : {"1 hidden buttons", ":beep", "colours of 1 buttons", "\u4f60\u597d"})
        EXPECT_TRUE(notes.contains(QString::fromUtf8(kept))) << kept << "\n" << notes.toStdString();
    // Exported again from its first board, the set keeps the board no link reaches: it
    // opens the first board.
    EXPECT_EQ(exportBoards(path(QStringLiteral("out/HOME.VXL")), path(QStringLiteral("again.obz"))).boards, 2);
}

// Pictures of every kind load, a large photo within the memory bound too; a picture that
// cannot be read is a note, and the board comes in with that button's label.
TEST_F(ObfTest, PicturesOfOtherProgramsLoadOrLeaveTheirLabel) {
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='50'>"
                           "<rect width='100' height='50' fill='#00ff00'/></svg>";
    QImage photo(8000, 6000, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    QByteArray large;
    QBuffer buffer(&large);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 50);
    photo = QImage();
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* type;
        bool loads;
    };
    const Case cases[] = {{"svg", svg, "image/svg+xml", true},
                          {"photo", large, "image/jpeg", true},
                          {"png", png(40, 30, Qt::red), "image/png", true},
                          {"broken", QByteArray("\x89PNG not really", 15), "image/png", false}};
    QJsonArray buttons, images, row;
    for (const Case& c : cases) {
        const QString id = QString::fromLatin1(c.what);
        buttons.append(QJsonObject{{"id", id}, {"label", id}, {"image_id", id}});
        images.append(QJsonObject{{"id", id}, {"content_type", c.type}, {"data", dataUri(QLatin1String(c.type), c.bytes)}});
        row.append(id);
    }
    const QJsonObject board{{"format", kFormat}, {"id", "p"}, {"name", "Pictures"}, {"buttons", buttons},
                            {"images", images}, {"background", QJsonObject{{"image_id", "photo"}}},
                            {"grid", QJsonObject{{"rows", 2}, {"columns", row.size()},
                                                 {"order", QJsonArray{row, QJsonArray{{}, {}, {}, {}}}}}}};
    writeAll(path(QStringLiteral("p.obf")), json(board));
    const ImportReport report = importBoards(path(QStringLiteral("p.obf")), path(QStringLiteral("out")));
    test::FakeSessionFixture f;
    loadTemplate(*f.session, report.rootBoard);
    const Template& t = f.session->tmpl;
    ASSERT_EQ(t.areaCount(), 5);
    for (int i = 0; i < 4; ++i) {
        const QImage icon(f.session->realPath(t.area(i + 2).iconFile));
        EXPECT_EQ(!icon.isNull(), cases[i].loads) << cases[i].what;
        if (cases[i].loads) {
            EXPECT_LE(std::max(icon.width(), icon.height()), 256) << cases[i].what;
        } else {
            EXPECT_EQ(t.area(i + 2).iconFile, QStringLiteral("broken"));
        }
    }
    EXPECT_EQ(QImage(f.session->realPath(t.area(2).iconFile)).pixelColor(50, 20), QColor(0, 255, 0));
    EXPECT_TRUE(report.notices.join(u'\n').contains(QStringLiteral("image \"broken\" does not decode")))
        << report.notices.join(u'\n').toStdString();
    // The background is the cover, the areas drawn over it; the cover is not redrawn.
    EXPECT_EQ(t.settings.autoCover, 0);
    const QImage cover(path(QStringLiteral("out/PICTURES.BMP")));
    EXPECT_EQ(cover.size(), QSize(640, 445));
    const QColor under = cover.pixelColor(320, 300), cyan(Qt::darkCyan);
    EXPECT_LE(std::abs(under.red() - cyan.red()) + std::abs(under.green() - cyan.green()) +
                  std::abs(under.blue() - cyan.blue()),
              6);
}

// The format's simplest sample board: an SVG picture inline, another only on the web.
TEST_F(ObfTest, TheFormatsSampleBoardImportsWithItsPicture) {
    const ImportReport report =
        importBoards(test::sourceDir() + QStringLiteral("/tests/obf/samples/simple.obf"), path(QStringLiteral("out")));
    test::FakeSessionFixture f;
    loadTemplate(*f.session, report.rootBoard);
    const Template& t = f.session->tmpl;
    ASSERT_EQ(t.areaCount(), 3);
    EXPECT_EQ(t.area(2).keys, QStringLiteral("{|Llegir children}"));
    const QImage kids(f.session->realPath(t.area(2).iconFile));
    ASSERT_FALSE(kids.isNull()) << report.notices.join(u'\n').toStdString();
    EXPECT_EQ(kids.width(), 100);
    EXPECT_EQ(t.area(3).iconFile, QStringLiteral("cat"));  // its picture is on the web only
    // One note for the board names what it could not keep.
    ASSERT_EQ(report.notices.size(), 1) << report.notices.join(u'\n').toStdString();
    EXPECT_TRUE(report.notices.first().contains(QStringLiteral("the pictures \"119\", which the package does not hold")));
    EXPECT_TRUE(report.notices.first().contains(QStringLiteral("colours of 1 buttons")));
}

// The same, written by the format's reference library itself from a package of Vexil's
// earlier layout: the cover, the icon and the sound come back from the format's fields.
TEST_F(ObfTest, APackageTheReferenceLibraryWroteAgainKeepsItsPicturesAndSound) {
    const ImportReport report = importBoards(test::sourceDir() + QStringLiteral("/tests/obf/samples/rewritten.obz"),
                                             path(QStringLiteral("back")));
    EXPECT_EQ(report.notices, QStringList());
    const QImage cover(path(QStringLiteral("back/PETITA.BMP")));
    ASSERT_EQ(cover.size(), QSize(64, 44));
    EXPECT_EQ(cover.pixelColor(30, 30), QColor(Qt::yellow));
    const QImage icon(path(QStringLiteral("back/ICONES/SOL.BMP")));
    ASSERT_EQ(icon.size(), QSize(16, 12));
    EXPECT_EQ(icon.pixelColor(8, 6), QColor(Qt::red));
    EXPECT_TRUE(readAll(path(QStringLiteral("back/SONS/HOLA.WAV"))).startsWith("RIFF"));
    test::FakeSessionFixture f;
    loadTemplate(*f.session, report.rootBoard);
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(f.session->tmpl.area(2).keys, QStringLiteral("{|Llegir Bon dia}"));
}

// A Vexil package that another program read and wrote again (the format's reference
// library does this): Vexil's own copies of the files are gone, the boards and resources
// are renamed, the cover is only in the background, and the other program's edits stand.
TEST_F(ObfTest, AVexilPackageWrittenAgainByAnotherProgramKeepsItsPicturesAndEdits) {
    const QString board = richBoard();
    exportBoards(board, path(QStringLiteral("rich.obz")));
    const QMap<QString, QByteArray> ours = entries(path(QStringLiteral("rich.obz")));
    QMap<QString, QByteArray> theirs;
    QJsonObject boardPaths, imagePaths, soundPaths;
    for (const QString& name : {QStringLiteral("boards/board-1.obf"), QStringLiteral("boards/board-2.obf")}) {
        QJsonObject b = QJsonDocument::fromJson(ours.value(name)).object();
        b.remove(QStringLiteral("ext_vexil_files"));
        const QString id = b.value(QStringLiteral("id")).toString();
        QSet<QString> used;
        QJsonArray buttons;
        for (const QJsonValue& v : b.value(QStringLiteral("buttons")).toArray()) {
            QJsonObject button = v.toObject();
            used.insert(button.value(QStringLiteral("image_id")).toString());
            button.insert(QStringLiteral("background_color"), QStringLiteral("rgb(255, 255, 255)"));
            if (button.contains(QStringLiteral("load_board"))) {
                const QString to = button.value(QStringLiteral("load_board")).toObject().value(QStringLiteral("id")).toString();
                button.insert(QStringLiteral("load_board"), QJsonObject{{"id", to}, {"path", "board_" + to + ".obf"}});
            }
            buttons.append(button);
        }
        if (id == u"board-1") {
            // Edits: a new name, a label, a vocalization, a position.
            b.insert(QStringLiteral("name"), QStringLiteral("Taula nova"));
            QJsonObject link = buttons[1].toObject();
            link.insert(QStringLiteral("label"), QStringLiteral("Altra taula"));
            buttons[1] = link;
            QJsonObject sol = buttons[0].toObject();
            sol.insert(QStringLiteral("vocalization"), QStringLiteral("Bona tarda"));
            sol.insert(QStringLiteral("left"), 0.5);
            buttons[0] = sol;
        }
        b.insert(QStringLiteral("buttons"), buttons);
        QJsonArray images;
        for (const QJsonValue& v : b.value(QStringLiteral("images")).toArray()) {
            QJsonObject image = v.toObject();
            const QString iid = image.value(QStringLiteral("id")).toString();
            if (!used.contains(iid)) continue;  // only the buttons' pictures are kept
            const QString to = QStringLiteral("images/image_%1.png").arg(iid);
            theirs.insert(to, ours.value(image.value(QStringLiteral("path")).toString()));
            image.insert(QStringLiteral("path"), to);
            imagePaths.insert(iid, to);
            images.append(image);
        }
        b.insert(QStringLiteral("images"), images);
        QJsonArray sounds;
        for (const QJsonValue& v : b.value(QStringLiteral("sounds")).toArray()) {
            QJsonObject sound = v.toObject();
            const QString to = QStringLiteral("sounds/sound_%1.wav").arg(sound.value(QStringLiteral("id")).toString());
            theirs.insert(to, ours.value(sound.value(QStringLiteral("path")).toString()));
            sound.insert(QStringLiteral("path"), to);
            soundPaths.insert(sound.value(QStringLiteral("id")).toString(), to);
            sounds.append(sound);
        }
        b.insert(QStringLiteral("sounds"), sounds);
        // The cover travels in the background alone, as its picture's data.
        if (b.contains(QStringLiteral("ext_vexil_background"))) {
            b.insert(QStringLiteral("background"), QJsonObject{{"image_url", b.value(QStringLiteral("ext_vexil_background"))
                                                                                  .toObject().value(QStringLiteral("image_url"))}});
            b.remove(QStringLiteral("ext_vexil_background"));
        }
        theirs.insert(QStringLiteral("board_%1.obf").arg(id), json(b));
        boardPaths.insert(id, QStringLiteral("board_%1.obf").arg(id));
    }
    theirs.insert(kManifest, json(QJsonObject{{"format", kFormat}, {"root", "board_board-1.obf"},
                                              {"paths", QJsonObject{{"boards", boardPaths}, {"images", imagePaths},
                                                                    {"sounds", soundPaths}}}}));
    repack(path(QStringLiteral("theirs.obz")), theirs);
    const ImportReport report = importBoards(path(QStringLiteral("theirs.obz")), path(QStringLiteral("back")));
    const QString notes = report.notices.join(u'\n');
    // The cover, the icon and the sound are back, from the format's fields.
    const QImage cover(path(QStringLiteral("back/board/RICH.BMP")));
    ASSERT_EQ(cover.size(), QSize(640, 445)) << notes.toStdString();
    EXPECT_EQ(cover.pixelColor(5, 5), QColor(Qt::yellow));
    EXPECT_EQ(QImage(path(QStringLiteral("back/board/ICONES/SOL.BMP"))).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(readAll(path(QStringLiteral("back/board/SONS/SOL.WAV"))), wave());
    // What no field carries is named, not silently lost.
    EXPECT_TRUE(notes.contains(QStringLiteral("DOC.TXT"))) << notes.toStdString();
    test::FakeSessionFixture f;
    loadTemplate(*f.session, path(QStringLiteral("back/board/RICH.VXL")));
    const Template& t = f.session->tmpl;
    EXPECT_EQ(t.settings.description, QStringLiteral("Taula nova"));
    EXPECT_EQ(t.area(2).keys, QStringLiteral("{|Llegir Bona tarda}Bon dia{ENTER}"));
    EXPECT_EQ(t.area(2).x0, 320);
    EXPECT_EQ(t.area(2).x1 - t.area(2).x0, 190);
    EXPECT_EQ(t.area(3).iconFile, QStringLiteral("Altra taula"));
    EXPECT_TRUE(notes.contains(QStringLiteral("edited in another program"))) << notes.toStdString();
    // The other board, untouched, is the same file.
    EXPECT_EQ(readAll(path(QStringLiteral("back/board/ALTRA.VXL"))), readAll(path(QStringLiteral("rich/board/ALTRA.VXL"))));
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

// The zip codec is a module loaded on first use: without it, export and import of a package
// refuse with a message that names it and leave nothing behind; a single .obf board needs
// no zip and still goes both ways.
TEST_F(ObfTest, WithoutTheZipModulePackagesAreRefusedAndNothingIsLeftBehind) {
    const QString board = copyDemo();
    exportBoards(board, path(QStringLiteral("demo.obz")));
    struct Restore {
        ~Restore() { setZipCodecSource(&zip::libzipCodec); }
    } restore;
    setZipCodecSource([]() -> ZipCodec* { return nullptr; });
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const std::function<void()> attempts[] = {
        [&] { exportBoards(board, path(QStringLiteral("again.obz"))); },
        [&] { importBoards(path(QStringLiteral("demo.obz")), path(QStringLiteral("back"))); },
    };
    for (const auto& attempt : attempts) {
        try {
            attempt();
            ADD_FAILURE() << "done without the zip module";
        } catch (const ObfError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String("vexil-zip.so"))) << e.message().toStdString();
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    }
    exportBoards(path(QStringLiteral("demo/FRASES.VXL")), path(QStringLiteral("frases.obf")));
    const ImportReport single = importBoards(path(QStringLiteral("frases.obf")), path(QStringLiteral("one")));
    EXPECT_TRUE(QFileInfo::exists(single.rootBoard));
}

TEST_F(ObfTest, ZipBombsAreStoppedBySizeNotByHowWellTheyCompress) {
    ImportOptions small;
    small.limits.maxEntrySize = 1024 * 1024;
    QMap<QString, QByteArray> files = foreignPackage();
    files.insert(QStringLiteral("boards/home.obf"),
                 files.value(QStringLiteral("boards/home.obf")) + QByteArray(2 * 1024 * 1024, ' '));
    repack(path(QStringLiteral("bomb.obz")), files);
    try {
        importBoards(path(QStringLiteral("bomb.obz")), path(QStringLiteral("out")), small);
        ADD_FAILURE() << "an entry larger than allowed";
    } catch (const ObfError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("inflates to more than"))) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("out"))));
    // A cover of grid lines: a bitmap over 1 MB that compresses more than 200 times. The
    // program's own export imports again.
    QImage lines(1024, 768, QImage::Format_RGB888);
    lines.fill(Qt::white);
    for (int x = 0; x < 1024; x += 64)
        for (int y = 0; y < 768; ++y) lines.setPixelColor(x, y, Qt::black);
    QByteArray cover;
    QBuffer buffer(&cover);
    buffer.open(QIODevice::WriteOnly);
    lines.save(&buffer, "BMP");
    ASSERT_GT(cover.size(), 1024 * 1024);
    TemplateSettings st;
    st.pictureFile = QStringLiteral("GRID.BMP");
    writeAll(path(QStringLiteral("grid/GRID.VXL")), boardBytes(st, {area(0, 0, 1024, 768, 0), area(0, 0, 64, 64, 1, "a")}));
    writeAll(path(QStringLiteral("grid/GRID.BMP")), cover);
    exportBoards(path(QStringLiteral("grid/GRID.VXL")), path(QStringLiteral("grid.obz")));
    importBoards(path(QStringLiteral("grid.obz")), path(QStringLiteral("back")));
    EXPECT_EQ(readAll(path(QStringLiteral("back/GRID.BMP"))), cover);
    // The whole package counts too: many entries within the limit each, too many together.
    ImportOptions total;
    total.limits.maxTotalSize = 200 * 1024;
    files = foreignPackage();
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
