#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "i18n/runtime_error.h"
#include "platform/codepage.h"
#include "settings/print_qt.h"

namespace vexil {
namespace {

struct ReadCase {
    const char* what;
    const char* file;
    const char* section;
    const char* key;
    const char* defaultValue;
    int bufferSize;
    const char* expected;
};

const ReadCase kReadCases[] = {
    {"plain value", "[Vexil]\r\nmodus=3\r\n", "Vexil", "modus", "", 512, "3"},
    {"section name in any case", "[VEXIL]\r\nmodus=3\r\n", "vexil", "modus", "", 512, "3"},
    {"key name in any case", "[Vexil]\r\nMODUS=3\r\n", "Vexil", "Modus", "", 512, "3"},
    {"first key wins", "[Vexil]\r\nmodus=1\r\nmodus=2\r\n", "Vexil", "modus", "", 512, "1"},
    {"first section wins", "[Vexil]\r\na=1\r\n[vexil]\r\nb=2\r\n", "Vexil", "b", "d", 512, "d"},
    {"value trimmed", "[Vexil]\r\n  modus  =   7 \t\r\n", "Vexil", "modus", "", 512, "7"},
    {"blanks inside kept", "[Vexil]\r\nvariable1= a b \r\n", "Vexil", "variable1", "", 512, "a b"},
    {"double quotes taken off", "[Vexil]\r\nSo=\" Si \"\r\n", "Vexil", "So", "", 512, " Si "},
    {"single quotes taken off", "[Vexil]\r\nSo='No'\r\n", "Vexil", "So", "", 512, "No"},
    {"unmatched quote kept", "[Vexil]\r\nSo=\"No\r\n", "Vexil", "So", "", 512, "\"No"},
    {"lone quote kept", "[Vexil]\r\nSo=\"\r\n", "Vexil", "So", "", 512, "\""},
    {"mixed quotes kept", "[Vexil]\r\nSo=\"No'\r\n", "Vexil", "So", "", 512, "\"No'"},
    {"missing key gives default", "[Vexil]\r\nmodus=3\r\n", "Vexil", "temps", "x", 512, "x"},
    {"default loses trailing blanks", "[Vexil]\r\n", "Vexil", "temps", " x  ", 512, " x"},
    {"missing section gives default", "[Other]\r\nmodus=3\r\n", "Vexil", "modus", "d", 512, "d"},
    {"key without equals is no value", "[Vexil]\r\nmodus\r\nmodus=3\r\n", "Vexil", "modus", "d",
     512, "d"},
    {"empty value", "[Vexil]\r\nmodus=\r\n", "Vexil", "modus", "d", 512, ""},
    {"value cut at size - 1", "[Vexil]\r\nusuari=ABCDEFGH\r\n", "Vexil", "usuari", "", 5, "ABCD"},
    {"default cut too", "[Vexil]\r\n", "Vexil", "usuari", "ABCDEFGH", 4, "ABC"},
    {"buffer of one holds nothing", "[Vexil]\r\nmodus=3\r\n", "Vexil", "modus", "", 1, ""},
    {"LF endings", "[Vexil]\nmodus=3\ntemps=4\n", "Vexil", "temps", "", 512, "4"},
    {"no final line ending", "[Vexil]\r\nmodus=3", "Vexil", "modus", "", 512, "3"},
    {"equals inside value", "[Vexil]\r\ntecles1={|Mouse M 1=2}\r\n", "Vexil", "tecles1", "", 512,
     "{|Mouse M 1=2}"},
    {"comment is no key", "[Vexil]\r\n;modus=3\r\n", "Vexil", ";modus", "d", 512, "d"},
    {"keys before any section", "modus=3\r\n[Vexil]\r\n", "Vexil", "modus", "d", 512, "d"},
    {"section name trimmed", "[ Vexil ]\r\nmodus=3\r\n", "Vexil", "modus", "", 512, "3"},
    {"indented section", "  [Vexil]\r\nmodus=3\r\n", "Vexil", "modus", "", 512, "3"},
    {"Windows-1252 text", "[Vexil]\r\nvariable1=\xe0\xe7\x80\r\n", "Vexil", "variable1", "", 512,
     "\xc3\xa0\xc3\xa7\xe2\x82\xac"},
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.what;
}

class IniReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, FollowsTheProfileStringRules) {
    const ReadCase& c = GetParam();
    const IniFile ini{QByteArray(c.file)};
    EXPECT_EQ(ini.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                        QString::fromUtf8(c.defaultValue), c.bufferSize),
              QString::fromUtf8(c.expected))
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, IniReadTest, testing::ValuesIn(kReadCases));

