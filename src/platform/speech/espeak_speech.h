#pragma once
// The embedded speech engine: libespeak-ng, speaking Catalan or Spanish into an audio
// sink from a thread of its own, so that reading starts and the program goes on.
//
// Speakers (the numbers the program selects): 0 and 1 the language's male voice, 2 a
// female voice, 3 a second male voice, 4 a second female voice; other numbers wrap round.
// Speed 100 is espeak-ng's normal rate, 175 words a minute; the rate follows the speed in
// proportion, within what espeak-ng can do (80 to 450).
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/audio/audio_sink.h"
#include "platform/media_modules.h"

namespace vexil::speech {

class EspeakSpeech : public media::SpeechDevice {
public:
    static constexpr int kSpeakers = 5;

    explicit EspeakSpeech(audio::AudioSink& sink);
    ~EspeakSpeech() override;

    bool available() override { return available_; }
    int numberOfSpeakers() override { return kSpeakers; }
    void setLanguage(int languageCode) override;
    void setSpeaker(int speaker) override;
    void setSpeed(int speed) override;
    // There is no paused state to leave: each reading starts afresh.
    void resume() override {}
    // A new reading cuts the one under way short (scanning announces one area after
    // another; a backlog would lag behind the highlight).
    void read(const QString& text) override;
    // The reading is made whole before it is played: when it is longer than `milliseconds`
    // it is made again faster (up to twice the rate, within espeak-ng's fastest), then
    // ends before the first word that does not fit, faded out.
    void readWithin(const QString& text, int milliseconds) override;
    // From read() until the sound server has played the reading's last sample.
    bool busy() override;

    // Waits until nothing is being read (tests and the tool use it before they end).
    void waitUntilDone() override;

    // The espeak-ng voice name for a language code and speaker: "ca", "es+f2"...
    static QString voiceName(int languageCode, int speaker);
    // The espeak-ng rate in words a minute for a speed.
    static int rateFor(int speed);
    // espeak-ng's sample callback; `events` carries the engine that asked for the reading.
    static int onSamples(short* samples, int count, void* events);
    // Quieter than this (about -50 dBFS) is the silence around and after the speech.
    static constexpr float kQuiet = 0.003f;

private:
    struct Utterance {
        QString text;
        QString voice;
        int rate = 175;
        int within = 0;  // ms; 0 no bound
    };
    void run();
    void queue(Utterance u);
    void playWithin(const Utterance& u);
    // Synthesises `u` at `rate` into `samples`, with the sample where each word starts.
    void synthesise(const Utterance& u, int rate, std::vector<float>& samples,
                    std::vector<std::size_t>& wordStarts);

    audio::AudioSink& sink_;
    bool available_ = false;
    int sampleRate_ = 22050;
    int language_ = 99;
    int speaker_ = 0;
    int speed_ = 100;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Utterance> pending_;
    bool busy_ = false;
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    audio::AudioStream* stream_ = nullptr;  // the worker's current stream
    // Quiet samples held back while streaming: played when sound follows them, dropped at
    // the end, so that a reading is over (busy() false) when its last sound has been heard,
    // not after espeak-ng's closing silence.
    std::vector<float> held_;
    // Synthesis into memory (a reading within a time): samples and word starts.
    std::vector<float>* collect_ = nullptr;
    std::vector<std::size_t>* words_ = nullptr;
    std::thread worker_;
};

}  // namespace vexil::speech
