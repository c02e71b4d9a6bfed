#pragma once
// `vexil-tool play --real`: the desktop platform (the X display in DISPLAY, real sound and
// speech) with every call printed as the recording platform prints it. Message boxes are
// printed, never shown: the tool runs unattended.
#include <QJsonObject>
#include <functional>
#include <memory>
#include <optional>

#include "platform/platform.h"

namespace vexil::tool {

class RealPlay {
public:
    // `audioOut`: every sound goes into this WAV file instead of the sound device.
    explicit RealPlay(const QString& audioOut);
    ~RealPlay();

    Platform& platform();
    bool hasDisplay() const;
    void setClipboard(const QString& text);
    // The top-level window titled exactly `title`, or 0.
    WindowHandle findWindow(const QString& title);
    void startRecording(std::function<void(const QJsonObject&)> print);
    void setQuiet(bool quiet);
    int messageCount() const;
    // Lets music and speech under way end and the clipboard be read before the tool exits.
    void finish();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace vexil::tool
