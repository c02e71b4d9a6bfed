// Comparing sounds and deciding what they stand for, on made-up features: the alignment
// forgives a sound said faster or slower, not one that is elsewhere different; a label
// answers only when the sound is near its takes all along, in the syllable beats of one of
// them, and clearly nearer to it than to any other label. Saved takes come back whole; those
// of the versions before are measured again.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound_files.h"
#include "voice/voice_model.h"

using namespace vexil::voice;

namespace {

// A sound of two coefficients that glide from `from` to `to` over `frames` frames.
Features glide(int frames, std::pair<float, float> from, std::pair<float, float> to) {
    Features f;
    f.dims = 2;
    for (int i = 0; i < frames; ++i) {
        const float t = frames > 1 ? float(i) / float(frames - 1) : 0.0f;
        f.values.push_back(from.first + t * (to.first - from.first));
        f.values.push_back(from.second + t * (to.second - from.second));
    }
    return f;
}

// `f` with frames [begin, end) replaced by a constant far-off frame.
Features withStretchAt(Features f, int begin, int end, float value) {
    for (int i = begin; i < end; ++i) f.values[std::size_t(i) * 2] = f.values[std::size_t(i) * 2 + 1] = value;
    return f;
}

Take takeOf(Features f) {
    Take t;
    t.features = std::move(f);
    return t;
}

}  // namespace

TEST(VoiceModel, TheAlignmentForgivesTempoButNotADifferentStretch) {
    const Features word = glide(60, {0, 0}, {3, -3});
    const DtwMatch same = dtwMatch(word, word);
    EXPECT_EQ(same.distance, 0.0f);
    EXPECT_EQ(same.worstStretch, 0.0f);

    const DtwMatch slower = dtwMatch(word, glide(90, {0, 0}, {3, -3}));
    EXPECT_LT(slower.distance, 0.05f);
    EXPECT_LT(slower.worstStretch, 0.1f);

    // The same word with 20 of its 60 frames something else: far off there, much less so
    // on average.
    const DtwMatch changed = dtwMatch(word, withStretchAt(word, 20, 40, 8.0f));
    EXPECT_GT(changed.worstStretch, 4.0f);
    EXPECT_LT(changed.distance, changed.worstStretch / 2);

    // A sound shorter than the stretch: its whole path is the stretch.
    const DtwMatch shortOnes = dtwMatch(glide(3, {1, 1}, {1, 1}), glide(4, {0, 1}, {0, 1}));
    EXPECT_FLOAT_EQ(shortOnes.distance, 1.0f);
    EXPECT_FLOAT_EQ(shortOnes.worstStretch, 1.0f);

    // Values so far apart that their distance overflows (a damaged file can hold them):
    // an answer, not a hang, and no label.
    const Features huge = glide(20, {3e30f, -3e30f}, {3e30f, 3e30f});
    EXPECT_FALSE(std::isfinite(dtwMatch(word, huge).distance));
    VoiceModel model;
    model.setLabels({QStringLiteral("1")});
    model.setTakes(1, {takeOf(huge)});
    EXPECT_EQ(model.classify(word).label, 0);

    // Nothing to compare.
    Features threeDims;
    threeDims.dims = 3;
    threeDims.values = {1, 2, 3};
    for (const DtwMatch m : {dtwMatch(word, Features{}), dtwMatch(Features{}, word), dtwMatch(word, threeDims)}) {
        EXPECT_TRUE(std::isinf(m.distance));
        EXPECT_TRUE(std::isinf(m.worstStretch));
    }
}

