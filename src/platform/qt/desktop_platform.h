#pragma once
// The real platform of the desktop program: X11 for windows, keys and the mouse, Qt for
// the clipboard, dialogs, programs and time, PulseAudio (or a file) for sound, espeak-ng
// for speech, SDL2 for joysticks; the last three from modules loaded on first use.
#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/platform.h"

namespace vexil {

namespace speech {
class QtSpeech;
}  // namespace speech
namespace x11 {
class Connection;
class X11Windows;
class X11KeySender;
class X11Mouse;
}  // namespace x11

// Which engine speaks: the embedded espeak-ng, or the desktop's speech service.
enum class SpeechService { Embedded, Desktop };
// VEXIL_SPEECH=desktop chooses the desktop's service; anything else the embedded engine.
SpeechService speechServiceFromEnvironment();

struct DesktopOptions {
    QByteArray display;      // the X display; empty takes DISPLAY
    QString audioOut;        // when set, every sound goes into this WAV file
    bool noAudioDevice = false;  // play nothing but keep the time sounds take
    bool speech = true;      // start the speech engine
    // The desktop's service speaks only to the sound device: with `audioOut` set, or when
    // it has no engine, the embedded engine speaks.
    SpeechService speechService = speechServiceFromEnvironment();
    // Where private per-user data lives (the remote-desktop consent's restore token); empty:
    // the XDG data folder's vexil/.
    QString dataFolder;
};

class DesktopPlatform {
public:
    explicit DesktopPlatform(const DesktopOptions& options = {});
    ~DesktopPlatform();
    DesktopPlatform(const DesktopPlatform&) = delete;
    DesktopPlatform& operator=(const DesktopPlatform&) = delete;

    // False when neither an X display nor a Wayland way to send keys could be opened (keys,
    // windows and mouse then fail).
    bool hasDisplay() const;
    // Which way keys and the pointer go: "x11", "wlroots" or "remote-desktop".
    QString inputBackend() const;
    // Waits until music and speech under way have finished (before a script ends).
    void waitForSound(int maxMilliseconds);

    Platform& platform() { return *platform_; }
    // The parts, for callers that wrap them (the tool records what each one does).
    WindowSystem& windows();
    KeySender& keys();
    Mouse& mouse();
    Clipboard& clipboard();
    Launcher& launcher();
    SoundPlayer& sound();
    SpeechEngine& speech();
    Joystick& joystick();
    SoundRecognizer& recognizer();
    Dialogs& dialogs();
    Clock& clock();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    std::unique_ptr<Platform> platform_;
};

}  // namespace vexil
