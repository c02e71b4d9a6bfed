#include "platform/sdl/sdl_joystick.h"

#include <SDL.h>

namespace vexil::sdl {

SdlJoystick::SdlJoystick() {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would otherwise take SIGINT and SIGTERM for its own quit event, which this
    // program never reads: the program could then not be ended by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

SdlJoystick::~SdlJoystick() {
    for (auto& [index, stick] : open_) SDL_JoystickClose(stick);
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

std::optional<JoystickState> SdlJoystick::read(int index) {
    if (!started_ || index < 0) return std::nullopt;
    SDL_JoystickUpdate();
    auto it = open_.find(index);
    if (it != open_.end() && !SDL_JoystickGetAttached(it->second)) {
        SDL_JoystickClose(it->second);
        open_.erase(it);
        it = open_.end();
    }
    if (it == open_.end()) {
        if (index >= SDL_NumJoysticks()) return std::nullopt;
        SDL_Joystick* stick = SDL_JoystickOpen(index);
        if (!stick) return std::nullopt;
        it = open_.emplace(index, stick).first;
        SDL_JoystickUpdate();
    }
    SDL_Joystick* stick = it->second;
    JoystickState state;
    const int axes = SDL_JoystickNumAxes(stick);
    auto axis = [&](int a) { return a < axes ? std::int32_t(SDL_JoystickGetAxis(stick, a)) + 32768 : 32768; };
    state.x = axis(0);
    state.y = axis(1);
    state.z = axis(2);
    const int buttons = std::min(SDL_JoystickNumButtons(stick), 32);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(stick, b)) state.buttons |= 1u << b;
    return state;
}

}  // namespace vexil::sdl
