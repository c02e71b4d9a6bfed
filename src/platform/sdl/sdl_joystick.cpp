#include "platform/sdl/sdl_joystick.h"

#include <SDL.h>

#include <algorithm>

namespace vexil::sdl {

SdlJoystick::SdlJoystick() {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would otherwise take SIGINT and SIGTERM for its own quit event, which this
    // program never reads: the program could then not be ended by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    // Sticks are read on demand; their events would only pile up in a queue nobody empties.
    if (started_) SDL_JoystickEventState(SDL_IGNORE);
}

SdlJoystick::~SdlJoystick() {
    for (Slot& slot : slots_) release(slot);
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SdlJoystick::release(Slot& slot) {
    if (slot.stick) SDL_JoystickClose(slot.stick);
    slot = Slot{};
}

void SdlJoystick::refresh() {
    // Updates the open sticks and looks for sticks connected or removed since the last call.
    SDL_JoystickUpdate();
    const int count = std::max(SDL_NumJoysticks(), 0);
    std::vector<int> present;
    present.reserve(size_t(count));
    for (int i = 0; i < count; ++i) present.push_back(SDL_JoystickGetDeviceInstanceID(i));
    for (Slot& slot : slots_) {
        if (slot.instance < 0) continue;
        const bool listed = std::find(present.begin(), present.end(), slot.instance) != present.end();
        if (!listed || (slot.stick && !SDL_JoystickGetAttached(slot.stick))) release(slot);
    }
    for (int instance : present) {
        if (instance < 0) continue;
        const auto known = std::find_if(slots_.begin(), slots_.end(),
                                        [&](const Slot& s) { return s.instance == instance; });
        if (known != slots_.end()) continue;
        auto free = std::find_if(slots_.begin(), slots_.end(),
                                 [](const Slot& s) { return s.instance < 0; });
        if (free == slots_.end()) free = slots_.insert(slots_.end(), Slot{});
        free->instance = instance;
    }
}

std::optional<JoystickState> SdlJoystick::read(int index) {
    if (!started_ || index < 0) return std::nullopt;
    refresh();
    if (size_t(index) >= slots_.size() || slots_[size_t(index)].instance < 0) return std::nullopt;
    Slot& slot = slots_[size_t(index)];
    if (!slot.stick) {
        const int count = SDL_NumJoysticks();
        for (int i = 0; i < count && !slot.stick; ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == slot.instance) slot.stick = SDL_JoystickOpen(i);
        if (!slot.stick) return std::nullopt;
        SDL_JoystickUpdate();
    }
    SDL_Joystick* stick = slot.stick;
    if (!SDL_JoystickGetAttached(stick)) {
        release(slot);
        return std::nullopt;
    }
    JoystickState state;
    const int axes = SDL_JoystickNumAxes(stick);
    auto axis = [&](int a) {
        return a < axes ? std::int32_t(SDL_JoystickGetAxis(stick, a)) + 32768 : 32768;
    };
    state.x = axis(0);
    state.y = axis(1);
    state.z = axis(2);
    if (SDL_JoystickNumHats(stick) > 0) {
        const Uint8 hat = SDL_JoystickGetHat(stick, 0);
        if (hat & SDL_HAT_LEFT) state.x = 0;
        if (hat & SDL_HAT_RIGHT) state.x = 65535;
        if (hat & SDL_HAT_UP) state.y = 0;
        if (hat & SDL_HAT_DOWN) state.y = 65535;
    }
    const int buttons = std::min(SDL_JoystickNumButtons(stick), 32);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(stick, b)) state.buttons |= 1u << b;
    return state;
}

}  // namespace vexil::sdl
