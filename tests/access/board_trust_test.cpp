// Boards from elsewhere: what an untrusted board may do, the one question it asks, and how a
// board becomes trusted (saved here, trusted by the user, installed) or stops being so.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "access/access_engine.h"
#include "access/joystick_poll.h"
#include "app/use_mode.h"
#include "commands/player.h"
#include "commands/trust_gate.h"
#include "editor/file_commands.h"
#include "engine_fixture.h"
#include "files/template_reader.h"
#include "template/template_writer.h"
#include "template/trust_record.h"

using namespace vexil;
using vexil::test::makeArea;

namespace {

const QString kRegistryKey = QStringLiteral("Software\\Vexil Trust");

class Refusals : public CommandObserver {
public:
    void refused(const QString& kind, const QString& what) override { log << kind + u' ' + what; }
    QStringList log;
};

// A board whose start program and areas do every guarded thing: area 2 starts a program
// inside a conditional, area 3 writes the registry, area 4 opens OTHER.VXL, area 5 types.
class TrustFixture : public vexil::test::FakeSessionFixture {
public:
    TrustFixture() {
        session->setObserver(&refusals);
        session->registry.setValue(QStringLiteral("HKEY_CURRENT_USER"), kRegistryKey,
                                   QString(), RegistryValue{1, QByteArray("x", 2)});
        Template t;
        vexil::test::addGridBoard(t);
        t.settings.startProgram = QStringLiteral("touch made|xterm -e top");
        setKeys(t, 2, QStringLiteral("{|SI |M {|EXECUTA gedit notes.txt}{}}"));
        setKeys(t, 3, QStringLiteral("{|REG [HKEY_CURRENT_USER\\Software\\Vexil Trust]Name=1}"));
        setKeys(t, 4, QStringLiteral("{|CARREGA OTHER.VXL}"));
        setKeys(t, 5, QStringLiteral("abc"));
        board = writeBoard(QStringLiteral("BOARD.VXL"), t);
        Template other;
        vexil::test::addGridBoard(other);
        other.settings.startProgram = QStringLiteral("other-program");
        writeBoard(QStringLiteral("OTHER.VXL"), other);
    }
    static void setKeys(Template& t, int n, const QString& keys) {
        Area a = t.area(n);
        a.keys = keys;
        t.setArea(n, a);
    }
    QString writeBoard(const QString& name, const Template& t) {
        const QString p = path(name);
        writeTemplate(t, p);
        return p;
    }
    void load() {
        session->tmpl.templateFolder = dir.path();
        loadTemplate(*session, board);
    }
    // Use mode entered and every area activated once: what was started, refused, asked.
    void useEveryArea() {
        ASSERT_TRUE(useMode.enterUseMode());
        for (int n = 2; n <= 5; ++n) activateArea(*session, n);
        useMode.leaveUseMode();
    }
    int questions() const { return int(fake.recorder.eventsOf(QStringLiteral("trustQuestion")).size()); }
    bool registryWritten() const {
        return session->registry.value(QStringLiteral("HKEY_CURRENT_USER"), kRegistryKey,
                                       QStringLiteral("Name")) != nullptr;
    }
    bool otherLoaded() const { return session->tmpl.templatePath.endsWith(QLatin1String("OTHER.VXL")); }

    Refusals refusals;
    PlayerActions actions{*session};
    AccessEngine engine{*session, actions};
    UseMode useMode{*session, engine};
    QString board;
};

}  // namespace

TEST(BoardTrust, TheRecordHoldsPathAndContentPrivately) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data/trusted-boards"));
    const TrustRecord record(file);
    const QByteArray a = boardDigest("board one"), b = boardDigest("board two");
    EXPECT_EQ(a.size(), 64);
    EXPECT_FALSE(record.holds(QStringLiteral("/b/ONE.VXL"), a));
    ASSERT_TRUE(record.add(QStringLiteral("/b/ONE.VXL"), a));
    ASSERT_TRUE(record.add(QStringLiteral("/b/TWO.VXL"), b));
    // Owner bits only, nothing for the group or others.
    EXPECT_EQ(QFileInfo(file).permissions() & 0x7077,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(record.holds(QStringLiteral("/b/ONE.VXL"), a));
    EXPECT_FALSE(record.holds(QStringLiteral("/b/ONE.VXL"), b));  // other content
    EXPECT_FALSE(record.holds(QStringLiteral("/b/TWO.VXL"), a));  // other board
    // The board changed and trusted again: one line for it, the new one.
    ASSERT_TRUE(record.add(QStringLiteral("/b/ONE.VXL"), b));
    EXPECT_FALSE(record.holds(QStringLiteral("/b/ONE.VXL"), a));
    EXPECT_TRUE(record.holds(QStringLiteral("/b/ONE.VXL"), b));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count('\n'), 2);
    // A path that would break the record into lines is never recorded.
    EXPECT_FALSE(record.add(QStringLiteral("/b/X\n") + QString::fromLatin1(a) +
                                QStringLiteral("\t/b/TWO.VXL"), a));
    EXPECT_FALSE(record.holds(QStringLiteral("/b/TWO.VXL"), a));
}

