// The syllable beats of a sound: one a vowel, weighed by how clearly it stands out, the
// room's noise taken away; two sayings of a word have the same, a word of other syllables
// that shares its sounds does not.
#include "voice/beats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "sound_files.h"
#include "voice/mfcc.h"

using namespace vexil;
using namespace vexil::test;
using voice::MfccExtractor;

namespace {

constexpr int kBands = MfccExtractor::kBands;

// Mel bands whose vowel bands follow `db` (one level a frame, in dB), the others silent,
// with `noise` (a magnitude) added to every band.
std::vector<float> bandsOf(const std::vector<float>& db, float noise = 0) {
    std::vector<float> bands;
    for (float level : db)
        for (int b = 0; b < kBands; ++b)
            bands.push_back(std::sqrt((b >= 2 && b <= 25 ? std::pow(10.0f, level / 10) / 24 : 0) +
                                      noise * noise));
    return bands;
}

// Levels rising to `peaks` in turn over `frames` frames each, falling to `dip` between them.
std::vector<float> humps(std::initializer_list<float> peaks, float dip, int frames = 16) {
    std::vector<float> db;
    for (float p : peaks)
        for (int i = 0; i < frames; ++i)
            db.push_back(dip + (p - dip) * float(std::sin(M_PI * (i + 0.5) / frames)));
    return db;
}

}  // namespace

TEST(SyllableBeats, EachVowelIsABeatWeighedByHowClearlyItStandsOut) {
    struct Case {
        const char* name;
        std::vector<float> bands;
        std::vector<float> noise;
        std::vector<float> beats;  // their weights, to 0.3 dB
    };
    const float hiss =
        std::pow(10.0f, -5.0f / 20);  // each band's magnitude, 5 dB under the vowels'
    const Case cases[] = {
        {"one vowel", bandsOf(humps({0}, -30)), {}, {12}},
        {"two vowels parted by a stop", bandsOf(humps({0, -2}, -30)), {}, {12, 10}},
        // Each weighs what it rises over the dip between them, as the 50 ms over which the
        // level is smoothed leave it.
        {"two vowels parted by a soft consonant", bandsOf(humps({0, 0}, -4, 40)), {}, {3.5f, 3.5f}},
        {"a level that barely wavers", bandsOf(humps({0, 0}, -0.3f)), {}, {}},
        {"a second vowel far softer", bandsOf(humps({0, -20}, -30)), {}, {12}},
        // The hiss fills the dip; taken away, the two vowels come back.
        {"two vowels under hiss", bandsOf(humps({0, 0}, -30), hiss), {}, {}},
        {"the hiss taken away",
         bandsOf(humps({0, 0}, -30), hiss),
         std::vector<float>(kBands, hiss),
         {12, 12}},
    };
    for (const Case& c : cases) {
        const std::vector<float> beats = voice::syllableBeats(c.bands, kBands, c.noise);
        ASSERT_EQ(beats.size(), c.beats.size()) << c.name;
        for (std::size_t i = 0; i < beats.size(); ++i)
            EXPECT_NEAR(beats[i], c.beats[i], 0.3f) << c.name;
    }
    EXPECT_TRUE(voice::syllableBeats({}, kBands).empty());
    EXPECT_TRUE(voice::syllableBeats(bandsOf(humps({0}, -30)), 20).empty()) << "too few bands";
}

TEST(SyllableBeats, OtherSyllablesLieApartWhereTheSameWordDoesNot) {
    // espeak-ng's words, said at another pitch and speed than the take, as spoken and with
    // white noise 10 dB under the word, whose bands the beats are measured without.
    const MfccExtractor mfcc;
    std::mt19937 random(3);
    const auto heard = [&](const char* word, int pitch, int speed, bool noisy) {
        std::vector<float> s =
            spoken(QString::fromLatin1(word), QStringLiteral("es"), pitch, speed);
        if (!noisy) return mfcc.compute(s).beats;
        double power = 0;
        for (float x : s) power += double(x) * x;
        std::normal_distribution<float> hiss(
            0, float(std::sqrt(power / double(s.size())) / std::sqrt(10.0)));
        std::vector<float> pause(8000);
        for (float& x : pause) x = hiss(random);
        for (float& x : s) x += hiss(random);
        return mfcc.compute(s, mfcc.noiseBands(pause)).beats;
    };
    struct Case {
        const char* label;
        const char* other;
    };
    for (const Case& c : {Case{"dos", "todo"}, Case{"derecha", "fresa"}, Case{"test", "cesta"},
                          Case{"avanzar", "lanza"}})
        for (bool noisy : {false, true}) {
            const std::vector<float> take = heard(c.label, 50, 165, noisy);
            EXPECT_LT(voice::beatsApart(heard(c.label, 62, 185, noisy), take), voice::kBeatLimit)
                << c.label << (noisy ? " in noise" : "");
            EXPECT_GE(voice::beatsApart(heard(c.other, 62, 185, noisy), take), voice::kBeatLimit)
                << c.other << " for " << c.label << (noisy ? " in noise" : "");
        }
}
