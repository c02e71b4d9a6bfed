#pragma once
// The desktop clipboard.
#include <QImage>
#include <QString>

namespace vexil {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setImage(const QImage& image) = 0;
    // A Windows metafile (already read from its file) offered as a picture.
    virtual void setMetafile(const QByteArray& wmf, const QImage& rendered) = 0;
    virtual QString text() = 0;
};

}  // namespace vexil
