#pragma once
// A small made-up core keyboard map shared by the key sender's tests (keys_test.cpp says
// what each keycode carries).
#include "platform/x11/key_layout.h"

namespace vexil::x11 {
CoreKeymap sampleMap();
}
