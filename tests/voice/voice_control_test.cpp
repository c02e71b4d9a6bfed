// The voice dialog's operations on the fake platform: command sets and their switch codes,
// the recogniser's start, training left half-way, and the trained sounds on disk (saved,
// loaded with the profile, truncated, altered, from another command set).
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "access/access_engine.h"
#include "access/switch_dispatch.h"
#include "access/voice_control.h"
#include "access/voice_training.h"
#include "files/profile_files.h"
#include "sound_files.h"
#include "support/test_support.h"
#include "voice/voice_model.h"

using namespace vexil;
using namespace vexil::test;

namespace {

voice::Take takeOf(float value, int frames = 20, int dims = 4) {
    voice::Take t;
    t.features.dims = dims;
    for (int i = 0; i < frames * dims; ++i) t.features.values.push_back(value + float(i % dims) * 0.1f);
    t.envelope.assign(std::size_t(frames), -20.0f);
    t.samples.assign(std::size_t(frames) * 160, value / 10);
    return t;
}

struct VoiceFixture : FakeSessionFixture {
    Session& s() { return *session; }
    UserProfile& p() { return session->profile; }
    FakeRecognizer& r() { return fake.recognizer; }
    void startWith(int option) {
        r().installed = true;
        chooseVoiceCommandSet(s(), option);
        ASSERT_TRUE(beginVoiceTraining(s(), QStringLiteral("3")));
    }
    void train(int label, float value) {
        r().model()->setTakes(label, {takeOf(value), takeOf(value + 0.05f), takeOf(value + 0.1f)});
    }
    // Trains one label of command set `option`, saves, and gives the file as written.
    QByteArray savedAfterTraining(int option, int label, float value) {
        startWith(option);
        train(label, value);
        EXPECT_EQ(saveVoiceSounds(s()), VoiceSaveResult::Saved);
        QFile in(voiceSoundsPath(s()));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        return in.readAll();
    }
};

// A file of trained sounds as another version writes it: the version after the six
// letters, the digest made anew.
QByteArray ofVersion(const QByteArray& file, char version) {
    QByteArray body = file.left(file.size() - 32);
    body[6] = version;
    return body + QCryptographicHash::hash(body, QCryptographicHash::Sha256);
}

void overwrite(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

}  // namespace

TEST(VoiceControl, EachCommandSetGivesItsLabelsModeAndSwitchCodes) {
    struct Row {
        int option;
        QStringList labels;
        int mode;
        int accio1, accio2;  // -1: as they were
    };
    const Row rows[] = {
        {0, {"1", "TEST"}, 5, kVoiceSound1, 0},
        {1, {"1", "2", "TEST"}, 6, kVoiceSound1, kVoiceSound2},
        {2, {"AVANZAR", "RECULAR", "DERECHA", "ISQUIERDA", "ACEPTAR", "TEST"}, 7, -1, -1},
    };
    for (const Row& row : rows) {
        VoiceFixture f;
        f.p().switches[1].accio = 4;
        f.p().switches[2].accio = 2;
        f.p().voiceWords[20] = QStringLiteral("old");
        chooseVoiceCommandSet(f.s(), row.option);
        EXPECT_EQ(f.p().accessMode, row.mode);
        EXPECT_EQ(f.p().voiceCommandCount, row.labels.size());
        for (int i = 0; i < row.labels.size(); ++i) EXPECT_EQ(f.p().voiceWords[std::size_t(i + 1)], row.labels[i]);
        EXPECT_TRUE(f.p().voiceWords[20].isEmpty());
        EXPECT_EQ(f.p().switches[1].accio, row.accio1 < 0 ? 4 : row.accio1);
        EXPECT_EQ(f.p().switches[2].accio, row.accio2 < 0 ? 2 : row.accio2);
    }
}

TEST(VoiceControl, TheCommandSetCannotChangeOnceTheRecogniserStarted) {
    VoiceFixture f;
    f.startWith(0);
    EXPECT_EQ(f.p().recognitionState, -1);
    chooseVoiceCommandSet(f.s(), 1);
    EXPECT_EQ(f.p().accessMode, 5);
    EXPECT_EQ(f.p().voiceCommandCount, 2);
}

TEST(VoiceControl, TheRecognitionWindowIsBroughtIntoRange) {
    const std::pair<const char*, int> cases[] = {{"0", 2}, {"1", 1}, {"7", 7}, {"20", 14}, {"x", 2}};
    for (const auto& [typed, tenths] : cases) {
        VoiceFixture f;
        f.r().installed = true;
        chooseVoiceCommandSet(f.s(), 2);
        ASSERT_TRUE(beginVoiceTraining(f.s(), QString::fromLatin1(typed)));
        EXPECT_EQ(f.p().recognitionTenths, tenths) << typed;
        EXPECT_EQ(f.r().tenths, tenths) << typed;
        EXPECT_EQ(f.p().voiceWords[0], QStringLiteral("AVANZAR,RECULAR,DERECHA,ISQUIERDA,ACEPTAR,TEST"));
    }
}

TEST(VoiceControl, ARecogniserThatCannotStartSaysSoAndKeepsTheOptionsFree) {
    for (bool installed : {false, true}) {
        VoiceFixture f;
        f.r().installed = installed;
        f.r().startFails = true;
        chooseVoiceCommandSet(f.s(), 1);
        EXPECT_FALSE(beginVoiceTraining(f.s(), QStringLiteral("5")));
        EXPECT_EQ(f.p().recognitionState, 0);
        EXPECT_EQ(f.messages(),
                  QStringList{QStringLiteral("No s'ha pogut iniciar la Dll de reconeixement de sons")});
        chooseVoiceCommandSet(f.s(), 0);
        EXPECT_EQ(f.p().accessMode, 5);
    }
}

TEST(VoiceControl, AcceptStoresTheFrameAndTheScanStepByMode) {
    for (int mode : {5, 6, 7}) {
        VoiceFixture f;
        f.p().accessMode = std::int16_t(mode);
        f.p().temps = 3;
        acceptVoiceDialog(f.s(), VoiceEntry{QStringLiteral("12"), QStringLiteral("-2"), 65280});
        EXPECT_EQ(f.p().gruix, 8);
        EXPECT_EQ(f.p().color, 65280);
        EXPECT_EQ(f.p().temps, mode == 7 ? 3 : 12);
        EXPECT_EQ(f.p().switches[1].retard, mode == 7 ? 0 : 12);
        EXPECT_EQ(f.p().switches[2].retard, mode == 6 ? 12 : 0);
    }
}

TEST(VoiceControl, RecognisedLabelsDriveTheBoardAsTheVoiceCodes) {
    // A recognised sound reaches the switch dispatch as code 1000 or 1001 even when the
    // profile's switches hold other codes or none.
    UserProfile p;
    p.switches[1].accio = 0;
    p.switches[2].accio = 3;
    EXPECT_EQ(whichSwitch(p, kVoiceSound1, QString()), 1);
    EXPECT_EQ(whichSwitch(p, kVoiceSound2, QString()), 2);
}

// --- trained sounds on disk ---------------------------------------------------------------------

TEST(VoiceSounds, SavedSoundsComeBackWithTheProfileAndCommandSet) {
    VoiceFixture f;
    f.startWith(2);
    f.train(1, 1.0f);
    f.train(5, 3.0f);
    const voice::VoiceModel trained = *f.r().model();
    EXPECT_EQ(saveVoiceSounds(f.s()), VoiceSaveResult::Saved);
    const QString path = voiceSoundsPath(f.s());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(path.startsWith(f.s().folders.userFolder));

    // Another run: the recogniser starts with the same command set and finds them.
    VoiceFixture g;
    g.session->folders = f.s().folders;
    g.startWith(2);
    EXPECT_EQ(*g.r().model(), trained);
    EXPECT_TRUE(g.messages().isEmpty());
}

TEST(VoiceSounds, EachProfileHasItsOwnFile) {
    VoiceFixture f;
    const QString none = voiceSoundsPath(f.s());
    f.writeFile(QStringLiteral("u/ANNA.USR"), "[Vexil]\r\nmodus= 5\r\n");
    loadUserProfile(f.s(), f.path(QStringLiteral("u/ANNA.USR")));
    const QString anna = voiceSoundsPath(f.s());
    f.writeFile(QStringLiteral("v/ANNA.USR"), "[Vexil]\r\nmodus= 5\r\n");
    loadUserProfile(f.s(), f.path(QStringLiteral("v/ANNA.USR")));
    const QString otherAnna = voiceSoundsPath(f.s());
    EXPECT_NE(none, anna);
    EXPECT_NE(anna, otherAnna);
    EXPECT_TRUE(QFileInfo(anna).fileName().startsWith(QStringLiteral("ANNA-")));
}

TEST(VoiceSounds, SoundsSavedByTheVersionBeforeAreMeasuredAgainAsTheyLoad) {
    VoiceFixture f;
    f.savedAfterTraining(2, 1, 1.0f);
    // Version 3 wrote the takes with their sound, their features measured otherwise.
    overwrite(voiceSoundsPath(f.s()), vexil::test::voiceFileOfVersion(*f.r().model(), 3));

    VoiceFixture g;
    g.session->folders = f.s().folders;
    g.startWith(2);
    EXPECT_TRUE(g.messages().isEmpty()) << g.messages().join(u'\n').toStdString();
    const auto& takes = g.r().model()->takes(1);
    ASSERT_EQ(takes.size(), 3u);
    for (std::size_t i = 0; i < takes.size(); ++i) {
        EXPECT_EQ(takes[i].samples, f.r().model()->takes(1)[i].samples);
        EXPECT_EQ(takes[i].features, g.r().measure(takes[i].samples));
        EXPECT_NE(takes[i].features, f.r().model()->takes(1)[i].features);
    }
}

TEST(VoiceSounds, BadFilesAreReportedAndLoseNothing) {
    VoiceFixture trainedOnce;
    const QByteArray good = trainedOnce.savedAfterTraining(2, 2, 2.0f);
    const QString path = voiceSoundsPath(trainedOnce.s());
    QByteArray altered = good;
    altered[altered.size() / 2] = char(altered[altered.size() / 2] ^ 0x5a);
    struct Case {
        const char* name;
        QByteArray bytes;
        int option;
        QString says;
    };
    const Case cases[] = {
        {"truncated", good.left(good.size() - 7), 2, QStringLiteral("incompleto o dañado")},
        {"altered", altered, 2, QStringLiteral("incompleto o dañado")},
        {"empty", QByteArray(), 2, QStringLiteral("incompleto o dañado")},
        {"another command set", good, 1, QStringLiteral("otro juego de órdenes")},
        {"measured by an earlier version", ofVersion(good, 1), 2, QStringLiteral("versión anterior")},
        {"from the version that kept no sounds", ofVersion(good, 2), 2, QStringLiteral("versión anterior")},
        {"written by a later version", ofVersion(good, 6), 2, QStringLiteral("versión más nueva")},
    };
    for (const Case& c : cases) {
        VoiceFixture f;
        f.session->folders = trainedOnce.s().folders;
        overwrite(path, c.bytes);
        f.startWith(c.option);
        EXPECT_EQ(f.p().recognitionState, -1) << c.name;  // the recogniser still started
        ASSERT_EQ(f.messages().size(), 1) << c.name;
        EXPECT_TRUE(f.messages()[0].contains(c.says)) << c.name << " " << f.messages()[0].toStdString();
        EXPECT_FALSE(f.r().model()->anyTrained()) << c.name;
        // The file stays as it was until the user saves; then the old one is kept aside.
        QFile again(path);
        ASSERT_TRUE(again.open(QIODevice::ReadOnly));
        EXPECT_EQ(again.readAll(), c.bytes) << c.name;
        again.close();
        f.train(1, 5.0f);
        EXPECT_EQ(saveVoiceSounds(f.s()), VoiceSaveResult::Saved) << c.name;
        QFile aside(path + QStringLiteral(".anterior"));
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(aside.readAll(), c.bytes) << c.name;
        QFile::remove(aside.fileName());
    }
}

TEST(VoiceSounds, SavingWithoutTrainingOrRecogniserWritesNothing) {
    VoiceFixture f;
    EXPECT_EQ(saveVoiceSounds(f.s()), VoiceSaveResult::NoRecognizer);
    f.startWith(0);
    EXPECT_EQ(saveVoiceSounds(f.s()), VoiceSaveResult::NothingTrained);
    EXPECT_FALSE(QFile::exists(voiceSoundsPath(f.s())));
}

TEST(VoiceSounds, CaptureThatBreaksOffStopsListeningWithAMessage) {
    VoiceFixture f;
    f.startWith(0);
    f.p().recognitionState = -2;
    f.r().fail(QStringLiteral("Connection terminated"));
    EXPECT_EQ(f.p().recognitionState, -1);
    ASSERT_EQ(f.messages().size(), 1);
    EXPECT_TRUE(f.messages()[0].contains(QStringLiteral("Connection terminated")));
}

// --- training -------------------------------------------------------------------------------------

TEST(VoiceTraining, AsksForEachLabelInTurnAndLetsATakeBeRedone) {
    VoiceFixture f;
    f.startWith(0);  // "1", "TEST"
    VoiceTraining t(f.r());
    ASSERT_TRUE(t.begin());
    std::vector<std::pair<int, int>> asked;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(f.r().recording());
        asked.emplace_back(t.label(), t.take());
        f.r().deliverTake(takeOf(float(i)));
    }
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}}));
    EXPECT_EQ(t.label(), 0);
    EXPECT_EQ(f.r().model()->takes(1).size(), 3u);
    EXPECT_EQ(f.r().model()->takes(2).size(), 3u);
    // Take 2 of label 1 again: only it changes.
    ASSERT_TRUE(t.redo(1, 2));
    f.r().deliverTake(takeOf(9.0f));
    EXPECT_EQ(f.r().model()->takes(1)[1], takeOf(9.0f));
    EXPECT_EQ(f.r().model()->takes(1)[0], takeOf(0.0f));
    EXPECT_FALSE(f.r().recording());
}