TEST(VoiceModel, ALabelAnswersOnlyWhenTheSoundIsNearItAllAlongAndNearerThanTheOthers) {
    VoiceModel model;
    model.setLabels({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("TEST")});
    // Two labels that glide the same way, apart across it: a sound `k` across from label 1
    // lies |k - s| from a take `s` across.
    const auto across = [](float k) {
        const float u = std::sqrt(0.5f) * k;
        return glide(50, {u, u}, {3 + u, -3 + u});
    };
    const auto label1 = [&](float shift) { return across(shift); };
    const auto label2 = [&](float shift) { return across(2.4f + shift); };
    // Label 1 is said in one beat, and once in two; label 2 in two.
    const auto beating = [](Features f, std::vector<float> beats) {
        f.beats = std::move(beats);
        return f;
    };
    model.setTakes(1, {takeOf(beating(label1(0), {12})), takeOf(beating(label1(0.2f), {12})),
                       takeOf(beating(label1(-0.2f), {12, 3}))});
    model.setTakes(2, {takeOf(beating(label2(0), {12, 9})), takeOf(beating(label2(0.2f), {12, 8})),
                       takeOf(beating(label2(-0.2f), {12, 9}))});
    // The third label untrained: never the answer.

    const float threshold1 = model.threshold(1);
    struct Case {
        const char* name;
        Features sound;
        int label;
    };
    const Case cases[] = {
        {"a take of label 1 again", label1(0.1f), 1},
        {"label 1 in its beat", beating(label1(0.1f), {10}), 1},
        {"label 1 in the two beats of one of its takes", beating(label1(0.1f), {11, 5}), 1},
        // As near label 1, but in other syllables: a word that shares its sounds.
        {"a word of three beats", beating(label1(0.1f), {12, 5, 4}), 0},
        {"a word with a beat fewer", beating(label2(0.1f), {12}), 0},
        {"beats not measured", label2(0.1f), 2},
        {"label 2 said slower", glide(80, {1.7f, 1.7f}, {4.7f, -1.3f}), 2},
        // Far from everything.
        {"another word", glide(50, {10, 10}, {12, 14}), 0},
        // Near label 1 on average, but a third of it is another sound.
        {"label 1 with a stretch of something else", withStretchAt(label1(0), 15, 32, 4.0f), 0},
        // Near enough to either (1 and 1), but as near one as the other.
        {"halfway between the labels", across(1.2f), 0},
        // 1.1 and 0.9.
        {"nearer label 2, but not clearly", across(1.3f), 0},
        // 1.4 and 0.6.
        {"clearly nearer label 2", across(1.6f), 2},
    };
    for (const Case& c : cases) {
        const VoiceModel::Result r = model.classify(c.sound);
        EXPECT_EQ(r.label, c.label) << c.name << ": nearest " << r.nearest << " at " << r.distance
                                    << " (threshold " << r.threshold << ", worst stretch "
                                    << r.worstStretch << ", next " << r.runnerUp << ")";
    }
    // A label's threshold grows with the spread of its takes, up to a limit: takes far apart
    // (a cough trained as a label) must not let it take any sound.
    model.setTakes(1, {takeOf(label1(0)), takeOf(label1(1.5f))});
    EXPECT_GT(model.threshold(1), threshold1);
    model.setTakes(1, {takeOf(label1(0)), takeOf(glide(50, {40, 40}, {45, 30}))});
    const float wild = model.threshold(1);
    model.setTakes(1, {takeOf(label1(0)), takeOf(glide(50, {400, 400}, {450, 300}))});
    EXPECT_EQ(model.threshold(1), wild);
    // A label with a single take gets a usual spread, the same an untrained one would.
    model.setTakes(1, {takeOf(label1(0))});
    EXPECT_GT(model.threshold(1), threshold1);
    EXPECT_EQ(model.threshold(1), model.threshold(3));
}

