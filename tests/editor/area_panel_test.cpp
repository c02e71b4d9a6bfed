#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "i18n/texts.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class AreaPanelTest : public EditorFixture {
protected:
    // Moves one scroll bar as the panel's widget does: focus, change, focus away.
    void moveEdge(Edge e, int value) {
        editor.panel.edgeFocus(false);
        editor.panel.scrollChanged(e, value);
        editor.panel.edgeFocus(true);
    }
};

TEST_F(AreaPanelTest, ShowAreaFillsEveryFieldAndTheCounter) {
    Area a = rect(10, 20, 30, 40);
    a.keys = QStringLiteral("{|ESPERA 1}x");
    a.clipFile = QStringLiteral("n.txt");
    a.clipKind = 1;
    a.iconFile = QStringLiteral("gat.bmp");
    a.soundFile = QStringLiteral("miau.wav");
    a.repeatReading = 1;
    rootedBoard({a});
    editor.panel.showArea(2);
    EXPECT_EQ(panel().msgArea, QStringLiteral("2/2 àrees"));
    EXPECT_EQ(panel().scroll[0], 10);
    EXPECT_EQ(panel().scroll[1], 30);
    EXPECT_EQ(panel().scroll[2], 20);
    EXPECT_EQ(panel().scroll[3], 40);
    EXPECT_EQ(panel().edgeText[3], QStringLiteral("40"));
    EXPECT_EQ(panel().txText, translateCommands(a.keys, 0));
    EXPECT_EQ(panel().txApp, QStringLiteral("n.txt"));
    EXPECT_EQ(panel().option1, 1);
    EXPECT_EQ(panel().iconaText, QStringLiteral("gat.bmp"));
    EXPECT_EQ(panel().soText, QStringLiteral("miau.wav"));
    EXPECT_TRUE(panel().chRepe);
    editor.panel.showArea(0);
    EXPECT_EQ(panel().msgArea, QStringLiteral("----- àrees"));
    EXPECT_EQ(t().currentArea, 0);
    EXPECT_EQ(panel().txText, QString());
}

TEST_F(AreaPanelTest, OneAreaReadsOneOfOne) {
    board({rect(0, 0, 640, 445, 0)});
    editor.panel.showArea(1);
    EXPECT_EQ(panel().msgArea, QStringLiteral("1/1 àrees"));
}

TEST_F(AreaPanelTest, KeysAreStoredInTheirStoredForm) {
    rootedBoard({rect(10, 20, 30, 40)});
    editor.panel.showArea(2);
    const QString stored = QStringLiteral("{|ESPERA 2}");
    const QString displayed = translateCommands(stored, 0);
    editor.panel.setKeysText(displayed);
    EXPECT_EQ(t().area(2).keys, translateCommands(displayed, 1));
    EXPECT_TRUE(t().modified);
}

TEST_F(AreaPanelTest, TypingIntoAnEdgeBoxIsUndoneAtOnce) {
    rootedBoard({rect(10, 20, 30, 40)});
    editor.panel.showArea(2);
    editor.panel.typeEdgeText(Edge::X0, QStringLiteral("100"));
    EXPECT_EQ(t().area(2).x0, 10);
    EXPECT_EQ(panel().edgeText[0], QStringLiteral("10"));
}

TEST_F(AreaPanelTest, EdgesOfAnAreaStayWithinTheRoot) {
    board({rect(20, 10, 600, 400, 0, -1), rect(100, 100, 200, 200)});
    editor.panel.showArea(2);
    struct Case {
        Edge edge;
        int value;
        QRect expected;
    } cases[] = {
        {Edge::X1, 601, QRect(QPoint(100, 100), QPoint(200, 200))},  // beyond the root: back
        {Edge::X0, 19, QRect(QPoint(100, 100), QPoint(200, 200))},
        {Edge::Y1, 401, QRect(QPoint(100, 100), QPoint(200, 200))},
        {Edge::Y0, 9, QRect(QPoint(100, 100), QPoint(200, 200))},
        {Edge::X1, 600, QRect(QPoint(100, 100), QPoint(600, 200))},  // on the root's edge
        {Edge::Y0, 10, QRect(QPoint(100, 10), QPoint(600, 200))},
    };
    for (const Case& c : cases) {
        moveEdge(c.edge, c.value);
        EXPECT_EQ(areaRect(2), c.expected) << int(c.edge) << " " << c.value;
        const Area& a = t().area(2);
        const int stored[] = {a.x0, a.x1, a.y0, a.y1};
        EXPECT_EQ(panel().scroll[int(c.edge)], stored[int(c.edge)]);
        // The edited area stays current.
        EXPECT_EQ(t().currentArea, 2);
    }
}

