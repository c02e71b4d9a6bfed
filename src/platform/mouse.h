#pragma once
// Synthetic pointer input in screen pixels.
#include <QPoint>
#include <cstdint>

namespace vexil {

enum class MouseAction : std::uint8_t { Move, LeftDown, LeftUp, RightDown, RightUp };

class Mouse {
public:
    virtual ~Mouse() = default;
    // Moves the pointer to (x, y) and performs the action there.
    virtual void perform(MouseAction action, int x, int y) = 0;
    virtual QPoint position() = 0;
};

const char* mouseActionName(MouseAction action);

}  // namespace vexil
