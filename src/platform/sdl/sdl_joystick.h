#pragma once
// Joysticks and game pads through SDL2, read even while another window has the focus (the
// board never has it when the user works another program). Nothing here opens a window:
// only SDL's joystick part is started, and it is read when asked, never from its event
// queue.
#include <optional>
#include <vector>

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
    // -32768..32767 moved up); buttons as bits, button 1 in bit 0. The first hat (the
    // cross of a game pad) counts as the stick pushed fully its way.
    //
    // Numbers are places a joystick keeps while it stays connected, as the old system
    // numbered them: the sticks present take 0, 1, ... in SDL's order; one connected later
    // takes the lowest free number; one unplugged leaves its number free (reads give
    // nothing) rather than moving the others down, so a stick never answers for another.
    std::optional<JoystickState> read(int index) override;

private:
    struct Slot {
        int instance = -1;  // SDL's instance id; -1 free
        _SDL_Joystick* stick = nullptr;
    };
    // Runs SDL's detection and brings the numbers in step with the sticks connected now.
    void refresh();
    void release(Slot& slot);

    bool started_ = false;
    std::vector<Slot> slots_;
};

}  // namespace vexil::sdl
