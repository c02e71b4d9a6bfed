#pragma once
// A platform that records every call, in order, as one JSON object each, and can be
// scripted: which windows exist, what a started program opens, the clipboard, the time,
// the answers of message boxes and file dialogs. Tests and vexil-tool run on it.
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace vexil {

class FakeRecorder {
public:
    void record(QJsonObject event);
    const std::vector<QJsonObject>& events() const { return events_; }
    // Events whose "op" is `op`.
    std::vector<QJsonObject> eventsOf(const QString& op) const;
    void clear() { events_.clear(); }
    // Called with each event as it is recorded (vexil-tool prints them as they happen).
    std::function<void(const QJsonObject&)> onEvent;
    // Timer changes are recorded only when asked for.
    bool recordTimers = false;

private:
    std::vector<QJsonObject> events_;
};

class FakeWindows : public WindowSystem {
public:
    explicit FakeWindows(FakeRecorder& r) : rec_(r) {}
    // Opens a window (on top) and returns its handle.
    WindowHandle addWindow(const QString& title, ProcessId pid = 0, QString programFile = {});
    void removeWindow(WindowHandle window);
    WindowHandle active() const { return active_; }
    void setFocusedProgramFile(const QString& path) { focusedProgramFile_ = path; }
    void setScreenSize(QSize s) { screen_ = s; }
    // A desktop that lists no other windows (Wayland): the one window it names is the
    // focused application (returned); the started programs come up after `readyAfter` polls.
    WindowHandle hideOtherWindows(int readyAfter);

    std::vector<WindowInfo> topLevelWindows() override;
    QString title(WindowHandle window) override;
    bool activate(WindowHandle window) override;
    bool activateByTitle(const QString& title) override;
    QRect geometry(WindowHandle window) override;
    bool moveResize(WindowHandle window, const QRect& pixels) override;
    bool setTopMost(WindowHandle window, bool on) override;
    bool raise(WindowHandle window) override;
    bool close(WindowHandle window) override;
    QString focusedProgramFile() override;
    QString programFile(WindowHandle window) override;
    bool ownWindowFocused() override;
    QSize screenSize() override { return screen_; }
    bool listsWindows() override { return listsWindows_; }
    bool programReady(ProcessId) override { return --readyAfter_ <= 0; }

private:
    struct Win {
        WindowInfo info;
        QRect rect;
        QString programFile;
        bool topMost = false;
    };
    Win* find(WindowHandle window);
    FakeRecorder& rec_;
    std::vector<Win> windows_;  // topmost first
    WindowHandle next_ = 0x1000;
    WindowHandle active_ = 0;
    QString focusedProgramFile_;
    QSize screen_{1024, 768};
    bool listsWindows_ = true;
    int readyAfter_ = 0;
    WindowHandle focusedApplication_ = 0;
};

class FakeKeys : public KeySender {
public:
    explicit FakeKeys(FakeRecorder& r) : rec_(r) {}
    int send(const KeySequence& keys) override;
    void waitUntilRead() override {}  // the fake target reads keys as they are sent
    void restoreKeyboard() override { ++restores; }
    int failWith = 0;  // a non-zero code makes every send fail with it
    int restores = 0;  // how often the keyboard map was given back
    std::int64_t strokesSent = 0;  // keystrokes of every send so far

private:
    FakeRecorder& rec_;
};

class FakeMouse : public Mouse {
public:
    explicit FakeMouse(FakeRecorder& r) : rec_(r) {}
    void perform(MouseAction action, int x, int y) override;
    QPoint position() override { return pos_; }

private:
    FakeRecorder& rec_;
    QPoint pos_;
};

class FakeClipboard : public Clipboard {
public:
    explicit FakeClipboard(FakeRecorder& r) : rec_(r) {}
    void clear() override;
    void setText(const QString& text) override;
    void setImage(const QImage& image) override;
    void setMetafile(const QByteArray& wmf) override;
    QString text() override { return text_; }
    // The fake target takes the contents at once.
    void pasteWith(const std::function<void()>& pressPasteKey) override { pressPasteKey(); }
    void preset(const QString& text) { text_ = text; }

private:
    FakeRecorder& rec_;
    QString text_;
};

class FakeLauncher : public Launcher {
public:
    FakeLauncher(FakeRecorder& r, FakeWindows& w) : rec_(r), windows_(w) {}
    // A started program whose name contains `nameFragment` (no regard to case) opens a
    // window titled `title`.
    void opensWindow(const QString& nameFragment, const QString& title);
    ProcessId start(const QString& program, const QStringList& arguments) override;
    // "/usr/bin/" + name, or with `searchPathOnly` only the names of `searchPath`.
    QString findProgram(const QString& name) override;
    // A started program whose name contains `nameFragment` ends at once, with no window.
    void endsAtOnce(const QString& nameFragment) { endsAtOnce_ << nameFragment; }
    bool running(ProcessId pid) override { return !ended_.contains(pid); }
    QMap<QString, QString> searchPath;  // name to full path
    bool searchPathOnly = false;
    // Every start, as "program arg1 arg2".
    QStringList started;

private:
    FakeRecorder& rec_;
    FakeWindows& windows_;
    QStringList endsAtOnce_;
    QSet<ProcessId> ended_;
    std::vector<std::pair<QString, QString>> rules_;
    ProcessId nextPid_ = 100;
};

class FakeSound : public SoundPlayer {
public:
    explicit FakeSound(FakeRecorder& r) : rec_(r) {}
    bool playWave(const QString& path) override;
    void midiCommand(const QString& command) override;
    void beep() override;

private:
    FakeRecorder& rec_;
};

// Readings take virtual time, as the cue voice does: 200 ms plus `millisecondsPerCharacter`
// for each character said. A reading within a time drops whole words from its end until
// it fits (the first word stays) and records what it says and the time it was given.
class FakeSpeech : public SpeechEngine {
public:
    FakeSpeech(FakeRecorder& r, Clock& clock) : rec_(r), clock_(clock) {}
    bool installed = false;
    int speakers = 4;
    int millisecondsPerCharacter = 50;
    bool available() override { return installed; }
    int numberOfSpeakers() override;
    void setLanguage(int languageCode) override;
    void setSpeaker(int speaker) override;
    void setSpeed(int speed) override;
    void resume() override;
    void read(const QString& text) override;
    void readWithin(const QString& text, int milliseconds) override;
    bool busy() override { return clock_.now() < speakingUntil_; }
    // When the reading under way ends (virtual milliseconds).
    std::int64_t speakingUntil() const { return speakingUntil_; }

private:
    int duration(const QString& text) const;
    FakeRecorder& rec_;
    Clock& clock_;
    std::int64_t speakingUntil_ = 0;
};

class FakeJoystick : public Joystick {
public:
    std::map<int, JoystickState> sticks;
    std::optional<JoystickState> read(int index) override;
};

class FakeRecognizer : public SoundRecognizer {
public:
    bool installed = false;
    // initialise() fails while this is set (no capture device).
    bool startFails = false;
    int tenths = 0;
    bool available() override { return installed; }
    bool initialise(voice::VoiceModel& model, QString* error) override;
    void setRecognitionTenths(int t) override { tenths = t; }
    bool start(const QStringList& labels, std::function<void(int)> recognised) override;
    void stop() override;
    bool listening() const override { return bool(recognised_); }
    // What the program last said of its own output (setOwnSound).
    bool ownSound = false;
    void setOwnSound(bool sounding) override { ownSound = sounding; }
    voice::VoiceModel* model() override { return model_; }
    bool recordTake(std::function<void(std::optional<voice::Take>)> done) override;
    void cancelTake() override;
    bool monitorLevel(std::function<void(float, float)> report) override;
    void onFailure(std::function<void(const QString&)> report) override { failure_ = report; }
    // Pretends label `index` (1-based) was heard.
    void hear(int index);
    // Hands the take being recorded its sound (nothing: recording failed).
    bool deliverTake(std::optional<voice::Take> take);
    bool recording() const { return bool(takeDone_); }
    // Pretends the level meter heard `level`.
    void reportLevel(float level, float threshold);
    // Pretends capture broke off.
    void fail(const QString& reason);
    int modelChanges = 0;
    void modelChanged() override { ++modelChanges; }
    // A take's sound measured as its mean level every 10 ms.
    voice::Features measure(const std::vector<float>& samples) override;

private:
    voice::VoiceModel* model_ = nullptr;
    std::function<void(int)> recognised_;
    std::function<void(std::optional<voice::Take>)> takeDone_;
    std::function<void(float, float)> level_;
    std::function<void(const QString&)> failure_;
};

class FakeDialogs : public Dialogs {
public:
    explicit FakeDialogs(FakeRecorder& r) : rec_(r) {}
    // Answers given in turn; when empty, Yes/No questions get No and the rest Ok.
    std::deque<MessageAnswer> answers;
    // File names "chosen" in turn; when empty, the dialog is cancelled.
    std::deque<QString> chosenFiles;
    MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                          MessageIcon icon) override;
    QString chooseFile(const FileDialogRequest& request) override;
    // Answers of the trust question in turn; when empty, the board is used without.
    std::deque<bool> trustAnswers;
    // Called while a trust question is open (a few times, with the devices polled between),
    // for a test to press the switches that answer it.
    std::function<void(const TrustQuestion&)> duringTrustQuestion;
    bool askTrust(const TrustQuestion& question) override;

private:
    FakeRecorder& rec_;
};

