#pragma once
// The desktop clipboard through Qt (the X selection CLIPBOARD on X11).
#include "platform/clipboard.h"

namespace vexil {

class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    void setImage(const QImage& image) override;
    void setMetafile(const QByteArray& wmf, const QImage& rendered) override;
    QString text() override;
};

}  // namespace vexil
