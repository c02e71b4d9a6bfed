#include "platform/qt/font_warmup.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace vexil {

namespace {

// No thread to spare: Qt reads the fonts itself when it first needs them.
template <typename Work>
std::thread startIfPossible(Work work) {
    try {
        return std::thread(std::move(work));
    } catch (const std::system_error&) {
        return {};
    }
}

}  // namespace

FontConfigWarmUp::FontConfigWarmUp() : thread_(startIfPossible([] { FcInit(); })) {}

FontConfigWarmUp::~FontConfigWarmUp() {
    if (thread_.joinable()) thread_.join();
}

FontDatabaseWarmUp::FontDatabaseWarmUp(FontConfigWarmUp& config)
    : thread_(startIfPossible([&config] {
          // Only this thread waits for the configuration; its owner outlives this one.
          if (config.thread_.joinable()) config.thread_.join();
          QFontDatabase::families();
      })) {}

FontDatabaseWarmUp::~FontDatabaseWarmUp() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace vexil
