#include "platform/qt/font_warmup.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace vexil {

FontConfigWarmUp::FontConfigWarmUp() {
    try {
        // Safe beside Qt's own first call: fontconfig sets its configuration atomically, and
        // a reading that loses the race is dropped.
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: Qt reads the configuration itself when it first needs it.
    }
}

FontConfigWarmUp::~FontConfigWarmUp() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace vexil
