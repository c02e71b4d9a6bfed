#include <gtest/gtest.h>

#include "i18n/runtime_error.h"
#include "template/template.h"

using namespace vexil;

namespace {

Area rect(int x0, int y0, int x1, int y1, int level = 1) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    return a;
}

}  // namespace

TEST(TemplateModel, ClearTouchesOnlyWhatItLists) {
    Template t;
    t.settings.soundOn = -1;
    t.settings.autoCover = 1;
    t.settings.voiceLanguage = 1;
    t.settings.voiceSpeaker = 1;
    t.settings.voiceSpeed = 140;
    t.settings.templateClipKind = 1;
    t.settings.startKeys = QStringLiteral("abc");
    t.settings.pictureFile = QStringLiteral("X.BMP");
    t.settings.propertiesOnNew = 0;
    t.templateFolder = QStringLiteral("C:\\PLANT");
    t.appendArea(rect(0, 0, 10, 10, 0));
    t.currentArea = 1;
    t.modified = true;

    t.clearTemplate();

    EXPECT_EQ(t.areaCount(), 0);
    EXPECT_EQ(t.areas().size(), 1u);
    EXPECT_EQ(t.area(0), Area{});
    EXPECT_EQ(t.currentArea, 0);
    EXPECT_EQ(t.templatePath, QStringLiteral("(Sense Nom)"));
    EXPECT_TRUE(t.settings.startKeys.isEmpty());
    EXPECT_TRUE(t.settings.pictureFile.isEmpty());
    EXPECT_EQ(t.settings.propertiesOnNew, 1);
    // Kept:
    EXPECT_EQ(t.settings.soundOn, -1);
    EXPECT_EQ(t.settings.autoCover, 1);
    EXPECT_EQ(t.settings.voiceLanguage, 1);
    EXPECT_EQ(t.settings.voiceSpeaker, 1);
    EXPECT_EQ(t.settings.voiceSpeed, 140);
    EXPECT_EQ(t.settings.templateClipKind, 1);
    EXPECT_TRUE(t.modified);
    EXPECT_EQ(t.templateFolder, QStringLiteral("C:\\PLANT"));
}

TEST(TemplateModel, AppendNumbersFromOneAndCopies) {
    Template t;
    Area a = rect(1, 2, 3, 4);
    a.keys = QStringLiteral("hola");
    t.appendArea(a);
    t.appendArea(rect(5, 6, 7, 8));
    t.appendArea(rect(9, 10, 11, 12));
    a.keys = QStringLiteral("changed");

    ASSERT_EQ(t.areaCount(), 3);
    EXPECT_EQ(t.area(0), Area{});
    EXPECT_EQ(t.area(1).keys, QStringLiteral("hola"));
    EXPECT_EQ(t.area(3).x0, 9);
    EXPECT_TRUE(t.modified);
    EXPECT_EQ(t.addedAreaCount, 3);
}

TEST(TemplateModel, AppendBeyondTheLimitIsAnOverflowAndChangesNothing) {
    Template t;
    t.reserveAreas(kMaxAreas);
    for (int i = 0; i < kMaxAreas; ++i) t.appendArea(rect(0, 0, 1, 1));
    try {
        t.appendArea(rect(0, 0, 1, 1));
        FAIL() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_EQ(t.areaCount(), kMaxAreas);
}

TEST(TemplateModel, AreaAtNormalisesAndPrefersTheHighestNumber) {
    Template t;
    t.appendArea(rect(0, 0, 640, 445, 0));
    t.appendArea(rect(100, 50, 10, 5));    // reversed
    t.appendArea(rect(20, 10, 30, 20));    // lies over area 2

    struct Case {
        int x, y, expected;
    } cases[] = {
        {0, 0, 1},      {640, 445, 1},  {641, 0, 0},   {-1, 3, 0},
        {10, 5, 2},     {100, 50, 2},   {55, 30, 2},   {20, 10, 3},
        {30, 20, 3},    {31, 20, 2},    {101, 30, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(t.areaAt(c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(TemplateModel, DeleteRenumbersAndEmptiesGroups) {
    Template t;
    t.appendArea(rect(0, 0, 640, 445, 0));     // 1
    Area group = rect(0, 0, 100, 100, 1);
    group.isGroup = -1;
    t.appendArea(group);                        // 2
    t.appendArea(rect(0, 0, 10, 10, 2));        // 3, inside the group
    t.appendArea(rect(200, 0, 300, 100, 1));   // 4
    t.modified = false;

    t.deleteArea(0);
    t.deleteArea(5);
    EXPECT_EQ(t.areaCount(), 4);

    t.deleteArea(3);
    ASSERT_EQ(t.areaCount(), 3);
    EXPECT_TRUE(t.modified);
    EXPECT_EQ(t.area(3).x0, 200);
    EXPECT_EQ(t.area(2).isGroup, 0) << "the group lost its last member";
    EXPECT_EQ(t.area(1).isGroup, 0);
}

TEST(TemplateModel, DeleteKeepsAGroupThatStillHasMembers) {
    Template t;
    t.appendArea(rect(0, 0, 640, 445, 0));
    Area group = rect(0, 0, 100, 100, 1);
    group.isGroup = -1;
    t.appendArea(group);
    t.appendArea(rect(0, 0, 10, 10, 2));
    t.appendArea(rect(20, 0, 30, 10, 2));
    t.deleteArea(4);
    EXPECT_EQ(t.area(2).isGroup, -1);
}
