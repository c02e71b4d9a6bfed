// Voice access on the fake platform: it starts with a profile whose trained sounds are
// saved, with its sign on the board, and "Cancelar" of the voice dialog puts every setting
// back.
#include <gtest/gtest.h>

#include <map>

#include "access/access_engine.h"
#include "access/access_menu.h"
#include "access/switch_dispatch.h"
#include "access/voice_control.h"
#include "engine_fixture.h"
#include "voice/voice_model.h"

using namespace vexil;

namespace {

class SignView : public MainView {
public:
    void setBoardSign(BoardSign sign, bool on) override { signs[int(sign)] = on; }
    void setAccessMenuCheck(int item) override { menuItem = item; }
    std::map<int, bool> signs;
    int menuItem = -2;
};

class NoActions : public AccessActions {
public:
    void activate(int area) override { activated << area; }
    void announce(const Area&) override {}
    QList<int> activated;
};

struct VoiceRig : vexil::test::FakeSessionFixture {
    VoiceRig() {
        session->setView(&view);
        session->timer1->setInterval(500);
        session->timer1->setEnabled(true);
        vexil::test::addGridBoard(session->tmpl);
        fake.recognizer.installed = true;
    }
    UserProfile& p() { return session->profile; }
    // Trains and saves the sounds of command set `option`, then forgets the recogniser
    // was started, as a new run of the program would.
    void saveTrained(int option) {
        chooseVoiceCommandSet(*session, option);
        ASSERT_TRUE(beginVoiceTraining(*session, QStringLiteral("3")));
        voice::Take t;
        t.features.dims = 4;
        t.features.values.assign(80, 0.5f);
        t.envelope.assign(20, -20.0f);
        fake.recognizer.model()->setTakes(1, {t, t, t});
        ASSERT_EQ(saveVoiceSounds(*session), VoiceSaveResult::Saved);
        fake.recognizer.stop();
        p().recognitionState = 0;
    }
    void enterUseMode() {
        session->access.useMode = true;
        session->access.scanPosition = 0;
        session->tmpl.currentArea = -1;
        engine.startAccess();
    }
    SignView view;
    NoActions actions;
    AccessEngine engine{*session, actions};
};

}  // namespace

TEST(VoiceAccess, StartsByItselfWhenTheProfilesSoundsAreSaved) {
    VoiceRig rig;
    rig.saveTrained(0);
    const int messagesBefore = int(rig.messages().size());
    rig.enterUseMode();
    EXPECT_EQ(rig.p().recognitionState, -2);
    EXPECT_TRUE(rig.fake.recognizer.listening());
    EXPECT_TRUE(rig.view.signs[int(BoardSign::Listening)]);
    EXPECT_EQ(int(rig.messages().size()), messagesBefore);  // the sounds loaded quietly
    // The sound selects what scanning highlights, with no one pressing anything.
    rig.fake.clock.advance(1000);
    rig.fake.recognizer.hear(1);
    rig.fake.clock.advance(500);
    EXPECT_EQ(rig.actions.activated, QList<int>({2}));
    rig.engine.stopRecognition();
    EXPECT_FALSE(rig.view.signs[int(BoardSign::Listening)]);
    // The same profile loaded again (the state starts afresh): it listens again.
    rig.p().recognitionState = 0;
    rig.enterUseMode();
    EXPECT_EQ(rig.p().recognitionState, -2);
}

TEST(VoiceAccess, NothingStartsWithoutSavedSoundsOrOutsideTheVoiceModes) {
    VoiceRig rig;
    chooseVoiceCommandSet(*rig.session, 0);  // a voice mode, nothing trained or saved
    rig.enterUseMode();
    EXPECT_EQ(rig.p().recognitionState, 0);
    EXPECT_FALSE(rig.fake.recognizer.listening());
    rig.saveTrained(0);
    rig.p().accessMode = kModeAutoScan;  // saved sounds, but another mode
    rig.enterUseMode();
    EXPECT_EQ(rig.p().recognitionState, 0);
    EXPECT_FALSE(rig.view.signs[int(BoardSign::Listening)]);
}

TEST(VoiceAccess, ARecogniserThatCannotStartSaysSoOnce) {
    VoiceRig rig;
    rig.saveTrained(1);
    rig.fake.recognizer.startFails = true;
    const int before = int(rig.messages().size());
    rig.enterUseMode();
    rig.enterUseMode();  // a board change
    EXPECT_EQ(int(rig.messages().size()), before + 1);
    EXPECT_EQ(rig.p().recognitionState, 0);
    EXPECT_FALSE(rig.view.signs[int(BoardSign::Listening)]);
}

TEST(VoiceAccess, CancelOfTheVoiceDialogPutsEverySettingBack) {
    VoiceRig rig;
    UserProfile& p = rig.p();
    p.accessMode = kModeManualScan;
    p.switches[1].accio = kEnterKey;
    p.switches[2].accio = kSpaceKey;
    p.temps = 15;
    const UserProfile before = p;
    // The item, then an option of the dialog, then "Cancelar".
    EXPECT_EQ(chooseAccessMenuItem(*rig.session, rig.engine, 5), AccessDialog::Voice);
    chooseVoiceCommandSet(*rig.session, 0);
    EXPECT_EQ(p.switches[1].accio, kVoiceSound1);
    cancelVoiceDialog(*rig.session, before);
    EXPECT_EQ(p, before);
    EXPECT_EQ(rig.view.menuItem, 1);
    // Trained meanwhile: the two switches and the mode come back, the recogniser keeps
    // its command set.
    chooseAccessMenuItem(*rig.session, rig.engine, 5);
    chooseVoiceCommandSet(*rig.session, 1);
    ASSERT_TRUE(beginVoiceTraining(*rig.session, QStringLiteral("3")));
    cancelVoiceDialog(*rig.session, before);
    EXPECT_EQ(p.accessMode, kModeManualScan);
    EXPECT_EQ(p.switches[1].accio, kEnterKey);
    EXPECT_EQ(p.switches[2].accio, kSpaceKey);
    EXPECT_EQ(p.voiceWords[2], "2");
    EXPECT_EQ(p.recognitionState, -1);
}
