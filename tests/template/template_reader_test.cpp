#include "files/template_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "board_test_helpers.h"
#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "support/test_support.h"
#include "template/board_values.h"

using namespace vexil;
using namespace vexil::test;

namespace {

QString readError(const QString& path, int number) {
    return messageText(3) + path + QString::number(number) + u' ' + runtimeErrorDescription(number);
}

QStringList concat(std::initializer_list<QStringList> parts) {
    QStringList out;
    for (const auto& p : parts) out += p;
    return out;
}

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() { f.session->setView(&view); }
    FakeSessionFixture f;
    RecordingView view;
    Template& t() { return f.session->tmpl; }
};

}  // namespace

TEST(BoardValues, CommaAndLineRules) {
    const QString text = QStringLiteral(
        "  12  \r\n\"a, b\" tail, next\r\nplain , two\nlast\r\"open ¶\r\nstill\"\r\n-7");
    BoardValueReader r(text);
    EXPECT_EQ(r.readInt(), 12);
    EXPECT_EQ(r.readText(), QStringLiteral("a, b"));  // the rest up to the comma dropped
    EXPECT_EQ(r.readText(), QStringLiteral("next"));
    EXPECT_EQ(r.readText(), QStringLiteral("plain"));  // a comma splits a line in two
    EXPECT_EQ(r.readText(), QStringLiteral("two"));
    EXPECT_EQ(r.readText(), QStringLiteral("last"));             // a lone CR ends a line too
    EXPECT_EQ(r.readText(), QStringLiteral("open ¶\r\nstill"));  // quotes span lines
    EXPECT_EQ(r.readInt(), -7);
    EXPECT_TRUE(r.atEnd());
    try {
        r.readText();
        FAIL() << "read past the end";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::InputPastEnd);
    }
}

TEST(BoardValues, WholeLineValues) {
    const QString text = QStringLiteral(
        "  C:\\A,B\\Foto, 1.BMP \t\r\n 5\r\n\"Q, \xB6x\xB6\" tail, more\r\nnext\n\r\n"
        "\"two\r\nlines\"\rlast");
    BoardValueReader r(text);
    bool quoted = true;
    EXPECT_EQ(r.readLine(&quoted), QStringLiteral("C:\\A,B\\Foto, 1.BMP"));  // commas kept
    EXPECT_FALSE(quoted);
    EXPECT_EQ(r.readInt(), 5);
    EXPECT_EQ(r.readLine(&quoted), QStringLiteral("Q, \xB6x\xB6"));  // the whole rest dropped
    EXPECT_TRUE(quoted);
    EXPECT_EQ(r.readLine(), QStringLiteral("next"));  // a lone LF ends a line
    EXPECT_EQ(r.readLine(), QString());               // an empty line is an empty value
    EXPECT_EQ(r.readLine(), QStringLiteral("two\r\nlines"));
    EXPECT_EQ(r.readLine(), QStringLiteral("last"));  // a lone CR too, and the text's end
    EXPECT_TRUE(r.atEnd());
    try {
        r.readLine();
        FAIL() << "read past the end";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::InputPastEnd);
    }
}

TEST(BoardValues, Integers) {
    struct Case {
        const char* text;
        int expected;  // or the error number, negated below 1000
        int error;
    } cases[] = {
        {" 5", 5, 0},
        {"-1", -1, 0},
        {"", 0, 0},
        {"32767", 32767, 0},
        {"-32768", -32768, 0},
        {"32768", 0, errnum::Overflow},
        {"2.5", 2, 0},
        {"3.5", 4, 0},
        {"-0.5", 0, 0},
        {"abc", 0, errnum::TypeMismatch},
        {"12x", 0, errnum::TypeMismatch},
        {"+8", 8, 0},
        {"-", 0, errnum::TypeMismatch},
        {"99999999999999999999999", 0, errnum::Overflow},
    };
    for (const auto& c : cases) {
        try {
            EXPECT_EQ(parseBoardInt(QString::fromUtf8(c.text)), c.expected) << c.text;
            EXPECT_EQ(c.error, 0) << c.text;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), c.error) << c.text;
        }
    }
}

