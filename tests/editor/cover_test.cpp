#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "editor/file_commands.h"
#include "editor_fixture.h"
#include "platform/metafile/metafile_image.h"
#include "platform/picture_files.h"
#include "support/metafile_writer.h"
#include "template/board_paths.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class CoverTest : public EditorFixture {
protected:
    CoverTest() {
        QDir().mkpath(folder());
        t().templateFolder = folder();
        f.session->currentDirectory = folder();
    }
    QString folder() const { return f.path(QStringLiteral("boards")); }
    void picture(const QString& name, QSize size, QColor color) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(folder() + u'/' + name));
    }
    // The rows and columns inside `r` (outline excluded) that hold dark pixels.
    static QRect ink(const QImage& image, const QRect& r) {
        QRect found;
        for (int y = r.top() + 1; y < r.bottom(); ++y)
            for (int x = r.left() + 1; x < r.right(); ++x)
                if (qGray(image.pixel(x, y)) < 128) found |= QRect(x, y, 1, 1);
        return found;
    }
    void saveBoard() {
        saveTemplateAs(*f.session, folder() + QStringLiteral("/menu.vxl"));
        f.fake.recorder.clear();
    }
};

TEST_F(CoverTest, WhatAnAreaShows) {
    struct Case {
        QString icon, keys, picture, label;
    } cases[] = {
        {QStringLiteral("HOLA"), {}, {}, QStringLiteral("HOLA")},
        {QStringLiteral("gat.jpg"), QStringLiteral("x"), QStringLiteral("gat.jpg"), {}},
        {QStringLiteral("ICONES\\GAT.Bmp"), {}, QStringLiteral("ICONES\\GAT.Bmp"), {}},
        {QStringLiteral("notes.txt"), {}, {}, QStringLiteral("notes.txt")},
        {QStringLiteral("Bon dia."), {}, {}, QStringLiteral("Bon dia.")},
        {QStringLiteral("imatges.v2/gat.jpg"), {}, QStringLiteral("imatges.v2/gat.jpg"), {}},
        {QStringLiteral("imatges.v2/gat"), {}, {}, QStringLiteral("imatges.v2/gat")},
        {QStringLiteral("foto.jpeg"), {}, QStringLiteral("foto.jpeg"), {}},
        {QStringLiteral("sol.PNG"), {}, QStringLiteral("sol.PNG"), {}},
        {QStringLiteral("dibuix.wmf"), {}, QStringLiteral("dibuix.wmf"), {}},
        {QStringLiteral("logo.svg"), {}, QStringLiteral("logo.svg"), {}},
        {QStringLiteral("v. 2.JP"), {}, {}, QStringLiteral("v. 2.JP")},
        {{}, QStringLiteral("{ENTER}ok"), {}, QStringLiteral("ok")},
        {{}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        Area a;
        a.iconFile = c.icon;
        a.keys = c.keys;
        const CoverComposer::Content content = CoverComposer::contentOf(a);
        EXPECT_EQ(content.picture, c.picture) << c.icon;
        EXPECT_EQ(content.label, c.label) << c.icon;
    }
}

TEST_F(CoverTest, APictureIsStretchedInsideTheOutline) {
    picture(QStringLiteral("red.bmp"), QSize(32, 32), Qt::red);
    Area a = rect(100, 100, 200, 140);
    a.iconFile = QStringLiteral("red.bmp");
    rootedBoard({a});
    const QImage cover = editor.cover.composeCover();
    ASSERT_EQ(cover.size(), QSize(640, 445));
    EXPECT_EQ(QColor(cover.pixel(101, 101)), QColor(Qt::red));
    EXPECT_EQ(QColor(cover.pixel(197, 137)), QColor(Qt::red));  // 98 x 38 from (100, 100)
    EXPECT_EQ(QColor(cover.pixel(198, 130)), QColor(Qt::white));
    EXPECT_EQ(QColor(cover.pixel(150, 138)), QColor(Qt::white));
    EXPECT_EQ(QColor(cover.pixel(200, 120)), QColor(Qt::black));  // the outline
    EXPECT_EQ(QColor(cover.pixel(150, 140)), QColor(Qt::black));
    EXPECT_EQ(QColor(cover.pixel(1, 200)), QColor(Qt::black));  // the frame
}

TEST_F(CoverTest, EveryPictureKindIsDrawnAndTheFrameLiesOnAllFourSides) {
    setMetafileRenderer(&renderMetafile);
    picture(QStringLiteral("red.png"), QSize(20, 20), Qt::red);
    picture(QStringLiteral("green.jpeg"), QSize(20, 20), Qt::green);
    picture(QStringLiteral("blue.ico"), QSize(20, 20), Qt::blue);
    picture(QStringLiteral("magenta.bmp"), QSize(20, 20), Qt::magenta);
    // The bytes decide, not the name: a PNG named .bmp, a bitmap named .gif.
    picture(QStringLiteral("gray.png"), QSize(20, 20), Qt::gray);
    ASSERT_TRUE(QFile::rename(folder() + QStringLiteral("/gray.png"),
                              folder() + QStringLiteral("/gray.bmp")));
    picture(QStringLiteral("darkred.bmp"), QSize(20, 20), Qt::darkRed);
    ASSERT_TRUE(QFile::rename(folder() + QStringLiteral("/darkred.bmp"),
                              folder() + QStringLiteral("/darkred.gif")));
    test::MetafileWriter wmf(40, 40, 96);
    wmf.filledRectangle(0xFFFF00, 0, 0, 40, 40);
    QFile file(folder() + QStringLiteral("/yellow.wmf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wmf.bytes());
    file.close();
    QFile svg(folder() + QStringLiteral("/cyan.svg"));
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>"
              "<rect width='20' height='20' fill='#00ffff'/></svg>");
    svg.close();
    struct Case {
        const char* icon;
        QColor colour;
    } cases[] = {{"red.png", Qt::red},   {"green.jpeg", Qt::green},
                 {"blue.ico", Qt::blue}, {"yellow.wmf", Qt::yellow},
                 {"cyan.svg", Qt::cyan}, {"magenta.bmp", Qt::magenta},
                 {"gray.bmp", Qt::gray}, {"darkred.gif", Qt::darkRed}};
    const int n = int(std::size(cases));
    t().appendArea(rect(0, 0, 40 + 60 * n, 200, 0, -1));
    for (int i = 0; i < n; ++i) {
        Area a = rect(20 + 60 * i, 20, 70 + 60 * i, 70);
        a.iconFile = QString::fromLatin1(cases[i].icon);
        t().appendArea(a);
    }
    const QImage cover = editor.cover.composeCover();
    ASSERT_EQ(cover.size(), QSize(40 + 60 * n, 200));
    for (int i = 0; i < n; ++i) {
        const QColor c(cover.pixel(45 + 60 * i, 45));
        EXPECT_LT(std::abs(c.red() - cases[i].colour.red()) +
                      std::abs(c.green() - cases[i].colour.green()) +
                      std::abs(c.blue() - cases[i].colour.blue()),
                  40)
            << cases[i].icon << " " << c.name().toStdString();
    }
    for (QPoint p : {QPoint(1, 100), QPoint(160, 1), QPoint(39 + 60 * n, 100), QPoint(160, 199)})
        EXPECT_EQ(QColor(cover.pixel(p)), QColor(Qt::black)) << p.x() << "," << p.y();
    setMetafileRenderer(nullptr);
}

TEST_F(CoverTest, AGeneratedCoverNeverReplacesTheTeachersPicture) {
    rootedBoard({rect(100, 100, 200, 140)});
    saveBoard();
    picture(QStringLiteral("MENU.BMP"), QSize(640, 445), Qt::blue);  // a photo, chosen
    t().settings.pictureFile = QStringLiteral("MENU.BMP");
    const QImage photo(folder() + QStringLiteral("/MENU.BMP"));
    t().pictureFileTime = fileTimeText(folder() + QStringLiteral("/MENU.BMP"));  // as loaded
    click(150, 120);
    editor.panel.setIconFile(QStringLiteral("HOLA"));
    // "&Editar" with the areas changed, then "&Nova": each proposes a name of the cover's
    // own; the photo stays the board's and stays on disk.
    f.fake.dialogs.chosenFiles.push_back(folder() + QStringLiteral("/MENU_2.BMP"));
    editor.coverCommands.editCover();
    EXPECT_EQ(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).size(), 1u);
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("MENU.BMP"));
    EXPECT_EQ(QImage(folder() + QStringLiteral("/MENU.BMP")), photo);
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/MENU_2.BMP")));
    ASSERT_EQ(f.fake.launcher.started.size(), 1);
    EXPECT_TRUE(f.fake.launcher.started[0].endsWith(QStringLiteral("/MENU_2.BMP")));
    // A cover generated without the dialog goes beside the photo too.
    editor.coverCommands.generateCover();
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("MENU.BMP"));
    EXPECT_EQ(QImage(folder() + QStringLiteral("/MENU.BMP")), photo);
}

