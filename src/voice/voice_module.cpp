// The entry point of the voice recogniser's module.
#include "platform/media_modules.h"
#include "voice/trained_recognizer.h"

namespace vexil::media {
namespace {

class Voice : public VoiceModule {
public:
    std::unique_ptr<SoundRecognizer> makeRecognizer() override {
        return std::make_unique<voice::TrainedSoundRecognizer>();
    }
};

}  // namespace
}  // namespace vexil::media

extern "C" __attribute__((visibility("default"))) vexil::media::VoiceModule* vexilVoiceModule() {
    static vexil::media::Voice module;
    return &module;
}