TEST_F(AreaPanelTest, RootDockingDecidesItsOneFreeEdge) {
    struct Case {
        Area root;
        QChar code;
        Edge freeEdge;
        int value;
    } cases[] = {
        {rect(100, 0, 640, 445, 0), u'D', Edge::X0, 50},
        {rect(0, 0, 500, 445, 0), u'E', Edge::X1, 400},
        {rect(0, 0, 640, 300, 0), u'A', Edge::Y1, 200},
        {rect(0, 100, 640, 445, 0), u'B', Edge::Y0, 50},
    };
    const Edge all[] = {Edge::X0, Edge::X1, Edge::Y0, Edge::Y1};
    for (const Case& c : cases) {
        t().clearTemplate();
        board({c.root});
        editor.panel.showArea(1);
        EXPECT_EQ(rootDocking(t()), c.code);
        for (Edge e : all) {
            if (e == c.freeEdge) continue;
            const Area before = t().area(1);
            moveEdge(e, 10);
            EXPECT_EQ(t().area(1), before) << c.code.toLatin1() << int(e);
        }
        moveEdge(c.freeEdge, c.value);
        const Area& r = t().area(1);
        const int v[] = {r.x0, r.x1, r.y0, r.y1};
        EXPECT_EQ(v[int(c.freeEdge)], c.value) << c.code.toLatin1();
    }
}

TEST_F(AreaPanelTest, ARootCoveringTheBoardCannotBeResized) {
    board({rect(0, 0, 640, 445, 0)});
    editor.panel.showArea(1);
    EXPECT_EQ(rootDocking(t()), u' ');
    for (Edge e : {Edge::X0, Edge::X1, Edge::Y0, Edge::Y1}) moveEdge(e, 100);
    EXPECT_EQ(areaRect(1), QRect(QPoint(0, 0), QPoint(640, 445)));
}

TEST_F(AreaPanelTest, StretchingAGroupCarriesEveryDescendantAlong) {
    rootedBoard({rect(100, 100, 200, 200, 1, -1), rect(100, 100, 150, 200, 2, -1),
                 rect(150, 100, 200, 200, 2), rect(100, 100, 150, 150, 3)});
    editor.panel.showArea(2);
    moveEdge(Edge::X1, 300);
    EXPECT_EQ(areaRect(2), QRect(QPoint(100, 100), QPoint(300, 200)));
    EXPECT_EQ(areaRect(3), QRect(QPoint(100, 100), QPoint(200, 200)));
    EXPECT_EQ(areaRect(4), QRect(QPoint(200, 100), QPoint(300, 200)));
    EXPECT_EQ(areaRect(5), QRect(QPoint(100, 100), QPoint(200, 150)));
    EXPECT_EQ(t().currentArea, 2);
    EXPECT_TRUE(t().coverOutdated);
}

TEST_F(AreaPanelTest, AGroupOfNoWidthSkipsThatAxis) {
    rootedBoard({rect(100, 100, 100, 200, 1, -1), rect(100, 120, 100, 150, 2)});
    editor.panel.showArea(2);
    moveEdge(Edge::X1, 200);
    moveEdge(Edge::Y1, 300);
    EXPECT_EQ(areaRect(2), QRect(QPoint(100, 100), QPoint(200, 300)));
    // The width had no percentage; the height doubled.
    EXPECT_EQ(areaRect(3), QRect(QPoint(100, 140), QPoint(100, 200)));
}

TEST_F(AreaPanelTest, SwitchingTheClipKindEmptiesTheClipFile) {
    Area a = rect(10, 10, 50, 50);
    a.clipFile = QStringLiteral("text.txt");
    rootedBoard({a});
    editor.panel.showArea(2);
    editor.panel.setClipKind(1);
    EXPECT_EQ(t().area(2).clipKind, 1);
    EXPECT_EQ(t().area(2).clipFile, QString());
    editor.panel.setClipFile(QStringLiteral("pic.bmp"));
    editor.panel.setRepeat(true);
    EXPECT_EQ(t().area(2).clipFile, QStringLiteral("pic.bmp"));
    EXPECT_EQ(t().area(2).repeatReading, 1);
}

TEST_F(AreaPanelTest, EditingWithoutAnAreaBeepsAndStoresNothing) {
    rootedBoard({rect(10, 10, 50, 50)});
    editor.panel.showArea(0);
    editor.panel.setKeysText(QStringLiteral("x"));
    EXPECT_EQ(beeps(), 1);
    EXPECT_EQ(t().area(2).keys, QString());
    EXPECT_FALSE(t().modified);
}