TEST(VoiceModel, AQuietRoomAsksASoundToComeNearerThanANoisyOne) {
    VoiceModel model;
    model.setLabels({QStringLiteral("1"), QStringLiteral("2")});
    const auto across = [](float k) {
        const float u = std::sqrt(0.5f) * k;
        return glide(50, {u, u}, {3 + u, -3 + u});
    };
    model.setTakes(1, {takeOf(across(0)), takeOf(across(0.2f)), takeOf(across(-0.2f))});
    model.setTakes(2, {takeOf(across(6)), takeOf(across(6.2f)), takeOf(across(5.8f))});
    // The room's noise in dB of the sound's level; none: not known.
    const VoiceModel::NoiseDb quiet = -60.0f, fan = -22.0f, classroom = -12.0f, none;
    // The limit widens from the quiet room to the noisy one, and stays there beyond it.
    EXPECT_LT(model.threshold(1, quiet), model.threshold(1, fan));
    EXPECT_LT(model.threshold(1, fan), model.threshold(1, classroom));
    EXPECT_EQ(model.threshold(1, classroom), model.threshold(1, -3.0f));
    EXPECT_EQ(model.threshold(1, -90.0f), model.threshold(1, quiet));
    EXPECT_EQ(model.threshold(1, none), model.threshold(1, classroom));

    // A sound the noise could have moved that far off is taken in a noisy room only, a near
    // one anywhere.
    const float quietLimit = model.threshold(1, quiet), noisyLimit = model.threshold(1, classroom);
    const Features between = across(-0.2f - 0.5f * (quietLimit + noisyLimit));
    const Features near = across(0.1f);
    struct Case {
        const char* name;
        const Features& sound;
        VoiceModel::NoiseDb noise;
        int label;
    };
    const Case cases[] = {
        {"far, quiet room", between, quiet, 0},
        {"far, noisy room", between, classroom, 1},
        {"far, room not known", between, none, 1},
        {"near, quiet room", near, quiet, 1},
        {"near, noisy room", near, classroom, 1},
    };
    for (const Case& c : cases) {
        const VoiceModel::Result r = model.classify(c.sound, c.noise);
        EXPECT_EQ(r.label, c.label) << c.name << ": at " << r.distance << " (threshold " << r.threshold
                                    << ", worst stretch " << r.worstStretch << ")";
    }
}

TEST(VoiceModel, HeardInTheRoomALabelTakesWhatTheNoiseCouldHaveMovedItsOwnTakesBy) {
    VoiceModel model;
    model.setLabels({QStringLiteral("1"), QStringLiteral("2")});
    const float unit = std::sqrt(0.5f);
    const auto across = [unit](float k) { return glide(50, {unit * k, unit * k}, {3 + unit * k, -3 + unit * k}); };
    model.setTakes(1, {takeOf(across(0)), takeOf(across(0.2f)), takeOf(across(-0.2f))});
    model.setTakes(2, {takeOf(across(20)), takeOf(across(20.2f)), takeOf(across(19.8f))});
    const VoiceModel::NoiseDb classroom = -12.0f;
    // Heard in a room whose noise leaves the takes as they were (a word of voiced sounds),
    // or one whose noise spreads them eight times as far apart (a word of hisses).
    const VoiceModel::HeardAs steady = [](const Take& t) { return t.features; };
    const VoiceModel::HeardAs spreading = [&](const Take& t) { return across(8 * t.features.values[0] / unit); };

    const VoiceModel::Result still = model.classify(across(-1.0f), steady, classroom);
    const VoiceModel::Result spread = model.classify(across(-2.4f), spreading, classroom);
    EXPECT_GT(spread.roomSpread, 4 * still.roomSpread);
    // Both 0.8 from the nearest take as heard: taken where the noise moves the takes that
    // far apart, not where it leaves them together; as before where the takes cannot be
    // heard in the room (a take without its sound).
    EXPECT_NEAR(still.distance, 0.8f, 0.05f);
    EXPECT_NEAR(spread.distance, 0.8f, 0.05f);
    EXPECT_EQ(still.label, 0) << "threshold " << still.threshold;
    EXPECT_EQ(spread.label, 1) << "threshold " << spread.threshold;
    EXPECT_EQ(model.classify(across(-1.0f), classroom).label, 1);
    // A near sound is taken in both rooms.
    EXPECT_EQ(model.classify(across(0.1f), steady, classroom).label, 1);
    EXPECT_EQ(model.classify(across(0.8f), spreading, classroom).label, 1);
}

