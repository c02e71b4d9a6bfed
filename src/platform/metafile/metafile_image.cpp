#include "platform/metafile/metafile_image.h"

#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace vexil {
namespace {

constexpr double kDotsPerInch = 96.0;

struct ApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

qint16 int16At(const QByteArray& b, int at) {
    return qint16(quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8);
}

// A placeable metafile's header names the frame it was drawn in; libwmf's scan gives only
// the bounds of what is drawn, so a drawing that leaves margins would be stretched over
// the whole picture. The frame in libwmf's device units (points, for placeable files).
std::optional<wmfD_Rect> placeableFrame(const QByteArray& wmf) {
    if (wmf.size() < 22 || quint8(wmf[0]) != 0xD7 || quint8(wmf[1]) != 0xCD ||
        quint8(wmf[2]) != 0xC6 || quint8(wmf[3]) != 0x9A)
        return std::nullopt;
    const int left = int16At(wmf, 6), top = int16At(wmf, 8);
    const int right = int16At(wmf, 10), bottom = int16At(wmf, 12);
    const int inch = quint16(int16At(wmf, 14));
    if (inch == 0 || left == right || top == bottom) return std::nullopt;
    const float points = 72.0f / float(inch);
    wmfD_Rect frame{};
    frame.TL.x = float(std::min(left, right)) * points;
    frame.TL.y = float(std::min(top, bottom)) * points;
    frame.BR.x = float(std::max(left, right)) * points;
    frame.BR.y = float(std::max(top, bottom)) * points;
    return frame;
}

}  // namespace

QImage renderMetafile(const QByteArray& wmf) {
    if (wmf.isEmpty()) return {};
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    // A damaged record is skipped rather than the whole picture lost; libwmf's own reports
    // would only reach standard error.
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* raw = nullptr;
    if (wmf_api_create(&raw, flags, &options) != wmf_E_None) {
        if (raw) wmf_api_destroy(raw);
        return {};
    }
    std::unique_ptr<wmfAPI, ApiDeleter> api(raw);
    auto* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;

    // libwmf reads from the buffer it is given without changing it, but asks for a
    // writable one; it must outlive the playing.
    std::vector<unsigned char> bytes(wmf.begin(), wmf.end());
    if (wmf_mem_open(api.get(), bytes.data(), long(bytes.size())) != wmf_E_None) return {};
    wmfD_Rect box{};
    if (wmf_scan(api.get(), 0, &box) != wmf_E_None) return {};
    unsigned int width = 0, height = 0;
    if (wmf_display_size(api.get(), &width, &height, kDotsPerInch, kDotsPerInch) != wmf_E_None ||
        width == 0 || height == 0)
        return {};
    const double larger = double(std::max(width, height));
    if (larger > kMaxMetafileSide) {
        const double scale = kMaxMetafileSide / larger;
        width = std::max(1u, unsigned(std::lround(width * scale)));
        height = std::max(1u, unsigned(std::lround(height * scale)));
    }
    if (const auto frame = placeableFrame(wmf)) box = *frame;
    device->bbox = box;
    device->width = width;
    device->height = height;
    if (wmf_play(api.get(), 0, &box) != wmf_E_None || !device->gd_image) return {};
    const int* pixels = wmf_gd_image_pixels(device->gd_image);
    if (!pixels) return {};

    // gd's true-colour pixels: 7 bits of transparency (0 opaque, 127 clear) above RGB.
    QImage image(int(width), int(height), QImage::Format_ARGB32);
    for (int y = 0; y < int(height); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int* from = pixels + std::size_t(y) * width;
        for (int x = 0; x < int(width); ++x) {
            const auto p = unsigned(from[x]);
            const int clear = int((p >> 24) & 0x7f);
            line[x] = qRgba(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff),
                            255 - (clear * 255 + 63) / 127);
        }
    }
    // The picture is copied before the player, which owns the pixels, is destroyed.
    return image;
}

}  // namespace vexil
