#include "platform/picture_files.h"

#include <QFile>
#include <QImageReader>

#include "platform/paths.h"

namespace vexil {
namespace {

MetafileRenderer metafileRenderer = nullptr;

bool isMetafile(const QByteArray& head) {
    // The placeable header's key, or a plain metafile's header (type 1 or 2, 9 words).
    if (head.startsWith(QByteArray::fromHex("d7cdc69a"))) return true;
    return head.size() >= 4 && (head[0] == 1 || head[0] == 2) && head[1] == 0 &&
           head[2] == 9 && head[3] == 0;
}

// The formats Qt reads itself, known by their first bytes: named to the reader, they are
// read without asking every image plugin (each loaded for the question) whether it knows
// the file.
QByteArray builtInFormat(const QByteArray& head) {
    if (head.startsWith("BM")) return QByteArrayLiteral("bmp");
    if (head.startsWith("\x89PNG\r\n\x1a\n")) return QByteArrayLiteral("png");
    return {};
}

}  // namespace

const QStringList& pictureExtensions() {
    static const QStringList list = {
        QStringLiteral(".BMP"), QStringLiteral(".DIB"), QStringLiteral(".PNG"),
        QStringLiteral(".JPG"), QStringLiteral(".JPEG"), QStringLiteral(".GIF"),
        QStringLiteral(".ICO"), QStringLiteral(".CUR"), QStringLiteral(".WMF"),
        QStringLiteral(".SVG")};
    return list;
}

bool isPictureName(const QString& name) {
    const QString file = fileNamePart(name).toUpper();
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot > 0 && pictureExtensions().contains(file.mid(dot));
}

QStringList picturePatterns() {
    QStringList out;
    for (const QString& e : pictureExtensions())
        out << u'*' + e.toLower() << u'*' + e;
    return out;
}

QString pictureDialogFilter() {
    const QStringList patterns = picturePatterns();
    return QStringLiteral("Imatges (") + patterns.join(u' ') + QStringLiteral(")|") +
           patterns.join(u';');
}

void setMetafileRenderer(MetafileRenderer renderer) {
    metafileRenderer = renderer;
}

QImage readPicture(const QString& realPath) {
    QFile file(realPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    if (isMetafile(file.peek(4))) {
        if (!metafileRenderer) return {};
        // A metafile is small; one that is not is no picture for a cover.
        constexpr qint64 kMaxMetafileBytes = 64 * 1024 * 1024;
        if (file.size() > kMaxMetafileBytes) return {};
        return metafileRenderer(file.readAll());
    }
    if (const QByteArray format = builtInFormat(file.peek(8)); !format.isEmpty()) {
        QImageReader reader(&file, format);
        reader.setAutoDetectImageFormat(false);
        reader.setAutoTransform(true);
        if (QImage picture = reader.read(); !picture.isNull()) return picture;
        // Not what its first bytes said: the plugins may know it.
        if (!file.seek(0)) return {};
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    return reader.read();
}

}  // namespace vexil
