// The entry point of the metafile module.
#include "platform/media_modules.h"
#include "platform/metafile/metafile_image.h"

extern "C" __attribute__((visibility("default"))) bool vexilRenderMetafile(const QByteArray* wmf,
                                                                           QImage* picture) {
    *picture = vexil::renderMetafile(*wmf);
    return !picture->isNull();
}