TEST_F(CoverTest, AMissingOrUnreadablePictureLeavesTheOutlineOnly) {
    QFile bad(folder() + QStringLiteral("/bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    Area missing = rect(100, 100, 200, 140);
    missing.iconFile = QStringLiteral("none.bmp");
    Area unreadable = rect(300, 100, 400, 140);
    unreadable.iconFile = QStringLiteral("bad.bmp");
    rootedBoard({missing, unreadable});
    const QImage cover = editor.cover.composeCover();
    EXPECT_TRUE(ink(cover, QRect(QPoint(100, 100), QPoint(200, 140))).isNull());
    EXPECT_TRUE(ink(cover, QRect(QPoint(300, 100), QPoint(400, 140))).isNull());
    EXPECT_EQ(QColor(cover.pixel(300, 120)), QColor(Qt::black));
}

TEST_F(CoverTest, LabelsAreCentredAndLongOnesShrinkBeforeTheyAreCut) {
    Area shortLabel = rect(100, 100, 300, 160);
    shortLabel.iconFile = QStringLiteral("OK");
    Area longLabel = rect(100, 200, 180, 260);
    longLabel.iconFile = QStringLiteral("ABCDEFGH");
    Area tiny = rect(400, 100, 404, 160);
    tiny.iconFile = QStringLiteral("W");
    rootedBoard({shortLabel, longLabel, tiny});
    const QImage cover = editor.cover.composeCover();
    const QRect a = ink(cover, QRect(QPoint(100, 100), QPoint(300, 160)));
    ASSERT_FALSE(a.isNull());
    EXPECT_GE(a.height(), 14);                                     // 20 points
    EXPECT_LE(std::abs((a.left() - 100) - (300 - a.right())), 3);  // centred
    EXPECT_LE(std::abs((a.top() - 100) - (160 - a.bottom())), 8);
    const QRect b = ink(cover, QRect(QPoint(100, 200), QPoint(180, 260)));
    ASSERT_FALSE(b.isNull());
    EXPECT_LT(b.height(), 12);  // shrunk
    EXPECT_GT(b.left(), 100);
    EXPECT_LT(b.right(), 180);
    // Not even one character fits: nothing is printed.
    EXPECT_TRUE(ink(cover, QRect(QPoint(400, 100), QPoint(404, 160))).isNull());
}

TEST_F(CoverTest, GenerateCoverWritesABitmapUnderABmpName) {
    rootedBoard({rect(100, 100, 200, 140)});
    t().setArea(1, rect(0, 0, 320, 200, 0, -1));
    t().settings.pictureFile = QStringLiteral("tapa.gif");
    t().coverOutdated = true;
    editor.coverCommands.generateCover();
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("tapa.BMP"));
    const QImage written(folder() + QStringLiteral("/tapa.BMP"), "BMP");
    EXPECT_EQ(written.size(), QSize(320, 200));
    EXPECT_FALSE(t().pictureFileTime.isEmpty());
    EXPECT_FALSE(t().coverOutdated);
}

TEST_F(CoverTest, NovaOnANeverSavedBoardAsksForItsNameFirst) {
    rootedBoard({rect(100, 100, 200, 140)});
    editor.coverCommands.newCover();  // the save dialog is cancelled
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_NE(dialogs[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Enregistrar Caràtula"));
    EXPECT_TRUE(f.fake.launcher.started.isEmpty());
}

TEST_F(CoverTest, NovaAsksForTheCoverNameAddsBmpAndOpensThePaintProgram) {
    rootedBoard({rect(100, 100, 200, 140)});
    saveBoard();
    QFile::remove(folder() + QStringLiteral("/MENU.BMP"));
    f.fake.dialogs.chosenFiles.push_back(folder() + QStringLiteral("/dibuix"));
    editor.coverCommands.newCover();
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Enregistrar Caràtula"));
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("dibuix.BMP"));
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/dibuix.BMP")));
    ASSERT_EQ(f.fake.launcher.started.size(), 1);
    EXPECT_TRUE(f.fake.launcher.started[0].startsWith(QStringLiteral("/usr/bin/kolourpaint ")));
    EXPECT_TRUE(f.fake.launcher.started[0].endsWith(QStringLiteral("dibuix.BMP")));
    // The cover just written is ours: the next "&Nova" asks nothing.
    f.fake.recorder.clear();
    editor.coverCommands.newCover();
    EXPECT_TRUE(f.fake.recorder.eventsOf(QStringLiteral("fileDialog")).empty());
    EXPECT_TRUE(f.messages().isEmpty());
}

TEST_F(CoverTest, ACoverChosenInAnotherFolderIsRecordedByItsFullPath) {
    rootedBoard({rect(100, 100, 200, 140)});
    saveBoard();
    QDir().mkpath(f.path(QStringLiteral("elsewhere")));
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("elsewhere/tapa.bmp")));
    editor.coverCommands.newCover();
    EXPECT_EQ(t().settings.pictureFile, f.path(QStringLiteral("elsewhere/tapa.bmp")));
    EXPECT_TRUE(QFile::exists(f.path(QStringLiteral("elsewhere/tapa.bmp"))));
}