TEST_F(ReaderTest, LoadsSettingsAreasAndEditingState) {
    QStringList lines = header(2, QString(), QStringLiteral("C:\\WINDOWS\\NOTEPAD.EXE"));
    lines[7] = QStringLiteral("\"Hola ¶amic¶, {ENTER}\"");  // start keys
    lines[10] = QStringLiteral("\"Descripció, amb comes\"");
    lines += block(0, 0, QStringLiteral("\"{|SONA GAT.WAV}\""));
    lines += block(20, 30, QStringLiteral("\"x\""));
    lines[17 + 12 + 11] = QStringLiteral("-1");  // area 2 is a group
    const QString path = f.writeFile(QStringLiteral("boards/B.VXL"), boardBytes(lines));
    t().modified = true;

    loadTemplate(*f.session, path);

    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    const TemplateSettings& st = t().settings;
    EXPECT_EQ(st.startProgram, QStringLiteral("C:\\WINDOWS\\NOTEPAD.EXE"));
    EXPECT_EQ(st.startKeys, QStringLiteral("Hola \"amic\", {ENTER}"));
    EXPECT_EQ(st.description, QStringLiteral("Descripció, amb comes"));
    EXPECT_EQ(st.soundOn, -1);
    EXPECT_EQ(st.voiceSpeed, 120);
    ASSERT_EQ(t().areaCount(), 2);
    EXPECT_EQ(t().area(1).keys, QStringLiteral("{|SONA GAT.WAV}"));
    EXPECT_EQ(t().area(2).x1, 30);
    EXPECT_EQ(t().area(2).isGroup, -1);
    EXPECT_EQ(t().area(2).mirrorOf, 0);
    EXPECT_FALSE(t().modified);
    EXPECT_EQ(t().currentArea, 0);
    EXPECT_EQ(t().templatePath, path);
    EXPECT_EQ(t().templateFolder, f.path(QStringLiteral("boards")));
    EXPECT_EQ(f.session->currentDirectory, f.path(QStringLiteral("boards")));
    EXPECT_FALSE(t().templateFileTime.isEmpty());
    EXPECT_EQ(view.titles.value(0), QStringLiteral("Vexil - ") + path);
    EXPECT_TRUE(view.soundOnCheck);
    EXPECT_EQ(view.keysBoxCoversClip, 1);
    EXPECT_EQ(view.drawingArmed, 0);
}

TEST_F(ReaderTest, VersionOneKeepsTheSpeechSettingsAndClearsAutoCover) {
    QStringList lines = header(1).mid(0, 13);
    lines[0] = QStringLiteral(" 1");
    lines[1] = QStringLiteral(" 0");
    lines += block(0, 0);
    const QString path = f.writeFile(QStringLiteral("OLD.VXL"), boardBytes(lines));
    t().settings.autoCover = 1;
    t().settings.voiceLanguage = 1;
    t().settings.voiceSpeed = 140;

    loadTemplate(*f.session, path);

    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().settings.formatVersion, 1);
    EXPECT_EQ(t().settings.formatVariant, 0);
    EXPECT_EQ(t().settings.autoCover, 0);
    EXPECT_EQ(t().settings.voiceLanguage, 1);
    EXPECT_EQ(t().settings.voiceSpeed, 140);
    EXPECT_EQ(t().areaCount(), 1);
    EXPECT_EQ(view.keysBoxCoversClip, 0);  // variant 0 leaves the clip field visible
}

