// The key sender's bookkeeping: which keycodes it may bind, the binding kept for the
// program's life and the one bound anew, the record that survives a crash, and how it
// tells that a client process has handled its keys.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "desktop/sample_keymap.h"
#include "platform/x11/client_activity.h"
#include "platform/x11/keymap_journal.h"
#include "platform/x11/spare_keycodes.h"

namespace vexil::x11 {
namespace {

constexpr KeySym agrave = 0xe0, Agrave = 0xc0, egrave = 0xe8, euro = 0x20ac, ntilde = 0xf1;

// The sample map with the server's view of a binding: both levels, copied into group 2.
CoreKeymap withBinding(CoreKeymap map, int keycode, KeySym lower, KeySym upper) {
    const int base = (keycode - map.minKeycode) * map.perKeycode;
    map.syms[size_t(base)] = lower;
    map.syms[size_t(base + 1)] = upper;
    map.syms[size_t(base + 2)] = lower;
    map.syms[size_t(base + 3)] = upper;
    return map;
}

TEST(SpareKeycodes, OnlyKeycodesThatCarryNothingAndAreNoModifier) {
    CoreKeymap map = sampleMap();
    SpareKeycodes spares;
    spares.reconcile(map);
    EXPECT_EQ(spares.size(), 3u);  // 8, 14, 18: never F13 (17), KP_End (16) or Shift (13)
    for (int k : {8, 14, 18}) EXPECT_TRUE(spares.isSpare(k)) << k;
    for (int k : {9, 13, 16, 17}) EXPECT_FALSE(spares.isSpare(k)) << k;
    // An empty keycode in the modifier map is no spare either.
    map.modifierKeycodes.insert(14);
    spares.reconcile(map);
    EXPECT_FALSE(spares.isSpare(14));
    EXPECT_EQ(spares.size(), 2u);
}

TEST(SpareKeycodes, LevelsPairTheCasesOfALetter) {
    struct Case {
        KeySym in, lower, upper;
    };
    const Case cases[] = {
        {agrave, agrave, Agrave}, {Agrave, agrave, Agrave}, {ntilde, ntilde, 0xd1},
        {euro, euro, euro},       {0xb7, 0xb7, 0xb7},       {0xffca, 0xffca, 0xffca},
    };
    for (const Case& c : cases) {
        const auto [lower, upper] = SpareKeycodes::levelsFor(c.in);
        EXPECT_EQ(lower, c.lower) << std::hex << c.in;
        EXPECT_EQ(upper, c.upper) << std::hex << c.in;
    }
}

TEST(SpareKeycodes, OneBindingTypesBothCases) {
    SpareKeycodes spares;
    spares.reconcile(sampleMap());
    const auto first = spares.pick();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->keycode, 8);
    spares.bind(8, Agrave);
    EXPECT_EQ(spares.find(agrave), (KeyChoice{8, false}));
    EXPECT_EQ(spares.find(Agrave), (KeyChoice{8, true}));
    spares.bind(14, euro);
    EXPECT_EQ(spares.find(euro), (KeyChoice{14, false}));
    EXPECT_EQ(spares.find(egrave), std::nullopt);
}

TEST(SpareKeycodes, FreeSparesFirstThenTheLeastRecentlyUsed) {
    SpareKeycodes spares;
    spares.reconcile(sampleMap());
    spares.bind(8, agrave);
    spares.use(8, 5);
    EXPECT_EQ(spares.pick()->keycode, 14);
    spares.bind(14, egrave);
    spares.use(14, 2);
    spares.bind(18, euro);
    spares.use(18, 9);
    const auto next = spares.pick();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->keycode, 14);  // used longest ago
    EXPECT_EQ(next->lastUse, 2u);
    EXPECT_TRUE(next->bound());
    spares.use(14, 10);
    EXPECT_EQ(spares.pick()->keycode, 8);
}

TEST(SpareKeycodes, BindingsSurviveTheNextReadOfTheMap) {
    SpareKeycodes spares;
    spares.reconcile(sampleMap());
    spares.bind(8, agrave);
    spares.use(8, 3);
    // The server shows the binding as it stores it; the spare stays bound and keeps its age.
    spares.reconcile(withBinding(sampleMap(), 8, agrave, Agrave));
    EXPECT_EQ(spares.find(Agrave), (KeyChoice{8, true}));
    ASSERT_EQ(spares.bindings().size(), 1u);
    EXPECT_EQ(spares.bindings()[0].lastUse, 3u);
}

TEST(SpareKeycodes, ALayoutChangedUnderneathTakesItsKeysBack) {
    SpareKeycodes spares;
    spares.reconcile(sampleMap());
    spares.bind(8, agrave);
    spares.bind(14, euro);
    // Keycode 8 is a real key of the new layout, 14 was emptied, 18 is someone else's.
    CoreKeymap next = withBinding(sampleMap(), 8, 0x71, 0x51);
    next = withBinding(next, 18, ntilde, 0xd1);
    spares.reconcile(next);
    EXPECT_FALSE(spares.isSpare(8));
    EXPECT_FALSE(spares.isSpare(18));
    EXPECT_TRUE(spares.isSpare(14));
    EXPECT_TRUE(spares.bindings().empty());
    EXPECT_EQ(spares.find(agrave), std::nullopt);
}

