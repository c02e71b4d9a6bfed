// The data and condition windows' values, the context tags and the caption list.
#include "assist/assist_data.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "commands/command_scan.h"

using namespace vexil;

inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}

namespace {

TEST(DataValues, CoordinatesSplitAtTheFirstBlank) {
    const struct {
        const char16_t* value;
        const char16_t* x;
        const char16_t* y;
    } cases[] = {{u"10 20", u"10", u"20"}, {u"10", u"10", u""}, {u"", u"", u""}, {u"1 2 3", u"1", u"2 3"}};
    for (const auto& tc : cases) {
        const Coordinates c = splitCoordinates(QString::fromUtf16(tc.value));
        EXPECT_EQ(c.x, QString::fromUtf16(tc.x));
        EXPECT_EQ(c.y, QString::fromUtf16(tc.y));
    }
    EXPECT_EQ(joinCoordinates(QStringLiteral("10"), QStringLiteral("20")), QStringLiteral("10 20"));
}

TEST(DataValues, ListsInBracketsWithItemsBetweenHashes) {
    EXPECT_EQ(listItems(QStringLiteral("[a#b#c]")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(listItems(QStringLiteral("[ x1#x2#x3]")), (QStringList{" x1", "x2", "x3"}));
    EXPECT_EQ(listItems(QStringLiteral("[]")), QStringList());
    EXPECT_EQ(listItems(QString()), QStringList());
    EXPECT_EQ(listItems(QStringLiteral("a#b")), (QStringList{"a", "b"}));
    EXPECT_EQ(joinList({"a", "b", "c"}), QStringLiteral("[a#b#c]"));
    EXPECT_EQ(joinList({"a", "", "c"}), QStringLiteral("[a#c]"));
    // Nothing to choose from: no value at all rather than "[]".
    EXPECT_EQ(joinList({}), std::nullopt);
    EXPECT_EQ(joinList({"", ""}), std::nullopt);
    EXPECT_EQ(typedListItems(QStringLiteral("a#b##c")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(typedListItems(QString()), QStringList());
}

TEST(DataValues, FileKindsOfTheDataWindowWriteTheirCommands) {
    EXPECT_EQ(dataFileKinds().size(), 4);
    const struct {
        int index;
        int kind;
        const char16_t* command;
    } cases[] = {{0, 5, u"{|Enganxa GAT.BMP }^v"},
                 {1, 3, u"{|Enganxa GAT.BMP}"},
                 {2, 1, u"{|Sona GAT.BMP}"},
                 {3, 0, u"{|Executa GAT.BMP}"}};
    for (const auto& tc : cases) {
        EXPECT_EQ(dataFileKind(tc.index), tc.kind);
        EXPECT_EQ(dataFileCommand(tc.index, QStringLiteral("GAT.BMP")), QString::fromUtf16(tc.command));
        EXPECT_EQ(dataFileCommand(tc.index, QString()), QString());
    }
    EXPECT_EQ(dataFileKind(4), -1);
}

TEST(ConditionValue, SplitsTheWordAndTheTwoBranchesByCountingBraces) {
    const struct {
        const char16_t* parameter;
        const char16_t* word;
        const char16_t* yes;
        const char16_t* no;
    } cases[] = {
        {u"5 {si}{no}", u"5 ", u"si", u"no"},
        {u"x {{|Sona A.WAV}} {b}", u"x ", u"{|Sona A.WAV}", u"b"},
        {u"x {a{b}c}{d}", u"x ", u"a{b}c", u"d"},
        {u"5", u"5", u"", u""},         // no blocks
        {u"5 {a}", u"5 ", u"a", u""},   // one block
        {u"5 {a", u"5 ", u"a", u""},    // never closed
        {u"", u"", u"", u""},
    };
    for (const auto& tc : cases) {
        const ConditionValue v = splitConditionValue(QString::fromUtf16(tc.parameter));
        EXPECT_EQ(v.word, QString::fromUtf16(tc.word)) << QString::fromUtf16(tc.parameter);
        EXPECT_EQ(v.ifEqual, QString::fromUtf16(tc.yes));
        EXPECT_EQ(v.ifDifferent, QString::fromUtf16(tc.no));
    }
}

TEST(ConditionValue, JoinsSoThatThePlayerFindsTheWordAndBothBlocks) {
    EXPECT_EQ(joinConditionValue({"5 ", "si", "no"}), QStringLiteral("5 {si}{no}"));
    // Without a blank the word would run into the first block.
    const QString joined = joinConditionValue({"5", "si", "no"});
    EXPECT_EQ(joined, QStringLiteral("5 {si}{no}"));
    const ConditionParts parts = splitCondition(joined);
    EXPECT_EQ(parts.blocks, 2);
    EXPECT_EQ(parts.ifDifferent, QStringLiteral("no"));
    // A condition without blocks gets both, empty.
    EXPECT_EQ(conditionParameter(QStringLiteral("5"), {"5", "", ""}), QStringLiteral("5"));
    EXPECT_EQ(conditionParameter(QStringLiteral("5"), {"5", "a", ""}), QStringLiteral("5 {a}{}"));
    // Unchanged: the parameter as it was, blanks between the blocks included.
    EXPECT_EQ(conditionParameter(QStringLiteral("x {a} {b}"), {"x ", "a", "b"}), QStringLiteral("x {a} {b}"));
    EXPECT_EQ(conditionParameter(QStringLiteral("x {a} {b}"), {"x ", "a", "c"}), QStringLiteral("x {a}{c}"));
}

TEST(AssistContext, TagsNestAndComeBackNewestFirst) {
    AssistContext c;
    c.contextTag = QStringLiteral("Vexil");
    c.push(QStringLiteral("Si memoria es ..."));
    c.push(QStringLiteral("Si memoria es cert"));
    c.push(QStringLiteral("Parametre"));
    EXPECT_EQ(c.contextTag, QStringLiteral("Parametre"));
    EXPECT_EQ(c.contextStack, QStringLiteral("Si memoria es cert|Si memoria es ...|Vexil|"));
    EXPECT_EQ(c.depth(), 3);
    c.pop();
    EXPECT_EQ(c.contextTag, QStringLiteral("Si memoria es cert"));
    c.pop();
    c.pop();
    EXPECT_EQ(c.contextTag, QStringLiteral("Vexil"));
    EXPECT_EQ(c.contextStack, QString());
    c.pop();
    EXPECT_EQ(c.contextTag, QString());
}

TEST(AssistContext, TheTagSaysWhereAcceptarWrites) {
    EXPECT_EQ(assistTarget(QStringLiteral("Vexil")), AssistTarget::KeysField);
    EXPECT_EQ(assistTarget(QStringLiteral("Parametre")), AssistTarget::ParentRow);
    EXPECT_EQ(assistTarget(QStringLiteral("Si memoria es cert")), AssistTarget::IfEqual);
    EXPECT_EQ(assistTarget(QStringLiteral("Si memoria es fals")), AssistTarget::IfDifferent);
    // Any data window, whatever its caption and language: its own text, never the area's keys.
    for (const char* caption : {"Escriu", " Llegir un text", "Escribe", "Memoria Suma memoria"})
        EXPECT_EQ(assistTarget(QLatin1String(caption)), AssistTarget::DataText) << caption;
}

TEST(CaptionLog, KeepsOneLinePerCaptionInTheProgramsTextForm) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("user"));  // made when missing
    appendCaptionLog(folder, QStringLiteral("Asistente teclas"), {"parametre 1", "Acceptar"});
    appendCaptionLog(folder, QStringLiteral("Parametre"), {QStringLiteral("Seqüències")});
    // Windows opened again keep one line per caption; a changed caption replaces its line.
    appendCaptionLog(folder, QStringLiteral("Asistente teclas"), {"parametre 1", "Acceptar"});
    appendCaptionLog(folder, QStringLiteral("Parametre"), {QStringLiteral("Seqüències"), "Codis"});
    appendCaptionLog(folder, QStringLiteral("Asistente teclas"), {"parametre 2"});
    QFile f(QDir(folder).filePath(QStringLiteral("tswmis.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Asistente teclas, 0,\"parametre 2\"\r\n"
                                      "Asistente teclas, 1,\"Acceptar\"\r\n"
                                      "Parametre, 0,\"Seq\xfc\xe8ncies\"\r\n"
                                      "Parametre, 1,\"Codis\"\r\n"));
    // A folder that cannot be written is passed over.
    appendCaptionLog(QStringLiteral("/proc/no/such/folder"), QStringLiteral("x"), {"y"});
    appendCaptionLog(QString(), QStringLiteral("x"), {"y"});
}

}  // namespace
