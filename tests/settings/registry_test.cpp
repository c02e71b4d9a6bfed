#include "settings/registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/print_qt.h"

namespace vexil {
namespace {

const QString kUser = QStringLiteral("HKEY_CURRENT_USER");
const QString kMachine = QStringLiteral("HKEY_LOCAL_MACHINE");

struct WriteCase {
    const char* root;
    const char* valueText;
    bool written;
    std::uint32_t type;
    QByteArray data;
};

const WriteCase kWriteCases[] = {
    {"HKEY_CURRENT_USER", "DWORD:000000ff", true, 4, QByteArray("\xff\0\0\0", 4)},
    {"HKEY_CURRENT_USER", "dword:0a0b0c0d", true, 4, QByteArray("\x0d\x0c\x0b\x0a", 4)},
    {"HKEY_CURRENT_USER", "DWORD:1f", true, 4, QByteArray("\x1f\0\0\0", 4)},
    {"HKEY_CURRENT_USER", "DWORD:123456789", false, 0, {}},
    {"HKEY_CURRENT_USER", "DWORD:zz", false, 0, {}},
    {"HKEY_CURRENT_USER", "HEX:0a,ff,00", true, 3, QByteArray("\x0a\xff\0", 3)},
    {"HKEY_CURRENT_USER", "hex: 0A , FF", true, 3, QByteArray("\x0a\xff")},
    {"HKEY_CURRENT_USER", "HEX:", true, 3, QByteArray()},
    {"HKEY_CURRENT_USER", "HEX:100", false, 0, {}},
    {"HKEY_CURRENT_USER", "HEX:0g", false, 0, {}},
    {"HKEY_CURRENT_USER", "Blau cel", true, 1, QByteArray("Blau cel")},
    {"HKEY_CURRENT_USER", "\xc3\xa0vila", true, 1, QByteArray("\xe0vila")},
    {"HKEY_CURRENT_USER", "", true, 1, QByteArray()},
    {"HKEY_CURRENT_USER", "C:\\TEMP", false, 0, {}},
    {"HKEY_CURRENT_USER", "SZ:text", false, 0, {}},
    {"hkey_current_user", "DWORD:00000001", true, 4, QByteArray("\x01\0\0\0", 4)},
    {"Hkey_Users", "x", true, 1, QByteArray("x")},
    {"HKEY_CLASSES_ROOT", "x", false, 0, {}},
    {"HKCU", "x", false, 0, {}},
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.root << ' ' << c.valueText;
}

class RegistryWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(RegistryWriteTest, DecodesTheValueText) {
    const WriteCase& c = GetParam();
    RegistryStore store;
    const QString root = QString::fromUtf8(c.root);
    store.setValue(root, "Software\\Test", "", RegistryValue{1, QByteArray("k\0", 2)});
    const bool ok =
        store.writeRegistryValue(root, "Software\\Test", "Color", QString::fromUtf8(c.valueText));
    EXPECT_EQ(ok, c.written) << c.valueText;
    const RegistryValue* v = store.value(root, "software\\TEST", "COLOR");
    if (!c.written) {
        EXPECT_EQ(v, nullptr) << c.valueText;
        return;
    }
    ASSERT_NE(v, nullptr) << c.valueText;
    EXPECT_EQ(v->type, c.type) << c.valueText;
    EXPECT_EQ(v->data, c.data) << c.valueText;
}

INSTANTIATE_TEST_SUITE_P(Forms, RegistryWriteTest, testing::ValuesIn(kWriteCases));

TEST(Registry, NamedValuesNeedTheirKeyDefaultValuesMakeIt) {
    RegistryStore store;
    EXPECT_FALSE(store.writeRegistryValue(kUser, "Software\\Test", "Color", "DWORD:000000ff"));
    EXPECT_EQ(store.listSubkeys(kUser, "Software"), "");

    EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Test", "", "hola"));
    EXPECT_EQ(store.readDefaultValue(kUser, "Software\\Test"), QString("hola") + QChar(0));
    EXPECT_EQ(store.listSubkeys(kUser, "Software"), "Test\r");
    EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Test", "Color", "DWORD:000000ff"));

    // A default value written from a byte list is a string up to its first zero.
    EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Bytes", "", "HEX:41,42,00,43"));
    EXPECT_EQ(store.readDefaultValue(kUser, "Software\\Bytes"), QString("AB") + QChar(0));
}

TEST(Registry, ReadsGiveEmptyTextWhenThereIsNothing) {
    RegistryStore store;
    store.setValue(kUser, "Software\\NoDefault", "named", RegistryValue{1, "x"});
    EXPECT_EQ(store.readDefaultValue(kUser, "Software\\NoDefault"), "");
    EXPECT_EQ(store.readDefaultValue(kUser, "Software\\Missing"), "");
    EXPECT_EQ(store.readDefaultValue("HKEY_CLASSES_ROOT", "Software"), "");
    EXPECT_EQ(store.listSubkeys(kUser, "Software\\Missing"), "");
    EXPECT_EQ(store.listSubkeys(kUser, "Software\\NoDefault"), "");
}

TEST(Registry, SubkeysListInNameOrderWithoutRegardToCase) {
    RegistryStore store;
    for (const char* name : {"Zeta", "alfa", "Mu"})
        store.setValue(kMachine, QString("SOFTWARE\\Voices\\") + name, "", {1, "v"});
    store.setValue(kMachine, "software\\voices\\ALFA\\Deeper", "", {1, "v"});
    EXPECT_EQ(store.listSubkeys("hkey_local_machine", "SOFTWARE\\Voices"), "alfa\rMu\rZeta\r");
    store.removeKey(kMachine, "Software\\Voices\\alfa");
    EXPECT_EQ(store.listSubkeys(kMachine, "SOFTWARE\\Voices"), "Mu\rZeta\r");
}

struct ServerCase {
    const char* what;
    const char* localServer;  // nullptr: no such entry
    const char* expected;
};

const ServerCase kServerCases[] = {
    {"quoted path with switch", "\"C:\\PROGRA~1\\APP\\APP.EXE\" /automation",
     "C:\\PROGRA~1\\APP\\APP.EXE"},
    {"lower case", "c:\\progra~1\\app\\app.exe", "C:\\PROGRA~1\\APP\\APP.EXE"},
    {"first .EXE only", "C:\\A.EXE\\B.EXE -x", "C:\\A.EXE"},
    {"program of this system", "/usr/bin/app --automation", "/USR/BIN/APP"},
    {"no server entry", nullptr, ""},
    {"empty server entry", "", ""},
};

void PrintTo(const ServerCase& c, std::ostream* out) {
    *out << c.what;
}

class LocalServerTest : public testing::TestWithParam<ServerCase> {};

TEST_P(LocalServerTest, FindsTheServerProgram) {
    const ServerCase& c = GetParam();
    RegistryStore store;
    EXPECT_TRUE(store.writeRegistryValue(kMachine, "SOFTWARE\\Classes\\App.Document\\CLSID", "",
                                         "{1234-AB}"));
    if (c.localServer) {
        // The entry holds a path, which holds ":": set it as the machine's installer does.
        QByteArray data(c.localServer);
        data.append('\0');
        store.setValue(kMachine, "SOFTWARE\\Classes\\CLSID\\{1234-AB}\\LocalServer32", "",
                       RegistryValue{1, data});
    }
    EXPECT_EQ(store.localServerPath("App.Document"), QString::fromUtf8(c.expected)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Entries, LocalServerTest, testing::ValuesIn(kServerCases));

TEST(Registry, UnknownClassHasNoServer) {
    RegistryStore store;
    EXPECT_EQ(store.localServerPath("Nothing.Here"), "");
}

TEST(Registry, KeptInItsFileAcrossRuns) {
    QTemporaryDir dir;
    const QString file = dir.filePath("registry.ini");
    {
        RegistryStore store(file);
        store.setValue(kMachine, "SOFTWARE\\Voices\\Second", "", {1, "v"});
        store.setValue(kMachine, "SOFTWARE\\Voices\\First", "", {1, "v"});
        EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Test", "", "Blau \"cel\" 100%"));
        EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Test", "Nom \"x\"=1",
                                             QString::fromUtf8("\xc3\xa0")));
        EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Test", "Bytes", "HEX:00,7f"));
        EXPECT_TRUE(store.writeRegistryValue(kUser, "Software\\Test", "N", "DWORD:0000001f"));
        store.setValue(kUser, "Software\\Line\nBreak]", "odd", RegistryValue{7, "ab"});
        EXPECT_TRUE(store.lastSaveSucceeded());
    }
    RegistryStore again(file);
    EXPECT_EQ(again.listSubkeys(kMachine, "SOFTWARE\\Voices"), "First\rSecond\r");
    EXPECT_EQ(again.readDefaultValue(kUser, "Software\\Test"),
              QString("Blau \"cel\" 100%") + QChar(0));
    EXPECT_EQ(again.value(kUser, "Software\\Test", "Nom \"x\"=1")->data, QByteArray("\xe0"));
    EXPECT_EQ(*again.value(kUser, "Software\\Test", "Bytes"),
              (RegistryValue{3, QByteArray("\0\x7f", 2)}));
    EXPECT_EQ(*again.value(kUser, "Software\\Test", "N"),
              (RegistryValue{4, QByteArray("\x1f\0\0\0", 4)}));
    EXPECT_EQ(*again.value(kUser, "Software\\Line\nBreak]", "odd"), (RegistryValue{7, "ab"}));
    EXPECT_EQ(again.toText(), RegistryStore(file).toText());
    EXPECT_TRUE(again.toText().contains("\"N\"=dword:0000001f\n"));
}

TEST(Registry, LinesItCannotReadAreKeptInAnOldFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("registry.ini");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[HKEY_CURRENT_USER\\A]\n\"x\"=dword:00000001\nnonsense line\n[NOROOT\\B]\n");
    f.close();
    RegistryStore store(file);
    EXPECT_EQ(store.value(kUser, "A", "x")->data, QByteArray("\x01\0\0\0", 4));
    EXPECT_TRUE(store.writeRegistryValue(kUser, "A", "y", "z"));
    QFile old(file + ".old");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_TRUE(old.readAll().contains("nonsense line"));
}

TEST(Registry, AFailedSaveIsReported) {
    QTemporaryDir dir;
    RegistryStore store(dir.filePath("no/such/folder/registry.ini"));
    store.setValue(kUser, "Software\\T", "", {1, QByteArray("a\0", 2)});
    EXPECT_FALSE(store.writeRegistryValue(kUser, "Software\\T", "v", "1"));
    EXPECT_FALSE(store.lastSaveSucceeded());
}

}  // namespace
}  // namespace vexil