TEST(SpareKeycodes, CarriesOnlyWhatWasBound) {
    const SpareBinding b{8, agrave, Agrave, 0};
    const SpareBinding euroOnce{8, euro, euro, 0};
    EXPECT_TRUE(SpareKeycodes::carries(withBinding(sampleMap(), 8, agrave, Agrave), b));
    EXPECT_FALSE(SpareKeycodes::carries(sampleMap(), b));
    EXPECT_FALSE(SpareKeycodes::carries(withBinding(sampleMap(), 8, agrave, 0x71), b));
    CoreKeymap single = sampleMap();
    single.syms[0] = euro;  // one keysym on the key: the same on both levels
    EXPECT_TRUE(SpareKeycodes::carries(single, euroOnce));
}

TEST(SpareKeycodes, NoEmptyKeycodeNoSpare) {
    CoreKeymap full = sampleMap();
    for (KeySym& s : full.syms)
        if (s == 0) s = 0x20;
    SpareKeycodes spares;
    spares.reconcile(full);
    EXPECT_EQ(spares.pick(), std::nullopt);
}

TEST(KeymapJournal, RecordReadsBackAndIgnoresWhatIsNotARecord) {
    const std::vector<SpareBinding> bound = {{8, agrave, Agrave, 4}, {200, euro, euro, 1}};
    const auto back = KeymapJournal::parse(KeymapJournal::format(bound));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].keycode, 8);
    EXPECT_EQ(back[0].lower, agrave);
    EXPECT_EQ(back[0].upper, Agrave);
    EXPECT_EQ(back[1].keycode, 200);
    EXPECT_EQ(back[1].upper, euro);
    const QByteArray junk = "8 e0\nx y z\n300 e0 c0\n7 e0 c0\n9 0 c0\n\n  10  e8  c8 \r\n";
    const auto kept = KeymapJournal::parse(junk);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].keycode, 10);
}

TEST(KeymapJournal, LeftoversAreThoseOfProcessesThatAreGone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    KeymapJournal journal(dir.path(), QStringLiteral(":5.0"));
    ASSERT_TRUE(journal.record({{8, agrave, Agrave, 1}}));
    ASSERT_TRUE(QFile::exists(journal.path()));

    // A child that ends at once leaves a process id nobody runs.
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(dir.path() + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write(QStringLiteral("keymap-_5.0-%1").arg(dead), "14 e8 c8\n");
    write(QStringLiteral("keymap-_5.0-%1").arg(getppid()), "18 e0 c0\n");  // still running
    write(QStringLiteral("keymap-_6-%1").arg(dead), "18 e0 c0\n");          // another display
    // A record that was being written when its process died.
    write(QStringLiteral("keymap-_5.0-%1.aB3xYz").arg(dead), "8 e0 c0\n");

    auto leftovers = journal.leftovers();  // never this process's own record
    ASSERT_EQ(leftovers.size(), 2u);
    std::sort(leftovers.begin(), leftovers.end(),
              [](const auto& a, const auto& b) { return a.file < b.file; });
    ASSERT_EQ(leftovers[0].bindings.size(), 1u);
    EXPECT_EQ(leftovers[0].bindings[0].keycode, 14);
    ASSERT_EQ(leftovers[1].bindings.size(), 1u);
    EXPECT_EQ(leftovers[1].bindings[0].keycode, 8);
    for (const auto& l : leftovers) KeymapJournal::forget(l);
    EXPECT_TRUE(journal.leftovers().empty());

    ASSERT_TRUE(journal.record({}));
    EXPECT_FALSE(QFile::exists(journal.path()));
}

TEST(ClientActivity, ParsesTheProcFiles) {
    char state = 0;
    EXPECT_TRUE(parseThreadStat("1234 (a (b) c) S 1 1234 1234 0 -1", state));
    EXPECT_EQ(state, 'S');
    EXPECT_TRUE(parseThreadStat("7 (x) R 1", state));
    EXPECT_EQ(state, 'R');
    EXPECT_FALSE(parseThreadStat("garbage", state));
    std::uint64_t slices = 0;
    EXPECT_TRUE(parseSchedstat("123456 789 42\n", slices));
    EXPECT_EQ(slices, 42u);
    EXPECT_FALSE(parseSchedstat("1 2", slices));
}

TEST(ClientActivity, TellsASleepingProcessFromABusyOne) {
    const pid_t sleeper = fork();
    if (sleeper == 0) {
        pause();
        _exit(0);
    }
    const pid_t spinner = fork();
    if (spinner == 0) {
        std::atomic<unsigned long> spin{0};
        for (;;) spin.fetch_add(1, std::memory_order_relaxed);
    }
    bool sawAsleep = false, sawBusy = false;
    for (int i = 0; i < 200 && !(sawAsleep && sawBusy); ++i) {
        const auto a = readProcessActivity(sleeper);
        const auto b = readProcessActivity(spinner);
        ASSERT_TRUE(a && b);
        sawAsleep = sawAsleep || a->allAsleep;
        sawBusy = sawBusy || !b->allAsleep;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(sleeper, SIGKILL);
    kill(spinner, SIGKILL);
    waitpid(sleeper, nullptr, 0);
    waitpid(spinner, nullptr, 0);
    EXPECT_TRUE(sawAsleep);
    EXPECT_TRUE(sawBusy);
    EXPECT_EQ(readProcessActivity(sleeper), std::nullopt);  // gone
    EXPECT_EQ(readProcessActivity(-1), std::nullopt);
}

}  // namespace
}  // namespace vexil::x11
