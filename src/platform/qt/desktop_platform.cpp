#include "platform/qt/desktop_platform.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <thread>

#include "platform/media/media_loader.h"
#include "platform/picture_files.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_launcher.h"
#include "platform/qt/qt_speech.h"
#include "platform/wayland/input_choice.h"
#include "platform/wayland/remote_desktop_input.h"
#include "platform/wayland/wayland_windows.h"
#include "platform/wayland/wlr_input.h"
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
    bool busy() override { return false; }
};

QSize qtScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualSize() : QSize();
}

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
        chooseInput(o);
    }

    // Keys and the pointer: XTest on X11; on a Wayland session the compositor's own ways,
    // in the order chooseInput gives, XTest last (it reaches only XWayland's clients).
    void chooseInput(const DesktopOptions& o) {
        using namespace wayland;
        const InputChoice choice = wayland::chooseInput(SessionEnvironment::current());
        QStringList refusals;
        if (!choice.error.isEmpty()) refusals << choice.error;
        for (InputBackend b : choice.order) {
            QString why;
            if (b == InputBackend::Wlroots) {
                wlr = WlrInput::connect({}, &why);
                if (wlr) {
                    activeKeys = &wlr->keys();
                    activeMouse = &wlr->mouse();
                    waylandWindows = std::make_unique<WaylandWindows>(wlr->windows(), qtScreenSize);
                    backendName = QStringLiteral("wlroots");
                    if (!wlr->windows()) notice = windowsNotice();
                    return;
                }
            } else if (b == InputBackend::RemoteDesktop) {
                const QString folder =
                    o.dataFolder.isEmpty()
                        ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                              QStringLiteral("/vexil")
                        : o.dataFolder;
                remote = RemoteDesktopInput::connect(choice.route, folder, &why);
                if (remote) {
                    activeKeys = &remote->keys();
                    activeMouse = &remote->mouse();
                    waylandWindows = std::make_unique<WaylandWindows>(nullptr, qtScreenSize);
                    backendName = QStringLiteral("remote-desktop");
                    notice = windowsNotice();
                    return;
                }
            } else {
                backendName = QStringLiteral("x11");
                if (choice.waylandSession) {
                    refusals.removeAll(QString());
                    notice = QStringLiteral(
                                 "Vexil no puede enviar teclas ni mover el ratón en las "
                                 "aplicaciones de este escritorio Wayland (%1): solo las "
                                 "aplicaciones X11 las recibirán.")
                                 .arg(refusals.join(QStringLiteral("; ")));
                }
                return;
            }
            refusals << why;
        }
    }

    static QString windowsNotice() {
        return QStringLiteral(
            "En este escritorio Wayland las teclas van a la aplicación que tiene el foco: "
            "Vexil no puede activar, colocar ni cerrar las ventanas de otras aplicaciones. "
            "El plafón no toma el foco; las teclas del teclado no le llegan como "
            "conmutador: use un botón del ratón, un joystick o la voz.");
    }

    WindowSystem& activeWindows() {
        return waylandWindows ? static_cast<WindowSystem&>(*waylandWindows)
                              : static_cast<WindowSystem&>(windows);
    }

    x11::Connection connection;
    x11::X11Windows windows;
    x11::X11KeySender keys;
    x11::X11Mouse mouse;
    std::unique_ptr<wayland::WlrInput> wlr;
    std::unique_ptr<wayland::RemoteDesktopInput> remote;
    std::unique_ptr<wayland::WaylandWindows> waylandWindows;
    KeySender* activeKeys = &keys;
    Mouse* activeMouse = &mouse;
    QString backendName;
    QString notice;
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
    platform_ = std::make_unique<Platform>(
        Platform{p.activeWindows(), *p.activeKeys, *p.activeMouse, p.clipboard, p.launcher,
                 p.sound, p.speechEngine(), p.joystick, p.recognizer, p.dialogs, p.clock,
                 p.notice});
    // Metafile pictures on boards and covers are drawn by the metafile module.
    setMetafileRenderer(&media::renderMetafileInModule);
    // Open Board Format packages are zipped by the zip module.
    setZipCodecSource(&media::zipCodecInModule);
}

DesktopPlatform::~DesktopPlatform() = default;

bool DesktopPlatform::hasDisplay() const {
    return parts_->connection.valid() || parts_->backendName != u"x11";
}

QString DesktopPlatform::inputBackend() const { return parts_->backendName; }

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
