#pragma once
// The desktop clipboard.
#include <functional>

#include <QImage>
#include <QString>

namespace vexil {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setImage(const QImage& image) = 0;
    // A Windows metafile (already read from its file) offered as a picture: the platform
    // draws it.
    virtual void setMetafile(const QByteArray& wmf) = 0;
    virtual QString text() = 0;
    // Runs `pressPasteKey`, which makes the active window paste, and returns once that
    // window has fetched the contents (or has not asked for them within a moment), so that
    // keys typed next land after the pasted text.
    virtual void pasteWith(const std::function<void()>& pressPasteKey) = 0;
};

}  // namespace vexil
