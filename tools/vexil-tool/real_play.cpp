#include "real_play.h"

#include <QElapsedTimer>
#include <QJsonValue>

#include "platform/qt/desktop_platform.h"

namespace vexil::tool {
namespace {

// Prints one effect unless a printed effect is being carried out (the keys of a paste).
class Printer {
public:
    std::function<void(const QJsonObject&)> print;
    bool quiet = false;
    int messages = 0;
    void operator()(const QJsonObject& e) const {
        if (print && !quiet) print(e);
    }
};

class PrintedWindows : public WindowSystem {
public:
    PrintedWindows(WindowSystem& w, Printer& p) : w_(w), p_(p) {}
    std::vector<WindowInfo> topLevelWindows() override { return w_.topLevelWindows(); }
    QString title(WindowHandle window) override { return w_.title(window); }
    bool activate(WindowHandle window) override {
        p_({{"op", "activate"}, {"title", w_.title(window)}});
        return w_.activate(window);
    }
    bool activateByTitle(const QString& title) override {
        p_({{"op", "activate"}, {"title", title}});
        return w_.activateByTitle(title);
    }
    QRect geometry(WindowHandle window) override { return w_.geometry(window); }
    bool moveResize(WindowHandle window, const QRect& r) override {
        p_({{"op", "place"}, {"window", double(window)}, {"x", r.x()}, {"y", r.y()},
            {"width", r.width()}, {"height", r.height()}});
        return w_.moveResize(window, r);
    }
    bool setTopMost(WindowHandle window, bool on) override { return w_.setTopMost(window, on); }
    bool close(WindowHandle window) override { return w_.close(window); }
    QString focusedProgramFile() override { return w_.focusedProgramFile(); }
    QString programFile(WindowHandle window) override { return w_.programFile(window); }
    bool ownWindowFocused() override { return w_.ownWindowFocused(); }
    QSize screenSize() override { return w_.screenSize(); }

private:
    WindowSystem& w_;
    Printer& p_;
};

class PrintedKeys : public KeySender {
public:
    PrintedKeys(KeySender& k, Printer& p) : k_(k), p_(p) {}
    int send(const KeySequence& keys) override {
        p_({{"op", "keys"}, {"text", keys.notation}});
        return k_.send(keys);
    }
    void waitUntilRead() override { k_.waitUntilRead(); }
    void restoreKeyboard() override { k_.restoreKeyboard(); }

private:
    KeySender& k_;
    Printer& p_;
};

class PrintedClipboard : public Clipboard {
public:
    PrintedClipboard(Clipboard& c, Printer& p) : c_(c), p_(p) {}
    void clear() override {
        p_({{"op", "clipboard"}, {"kind", "clear"}});
        c_.clear();
    }
    void setText(const QString& text) override {
        p_({{"op", "clipboard"}, {"kind", "text"}, {"text", text}});
        c_.setText(text);
    }
    void setImage(const QImage& image) override {
        p_({{"op", "clipboard"}, {"kind", "bitmap"},
            {"text", QStringLiteral("%1x%2").arg(image.width()).arg(image.height())}});
        c_.setImage(image);
    }
    void setMetafile(const QByteArray& wmf) override {
        p_({{"op", "clipboard"}, {"kind", "metafile"}, {"text", QString::number(wmf.size())}});
        c_.setMetafile(wmf);
    }
    QString text() override { return c_.text(); }
    void pasteWith(const std::function<void()>& pressPasteKey) override {
        c_.pasteWith(pressPasteKey);
    }

private:
    Clipboard& c_;
    Printer& p_;
};

class PrintedSound : public SoundPlayer {
public:
    PrintedSound(SoundPlayer& s, Printer& p) : s_(s), p_(p) {}
    bool playWave(const QString& path) override {
        p_({{"op", "wave"}, {"path", path}});
        return s_.playWave(path);
    }
    void midiCommand(const QString& command) override {
        p_({{"op", "midi"}, {"command", command}});
        s_.midiCommand(command);
    }
    void beep() override { s_.beep(); }

private:
    SoundPlayer& s_;
    Printer& p_;
};

// The engine operations under the names the program's engine gives them.
class PrintedSpeech : public SpeechEngine {
public:
    PrintedSpeech(SpeechEngine& s, Printer& p) : s_(s), p_(p) {}
    bool available() override { return s_.available(); }
    int numberOfSpeakers() override {
        call("upcTVGetNumberOfSpeakers", QJsonValue());
        return s_.numberOfSpeakers();
    }
    void setLanguage(int code) override {
        call("upcTVSetLanguage", code);
        s_.setLanguage(code);
    }
    void setSpeaker(int speaker) override {
        call("upcTVSetSpeaker", speaker);
        s_.setSpeaker(speaker);
    }
    void setSpeed(int speed) override {
        call("upcTVSetSpeed", speed);
        s_.setSpeed(speed);
    }
    void resume() override {
        call("upcTVResume", QJsonValue());
        s_.resume();
    }
    void read(const QString& text) override {
        call("upcTVRead", text);
        s_.read(text);
    }
    void readWithin(const QString& text, int milliseconds) override {
        p_({{"op", "speech"}, {"call", "upcTVRead"}, {"arg", text}, {"within", milliseconds}});
        s_.readWithin(text, milliseconds);
    }
    bool busy() override { return s_.busy(); }

private:
    void call(const char* name, const QJsonValue& arg) {
        p_({{"op", "speech"}, {"call", name}, {"arg", arg}});
    }
    SpeechEngine& s_;
    Printer& p_;
};

// Message boxes are printed and answered as a user pressing Enter would not be there to:
// Ok, or No to a question.
class PrintedDialogs : public Dialogs {
public:
    explicit PrintedDialogs(Printer& p) : p_(p) {}
    MessageAnswer message(const QString& text, const QString&, MessageButtons buttons,
                          MessageIcon) override {
        ++p_.messages;
        p_({{"op", "message"}, {"text", text}});
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    QString chooseFile(const FileDialogRequest&) override { return {}; }
    // Nobody is there to trust a board: it is used without its actions (--trust plays it
    // as trusted and never asks).
    bool askTrust(const TrustQuestion&) override { return false; }

private:
    Printer& p_;
};

DesktopOptions optionsFor(const QString& audioOut) {
    DesktopOptions o;
    o.audioOut = audioOut;
    return o;
}

}  // namespace

struct RealPlay::Parts {
    explicit Parts(const QString& audioOut)
        : desktop(optionsFor(audioOut)),
          windows(desktop.windows(), printer),
          keys(desktop.keys(), printer),
          clipboard(desktop.clipboard(), printer),
          sound(desktop.sound(), printer),
          speech(desktop.speech(), printer),
          dialogs(printer),
          platform{windows,  keys,   desktop.mouse(),    clipboard,          desktop.launcher(),
                   sound,    speech, desktop.joystick(), desktop.recognizer(), dialogs,
                   desktop.clock(), desktop.platform().desktopNotice} {}
    Printer printer;
    DesktopPlatform desktop;
    PrintedWindows windows;
    PrintedKeys keys;
    PrintedClipboard clipboard;
    PrintedSound sound;
    PrintedSpeech speech;
    PrintedDialogs dialogs;
    Platform platform;
};

RealPlay::RealPlay(const QString& audioOut) : parts_(std::make_unique<Parts>(audioOut)) {}

RealPlay::~RealPlay() = default;

Platform& RealPlay::platform() { return parts_->platform; }

bool RealPlay::hasDisplay() const { return parts_->desktop.hasDisplay(); }

void RealPlay::setClipboard(const QString& text) { parts_->desktop.clipboard().setText(text); }

WindowHandle RealPlay::findWindow(const QString& title) {
    for (const WindowInfo& w : parts_->desktop.windows().topLevelWindows())
        if (w.title == title) return w.handle;
    return 0;
}

void RealPlay::startRecording(std::function<void(const QJsonObject&)> print) {
    parts_->printer.print = std::move(print);
    // Which way the keys go, and what the desktop does not allow, before anything is typed.
    QJsonObject input{{"op", "input"}, {"backend", parts_->desktop.inputBackend()}};
    const QString notice = parts_->platform.desktopNotice;
    if (!notice.isEmpty()) input.insert(QStringLiteral("notice"), notice);
    parts_->printer(input);
}

void RealPlay::setQuiet(bool quiet) { parts_->printer.quiet = quiet; }

int RealPlay::messageCount() const { return parts_->printer.messages; }

void RealPlay::finish() {
    parts_->desktop.waitForSound(60000);
    // The target may still be asking this program for the clipboard it pasted.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) parts_->desktop.clock().wait(20);
}

}  // namespace vexil::tool
