#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/codepage.h"
#include "platform/paths.h"

using namespace vexil;

TEST(Codepage, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QString text = decodeAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encodeAnsi(text), all);
}

TEST(Codepage, DecodesTheWindowsLetters) {
    struct Case {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        {"\xE0\xE9\xED\xEF\xF2\xF3\xFA\xFC\xE7\xF1", "àéíïòóúüçñ"},
        {"\xC0\xC9\xCD\xD2\xDA\xC7\xD1", "ÀÉÍÒÚÇÑ"},
        {"\xB7\xBF\xA1\x80", "·¿¡€"},
        {"\xB6", "¶"},
        {"\x93hola\x94", "“hola”"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeAnsi(QByteArray(c.bytes)), QString::fromUtf8(c.utf8)) << c.utf8;
        EXPECT_EQ(encodeAnsi(QString::fromUtf8(c.utf8)), QByteArray(c.bytes)) << c.utf8;
    }
}

TEST(Codepage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(encodeAnsi(QString::fromUtf8("a\u0416b")), QByteArray("a?b"));
    EXPECT_EQ(encodeAnsi(QString::fromUtf8("a\U0001F600b")), QByteArray("a?b"));
    EXPECT_FALSE(fitsAnsi(QString::fromUtf8("\u0416")));
    EXPECT_TRUE(fitsAnsi(QString::fromUtf8("Què tal, Ñandú? €")));
}

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("Plantilles/Icones"));
        QFile f(dir.filePath(QStringLiteral("Plantilles/Icones/Gat.bmp")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        drives.set(u'c', dir.path());
    }
    QTemporaryDir dir;
    DriveMap drives;
};

TEST_F(PathsTest, WindowsNamesFindFilesWithoutRegardToCase) {
    const QString expected = dir.filePath(QStringLiteral("Plantilles/Icones/Gat.bmp"));
    EXPECT_EQ(realPath(QStringLiteral("C:\\PLANTILLES\\ICONES\\GAT.BMP"), {}, drives), expected);
    EXPECT_EQ(realPath(QStringLiteral("c:\\plantilles\\icones\\gat.bmp"), {}, drives), expected);
    EXPECT_EQ(realPath(QStringLiteral("ICONES\\GAT.BMP"),
                       dir.filePath(QStringLiteral("Plantilles")), drives),
              expected);
    EXPECT_EQ(realPath(QStringLiteral("ICONES\\GAT.BMP"), QStringLiteral("C:\\Plantilles"), drives),
              expected);
    EXPECT_EQ(realPath(expected, QStringLiteral("/nowhere"), drives), expected);
    EXPECT_TRUE(fileExists(QStringLiteral("c:\\PLANTILLES\\icones\\gat.BMP"), {}, drives));
    // Of two spellings on disk, neither the one asked for, the first in name order.
    QDir(dir.path()).mkpath(QStringLiteral("Dos"));
    for (const char* name : {"gat.BMP", "GAT.bmp", "Gat.bmp", "gat.bmpx", "Què.txt"}) {
        QFile f(dir.filePath(QStringLiteral("Dos/") + QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(realPath(QStringLiteral("C:\\DOS\\gat.bmp"), {}, drives),
              dir.filePath(QStringLiteral("Dos/GAT.bmp")));
    EXPECT_EQ(realPath(QStringLiteral("C:\\DOS\\gat.BMP"), {}, drives),
              dir.filePath(QStringLiteral("Dos/gat.BMP")));
    // Names beyond ASCII match too, either way.
    EXPECT_EQ(realPath(QStringLiteral("C:\\DOS\\QUÈ.TXT"), {}, drives),
              dir.filePath(QString::fromUtf8("Dos/Què.txt")));
    EXPECT_EQ(realPath(QStringLiteral("C:\\DOS\\GAT.BMPX"), {}, drives),
              dir.filePath(QStringLiteral("Dos/gat.bmpx")));
}

TEST_F(PathsTest, MissingComponentsStayAsWritten) {
    EXPECT_EQ(realPath(QStringLiteral("C:\\Plantilles\\NOU\\x.bmp"), {}, drives),
              dir.filePath(QStringLiteral("Plantilles/NOU/x.bmp")));
    EXPECT_FALSE(fileExists(QStringLiteral("C:\\Plantilles\\NOU\\x.bmp"), {}, drives));
    EXPECT_FALSE(fileExists(QStringLiteral("C:\\Plantilles\\Icones"), {}, drives))
        << "a folder is not a file";
    EXPECT_FALSE(fileExists(QString(), {}, drives));
}

TEST_F(PathsTest, NamesTakeTheSpellingOnDiskAndKeepTheirForm) {
    const QString lower = dir.path() + QStringLiteral("/plantilles/icones/gat.bmp");
    struct {
        QString name, current, expected;
    } cases[] = {
        {QStringLiteral("c:\\PLANTILLES\\icones\\GAT.BMP"),
         {},
         QStringLiteral("c:\\Plantilles\\Icones\\Gat.bmp")},
        {QStringLiteral("C:/plantilles//ICONES/gat.bmp"),
         {},
         QStringLiteral("C:/Plantilles//Icones/Gat.bmp")},
        {lower, {}, dir.filePath(QStringLiteral("Plantilles/Icones/Gat.bmp"))},
        {QStringLiteral("icones\\gat.bmp"), QStringLiteral("C:\\PLANTILLES"),
         QStringLiteral("Icones\\Gat.bmp")},
        // What is not there stays as written, and so does what follows it.
        {QStringLiteral("C:\\plantilles\\NOU\\icones\\x.bmp"),
         {},
         QStringLiteral("C:\\Plantilles\\NOU\\icones\\x.bmp")},
        {QStringLiteral("C:\\PLANTILLES\\"), {}, QStringLiteral("C:\\Plantilles\\")},
        {QString(), {}, QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameAsOnDisk(c.name, c.current, drives), c.expected) << c.name.toStdString();
}

TEST(Paths, NameParts) {
    EXPECT_EQ(fileNamePart(QStringLiteral("C:\\A\\B.VXL")), QStringLiteral("B.VXL"));
    EXPECT_EQ(folderPart(QStringLiteral("C:\\A\\B.VXL")), QStringLiteral("C:\\A"));
    EXPECT_EQ(fileNamePart(QStringLiteral("/home/a/b.vxl")), QStringLiteral("b.vxl"));
    EXPECT_EQ(fileNamePart(QStringLiteral("B.VXL")), QStringLiteral("B.VXL"));
    EXPECT_TRUE(folderPart(QStringLiteral("B.VXL")).isEmpty());
}

TEST(Paths, DriveMapFromText) {
    const DriveMap map = DriveMap::fromText(QStringLiteral("C=/home/ana;d=/media/usb;bad"));
    EXPECT_EQ(map.folderOf(u'c'), QStringLiteral("/home/ana"));
    EXPECT_EQ(map.folderOf(u'D'), QStringLiteral("/media/usb"));
    EXPECT_EQ(map.folderOf(u'E'), QStringLiteral("/"));
}
