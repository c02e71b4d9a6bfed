// Cutting sounds out of a stream by their energy: what starts a sound, what ends it, and
// what never counts as one (clicks, a background that grows louder, a source that falls
// silent and comes back).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "voice/sound_cutter.h"

using vexil::voice::CutSound;
using vexil::voice::SoundCutter;

namespace {

constexpr int kRate = SoundCutter::kSampleRate;

// A piece of a stream: `ms` of a 300 Hz tone of amplitude `tone` over gaussian hiss of
// standard deviation `hiss` and a rumble of about that standard deviation (either may be 0).
// The rumble is noise with its power under 100 Hz, as a fan or traffic make: a 10 ms frame
// holds only a cycle or two of it, so its level flickers from frame to frame by several dB.
struct Piece {
    int ms;
    float tone;
    float hiss;
    float rumble = 0;
};

std::vector<float> render(const std::vector<Piece>& pieces) {
    std::mt19937 random(5);
    std::normal_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> s;
    float low = 0;  // the rumble: one pole at about 100 Hz, its gain made up
    for (const Piece& p : pieces) {
        for (int i = 0; i < p.ms * kRate / 1000; ++i) {
            const float t = float(s.size()) / kRate;
            low += 0.04f * (unit(random) - low);
            s.push_back(p.tone * std::sin(2.0f * float(M_PI) * 300.0f * t) + p.hiss * unit(random) +
                        p.rumble * 5.0f * low);
        }
    }
    return s;
}

// The sounds cut from `pieces`, as [start, end) in milliseconds of the stream, fed in
// blocks of 7 ms (not a whole number of frames).
std::vector<std::pair<int, int>> cutsOf(const std::vector<Piece>& pieces) {
    SoundCutter cutter;
    cutter.setWindowTenths(2);
    std::vector<std::pair<int, int>> cuts;
    cutter.onSound = [&](CutSound c) {
        EXPECT_EQ(std::int64_t(c.samples.size()) >= c.end - c.start, true);
        cuts.emplace_back(int(c.start * 1000 / kRate), int(c.end * 1000 / kRate));
    };
    const std::vector<float> s = render(pieces);
    for (std::size_t at = 0; at < s.size(); at += 112)
        cutter.feed(s.data() + at, std::min<std::size_t>(112, s.size() - at));
    return cuts;
}

}  // namespace

TEST(SoundCutter, CutsEachSoundAndNothingElse) {
    const float room = 0.001f;  // about -60 dB: a quiet room
    const float word = 0.1f;    // about -23 dB
    struct Case {
        const char* name;
        std::vector<Piece> pieces;
        // Where the tones lie, in ms; each must come out as one sound around it.
        std::vector<std::pair<int, int>> sounds;
    };
    const Case cases[] = {
        {"a word in a quiet room", {{1000, 0, room}, {400, word, room}, {1000, 0, room}}, {{1000, 1400}}},
        {"two words", {{1000, 0, room}, {400, word, room}, {600, 0, room}, {300, word, room}, {1000, 0, room}},
         {{1000, 1400}, {2000, 2300}}},
        // A closure shorter than the window does not split a word.
        {"a pause inside a word", {{1000, 0, room}, {200, word, room}, {120, 0, room}, {200, word, room}, {1000, 0, room}},
         {{1000, 1520}}},
        {"a click", {{1000, 0, room}, {40, word, room}, {1000, 0, room}}, {}},
        // The fan starts: for a while it is louder than the floor, then it is the floor.
        {"a background that grows louder", {{1000, 0, room}, {6000, 0, 0.03f}}, {}},
        {"a word after the background grew louder", {{1000, 0, room}, {6000, 0, 0.01f}, {400, 0.3f, 0.01f}, {1000, 0, 0.01f}},
         {{7000, 7400}}},
        // Hiss 40 dB under full scale: a tone that lifts the whole level by only 4 dB stands
        // far over the hiss in its own band, is cut as a sound, and ends where it ends (the
        // flicker of the hiss in a band does not hold it); ten seconds of the hiss alone
        // start nothing.
        {"a soft word in loud hiss", {{1000, 0, 0.01f}, {400, 0.0173f, 0.01f}, {1000, 0, 0.01f}}, {{1000, 1400}}},
        {"loud hiss alone", {{10000, 0, 0.01f}}, {}},
        // A rumble's louder frames rise far over the floor, which follows its quieter ones:
        // they neither start a sound nor hold one that has ended.
        {"a word in a rumble", {{1000, 0, 0, 0.01f}, {400, 0.1f, 0, 0.01f}, {1000, 0, 0, 0.01f}}, {{1000, 1400}}},
        {"a rumble alone", {{10000, 0, 0, 0.01f}}, {}},
        {"digital silence, then a word", {{1000, 0, 0}, {400, word, 0}, {1000, 0, 0}}, {{1000, 1400}}},
        // A muted source gives zeros; when it comes back its hiss is no sound, and the word
        // after it is cut at the word.
        {"the room, a muted stretch, the room again",
         {{1000, 0, room}, {800, 0, 0}, {1500, 0, room}, {400, word, room}, {1000, 0, room}}, {{3300, 3700}}},
    };
    for (const Case& c : cases) {
        const auto cuts = cutsOf(c.pieces);
        ASSERT_EQ(cuts.size(), c.sounds.size()) << c.name;
        for (std::size_t i = 0; i < cuts.size(); ++i) {
            // Started at most the onset frames plus the preroll before the tone; ended where
            // the tone ends, give or take a frame.
            EXPECT_GE(cuts[i].first, c.sounds[i].first - 10 * (SoundCutter::kPreroll + SoundCutter::kOnsetFrames + 1)) << c.name;
            EXPECT_LE(cuts[i].first, c.sounds[i].first) << c.name;
            EXPECT_NEAR(cuts[i].second, c.sounds[i].second, 20) << c.name;
        }
    }
}

// The program's own speech masked: nothing starts while it sounds and the word after it is
// cut on its own; unmasked, the two are one.
TEST(SoundCutter, WhileMaskedNothingStartsAndTheWordAfterIsCutAlone) {
    const float room = 0.001f;
    const std::vector<float> s = render({{500, 0, room}, {600, 0.1f, room}, {100, 0, room},
                                         {300, 0.1f, room}, {500, 0, room}});
    for (const bool mask : {true, false}) {
        SCOPED_TRACE(mask ? "masked" : "not masked");
        SoundCutter cutter;
        cutter.setWindowTenths(2);
        std::vector<CutSound> cuts;
        cutter.onSound = [&](CutSound c) { cuts.push_back(std::move(c)); };
        const std::size_t speechFrom = 500 * kRate / 1000, speechTo = 1100 * kRate / 1000;
        for (std::size_t at = 0; at < s.size(); at += 160) {
            cutter.setMasked(mask && at >= speechFrom && at < speechTo);
            cutter.feed(s.data() + at, std::min<std::size_t>(160, s.size() - at));
        }
        ASSERT_EQ(cuts.size(), 1u);
        const int start = int(cuts[0].start * 1000 / kRate), end = int(cuts[0].end * 1000 / kRate);
        if (mask) {
            EXPECT_GE(start, 1100);
            EXPECT_NEAR(end, 1500, 20);
        } else {
            EXPECT_LT(start, 520);
        }
    }
}