TEST(BoardTrust, TheQuestionListsEverythingTheBoardWouldDo) {
    TrustFixture f;
    f.load();
    EXPECT_EQ(f.session->trust.level, TrustLevel::Unasked);
    EXPECT_EQ(trustQuestionLines(*f.session),
              (QStringList{QStringLiteral("Iniciar el programa: touch made"),
                           QStringLiteral("Iniciar el programa: xterm -e top"),
                           QStringLiteral("Iniciar el programa: gedit notes.txt"),
                           QStringLiteral("Escribir en el registro: [HKEY_CURRENT_USER\\Software\\Vexil Trust]Name"),
                           QStringLiteral("Abrir el tablero: OTHER.VXL")}));
    // A board that is trusted opens without being named.
    ASSERT_TRUE(trustBoardFile(f.session->folders, f.path(QStringLiteral("OTHER.VXL"))));
    EXPECT_EQ(trustQuestionLines(*f.session).size(), 4);
}

struct AnswerCase {
    const char* name;
    bool trust;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class BoardTrustAnswer : public ::testing::TestWithParam<AnswerCase> {};

// An untrusted board asks once, at the first start program; its answer decides all.
TEST_P(BoardTrustAnswer, OneQuestionDecidesEveryAction) {
    TrustFixture f;
    f.load();
    f.fake.dialogs.trustAnswers = {GetParam().trust};
    ASSERT_TRUE(f.useMode.enterUseMode());
    ASSERT_EQ(f.questions(), 1);
    const auto q = f.fake.recorder.eventsOf(QStringLiteral("trustQuestion")).front();
    EXPECT_EQ(q.value(QStringLiteral("actions")).toArray().size(), 5);
    for (int n = 2; n <= 4; ++n) activateArea(*f.session, n);
    EXPECT_EQ(f.questions(), 1);
    if (GetParam().trust) {
        EXPECT_EQ(f.fake.launcher.started,
                  (QStringList{QStringLiteral("/usr/bin/touch made"),
                               QStringLiteral("/usr/bin/xterm -e top")}));
        EXPECT_TRUE(f.registryWritten());
        EXPECT_TRUE(f.otherLoaded());
        EXPECT_TRUE(f.refusals.log.isEmpty());
        // Remembered: the same board read again runs without asking.
        f.useMode.leaveUseMode();
        f.load();
        EXPECT_EQ(f.session->trust.level, TrustLevel::Trusted);
    } else {
        EXPECT_TRUE(f.fake.launcher.started.isEmpty());
        EXPECT_FALSE(f.registryWritten());
        EXPECT_FALSE(f.otherLoaded());
        EXPECT_EQ(f.refusals.log,
                  (QStringList{QStringLiteral("program touch made"),
                               QStringLiteral("program xterm -e top"),
                               QStringLiteral("registry [HKEY_CURRENT_USER\\Software\\Vexil Trust]Name"),
                               QStringLiteral("board ") + f.path(QStringLiteral("OTHER.VXL"))}));
        // The board's keys still play.
        pushTarget(*f.session, f.fake.windows.addWindow(QStringLiteral("Notes"), 1));
        activateArea(*f.session, 5);
        EXPECT_FALSE(f.fake.recorder.eventsOf(QStringLiteral("keys")).empty());
        // Remembered for this content while the program runs: not asked again.
        f.useMode.leaveUseMode();
        f.load();
        EXPECT_EQ(f.session->trust.level, TrustLevel::Declined);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, BoardTrustAnswer,
                         ::testing::Values(AnswerCase{"Trusted", true}, AnswerCase{"Without", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TrustRouteCase {
    const char* name;
    // Makes the board trusted (or not) after it was written; true when it must then run.
    bool (*prepare)(TrustFixture&);
};

const TrustRouteCase kTrustRoutes[] = {
    {"WrittenElsewhere", [](TrustFixture&) { return false; }},
    {"TrustedByTheTool",
     [](TrustFixture& f) { return trustBoardFile(f.session->folders, f.board); }},
    {"SavedByTheEditor",
     [](TrustFixture& f) {
         f.load();
         saveTemplateAs(*f.session, f.board);
         return true;
     }},
    {"InstalledWithTheProgram",
     [](TrustFixture& f) {
         f.session->folders.installedBoards = f.dir.path();
         return true;
     }},
    {"ChangedAfterBeingTrusted",
     [](TrustFixture& f) {
         trustBoardFile(f.session->folders, f.board);
         QFile file(f.board);
         file.open(QIODevice::Append);
         file.write("\r\n");
         return false;
     }},
    {"SavedThenChangedElsewhere",
     [](TrustFixture& f) {
         f.load();
         saveTemplateAs(*f.session, f.board);
         QFile file(f.board);
         file.open(QIODevice::Append);
         file.write(" ");
         return false;
     }},
};

void PrintTo(const TrustRouteCase& c, std::ostream* os) { *os << c.name; }

class BoardTrustRoute : public ::testing::TestWithParam<TrustRouteCase> {};

TEST_P(BoardTrustRoute, OnlyATrustedBoardRunsWithoutAsking) {
    TrustFixture f;
    const bool runs = GetParam().prepare(f);
    f.load();
    f.useEveryArea();
    EXPECT_EQ(f.questions(), runs ? 0 : 1);
    EXPECT_EQ(f.fake.launcher.started.size(), runs ? 2 : 0);
    EXPECT_EQ(f.registryWritten(), runs);
}

INSTANTIATE_TEST_SUITE_P(Routes, BoardTrustRoute, ::testing::ValuesIn(kTrustRoutes),
                         [](const auto& info) { return std::string(info.param.name); });

// A new board, and the board an undo brings back, are the user's own work here.
TEST(BoardTrust, NewBoardsAndUndoKeepTheirTrust) {
    TrustFixture f;
    f.load();
    newTemplate(*f.session);
    EXPECT_EQ(f.session->trust.level, TrustLevel::Trusted);
    // The undo snapshot lies in the user folder, where nobody trusted it: restoring it
    // must not make the trusted board ask.
    ASSERT_TRUE(trustBoardFile(f.session->folders, f.board));
    f.load();
    copia_seguretat(*f.session, 0);
    copia_seguretat(*f.session, 2);
    EXPECT_EQ(f.session->trust.level, TrustLevel::Trusted);
    EXPECT_EQ(f.session->tmpl.settings.startProgram, QStringLiteral("touch made|xterm -e top"));
}

// The trained sounds and the joystick never reach a dialog by themselves: while the question
// is open they answer it, moving between its two buttons and choosing as they would on the
// board, and the board behind it does not move.
TEST(BoardTrust, SoundsAndTheJoystickAnswerTheQuestion) {
    struct Case {
        const char* name;
        int mode;
        std::vector<int> sounds;  // the voice modes: the trained sounds said, in order
        std::vector<JoystickState> stick;  // the joystick mode: what each poll reads
        bool trusted;
    };
    constexpr std::int32_t c = 32768;  // the stick at rest
    const Case cases[] = {
        {"five sounds: a move, then select", kModeVoiceFive, {1, 5}, {}, true},
        {"five sounds: select at once", kModeVoiceFive, {5}, {}, false},
        // Scanned, the question takes any sound as the choice of the lit button, the first
        // lit being "use it without".
        {"two sounds, scanned: the first chooses", kModeVoiceTwo, {1, 2}, {}, false},
        {"joystick: right, then a button", kModeJoystick, {},
         {{60000, c, 0, 0}, {c, c, 0, 0}, {c, c, 0, 1}}, true},
        {"joystick: a button at once", kModeJoystick, {}, {{c, c, 0, 2}}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TrustFixture f;
        f.load();
        f.session->profile.accessMode = k.mode;
        if (k.mode == kModeJoystick) {
            f.fake.joystick.sticks[0] = JoystickState{c, c, 0, 0};
            detectJoystick(*f.session);
            f.session->profile.joystic_sensi = 2;
        }
        std::size_t next = 0;
        f.fake.dialogs.duringTrustQuestion = [&](const TrustQuestion&) {
            if (k.mode == kModeJoystick) {
                if (next < k.stick.size()) f.fake.joystick.sticks[0] = k.stick[next++];
            } else if (next < k.sounds.size()) {
                f.engine.voice(k.sounds[next++]);
            }
        };
        ASSERT_TRUE(f.useMode.enterUseMode());
        EXPECT_EQ(f.questions(), 1);
        EXPECT_EQ(f.session->trust.level, k.trusted ? TrustLevel::Trusted : TrustLevel::Declined);
        EXPECT_EQ(f.fake.launcher.started.isEmpty(), !k.trusted);
        // Answered: the switches are the board's again, and none of those presses moved it.
        EXPECT_FALSE(f.session->access.question);
        EXPECT_EQ(f.session->tmpl.currentArea, -1);
    }
}
