#pragma once
// The desktop's font configuration (fontconfig's files and caches), read on a thread of its
// own while the program makes its application and reads its settings, profile and board:
// the window's first text (the menu bar's, laid out before the window is shown) needs it,
// and read on the way there it was the largest single cost of showing the board.
#include <thread>

namespace vexil {

class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    // Waits for the reading, which has long ended by then.
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

private:
    std::thread thread_;
};

}  // namespace vexil
