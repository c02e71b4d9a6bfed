// The entry point of the joystick module.
#include "platform/media_modules.h"
#include "platform/sdl/sdl_joystick.h"

namespace vexil::media {
namespace {

class Joysticks : public JoystickModule {
public:
    std::unique_ptr<Joystick> makeJoystick() override {
        return std::make_unique<sdl::SdlJoystick>();
    }
};

}  // namespace
}  // namespace vexil::media

extern "C" __attribute__((visibility("default"))) vexil::media::JoystickModule*
vexilJoystickModule() {
    static vexil::media::Joysticks module;
    return &module;
}
