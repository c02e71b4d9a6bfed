// File dialog filters in the program's form made into Qt's, matching without regard to case.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "platform/qt/file_filter.h"

namespace vexil {
namespace {

// Whether Qt's reading of `filter` (the patterns in its last parentheses) accepts `name`.
bool accepts(const QString& filter, const QString& name) {
    const qsizetype open = filter.lastIndexOf(u'(');
    const QString patterns = filter.mid(open + 1, filter.size() - open - 2);
    for (const QString& p : patterns.split(u' ', Qt::SkipEmptyParts))
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(p)).match(name).hasMatch())
            return true;
    return false;
}

TEST(FileFilter, ConvertsPairs) {
    EXPECT_EQ(qtFileFilters(QStringLiteral("Vexil (*.VXL)|*.VXL")),
              QStringList{QStringLiteral("Vexil (*.VXL) (*.[vV][xX][lL])")});
    EXPECT_EQ(qtFileFilters(QStringLiteral("Imatges|*.bmp;*.GIF|Tots (*.*)|*.*")),
              (QStringList{QStringLiteral("Imatges (*.[bB][mM][pP] *.[gG][iI][fF])"),
                           QStringLiteral("Tots (*.*) (*)")}));
    // A description left without patterns, and an empty filter, give nothing.
    EXPECT_EQ(qtFileFilters(QStringLiteral("Vexil (*.VXL)|*.VXL|Sol")).size(), 1);
    EXPECT_TRUE(qtFileFilters(QString()).isEmpty());
    EXPECT_TRUE(qtFileFilters(QStringLiteral("Res|")).isEmpty());
}

TEST(FileFilter, MatchesExtensionsInAnyCase) {
    const QString vexil = qtFileFilters(QStringLiteral("Vexil (*.VXL)|*.VXL")).first();
    for (const char* name : {"teclat.VXL", "teclat.vxl", "Teclat.Vxl", "a b.vXl"})
        EXPECT_TRUE(accepts(vexil, QString::fromLatin1(name))) << name;
    for (const char* name : {"teclat.vx", "teclat.VXL.bak", "vxl", "teclat.usr"})
        EXPECT_FALSE(accepts(vexil, QString::fromLatin1(name))) << name;
    const QString all = qtFileFilters(QStringLiteral("Tots|*.*")).first();
    EXPECT_TRUE(accepts(all, QStringLiteral("README")));
}

TEST(FileFilter, CaseBlindPatternKeepsOtherCharacters) {
    EXPECT_EQ(caseBlindPattern(QStringLiteral("so_?1.WAV")), QStringLiteral("[sS][oO]_?1.[wW][aA][vV]"));
    EXPECT_EQ(caseBlindPattern(QStringLiteral("*.*")), QStringLiteral("*"));
    EXPECT_EQ(caseBlindPattern(QStringLiteral("*.ÀB")), QStringLiteral("*.[àÀ][bB]"));
}

}  // namespace
}  // namespace vexil