// Files that go wrong in one way or another: what the user is told, and what is left.
TEST_F(ReaderTest, FaultyFiles) {
    const QStringList good = concat({header(2), block(0, 0), block(5, 5)});
    QStringList mismatch = good;
    mismatch[17] = QStringLiteral("abc");  // x0 of area 1
    QStringList twoMismatches = mismatch;
    twoMismatches[18] = QStringLiteral("def");  // y0 of area 1
    QStringList bigCount = good;
    bigCount[3] = QStringLiteral(" 40000");
    QStringList negativeCount = good;
    negativeCount[3] = QStringLiteral("-3");
    QStringList version3 = good;
    version3[0] = QStringLiteral(" 3");
    QStringList variant2 = good;
    variant2[1] = QStringLiteral(" 2");
    QStringList hugeCount = concat({header(30000), block(0, 0)});

    struct Case {
        const char* name;
        QByteArray bytes;
        QList<int> errors;  // read errors reported, in order
        QString otherText;  // a message that is not a read error
        int areas;
    } cases[] = {
        {"good", boardBytes(good), {}, {}, 2},
        {"empty board", boardBytes(header(0)), {}, {}, 0},
        {"type mismatch", boardBytes(mismatch), {errnum::TypeMismatch}, {}, 2},
        {"same error twice", boardBytes(twoMismatches), {errnum::TypeMismatch}, {}, 2},
        {"two errors",
         boardBytes(concat({mismatch.mid(0, 17 + 12 + 5)})),
         {errnum::TypeMismatch, errnum::InputPastEnd},
         {},
         1},
        {"truncated inside a block",
         boardBytes(good.mid(0, 17 + 12 + 7)),
         {errnum::InputPastEnd},
         {},
         1},
        {"truncated between blocks",
         boardBytes(good.mid(0, 17 + 12)),
         {errnum::InputPastEnd},
         {},
         1},
        {"truncated header", boardBytes(good.mid(0, 6)), {errnum::InputPastEnd}, {}, 0},
        {"count above the limit", boardBytes(bigCount), {errnum::Overflow}, {}, 0},
        {"negative count", boardBytes(negativeCount), {}, {}, 0},
        {"count far above the areas", boardBytes(hugeCount), {errnum::InputPastEnd}, {}, 1},
        {"version 3", boardBytes(version3), {}, messageText(14), 0},
        {"variant 2", boardBytes(variant2), {}, messageText(14), 0},
        {"empty file", QByteArray(), {errnum::InputPastEnd}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSessionFixture fx;
        const QString path = fx.writeFile(QStringLiteral("F.VXL"), c.bytes);
        loadTemplate(*fx.session, path);
        QStringList expected;
        for (int e : c.errors) expected << readError(path, e);
        if (!c.otherText.isEmpty()) expected << c.otherText;
        EXPECT_EQ(fx.messages(), expected);
        EXPECT_EQ(fx.session->tmpl.areaCount(), c.areas);
        EXPECT_EQ(fx.session->tmpl.areas().size(), size_t(c.areas) + 1);
        EXPECT_FALSE(fx.session->tmpl.modified);
    }
}

TEST_F(ReaderTest, RefusedFormatLeavesAClearedTemplateAndTheTitle) {
    QStringList lines = concat({header(1), block(0, 0)});
    lines[0] = QStringLiteral(" 3");
    const QString path = f.writeFile(QStringLiteral("NEW.VXL"), boardBytes(lines));
    t().appendArea(Area{});
    loadTemplate(*f.session, path);
    EXPECT_EQ(t().areaCount(), 0);
    EXPECT_EQ(t().templatePath, kUnnamedTemplate);
    EXPECT_EQ(t().settings.formatVersion, 2);
    EXPECT_TRUE(view.titles.isEmpty());
    EXPECT_EQ(view.coverCalls, 0);
}

TEST_F(ReaderTest, ExtensionRules) {
    const QByteArray bytes = boardBytes(concat({header(1), block(0, 0)}));
    f.writeFile(QStringLiteral("lower.vxl"), bytes);
    f.writeFile(QStringLiteral("board.txt"), bytes);
    struct Case {
        const char* name;
        int areas;
        bool formatMessage;  // "Formato incorrecto"
        int readError;       // 0: none
    } cases[] = {
        {"lower.vxl", 1, false, 0},  // exists: passes whatever the case
        {"board.txt", 0, true, 0},
        {"missing.vxl", 0, true, 0},  // missing and lower case: refused
        {"MISSING.VXL", 0, false, errnum::FileNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.fake.recorder.clear();
        const QString path = f.path(QString::fromUtf8(c.name));
        loadTemplate(*f.session, path);
        EXPECT_EQ(t().areaCount(), c.areas);
        QStringList expected;
        if (c.formatMessage) expected << messageText(2);
        if (c.readError) expected << readError(path, c.readError);
        EXPECT_EQ(f.messages(), expected);
        if (c.readError) {
            EXPECT_EQ(t().templatePath, path);  // titled with the path
        }
    }
    const auto boxes = f.fake.recorder.eventsOf(QStringLiteral("message"));
    ASSERT_FALSE(boxes.empty());
}

TEST_F(ReaderTest, RelativeNamesResolveInTheTemplateFolder) {
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QDir().mkpath(f.path(QStringLiteral("plant")));
    ASSERT_TRUE(picture.save(f.path(QStringLiteral("plant/Cover.bmp")), "BMP"));
    f.writeFile(QStringLiteral("plant/T.VXL"),
                boardBytes(concat({header(1, QStringLiteral("COVER.BMP")), block(0, 0)})));
    t().templateFolder = f.path(QStringLiteral("plant"));
    f.session->currentDirectory = f.path(QStringLiteral("elsewhere"));

    loadTemplate(*f.session, QStringLiteral("T.VXL"));

    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().areaCount(), 1);
    EXPECT_EQ(f.session->currentDirectory, f.path(QStringLiteral("plant")));
    EXPECT_EQ(view.cover.size(), QSize(8, 6));
    EXPECT_FALSE(t().pictureFileTime.isEmpty());
}

TEST_F(ReaderTest, MissingOrBrokenCover) {
    f.writeFile(QStringLiteral("BROKEN.BMP"), QByteArray("not a picture"));
    struct Case {
        const char* picture;
        QString message;
    } cases[] = {
        {"NOPE.BMP", messageText(15) + QStringLiteral("NOPE.BMP")},
        {"BROKEN.BMP", QString()},  // a read error, checked below
        {"", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        f.fake.recorder.clear();
        const QString path =
            f.writeFile(QStringLiteral("C.VXL"),
                        boardBytes(concat({header(1, QString::fromUtf8(c.picture)), block(0, 0)})));
        loadTemplate(*f.session, path);
        QStringList expected;
        if (!c.message.isEmpty()) expected << c.message;
        if (QByteArray(c.picture) == "BROKEN.BMP")
            expected << readError(path, errnum::InvalidPicture);
        EXPECT_EQ(f.messages(), expected);
        EXPECT_TRUE(view.cover.isNull());
        EXPECT_EQ(t().areaCount(), 1);  // the board itself is loaded
    }
}

// Old boards stored the picture name bare, commas and all: the name takes the whole line and
// the areas after it still load.
TEST_F(ReaderTest, PictureNameWithCommasTakesItsWholeLine) {
    f.writeFile(QStringLiteral("pics/Sol, lluna.bmp"), QByteArray());
    const QString picture = QStringLiteral("pics\\Sol, lluna.bmp");
    const QString path = f.writeFile(
        QStringLiteral("P.VXL"),
        boardBytes(concat({header(2, picture + QStringLiteral("  ")), block(0, 0), block(5, 5)})));
    loadTemplate(*f.session, path);
    EXPECT_EQ(t().settings.pictureFile, picture);
    EXPECT_EQ(t().areaCount(), 2);
    EXPECT_EQ(t().settings.startProgram, QString());
    EXPECT_EQ(t().settings.voiceSpeed, 120);
    // The empty file is no picture; the name itself was found.
    EXPECT_EQ(f.messages(), QStringList{readError(path, errnum::InvalidPicture)});
}

TEST_F(ReaderTest, FullBoardLoadsTwiceWithoutOverflow) {
    QStringList lines = header(kMaxAreas);
    const QStringList one = block(1, 1);
    for (int i = 0; i < kMaxAreas; ++i) lines += one;
    const QString path = f.writeFile(QStringLiteral("FULL.VXL"), boardBytes(lines));
    loadTemplate(*f.session, path);
    loadTemplate(*f.session, path);
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join(u'\n').toStdString();
    EXPECT_EQ(t().areaCount(), kMaxAreas);
    EXPECT_EQ(t().addedAreaCount, kMaxAreas);
}

TEST_F(ReaderTest, GarbageGivesMessagesAndAUsableTemplate) {
    QByteArray garbage;
    for (int i = 0; i < 70000; ++i) garbage += char((i * 7919) % 256);
    QByteArray longLine = boardBytes(header(1)) +
                          " 1\r\n 2\r\n 3\r\n 4\r\n 1\r\n 0\r\n\"\"\r\n\"\"\r\n\"" +
                          QByteArray(2 * 1024 * 1024, 'k') + "\"\r\n\"\"\r\n 0\r\n 0\r\n";
    struct Case {
        const char* name;
        QByteArray bytes;
        int areas;
    } cases[] = {{"binary", garbage, -1}, {"megabyte line", longLine, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSessionFixture fx;
        const QString path = fx.writeFile(QStringLiteral("G.VXL"), c.bytes);
        loadTemplate(*fx.session, path);
        if (c.areas >= 0) {
            EXPECT_EQ(fx.session->tmpl.areaCount(), c.areas);
            EXPECT_EQ(fx.session->tmpl.area(1).keys.size(), 2 * 1024 * 1024);
        } else {
            EXPECT_FALSE(fx.messages().isEmpty());
        }
        // Usable: the board can be changed and written.
        fx.session->tmpl.appendArea(Area{});
        EXPECT_GE(fx.session->tmpl.areaCount(), 1);
        for (const QString& m : fx.messages())
            EXPECT_TRUE(m.startsWith(messageText(3)) || m == messageText(14) ||
                        m.startsWith(messageText(15)));
    }
}

TEST_F(ReaderTest, SelectsTheMacroSetOfTheStartProgram) {
    f.writeFile(QStringLiteral("program/MACROS.INI"),
                "[Inici]\r\nversio=MAC1\r\n[BLOC]\r\nN_macro=1\r\ntitol1=Desa\r\ntecles1=^g\r\n");
    Catalogue& cat = f.session->catalogue;
    cat.programs.resize(3);
    cat.programs[0].name = QStringLiteral("2");
    cat.programs[1] = {QStringLiteral("Calculadora"), QStringLiteral("CALC"),
                       QStringLiteral("CALC.EXE"), QString()};
    cat.programs[2] = {QStringLiteral("Bloc de notes"), QStringLiteral("BLOC"),
                       QStringLiteral("NOTEPAD.EXE"), QString()};
    struct Case {
        const char* startProgram;
        const char* caption;
        size_t macros;
    } cases[] = {
        {"c:\\windows\\notepad.exe", "Bloc de notes", 2},
        {"WORD.EXE", "", 0},  // none found: the macro set stays as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startProgram);
        view.macroCaption.clear();
        cat.macros.clear();
        const QString path =
            f.writeFile(QStringLiteral("M.VXL"),
                        boardBytes(header(0, QString(), QString::fromUtf8(c.startProgram))));
        loadTemplate(*f.session, path);
        EXPECT_EQ(view.macroCaption, QString::fromUtf8(c.caption));
        EXPECT_EQ(cat.macros.size(), c.macros);
    }
}

TEST_F(ReaderTest, NotARegularFileIsAnAccessErrorWithoutWaiting) {
    QDir().mkpath(f.path(QStringLiteral("DIR.VXL")));
    ASSERT_EQ(mkfifo(f.path(QStringLiteral("PIPE.VXL")).toLocal8Bit().constData(), 0600), 0);
    for (const char* name : {"DIR.VXL", "PIPE.VXL"}) {
        SCOPED_TRACE(name);
        f.fake.recorder.clear();
        const QString path = f.path(QString::fromUtf8(name));
        loadTemplate(*f.session, path);
        EXPECT_EQ(f.messages(), QStringList{readError(path, errnum::PathFileAccess)});
        EXPECT_EQ(t().areaCount(), 0);
    }
}

TEST_F(ReaderTest, EachLoadReportsItsOwnErrors) {
    const QString path = f.path(QStringLiteral("GONE.VXL"));
    loadTemplate(*f.session, path);
    loadTemplate(*f.session, path);
    EXPECT_EQ(f.messages(), QStringList(2, readError(path, errnum::FileNotFound)));
}
