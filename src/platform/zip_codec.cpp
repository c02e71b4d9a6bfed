#include "platform/zip_codec.h"

namespace vexil {
namespace {

ZipCodecSource codecSource = nullptr;

}  // namespace

void setZipCodecSource(ZipCodecSource source) {
    codecSource = source;
}

ZipCodec* zipCodec(QString* error) {
    ZipCodec* codec = codecSource ? codecSource() : nullptr;
    if (!codec && error)
        *error = QStringLiteral(
            "zip packages cannot be read or written here: the program's zip "
            "module (vexil-zip.so) is missing");
    return codec;
}

}  // namespace vexil
