// The dialog `veu` and its windows on the fake platform: what loading shows, the options,
// "&Entrenament" up to the training window, the windows' controls, and the captions in
// Spanish.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>

#include "access/ui/voice_dialog.h"
#include "access/ui/voice_windows.h"
#include "access/voice_control.h"
#include "help/help_book.h"
#include "support/test_support.h"

using namespace vexil;
using namespace vexil::test;

namespace {

voice::Take takeOf(float value) {
    voice::Take t;
    t.features.dims = 2;
    for (int i = 0; i < 20; ++i) t.features.values.push_back(value + float(i % 2));
    t.envelope.assign(10, -20.0f);
    return t;
}

}  // namespace

TEST(VoiceDialog, LoadingShowsTheProfileAndTranslatesTheCaptions) {
    FakeSessionFixture f;
    Session& s = *f.session;
    s.profile.accessMode = 6;
    s.profile.temps = 15;
    s.profile.gruix = 4;
    VoiceDialog d(s);
    d.load();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Control por voz"));
    EXPECT_EQ(d.objectName(), QStringLiteral("veu"));
    EXPECT_EQ(helpPageForTopic(d.property("helpTopic").toInt()), QStringLiteral("veu.html"));
    EXPECT_EQ(d.option(1)->text(), QStringLiteral("2 Órdenes"));
    EXPECT_TRUE(d.option(1)->isChecked());
    EXPECT_EQ(d.retard()->text(), QStringLiteral("15"));
    EXPECT_EQ(d.gruix()->text(), QStringLiteral("4"));
    EXPECT_EQ(d.decimes()->text(), QStringLiteral("1"));
    EXPECT_EQ(d.trainingButton()->text(), QStringLiteral("&Entrenamiento"));
    EXPECT_EQ(d.graphsButton()->text(), QStringLiteral(" &Mejorar..."));
    EXPECT_EQ(d.levelButton()->text(), QStringLiteral("Control del &volumen"));
    // Loading selected the option of the mode: its command set is in the profile.
    EXPECT_EQ(s.profile.voiceCommandCount, 3);
    EXPECT_EQ(s.profile.switches[2].accio, 1001);
    // No recogniser: nothing can be trained; the rest waits for a training.
    EXPECT_FALSE(d.trainingButton()->isEnabled());
    EXPECT_FALSE(d.decimes()->isEnabled());
    EXPECT_FALSE(d.saveButton()->isEnabled());
    EXPECT_FALSE(d.graphsButton()->isEnabled());
    EXPECT_FALSE(d.levelButton()->isEnabled());
    d.scroll()->setValue(9);
    EXPECT_EQ(d.decimes()->text(), QStringLiteral("9"));
}

TEST(VoiceDialog, TrainingStartsTheRecogniserAndLocksTheCommandSet) {
    FakeSessionFixture f;
    Session& s = *f.session;
    f.fake.recognizer.installed = true;
    s.profile.accessMode = 5;
    VoiceDialog d(s);
    int windows = 0;
    d.setWindowRunner([&](QDialog& w) {
        ++windows;
        auto* training = qobject_cast<VoiceTrainingWindow*>(&w);
        ASSERT_NE(training, nullptr);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Entrenamiento"));
        // The first take of the first label is being recorded.
        EXPECT_TRUE(f.fake.recognizer.recording());
        EXPECT_EQ(training->training().label(), 1);
        for (int i = 0; i < 3; ++i) f.fake.recognizer.deliverTake(takeOf(float(i)));
        EXPECT_TRUE(training->takeView(1, 3)->hasTake());
        EXPECT_FALSE(training->takeView(2, 1)->hasTake());
        w.reject();  // closed half-way
    });
    d.load();
    ASSERT_TRUE(d.trainingButton()->isEnabled());
    d.option(2)->click();  // "5 Ordres" before training
    d.decimes()->setText(QStringLiteral("4"));
    d.trainingButton()->click();
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(s.profile.recognitionState, -1);
    EXPECT_EQ(s.profile.accessMode, 7);
    EXPECT_EQ(f.fake.recognizer.tenths, 4);
    EXPECT_FALSE(f.fake.recognizer.recording());
    EXPECT_EQ(f.fake.recognizer.model()->takes(1).size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(d.option(i)->isEnabled());
    EXPECT_TRUE(d.saveButton()->isEnabled());
    EXPECT_TRUE(d.graphsButton()->isEnabled());
    EXPECT_TRUE(d.levelButton()->isEnabled());
    d.option(0)->click();
    EXPECT_EQ(s.profile.accessMode, 7);
}

TEST(VoiceDialog, AcceptStoresTheFrameAndStep) {
    FakeSessionFixture f;
    Session& s = *f.session;
    s.profile.accessMode = 5;
    VoiceDialog d(s);
    d.load();
    d.retard()->setText(QStringLiteral("7"));
    d.gruix()->setText(QStringLiteral("3"));
    d.acceptButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(s.profile.temps, 7);
    EXPECT_EQ(s.profile.switches[1].retard, 7);
    EXPECT_EQ(s.profile.gruix, 3);
}

TEST(VoiceWindows, GraphsMarkLabelsThatLieTooCloseAndTheMeterFollowsTheLevel) {
    FakeSessionFixture f;
    Session& s = *f.session;
    f.fake.recognizer.installed = true;
    chooseVoiceCommandSet(s, 1);  // "1", "2", "TEST"
    ASSERT_TRUE(beginVoiceTraining(s, QStringLiteral("2")));
    voice::VoiceModel& m = *f.fake.recognizer.model();
    m.setTakes(1, {takeOf(0.0f), takeOf(0.3f), takeOf(0.6f)});
    m.setTakes(2, {takeOf(0.1f), takeOf(0.4f), takeOf(0.7f)});  // nearly label 1
    m.setTakes(3, {takeOf(9.0f), takeOf(9.2f), takeOf(9.4f)});
    VoiceGraphsWindow g(s);
    EXPECT_EQ(g.tooClose(), (std::vector<int>{1, 2}));
    auto* table = g.findChild<QTableWidget*>(QStringLiteral("distancies"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 3);

    VoiceLevelWindow level(s);
    level.begin();
    f.fake.recognizer.reportLevel(-30.0f, -45.0f);
    EXPECT_EQ(level.level(), -30.0f);
    EXPECT_EQ(level.threshold(), -45.0f);
    level.done(QDialog::Accepted);
    f.fake.recognizer.reportLevel(-10.0f, -45.0f);  // the meter stopped
    EXPECT_EQ(level.level(), -30.0f);
}