struct WriteCase {
    const char* what;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

const WriteCase kWriteCases[] = {
    {"update in place keeps other lines byte for byte",
     "; made by hand\r\n[Vexil]\r\nmodus = 1   \r\n  temps=4\r\n\r\n[Other]\nx=1\n", "VEXIL",
     "MODUS", " 3", "; made by hand\r\n[Vexil]\r\nmodus= 3\r\n  temps=4\r\n\r\n[Other]\nx=1\n"},
    {"only the first of two keys changes", "[Vexil]\r\na=1\r\na=2\r\n", "Vexil", "a", "9",
     "[Vexil]\r\na=9\r\na=2\r\n"},
    {"missing key goes after the last key of its section",
     "[Vexil]\r\na=1\r\n\r\n; next\r\n[Other]\r\nb=2\r\n", "vexil", "c", "3",
     "[Vexil]\r\na=1\r\nc=3\r\n\r\n; next\r\n[Other]\r\nb=2\r\n"},
    {"missing key in an empty section goes after its header", "[Vexil]\r\n[Other]\r\n", "Vexil",
     "c", "3", "[Vexil]\r\nc=3\r\n[Other]\r\n"},
    {"missing key at the end of a file without final ending", "[Vexil]\r\na=1", "Vexil", "b", "2",
     "[Vexil]\r\na=1\r\nb=2\r\n"},
    {"missing section is appended after a blank line", "[Other]\r\nb=2\r\n", "Vexil", "usuari",
     "/HOME/ANA.USR", "[Other]\r\nb=2\r\n\r\n[Vexil]\r\nusuari=/HOME/ANA.USR\r\n"},
    {"new file", "", "Vexil", "modus", " 0", "[Vexil]\r\nmodus= 0\r\n"},
    {"text in Windows-1252", "", "Vexil", "variable1", "\xc3\xa0\xe2\x82\xac",
     "[Vexil]\r\nvariable1=\xe0\x80\r\n"},
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.what;
}

class IniWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWriteTest, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    IniFile ini{QByteArray(c.before)};
    ini.setValue(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                 QString::fromUtf8(c.value));
    EXPECT_EQ(ini.bytes(), QByteArray(c.after)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, IniWriteTest, testing::ValuesIn(kWriteCases));

TEST(IniFile, ReadsBackWhatItWrites) {
    IniFile ini;
    ini.setValue("Vexil", "Interval", " 500");
    ini.setValue("Vexil", "So", "Si");
    ini.setValue("Vexil", "interval", " 250");
    EXPECT_EQ(ini.value("vexil", "INTERVAL"), "250");
    EXPECT_EQ(ini.value("Vexil", "So"), "Si");
    EXPECT_TRUE(ini.hasKey("VEXIL", "so"));
    EXPECT_FALSE(ini.hasKey("Vexil", "modus"));
}

TEST(IniFile, UnchangedFileWritesBackIdentically) {
    const QByteArray odd("\xef\xbb\xbf junk\r\n[A]\r\nk = \"v\" \r\n\n\r\n[B\r\n;c\rd\r\n x");
    EXPECT_EQ(IniFile(odd).bytes(), odd);
}

TEST(IniFile, SavesAtomicallyAndReportsFailures) {
    QTemporaryDir dir;
    const QString path = dir.filePath("P.USR");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("[Vexil]\r\nmodus= 1\r\n");
    old.close();

    bool found = false;
    IniFile ini = IniFile::read(path, &found);
    EXPECT_TRUE(found);
    ini.setValue("Vexil", "modus", " 2");
    EXPECT_EQ(ini.save(path), 0);
    EXPECT_EQ(IniFile::read(path).value("Vexil", "modus"), "2");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"P.USR"});
    // The same bytes again: the file is not written (no sync to the disk at every start).
    const QDateTime past = QDateTime::currentDateTime().addYears(-1);
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(past, QFileDevice::FileModificationTime));
    old.close();
    EXPECT_EQ(ini.save(path), 0);
    EXPECT_EQ(QFileInfo(path).lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
    ini.setValue("Vexil", "modus", " 3");
    EXPECT_EQ(ini.save(path), 0);
    EXPECT_EQ(IniFile::read(path).value("Vexil", "modus"), "3");

    EXPECT_EQ(ini.save(dir.filePath("missing/P.USR")), errnum::PathNotFound);
    EXPECT_EQ(ini.save(dir.path()), errnum::PathFileAccess);

    IniFile::read(dir.filePath("none.ini"), &found);
    EXPECT_FALSE(found);
}

TEST(IniFile, FindsKeysInALargeSection) {
    QByteArray big("[Inici]\r\n");
    for (int i = 1; i <= 5000; ++i)
        big += "PROG" + QByteArray::number(i) + "=P" + QByteArray::number(i) + "\r\n";
    const IniFile ini(big);
    for (int i = 1; i <= 5000; i += 499)
        EXPECT_EQ(ini.value("inici", "prog" + QString::number(i)), "P" + QString::number(i));
}

TEST(IniFile, ListsSectionsAndKeysOnceInFileOrder) {
    const IniFile ini(QByteArray("top=0\r\n[Vexil]\r\nmodus=1\r\n; note=x\r\nMODUS=2\r\nbare\r\n"
                                 "[Adaptacio]\r\nVoltes=3\r\n[vexil]\r\ntemps=4\r\n[ ]\r\n"));
    EXPECT_EQ(ini.sectionNames(), QStringList({"Vexil", "Adaptacio", ""}));
    // The first of a name, as written; a line without "=" is a key without a value; keys of
    // a later section of the same name are not reached.
    EXPECT_EQ(ini.keyNames("VEXIL"), QStringList({"modus", "bare"}));
    EXPECT_EQ(ini.keyNames("adaptacio"), QStringList({"Voltes"}));
    EXPECT_TRUE(ini.keyNames("Missing").isEmpty());
}

}  // namespace
}  // namespace vexil
