#include "platform/audio/sound_output.h"

#include <QFileInfo>
#include <fluidsynth.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace vexil::audio {
namespace {

constexpr int kMidiRate = 44100;
constexpr int kChunk = 512;  // frames per write: about 12 ms, so a stop is heard at once

void quiet(int, const char*, void*) {}

QString unquoted(QString name) {
    name = name.trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    return name;
}

}  // namespace

// One synthesiser with the soundfont loaded once; each file gets its own player.
class MidiSynth {
public:
    explicit MidiSynth(const QString& soundfont) {
        // fluidsynth reports on standard error by default; the program shows no such text.
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, quiet, nullptr);
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.sample-rate", kMidiRate);
        synth_ = new_fluid_synth(settings_);
        if (synth_ && !soundfont.isEmpty())
            loaded_ = fluid_synth_sfload(synth_, soundfont.toLocal8Bit().constData(), 1) !=
                      FLUID_FAILED;
    }
    ~MidiSynth() {
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }
    bool ready() const { return synth_ && loaded_; }
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    bool loaded_ = false;
};

QString SoundOutput::defaultSoundfont() {
    for (const char* path : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2"})
        if (QFileInfo::exists(QString::fromLatin1(path))) return QString::fromLatin1(path);
    return {};
}

SoundOutput::SoundOutput(AudioSink& sink, QString soundfont)
    : sink_(sink), soundfont_(soundfont.isEmpty() ? defaultSoundfont() : std::move(soundfont)) {}

SoundOutput::~SoundOutput() {
    stopMidi();
    if (beepThread_.joinable()) beepThread_.join();
}

bool SoundOutput::playWave(const QString& path) {
    // A new sound cuts the music short.
    stopMidi();
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f) return false;
    if (info.channels < 1 || info.samplerate <= 0) {
        sf_close(f);
        return false;
    }
    const int channels = std::min(info.channels, 2);
    auto stream = sink_.open(info.samplerate, channels);
    std::vector<float> in(size_t(kChunk) * size_t(info.channels));
    std::vector<float> out(size_t(kChunk) * size_t(channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(f, in.data(), kChunk);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i)
            for (int c = 0; c < channels; ++c)
                out[size_t(i) * size_t(channels) + size_t(c)] =
                    in[size_t(i) * size_t(info.channels) + size_t(c)];
        stream->write(out.data(), size_t(got));
    }
    sf_close(f);
    return true;
}

void SoundOutput::stopMidi() {
    midiStop_ = true;
    if (midiThread_.joinable()) midiThread_.join();
    midiStop_ = false;
    midiRunning_ = false;
    midiName_.clear();
}

void SoundOutput::waitForMidiEnd() {
    if (midiThread_.joinable()) midiThread_.join();
}

void SoundOutput::midiCommand(const QString& command) {
    const QString text = command.trimmed();
    const qsizetype blank = text.indexOf(u' ');
    const QString verb = (blank < 0 ? text : text.left(blank)).toLower();
    const QString name = blank < 0 ? QString() : unquoted(text.mid(blank + 1));
    if (verb == u"close") {
        // Device names are file names, which Windows compares without regard to case.
        if (!midiName_.isEmpty() && name.compare(midiName_, Qt::CaseInsensitive) == 0) stopMidi();
        return;
    }
    if (verb != u"play" || name.isEmpty()) return;
    stopMidi();
    // The player takes any name and fails later, out of sight; a file that is not MIDI
    // music is refused here.
    if (!fluid_is_midifile(name.toLocal8Bit().constData())) return;
    if (!synth_) synth_ = std::make_unique<MidiSynth>(soundfont_);
    if (!synth_->ready()) return;
    fluid_player_t* player = new_fluid_player(synth_->synth_);
    if (!player) return;
    if (fluid_player_add(player, name.toLocal8Bit().constData()) != FLUID_OK ||
        fluid_player_play(player) != FLUID_OK) {
        delete_fluid_player(player);
        return;
    }
    midiName_ = name;
    midiRunning_ = true;
    midiThread_ = std::thread([this, player] {
        fluid_synth_t* synth = synth_->synth_;
        auto stream = sink_.open(kMidiRate, 2);
        std::vector<float> buffer(size_t(kChunk) * 2);
        while (!midiStop_ && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
            fluid_synth_write_float(synth, kChunk, buffer.data(), 0, 2, buffer.data(), 1, 2);
            stream->write(buffer.data(), kChunk);
        }
        fluid_player_stop(player);
        delete_fluid_player(player);
        // Notes still sounding must not carry over into the next file.
        fluid_synth_system_reset(synth);
        midiRunning_ = false;
    });
}

void SoundOutput::beep() {
    if (beepThread_.joinable()) beepThread_.join();
    beepThread_ = std::thread([this] {
        constexpr int rate = 22050, frames = rate / 8;  // 880 Hz for an eighth of a second
        std::vector<float> tone(frames);
        for (int i = 0; i < frames; ++i) {
            const double fade = std::min(1.0, std::min(i, frames - i) / 220.0);
            tone[size_t(i)] = float(0.3 * fade * std::sin(2 * std::numbers::pi * 880.0 * i / rate));
        }
        sink_.open(rate, 1)->write(tone.data(), tone.size());
    });
}

}  // namespace vexil::audio
