// The entry point of the sound and speech module.
#include "platform/audio/file_sink.h"
#include "platform/audio/pulse_outputs.h"
#include "platform/audio/sound_output.h"
#include "platform/media_modules.h"
#include "platform/speech/espeak_speech.h"

namespace vexil::media {
namespace {

class Audio : public AudioModule {
public:
    std::unique_ptr<audio::AudioSink> makeSink(const QString& audioOut, bool noDevice) override {
        if (!audioOut.isEmpty()) return std::make_unique<audio::FileSink>(audioOut);
        if (noDevice) return std::make_unique<audio::NullSink>();
        return std::make_unique<audio::PulseSink>();
    }
    std::unique_ptr<SoundDevice> makeSound(audio::AudioSink& sink) override {
        return std::make_unique<audio::SoundOutput>(sink);
    }
    std::unique_ptr<SpeechDevice> makeSpeech(audio::AudioSink& sink) override {
        return std::make_unique<speech::EspeakSpeech>(sink);
    }
    std::optional<QList<std::pair<QString, QString>>> outputs(int timeoutMs) override {
        return pulseOutputs(timeoutMs);
    }
};

}  // namespace
}  // namespace vexil::media

extern "C" __attribute__((visibility("default"))) vexil::media::AudioModule* vexilAudioModule() {
    static vexil::media::Audio module;
    return &module;
}