// Virtual time: nothing passes unless a wait or advance says so; due timers fire in order.
class FakeClock : public Clock {
public:
    explicit FakeClock(FakeRecorder& r) : rec_(r) {}
    ~FakeClock() override;
    std::int64_t now() override { return now_; }
    void wait(int milliseconds) override { advance(milliseconds); }
    void processEvents() override {}
    std::unique_ptr<Timer> createTimer(const QString& name) override;

    // Lets time pass, firing every due timer tick in time order.
    void advance(std::int64_t milliseconds);
    // Fires the named timer once now, as if it were due.
    bool fire(const QString& name);

    class FakeTimer;

private:
    friend class FakeTimer;
    FakeRecorder& rec_;
    std::int64_t now_ = 0;
    std::vector<FakeTimer*> timers_;
};

// The whole fake platform, owning its parts.
class FakePlatform {
public:
    FakePlatform();
    FakeRecorder recorder;
    FakeClock clock{recorder};
    FakeWindows windows{recorder};
    FakeKeys keys{recorder};
    FakeMouse mouse{recorder};
    FakeClipboard clipboard{recorder};
    FakeLauncher launcher{recorder, windows};
    FakeSound sound{recorder};
    FakeSpeech speech{recorder, clock};
    FakeJoystick joystick;
    FakeRecognizer recognizer;
    FakeDialogs dialogs{recorder};
    Platform platform;
};

}  // namespace vexil