TEST(VoiceTraining, ATakeWithNoSoundWaitsToBeRecordedAgain) {
    VoiceFixture f;
    f.startWith(0);
    VoiceTraining t(f.r());
    ASSERT_TRUE(t.begin());
    f.r().deliverTake(std::nullopt);
    EXPECT_FALSE(t.problem().isEmpty());
    EXPECT_EQ(t.label(), 1);
    EXPECT_EQ(t.take(), 1);
    ASSERT_TRUE(t.redo(1, 1));
    f.r().deliverTake(takeOf(1.0f));
    EXPECT_TRUE(t.problem().isEmpty());
    EXPECT_EQ(t.take(), 2);
}

TEST(VoiceTraining, LeftHalfWayKeepsWhatWasTrainedBefore) {
    VoiceFixture f;
    f.startWith(1);  // "1", "2", "TEST"
    f.train(2, 7.0f);
    const auto before = f.r().model()->takes(2);
    {
        VoiceTraining t(f.r());
        ASSERT_TRUE(t.begin());
        for (int i = 0; i < 3; ++i) f.r().deliverTake(takeOf(float(i)));  // label 1 done
        f.r().deliverTake(takeOf(4.0f));                                   // label 2, take 1
        t.finish();
        EXPECT_FALSE(f.r().recording());
    }
    EXPECT_EQ(f.r().model()->takes(1).size(), 3u);
    EXPECT_EQ(f.r().model()->takes(2), before);
    EXPECT_TRUE(f.r().model()->takes(3).empty());
}