TEST_F(CoverTest, AFolderThatCannotBeWrittenGivesMessageFourAndTheEditorGoesOn) {
    rootedBoard({rect(100, 100, 200, 140)});
    saveBoard();
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("missing/folder/tapa.bmp")));
    editor.coverCommands.newCover();
    const QStringList messages = f.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("4 Error 75 "))) << messages[0];
    click(150, 120);
    EXPECT_EQ(t().currentArea, 2);
}

TEST_F(CoverTest, EditarOpensAnUpToDateCoverAndRegeneratesAnOutdatedOne) {
    rootedBoard({rect(100, 100, 200, 140)});
    saveBoard();
    f.fake.dialogs.chosenFiles.push_back(folder() + QStringLiteral("/tapa.BMP"));
    editor.coverCommands.newCover();
    f.fake.launcher.started.clear();
    editor.coverCommands.editCover();
    ASSERT_EQ(f.fake.launcher.started.size(), 1);
    EXPECT_TRUE(f.fake.launcher.started[0].endsWith(QStringLiteral("tapa.BMP")));
    const QImage before(folder() + QStringLiteral("/tapa.BMP"));
    click(150, 120);
    editor.panel.setIconFile(QStringLiteral("HOLA"));
    ASSERT_TRUE(t().coverOutdated);
    editor.coverCommands.editCover();
    EXPECT_FALSE(t().coverOutdated);
    EXPECT_NE(QImage(folder() + QStringLiteral("/tapa.BMP")), before);
}

