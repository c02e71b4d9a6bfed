// The demo boards shipped in examples/: what their areas do on the recording platform.
#include <gtest/gtest.h>

#include <QDir>

#include "command_fixture.h"
#include "commands/player.h"
#include "files/template_reader.h"

using namespace vexil;
using namespace vexil::test;

namespace {

class DemoBoards : public CommandFixture, public ::testing::Test {
protected:
    void loadExample(const char* name) {
        const QString path =
            QDir(sourceDir()).filePath(QStringLiteral("examples/") + QLatin1String(name));
        loadTemplate(*session, path);
        ASSERT_GT(session->tmpl.areaCount(), 1) << path.toStdString();
        session->speech.speechAvailable = true;
        fake.recorder.clear();
    }
    // The phrase areas: every area of the board that reads a text aloud.
    std::vector<int> phraseAreas() const {
        std::vector<int> out;
        for (int n = 1; n <= session->tmpl.areaCount(); ++n)
            if (session->tmpl.area(n).keys.contains(QLatin1String("{|Llegir "))) out.push_back(n);
        return out;
    }
};

}  // namespace

// With no program open the phrase is still said; with one it is also written there.
TEST_F(DemoBoards, PhrasesAreSaidWithOrWithoutATarget) {
    loadExample("FRASES.VXL");
    const std::vector<int> areas = phraseAreas();
    ASSERT_EQ(areas.size(), 11u);
    for (const bool withTarget : {false, true}) {
        if (withTarget) openTarget(QStringLiteral("Mousepad"));
        for (int n : areas) {
            SCOPED_TRACE(n);
            fake.recorder.clear();
            activateArea(*session, n);
            const QStringList said = ops({QStringLiteral("speech")}).filter(u"upcTVRead");
            ASSERT_EQ(said.size(), 1);
            const QStringList typedNow = typed();
            if (!withTarget) {
                EXPECT_TRUE(typedNow.isEmpty());
                continue;
            }
            ASSERT_EQ(typedNow.size(), 1);
            // The text written is the text said (the reader turns "." into ";").
            QString text = typedNow.first().mid(5);
            ASSERT_TRUE(text.endsWith(QLatin1String(". ")));
            text.chop(2);
            EXPECT_EQ(said.first(), QStringLiteral("speech:upcTVRead(") + text + u')');
        }
    }
}

// Each board opens the editor it writes into when it is started on its own.
TEST_F(DemoBoards, BothBoardsStartTheirTarget) {
    for (const char* name : {"LLETRES.VXL", "FRASES.VXL"}) {
        loadExample(name);
        EXPECT_EQ(session->tmpl.settings.startProgram, QStringLiteral("mousepad")) << name;
    }
}
