#pragma once
// The zip codec over libzip: the code of the zip module (vexil-zip.so), and what the tests
// and the fuzzing build link directly.
#include "platform/zip_codec.h"

namespace vexil::zip {

// The one codec of the process.
ZipCodec* libzipCodec();

}  // namespace vexil::zip
