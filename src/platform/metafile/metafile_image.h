#pragma once
// Windows metafiles (.WMF) drawn into a picture, since the programs of this desktop paste
// pictures and not metafiles.
#include <QByteArray>
#include <QImage>

namespace vexil {

// The largest side a drawn metafile gets; a larger one is scaled down to it, so that a
// file naming an absurd size cannot take the memory.
inline constexpr int kMaxMetafileSide = 4096;

// Draws a metafile (placeable or not) at its own size, 96 dots an inch, on white. A null
// image when the data is no metafile libwmf can play.
QImage renderMetafile(const QByteArray& wmf);

}  // namespace vexil
