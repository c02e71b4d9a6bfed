// The file sink (timing, resampling, appending and mixing), wave playback through it and
// MIDI music by name, with a sleeper that only counts: nothing here waits for real.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>
#include <sndfile.h>

#include "platform/audio/file_sink.h"
#include "platform/audio/sound_output.h"

namespace vexil::audio {
namespace {

using std::chrono::microseconds;

struct CountingSleeper {
    std::shared_ptr<long long> total = std::make_shared<long long>(0);
    Sleeper sleeper() {
        auto t = total;
        return [t](microseconds d) { *t += d.count(); };
    }
};

std::vector<float> tone(int rate, double seconds, double hz, float level = 0.5f) {
    std::vector<float> v(size_t(rate * seconds));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = level * float(std::sin(2 * std::numbers::pi * hz * double(i) / rate));
    return v;
}

float peak(const std::vector<float>& v, size_t from, size_t to) {
    float p = 0;
    for (size_t i = from; i < std::min(to, v.size()); ++i) p = std::max(p, std::fabs(v[i]));
    return p;
}

struct WavFile {
    int rate = 0, channels = 0;
    std::vector<float> samples;
};

WavFile readWav(const QString& path) {
    WavFile w;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f) return w;
    w.rate = info.samplerate;
    w.channels = info.channels;
    w.samples.resize(size_t(info.frames * info.channels));
    sf_readf_float(f, w.samples.data(), info.frames);
    sf_close(f);
    return w;
}

void writeWav(const QString& path, const std::vector<float>& mono, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, mono.data(), sf_count_t(mono.size()));
    sf_close(f);
}

class AudioTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CountingSleeper clock;
    QString out() const { return dir.filePath(QStringLiteral("out.wav")); }
};

TEST_F(AudioTest, FileSinkResamplesAndKeepsTime) {
    {
        FileSink sink(out(), clock.sleeper());
        const auto mono = tone(22050, 1.0, 440);
        auto stream = sink.open(22050, 1);
        // In uneven pieces, as a synthesiser hands them over.
        stream->write(mono.data(), 1000);
        stream->write(mono.data() + 1000, mono.size() - 1000);
    }
    EXPECT_NEAR(double(*clock.total), 1e6, 100);
    const WavFile w = readWav(out());
    ASSERT_EQ(w.rate, 44100);
    ASSERT_EQ(w.channels, 2);
    const size_t frames = w.samples.size() / 2;
    EXPECT_NEAR(double(frames), 44100.0, 4);
    // The same tone on both channels, at its level, and no click where the pieces meet.
    for (size_t i = 0; i + 1 < frames; ++i) {
        ASSERT_FLOAT_EQ(w.samples[2 * i], w.samples[2 * i + 1]);
        ASSERT_LT(std::fabs(w.samples[2 * i + 2] - w.samples[2 * i]), 0.04f) << i;
    }
    EXPECT_NEAR(peak(w.samples, 0, w.samples.size()), 0.5, 0.01);
}

TEST_F(AudioTest, FileSinkAppendsOneSoundAfterAnother) {
    FileSink sink(out(), clock.sleeper());
    const auto a = tone(44100, 0.5, 440);
    const auto silence = std::vector<float>(44100 / 2, 0.f);
    sink.open(44100, 1)->write(a.data(), a.size());
    sink.open(44100, 1)->write(silence.data(), silence.size());
    sink.open(44100, 1)->write(a.data(), a.size());
    const auto s = sink.samples();
    ASSERT_EQ(s.size(), size_t(3 * 22050 * 2));
    EXPECT_GT(peak(s, 0, 44100), 0.45f);
    EXPECT_EQ(peak(s, 44100, 88200), 0.f);
    EXPECT_GT(peak(s, 88200, 132300), 0.45f);
}

