#pragma once
// The desktop clipboard through Qt (the X selection CLIPBOARD on X11).
#include "platform/clipboard.h"

namespace vexil {

class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    void setImage(const QImage& image) override;
    void setMetafile(const QByteArray& wmf) override;
    QString text() override;
    // The window asks this program for the contents (X selection requests); the wait
    // ends when the requests have stopped coming.
    void pasteWith(const std::function<void()>& pressPasteKey) override;

private:
    static constexpr int kFirstRequestMs = 1500;  // the longest wait for the first request
    static constexpr int kQuietMs = 100;          // no further request for this long: done
};

}  // namespace vexil
