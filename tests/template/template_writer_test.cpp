#include "template/template_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <csignal>

#include "board_test_helpers.h"
#include "files/template_reader.h"
#include "i18n/runtime_error.h"
#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

// A board in the writer's own form with content that trips up careless readers: accents,
// commas and stored quotes inside quotes, a text over two lines, negative numbers, bytes
// the code page leaves undefined.
QByteArray trickyBoard() {
    QByteArray b;
    auto line = [&b](const QByteArray& l) { b += l + "\r\n"; };
    line(" 2");
    line(" 1");
    line("C:\\PLANTILLES\\CAR\xC0TULA 1.BMP");
    line(" 2");
    line("\"C:\\WINDOWS\\NOTEPAD.EXE|CALC.EXE\"");
    line(" 1");
    line("\"CLIP.TXT\"");
    line("\"Bon dia, \xB6senyor\xB6 {ENTER}\"");
    line("\"DOC.TXT\"");
    line("\"NOTEPAD.EXE\"");
    line("\"L\xEDnia u\r\nl\xEDnia dos \x81\x8D\x8F\x90\x9D\"");
    line(" 0");
    line("-1");
    line(" 1");
    line(" 1");
    line(" 0");
    line(" 115");
    for (int i = 0; i < 2; ++i) {
        line(" 0");
        line("-5");
        line(" 640");
        line(" 445");
        line(i == 0 ? " 0" : " 1");
        line(" 1");
        line("\"IMATGE.BMP\"");
        line("\"s\xF3n.wav\"");
        line("\"{|SONA A,B.WAV}{|LLEGEIX /F:TEXT.TXT}\xB6\xB6, ,\"");
        line("\"\"");
        line(" 1");
        line(i == 0 ? "-1" : " 0");
    }
    return b;
}

class WriterTest : public ::testing::Test {
protected:
    FakeSessionFixture f;
    Template& t() { return f.session->tmpl; }
};

}  // namespace

TEST_F(WriterTest, ReadThenWrittenIsByteIdentical) {
    const QString in = f.writeFile(QStringLiteral("IN.VXL"), trickyBoard());
    loadTemplate(*f.session, in);
    EXPECT_EQ(f.messages(), QStringList{QStringLiteral(
                                "Vexil no encuentra el archivo C:\\PLANTILLES\\CARÀTULA 1.BMP")});
    EXPECT_EQ(t().settings.startKeys, QStringLiteral("Bon dia, \"senyor\" {ENTER}"));
    EXPECT_EQ(t().settings.pictureFile, QStringLiteral("C:\\PLANTILLES\\CARÀTULA 1.BMP"));
    EXPECT_EQ(t().area(1).y0, -5);
    const QString out = f.path(QStringLiteral("OUT.VXL"));
    writeTemplate(t(), out);
    EXPECT_EQ(f.readFile(out), trickyBoard());
}

TEST_F(WriterTest, WrittenBoardsLoadBackIdentically) {
    t().settings.formatVersion = 1;  // the header is always written as 2 and 1
    t().settings.formatVariant = 0;
    t().settings.pictureFile = QStringLiteral("A,B.BMP");  // would split as a bare value
    t().settings.description = QStringLiteral("cometes \" i ¶ i , comes");
    t().settings.voiceSpeed = -3;
    Area a;
    a.x0 = -32768;
    a.y1 = 32767;
    a.keys = QStringLiteral("\"\"");
    a.soundFile = QStringLiteral(" leading and trailing ");
    a.isGroup = -1;
    a.mirrorOf = 4;  // not stored
    t().appendArea(a);
    const QString out = f.path(QStringLiteral("W.VXL"));
    writeTemplate(t(), out);

    FakeSessionFixture other;
    loadTemplate(*other.session, out);
    EXPECT_EQ(other.messages(),
              QStringList{QStringLiteral("Vexil no encuentra el archivo A,B.BMP")});
    const Template& back = other.session->tmpl;
    TemplateSettings expected = t().settings;
    expected.formatVersion = 2;
    expected.formatVariant = 1;
    expected.description = QStringLiteral("cometes \" i \" i , comes");  // ¶ comes back as a quote
    EXPECT_EQ(back.settings, expected);
    ASSERT_EQ(back.areaCount(), 1);
    Area stored = a;
    stored.mirrorOf = 0;
    EXPECT_EQ(back.area(1), stored);
}

// Picture names, whether written bare or quoted, come back as they were.
TEST_F(WriterTest, EveryPictureNameReadsBackWhole) {
    const QString names[] = {
        QStringLiteral("PLAFO.BMP"),
        QStringLiteral("A\"B.BMP"),   // a quote inside a bare name stays a quote
        QStringLiteral("\"A.BMP"),    // a leading quote needs the quoted form
        QStringLiteral("\fA\".BMP"),  // a form feed is not a blank to the reader
        QStringLiteral(" A,\"B\" "),  // blanks, a comma and quotes at once
        QStringLiteral("A\tB\t"),
        QStringLiteral("A,B.BMP"),               // a comma alone stays bare
        QStringLiteral("C:\\X, Y\\\u00B6.BMP"),  // and so does a "¶" in a bare name
        QStringLiteral("\"A\r\nB,\""),           // a line break needs quotes
    };
    for (const QString& name : names) {
        t().settings.pictureFile = name;
        const QString out = f.path(QStringLiteral("P.VXL"));
        writeTemplate(t(), out);
        FakeSessionFixture other;
        loadTemplate(*other.session, out);
        EXPECT_EQ(other.session->tmpl.settings.pictureFile, name) << name.toStdString();
    }
    // Written as the old program wrote it, so that its own reader finds the same name.
    t().settings.pictureFile = QStringLiteral("A,B.BMP");
    EXPECT_TRUE(templateFileBytes(t()).startsWith(" 2\r\n 1\r\nA,B.BMP\r\n"));
}

TEST_F(WriterTest, GroupSelectionRecordsAreNotWritten) {
    for (int i = 0; i < 5; ++i) {
        Area a;
        a.x0 = std::int16_t(i);
        a.mirrorOf = std::int16_t(i >= 3 ? i - 2 : 0);
        t().appendArea(a);
    }
    t().realAreaCount = 3;
    const QString out = f.path(QStringLiteral("G.VXL"));
    writeTemplate(t(), out);
    FakeSessionFixture other;
    loadTemplate(*other.session, out);
    EXPECT_EQ(other.session->tmpl.areaCount(), 3);
    EXPECT_TRUE(other.messages().isEmpty());
    EXPECT_EQ(t().areaCount(), 5);  // the selection itself is untouched
}

TEST_F(WriterTest, AFailedSaveLeavesTheOldFileIntact) {
    const QString out = f.writeFile(QStringLiteral("KEEP.VXL"), trickyBoard());
    Area a;
    a.keys = QString(20000, u'x');
    t().appendArea(a);

    // A file-size limit makes the write fail half-way, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    int number = 0;
    try {
        writeTemplate(t(), out);
    } catch (const RuntimeError& e) {
        number = e.number();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_NE(number, 0);
    EXPECT_EQ(f.readFile(out), trickyBoard());
}

TEST_F(WriterTest, AMissingFolderIsAPathError) {
    try {
        writeTemplate(t(), f.path(QStringLiteral("no/such/folder/X.VXL")));
        FAIL() << "written";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), errnum::PathNotFound);
    }
}