TEST_F(AreaPanelTest, SteppingBeepsAtTheEnds) {
    rootedBoard({rect(10, 10, 50, 50)});
    editor.panel.showArea(1);
    editor.panel.prevArea();
    EXPECT_EQ(beeps(), 1);
    editor.panel.nextArea();
    EXPECT_EQ(t().currentArea, 2);
    editor.panel.nextArea();
    EXPECT_EQ(beeps(), 2);
    editor.panel.prevArea();
    EXPECT_EQ(t().currentArea, 1);
}

TEST_F(AreaPanelTest, ViewersGoThroughTheAliasTableOrGiveMessageOne) {
    rootedBoard({rect(10, 10, 50, 50)});
    // Names are the board's: the viewer gets them resolved in its folder.
    t().templateFolder = f.path(QStringLiteral("boards"));
    editor.panel.showArea(2);
    struct Case {
        QString icon, clip;
        QString started;  // what the launcher ran, or empty for message 1
    } cases[] = {
        {QStringLiteral("gat.BMP"), {}, QStringLiteral("/usr/bin/kolourpaint")},
        {QStringLiteral("gat.jpg"), {}, QStringLiteral("/usr/bin/kolourpaint")},
        {QStringLiteral("fotos/sol.png"), {}, QStringLiteral("/usr/bin/kolourpaint")},
        {QStringLiteral("gat.txt"), {}, {}},
        {{}, QStringLiteral("mapa.jpeg"), QStringLiteral("/usr/bin/kolourpaint")},
        {{}, QStringLiteral("nota.TXT"), QStringLiteral("/usr/bin/mousepad")},
        {{}, QStringLiteral("doc.wri"), QStringLiteral("/usr/bin/abiword")},
        {{}, QStringLiteral("doc.pdf"), {}},
    };
    for (const Case& c : cases) {
        f.fake.launcher.started.clear();
        f.fake.recorder.clear();
        editor.panel.setIconFile(c.icon);
        editor.panel.setClipFile(c.clip);
        if (!c.icon.isEmpty())
            editor.files.viewIcon();
        else
            editor.files.viewClip();
        if (c.started.isEmpty()) {
            EXPECT_EQ(f.messages(), QStringList{messageText(1)}) << c.icon << c.clip;
            EXPECT_TRUE(f.fake.launcher.started.isEmpty());
        } else {
            ASSERT_EQ(f.fake.launcher.started.size(), 1) << c.icon << c.clip;
            EXPECT_TRUE(f.fake.launcher.started[0].startsWith(c.started))
                << f.fake.launcher.started[0].toStdString();
            EXPECT_TRUE(f.fake.launcher.started[0].endsWith(
                u' ' + f.path(QStringLiteral("boards/")) + c.icon + c.clip))
                << f.fake.launcher.started[0].toStdString();
            EXPECT_TRUE(f.messages().isEmpty());
        }
    }
}

TEST_F(AreaPanelTest, CancellingThePictureChooserKeepsTheIcon) {
    Area a = rect(10, 10, 50, 50);
    a.iconFile = QStringLiteral("old.bmp");
    rootedBoard({a});
    t().templateFolder = f.path(QStringLiteral("boards"));
    editor.panel.showArea(2);
    editor.files.chooseIcon(std::nullopt);
    editor.files.chooseIcon(QString());
    EXPECT_EQ(t().area(2).iconFile, QStringLiteral("old.bmp"));
    editor.files.chooseIcon(f.path(QStringLiteral("boards/ICONES/gos.bmp")));
    EXPECT_EQ(t().area(2).iconFile, QStringLiteral("ICONES/gos.bmp"));
    EXPECT_TRUE(t().coverOutdated);
}

TEST_F(AreaPanelTest, TheSoundChooserAndListening) {
    rootedBoard({rect(10, 10, 50, 50)});
    t().templateFolder = f.path(QStringLiteral("boards"));
    editor.panel.showArea(2);
    editor.files.chooseSound();  // cancelled
    EXPECT_EQ(t().area(2).soundFile, QString());
    f.fake.dialogs.chosenFiles.push_back(f.path(QStringLiteral("boards/so.wav")));
    editor.files.chooseSound();
    EXPECT_EQ(t().area(2).soundFile, QStringLiteral("so.wav"));
    const auto dialogs = f.fake.recorder.eventsOf(QStringLiteral("fileDialog"));
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].value(QStringLiteral("title")).toString(),
              QStringLiteral("Carregar Fitxers de so"));
}

}  // namespace
