#pragma once
// Joystick position and buttons.
#include <cstdint>
#include <optional>

namespace vexil {

struct JoystickState {
    std::int32_t x = 0, y = 0, z = 0;
    std::uint32_t buttons = 0;
};

class Joystick {
public:
    virtual ~Joystick() = default;
    // The state of joystick `index` (0-based), or nothing when it does not answer.
    virtual std::optional<JoystickState> read(int index) = 0;
};

}  // namespace vexil
