#include "platform/mouse.h"

namespace vexil {

const char* mouseActionName(MouseAction action) {
    switch (action) {
        case MouseAction::Move: return "move";
        case MouseAction::LeftDown: return "leftDown";
        case MouseAction::LeftUp: return "leftUp";
        case MouseAction::RightDown: return "rightDown";
        case MouseAction::RightUp: return "rightUp";
    }
    return "?";
}

}  // namespace vexil
