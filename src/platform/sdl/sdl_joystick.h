#pragma once
// Joysticks through SDL2, read even while another window has the focus (the board never
// has it when the user works another program).
#include <map>

#include "platform/joystick.h"

struct _SDL_Joystick;

namespace vexil::sdl {

class SdlJoystick : public Joystick {
public:
    SdlJoystick();
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    bool started() const { return started_; }
    // Axes come as the old joystick interface gave them: 0 to 65535, 32768 at rest (SDL's
    // -32768..32767 moved up); buttons as bits, button 1 in bit 0.
    std::optional<JoystickState> read(int index) override;

private:
    bool started_ = false;
    std::map<int, _SDL_Joystick*> open_;
};

}  // namespace vexil::sdl
