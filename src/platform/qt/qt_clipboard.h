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
    // The window asks this program for the contents (X selection requests); the wait
    // ends when the requests have stopped coming.
    void pasteWith(const std::function<void()>& pressPasteKey) override;
    void setPasteTimeouts(int firstRequestMs, int quietMs) {
        firstRequestMs_ = firstRequestMs;
        quietMs_ = quietMs;
    }

private:
    int firstRequestMs_ = 1500;
    int quietMs_ = 100;
};

}  // namespace vexil