TEST_F(CoverTest, TheAutomaticCoverRedrawsTheAreaLeftBehind) {
    rootedBoard({rect(100, 100, 200, 140), rect(300, 100, 400, 140)});
    t().settings.autoCover = 1;
    click(150, 120);
    editor.panel.setIconFile(QStringLiteral("HOLA"));
    EXPECT_TRUE(ink(editor.context.lamina, QRect(QPoint(100, 100), QPoint(200, 140))).isNull());
    click(350, 120);
    EXPECT_FALSE(ink(editor.context.lamina, QRect(QPoint(100, 100), QPoint(200, 140))).isNull());
    EXPECT_EQ(t().currentArea, 3);
}

}  // namespace

namespace {

TEST_F(CoverTest, TheAutomaticCoverStartsFromTheBoardsOwnCover) {
    picture(QStringLiteral("tapa.bmp"), QSize(640, 445), Qt::blue);
    rootedBoard({rect(100, 100, 200, 140), rect(300, 100, 400, 140)});
    t().settings.pictureFile = QStringLiteral("tapa.bmp");
    t().settings.autoCover = 1;
    click(150, 120);
    click(350, 120);
    const QImage& shown = editor.context.lamina;
    ASSERT_EQ(shown.size(), QSize(640, 445));
    EXPECT_EQ(QColor(shown.pixel(500, 300)), QColor(Qt::blue));   // untouched
    EXPECT_EQ(QColor(shown.pixel(150, 120)), QColor(Qt::white));  // area 2 redrawn
}

}  // namespace

namespace {

TEST_F(CoverTest, TheOnScreenCoverForgetsDeletedAreasAndGroupSelections) {
    Area hola = rect(100, 100, 200, 140), adeu = rect(200, 100, 300, 140);
    hola.iconFile = QStringLiteral("HOLA");
    adeu.iconFile = QStringLiteral("ADEU");
    rootedBoard({hola, adeu});
    t().settings.autoCover = 1;
    const QRect right(QPoint(200, 100), QPoint(300, 140));
    click(250, 120);
    click(150, 120);
    click(250, 120);
    ASSERT_FALSE(ink(editor.context.lamina, right).isNull());
    editor.board.deleteArea();
    EXPECT_TRUE(ink(editor.context.lamina, right).isNull());
    // A group selection's record (a copy of HOLA spanning both areas) is never drawn: what
    // is redrawn when it is left are the areas it stood for.
    t().clearTemplate();
    rootedBoard({hola, rect(200, 100, 300, 140)});
    click(150, 120);
    click(250, 120, {.ctrl = true});
    ASSERT_EQ(t().currentArea, 4);
    click(500, 300);
    EXPECT_TRUE(ink(editor.context.lamina, right).isNull());
    EXPECT_FALSE(ink(editor.context.lamina, QRect(QPoint(100, 100), QPoint(200, 140))).isNull());
}

}  // namespace
