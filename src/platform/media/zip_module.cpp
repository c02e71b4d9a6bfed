// The entry point of the zip module.
#include "platform/media_modules.h"
#include "platform/zip/libzip_codec.h"

extern "C" __attribute__((visibility("default"))) vexil::ZipCodec* vexilZipModule() {
    return vexil::zip::libzipCodec();
}