TEST_F(AudioTest, FileSinkMixesSoundsThatOverlap) {
    FileSink sink(out(), clock.sleeper());
    const auto music = tone(44100, 1.0, 220, 0.3f);
    const auto voice = tone(44100, 0.25, 880, 0.3f);
    auto first = sink.open(44100, 1);
    first->write(music.data(), 22050);  // half a second of music so far
    sink.open(44100, 1)->write(voice.data(), voice.size());  // speech starts where it is
    first->write(music.data() + 22050, 22050);
    first.reset();
    const auto s = sink.samples();
    ASSERT_EQ(s.size(), size_t(44100 * 2));
    EXPECT_LT(peak(s, 0, 44100), 0.31f);
    EXPECT_GT(peak(s, 44100, 44100 + 22050), 0.4f);  // both at once
    EXPECT_LT(peak(s, 44100 + 22050 + 2, s.size()), 0.31f);
}

TEST_F(AudioTest, WavePlaysToItsEndBeforeReturning) {
    const QString wave = dir.filePath(QStringLiteral("HOLA.WAV"));
    writeWav(wave, tone(8000, 0.75, 300), 8000);
    {
        FileSink sink(out(), clock.sleeper());
        SoundOutput sound(sink);
        EXPECT_TRUE(sound.playWave(wave));
        EXPECT_NEAR(double(*clock.total), 750000, 1000);
        EXPECT_FALSE(sound.playWave(dir.filePath(QStringLiteral("absent.wav"))));
        QFile junk(dir.filePath(QStringLiteral("junk.wav")));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("RIFF not really");
        junk.close();
        EXPECT_FALSE(sound.playWave(junk.fileName()));
    }
    const WavFile w = readWav(out());
    EXPECT_NEAR(double(w.samples.size() / 2), 0.75 * 44100, 8);
    EXPECT_GT(peak(w.samples, 0, w.samples.size()), 0.45f);
}

// A MIDI file of one track: a piano note held for `beats` quarter notes at 120 a minute.
QByteArray midiFile(int beats) {
    QByteArray track;
    auto add = [&](std::initializer_list<int> bytes) {
        for (int b : bytes) track.append(char(b));
    };
    add({0x00, 0x90, 60, 100});  // note on, middle C
    const int ticks = 480 * beats;
    add({0x80 | ((ticks >> 14) & 0x7f), 0x80 | ((ticks >> 7) & 0x7f), ticks & 0x7f});
    add({0x80, 60, 0});           // note off
    add({0x00, 0xff, 0x2f, 0x00});  // end of track
    QByteArray f("MThd");
    f.append(QByteArray::fromHex("00000006000000010" "1e0"));
    f.append("MTrk");
    const int n = int(track.size());
    f.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    f.append(track);
    return f;
}

TEST_F(AudioTest, MidiPlaysByNameUntilClosed) {
    if (SoundOutput::defaultSoundfont().isEmpty()) GTEST_SKIP() << "no General MIDI soundfont";
    const QString song = dir.filePath(QStringLiteral("MUSICA.MID"));
    QFile f(song);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(midiFile(2));  // one second
    f.close();
    FileSink sink(out(), clock.sleeper());
    SoundOutput sound(sink);
    sound.midiCommand(QStringLiteral("play ") + song);
    EXPECT_TRUE(sound.midiPlaying());
    // "close" names another file: nothing stops.
    sound.midiCommand(QStringLiteral("close ") + dir.filePath(QStringLiteral("OTHER.MID")));
    // The same name in another case closes it, as Windows names do.
    sound.midiCommand(QStringLiteral("CLOSE ") + song.toLower());
    EXPECT_FALSE(sound.midiPlaying());
    // Played to its end, the note is heard and the music stops by itself.
    sound.midiCommand(QStringLiteral("play \"") + song + u'"');
    sound.waitForMidiEnd();
    EXPECT_FALSE(sound.midiPlaying());
    sound.midiCommand(QStringLiteral("close ") + song);
    const auto s = sink.samples();
    EXPECT_GT(s.size() / 2, size_t(44100 * 0.9));
    EXPECT_GT(peak(s, 0, s.size()), 0.01f);
    // Unknown verbs and missing files do nothing.
    sound.midiCommand(QStringLiteral("open ") + song);
    sound.midiCommand(QStringLiteral("play ") + dir.filePath(QStringLiteral("absent.mid")));
    EXPECT_FALSE(sound.midiPlaying());
}

}  // namespace
}  // namespace vexil::audio
