#pragma once
// The desktop platform's sound, speech and joystick, each loaded from its module the first
// time it is used (see platform/media_modules.h). Until then they keep what the program sets
// (voice, language, speed) and answer what they can without the module.
#include <QImage>
#include <QString>
#include <memory>
#include <optional>

#include "platform/media_modules.h"

namespace vexil::media {

// The entry point `entry` of the module `file`, looked for beside the program, then on the
// library search path; null when it cannot be loaded. A loaded module stays loaded.
void* loadModuleEntry(const char* file, const char* entry);
// True when `file` lies beside the program.
bool moduleBesideProgram(const char* file);
// True when espeak-ng's data, with the Catalan voice, is where the library will look for it
// (ESPEAK_DATA_PATH, the home folder, the system's folder).
bool espeakDataPresent();

// The sound server's outputs, asked through the sound module (loaded for it); nothing when
// the module is missing or the server does not answer within `timeoutMs`.
std::optional<QList<std::pair<QString, QString>>> soundServerOutputs(int timeoutMs = 2000);

// The zip codec of the zip module, loaded the first time it is asked for; null when the
// module is missing.
ZipCodec* zipCodecInModule();

// A metafile drawn by the metafile module (a null image when it draws nothing or the
// module is missing).
QImage renderMetafileInModule(const QByteArray& wmf);

// The audio sink and what sounds into it, made on first use.
class LazyAudio {
public:
    LazyAudio(QString audioOut, bool noDevice)
        : audioOut_(std::move(audioOut)), noDevice_(noDevice) {}
    ~LazyAudio();
    LazyAudio(const LazyAudio&) = delete;
    LazyAudio& operator=(const LazyAudio&) = delete;

    // Null when the module cannot be loaded.
    SoundDevice* sound();
    SpeechDevice* speech();
    // What has been made so far, without making anything.
    SoundDevice* soundIfMade() { return sound_.get(); }
    SpeechDevice* speechIfMade() { return speech_.get(); }

private:
    AudioModule* module();
    audio::AudioSink* sink();
    QString audioOut_;
    bool noDevice_;
    bool tried_ = false;
    AudioModule* module_ = nullptr;
    std::unique_ptr<audio::AudioSink> sink_;
    std::unique_ptr<SoundDevice> sound_;
    std::unique_ptr<SpeechDevice> speech_;
};

class LazySound : public SoundPlayer {
public:
    explicit LazySound(LazyAudio& audio) : audio_(audio) {}
    bool playWave(const QString& path) override;
    void midiCommand(const QString& command) override;
    void beep() override;

private:
    LazyAudio& audio_;
};

// espeak-ng: present as soon as its module and data are, started with the first reading.
class LazySpeech : public SpeechEngine {
public:
    static constexpr int kSpeakers = 5;  // the embedded engine's voices
    explicit LazySpeech(LazyAudio& audio) : audio_(audio) {}
    bool available() override;
    int numberOfSpeakers() override { return kSpeakers; }
    void setLanguage(int languageCode) override;
    void setSpeaker(int speaker) override;
    void setSpeed(int speed) override;
    void resume() override;
    void read(const QString& text) override;
    void readWithin(const QString& text, int milliseconds) override;
    bool busy() override;

private:
    SpeechDevice* engine();
    LazyAudio& audio_;
    std::optional<bool> present_;
    std::optional<int> language_, speaker_, speed_;
};

// The recogniser of trained sounds: available when its module lies beside the program,
// loaded when it is first started.
class LazyRecognizer : public SoundRecognizer {
public:
    bool available() override;
    bool initialise(voice::VoiceModel& model, QString* error) override;
    void setRecognitionTenths(int tenths) override;
    bool start(const QStringList& labels, std::function<void(int)> recognised) override;
    void stop() override;
    bool listening() const override { return recognizer_ && recognizer_->listening(); }
    void setOwnSound(bool sounding) override {
        if (recognizer_) recognizer_->setOwnSound(sounding);
    }
    voice::VoiceModel* model() override { return recognizer_ ? recognizer_->model() : nullptr; }
    void modelChanged() override;
    bool recordTake(std::function<void(std::optional<voice::Take>)> done) override;
    void cancelTake() override;
    bool monitorLevel(std::function<void(float, float)> report) override;
    void onFailure(std::function<void(const QString&)> report) override;

private:
    SoundRecognizer* recognizer();
    bool tried_ = false;
    std::unique_ptr<SoundRecognizer> recognizer_;
    std::function<void(const QString&)> failure_;
};

class LazyJoystick : public Joystick {
public:
    std::optional<JoystickState> read(int index) override;

private:
    bool tried_ = false;
    std::unique_ptr<Joystick> joystick_;
};

}  // namespace vexil::media
