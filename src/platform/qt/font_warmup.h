#pragma once
// The fonts, read on a thread of their own while the program makes its application and reads
// its settings, profile and board: the window's first text (the menu bar's, laid out before
// the window is shown) needs them, and read on the way there they were the largest single
// cost of showing the board. Both steps are safe beside the program's own use: fontconfig
// sets its configuration atomically (a reading that loses the race is dropped), and Qt's
// font database is thread-safe, so the window at worst waits for what it would have read.
#include <thread>

namespace vexil {

// Before the application is made: fontconfig's configuration and caches.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

private:
    friend class FontDatabaseWarmUp;
    std::thread thread_;
};

// Once the application is made: Qt's font database filled, after the configuration. Made
// after the application, and so ended before it.
class FontDatabaseWarmUp {
public:
    explicit FontDatabaseWarmUp(FontConfigWarmUp& config);
    ~FontDatabaseWarmUp();
    FontDatabaseWarmUp(const FontDatabaseWarmUp&) = delete;
    FontDatabaseWarmUp& operator=(const FontDatabaseWarmUp&) = delete;

private:
    std::thread thread_;
};

}  // namespace vexil
