#include "platform/qt/desktop_platform.h"

#include <QElapsedTimer>
#include <thread>

#include "platform/media/media_loader.h"
#include "template/picture_files.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_launcher.h"
#include "platform/qt/qt_speech.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_keys.h"
#include "platform/x11/x11_mouse.h"
#include "platform/x11/x11_windows.h"

namespace vexil {
namespace {

// A speech engine that is not there: every request does nothing.
class AbsentSpeech : public SpeechEngine {
public:
    bool available() override { return false; }
    int numberOfSpeakers() override { return 0; }
    void setLanguage(int) override {}
    void setSpeaker(int) override {}
    void setSpeed(int) override {}
    void resume() override {}
    void read(const QString&) override {}
};

}  // namespace

SpeechService speechServiceFromEnvironment() {
    return qgetenv("VEXIL_SPEECH").trimmed().toLower() == "desktop" ? SpeechService::Desktop
                                                                     : SpeechService::Embedded;
}

struct DesktopPlatform::Parts {
    explicit Parts(const DesktopOptions& o)
        : connection(o.display),
          windows(connection),
          keys(connection),
          mouse(connection),
          audio(o.audioOut, o.noAudioDevice),
          sound(audio) {
        if (o.speech && o.speechService == SpeechService::Desktop && o.audioOut.isEmpty()) {
            desktopSpeech = std::make_unique<speech::QtSpeech>();
            if (!desktopSpeech->available()) {
                qWarning("vexil: the desktop's speech service has no engine; espeak-ng speaks");
                desktopSpeech.reset();
            }
        }
        if (o.speech && !desktopSpeech) espeak = std::make_unique<media::LazySpeech>(audio);
        // While the key sender waits for the target, the program keeps answering it (a
        // paste asks this program for the clipboard's contents).
        keys.setIdle([this] { clock.processEvents(); });
    }
    x11::Connection connection;
    x11::X11Windows windows;
    x11::X11KeySender keys;
    x11::X11Mouse mouse;
    QtClipboard clipboard;
    QtLauncher launcher;
    // Sound, the embedded speech engine, joysticks and the recogniser load their modules on
    // first use.
    media::LazyAudio audio;
    media::LazySound sound;
    std::unique_ptr<media::LazySpeech> espeak;
    std::unique_ptr<speech::QtSpeech> desktopSpeech;
    AbsentSpeech noSpeech;
    media::LazyJoystick joystick;
    media::LazyRecognizer recognizer;
    QtDialogs dialogs;
    QtClock clock;

    SpeechEngine& speechEngine() {
        if (desktopSpeech) return *desktopSpeech;
        return espeak ? static_cast<SpeechEngine&>(*espeak) : static_cast<SpeechEngine&>(noSpeech);
    }
};

DesktopPlatform::DesktopPlatform(const DesktopOptions& options)
    : parts_(std::make_unique<Parts>(options)) {
    Parts& p = *parts_;
    platform_ = std::make_unique<Platform>(Platform{p.windows, p.keys, p.mouse, p.clipboard,
                                                    p.launcher, p.sound, p.speechEngine(),
                                                    p.joystick, p.recognizer, p.dialogs, p.clock});
    // Metafile pictures on boards and covers are drawn by the metafile module.
    setMetafileRenderer(&media::renderMetafileInModule);
}

DesktopPlatform::~DesktopPlatform() = default;

bool DesktopPlatform::hasDisplay() const { return parts_->connection.valid(); }

void DesktopPlatform::waitForSound(int maxMilliseconds) {
    QElapsedTimer timer;
    timer.start();
    if (media::SpeechDevice* espeak = parts_->audio.speechIfMade()) espeak->waitUntilDone();
    if (parts_->desktopSpeech) parts_->desktopSpeech->waitUntilDone(maxMilliseconds);
    media::SoundDevice* sound = parts_->audio.soundIfMade();
    if (!sound) return;
    while (sound->midiPlaying() && timer.elapsed() < maxMilliseconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Music longer than that is cut short.
    sound->midiCommand(QStringLiteral("close ") + sound->midiName());
}

WindowSystem& DesktopPlatform::windows() { return platform_->windows; }
KeySender& DesktopPlatform::keys() { return platform_->keys; }
Mouse& DesktopPlatform::mouse() { return platform_->mouse; }
Clipboard& DesktopPlatform::clipboard() { return platform_->clipboard; }
Launcher& DesktopPlatform::launcher() { return platform_->launcher; }
SoundPlayer& DesktopPlatform::sound() { return platform_->sound; }
SpeechEngine& DesktopPlatform::speech() { return platform_->speech; }
Joystick& DesktopPlatform::joystick() { return platform_->joystick; }
SoundRecognizer& DesktopPlatform::recognizer() { return platform_->recognizer; }
Dialogs& DesktopPlatform::dialogs() { return platform_->dialogs; }
Clock& DesktopPlatform::clock() { return platform_->clock; }

}  // namespace vexil