TEST(VoiceModel, SavedSoundsComeBackWholeAndThoseOfTheVersionBeforeAreMeasuredAgain) {
    const QStringList labels = {QStringLiteral("1"), QStringLiteral("TEST")};
    VoiceModel model;
    model.setLabels(labels);
    Take a = takeOf(glide(12, {0, 0}, {1, 1}));
    a.features.beats = {12, 4.5f};
    a.envelope.assign(12, -20.0f);
    a.samples.assign(1920, 0.25f);
    Take b = takeOf(glide(9, {1, 0}, {0, 1}));
    b.samples.assign(1440, -0.5f);
    model.setTakes(1, {a});
    model.setTakes(2, {b});
    VoiceModel loaded;
    ASSERT_EQ(loadVoiceModel(saveVoiceModel(model), labels, loaded), LoadStatus::Loaded);
    EXPECT_EQ(loaded, model);

    // The takes as an earlier version wrote them: measured as now but without their beats
    // (version 4), measured otherwise, with their sound (version 3) or without it (version 2).
    const auto written = [&](quint16 version, bool secondHasSound) {
        return vexil::test::voiceFileOfVersion(model, version, secondHasSound ? 0 : 2);
    };
    // As the recogniser measures now: one value a frame, the frame's first sample.
    const Measure now = [](const std::vector<float>& samples) {
        Features f;
        f.dims = 1;
        for (std::size_t at = 0; at < samples.size(); at += 160) f.values.push_back(samples[at]);
        return f;
    };
    const Measure nothing = [](const std::vector<float>&) { return Features{}; };
    // As now, beats too, where the features were already measured as now.
    const Measure withBeats = [&](const std::vector<float>& samples) {
        Features f = samples.size() == a.samples.size() ? a.features : b.features;
        f.beats = {float(samples.size() / 160)};
        return f;
    };
    struct Case {
        const char* name;
        QByteArray file;
        Measure measure;
        LoadStatus status;
        bool measuredAgain = true;
    };
    const Case cases[] = {
        {"version 4, its beats measured", written(4, true), withBeats, LoadStatus::Loaded},
        // Compared without beats, but not lost.
        {"version 4, nothing to measure with", written(4, true), {}, LoadStatus::Loaded, false},
        {"version 4, a take measures empty", written(4, true), nothing, LoadStatus::Loaded, false},
        {"version 3, measured again", written(3, true), now, LoadStatus::Loaded},
        {"version 3, nothing to measure with", written(3, true), {}, LoadStatus::OlderVersion},
        {"version 3, a take measures empty", written(3, true), nothing, LoadStatus::OlderVersion},
        {"version 3, a take without its sound", written(3, false), now, LoadStatus::OlderVersion},
        {"version 2, no sounds", written(2, false), now, LoadStatus::OlderVersion},
    };
    for (const Case& c : cases) {
        VoiceModel old;
        old.setLabels(labels);
        const VoiceModel untouched = old;
        EXPECT_EQ(loadVoiceModel(c.file, labels, old, c.measure), c.status) << c.name;
        if (c.status != LoadStatus::Loaded) {
            EXPECT_EQ(old, untouched) << c.name;
            continue;
        }
        for (int l = 1; l <= 2; ++l) {
            ASSERT_EQ(old.takes(l).size(), 1u) << c.name;
            const Take& t = old.takes(l)[0];
            EXPECT_EQ(t.samples, model.takes(l)[0].samples) << c.name;
            EXPECT_EQ(t.envelope, model.takes(l)[0].envelope) << c.name;
            Features written = model.takes(l)[0].features;
            written.beats.clear();
            EXPECT_EQ(t.features, c.measuredAgain ? c.measure(t.samples) : written) << c.name;
        }
        // Saved again, the takes come back as measured now, with no measuring.
        VoiceModel again;
        EXPECT_EQ(loadVoiceModel(saveVoiceModel(old), labels, again), LoadStatus::Loaded) << c.name;
        EXPECT_EQ(again, old) << c.name;
    }
}
