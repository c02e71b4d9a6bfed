#include "platform/fake/fake_platform.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <algorithm>
#include <cmath>

namespace vexil {

// --- recorder ---------------------------------------------------------------------------

void FakeRecorder::record(QJsonObject event) {
    events_.push_back(event);
    if (onEvent) onEvent(events_.back());
}

std::vector<QJsonObject> FakeRecorder::eventsOf(const QString& op) const {
    std::vector<QJsonObject> out;
    for (const auto& e : events_)
        if (e.value(QStringLiteral("op")).toString() == op) out.push_back(e);
    return out;
}

// --- windows ----------------------------------------------------------------------------

WindowHandle FakeWindows::addWindow(const QString& title, ProcessId pid, QString programFile) {
    Win w;
    w.info.handle = next_++;
    w.info.title = title;
    w.info.visible = true;
    w.info.pid = pid;
    w.rect = QRect(100, 100, 400, 300);
    w.programFile = std::move(programFile);
    windows_.insert(windows_.begin(), w);
    return w.info.handle;
}

void FakeWindows::removeWindow(WindowHandle window) {
    std::erase_if(windows_, [window](const Win& w) { return w.info.handle == window; });
    if (active_ == window) active_ = 0;
}

FakeWindows::Win* FakeWindows::find(WindowHandle window) {
    for (auto& w : windows_)
        if (w.info.handle == window) return &w;
    return nullptr;
}

std::vector<WindowInfo> FakeWindows::topLevelWindows() {
    std::vector<WindowInfo> out;
    for (const auto& w : windows_)
        if (listsWindows_ || w.info.handle == focusedApplication_) out.push_back(w.info);
    return out;
}

WindowHandle FakeWindows::hideOtherWindows(int readyAfter) {
    focusedApplication_ = addWindow(QStringLiteral("(focused)"));
    listsWindows_ = false;
    readyAfter_ = readyAfter;
    return focusedApplication_;
}

QString FakeWindows::title(WindowHandle window) {
    const Win* w = find(window);
    return w ? w->info.title : QString();
}

bool FakeWindows::activate(WindowHandle window) {
    Win* w = find(window);
    if (!w) return false;
    rec_.record({{"op", "activate"}, {"title", w->info.title}});
    active_ = window;
    return true;
}

bool FakeWindows::activateByTitle(const QString& title) {
    rec_.record({{"op", "activate"}, {"title", title}});
    for (const auto& w : windows_) {
        if (w.info.title == title) {
            active_ = w.info.handle;
            return true;
        }
    }
    return false;
}

QRect FakeWindows::geometry(WindowHandle window) {
    const Win* w = find(window);
    return w ? w->rect : QRect();
}

bool FakeWindows::moveResize(WindowHandle window, const QRect& r) {
    rec_.record({{"op", "place"},
                 {"window", double(window)},
                 {"x", r.x()},
                 {"y", r.y()},
                 {"width", r.width()},
                 {"height", r.height()}});
    Win* w = find(window);
    if (!w) return false;
    w->rect = r;
    return true;
}

bool FakeWindows::raise(WindowHandle window) {
    rec_.record({{"op", "raise"}, {"window", double(window)}});
    return find(window) != nullptr;
}

bool FakeWindows::setTopMost(WindowHandle window, bool on) {
    rec_.record({{"op", "topMost"}, {"window", double(window)}, {"on", on}});
    Win* w = find(window);
    if (!w) return false;
    w->topMost = on;
    return true;
}

bool FakeWindows::close(WindowHandle window) {
    rec_.record({{"op", "close"}, {"window", double(window)}});
    if (!find(window)) return false;
    removeWindow(window);
    return true;
}

QString FakeWindows::focusedProgramFile() {
    if (!focusedProgramFile_.isEmpty()) return focusedProgramFile_;
    const Win* w = find(active_);
    return w ? w->programFile : QString();
}

QString FakeWindows::programFile(WindowHandle window) {
    const Win* w = find(window);
    return w ? w->programFile : QString();
}

// A window opened with this process's id stands for the program's own.
bool FakeWindows::ownWindowFocused() {
    const Win* w = find(active_);
    return w && w->info.pid == ProcessId(QCoreApplication::applicationPid());
}

// --- keys, mouse, clipboard -------------------------------------------------------------

int FakeKeys::send(const KeySequence& keys) {
    rec_.record({{"op", "keys"}, {"text", keys.notation}});
    strokesSent += std::int64_t(keys.strokes.size());
    return failWith;
}

void FakeMouse::perform(MouseAction action, int x, int y) {
    rec_.record({{"op", "mouse"}, {"action", mouseActionName(action)}, {"x", x}, {"y", y}});
    pos_ = QPoint(x, y);
}

void FakeClipboard::clear() {
    rec_.record({{"op", "clipboard"}, {"kind", "clear"}});
    text_.clear();
}

void FakeClipboard::setText(const QString& text) {
    rec_.record({{"op", "clipboard"}, {"kind", "text"}, {"text", text}});
    text_ = text;
}

void FakeClipboard::setImage(const QImage& image) {
    rec_.record({{"op", "clipboard"},
                 {"kind", "bitmap"},
                 {"text", QStringLiteral("%1x%2").arg(image.width()).arg(image.height())}});
    text_.clear();
}

void FakeClipboard::setMetafile(const QByteArray& wmf) {
    rec_.record({{"op", "clipboard"}, {"kind", "metafile"}, {"text", QString::number(wmf.size())}});
    text_.clear();
}

// --- launcher ---------------------------------------------------------------------------

void FakeLauncher::opensWindow(const QString& nameFragment, const QString& title) {
    rules_.emplace_back(nameFragment, title);
}

ProcessId FakeLauncher::start(const QString& program, const QStringList& arguments) {
    started << (QStringList{program} + arguments).join(u' ');
    const ProcessId pid = nextPid_++;
    for (const QString& fragment : endsAtOnce_)
        if (program.contains(fragment, Qt::CaseInsensitive)) ended_.insert(pid);
    for (const auto& [fragment, title] : rules_) {
        if (program.contains(fragment, Qt::CaseInsensitive)) {
            windows_.addWindow(title, pid, program);
            break;
        }
    }
    return pid;
}

QString FakeLauncher::findProgram(const QString& name) {
    if (searchPathOnly || searchPath.contains(name)) return searchPath.value(name);
    return QStringLiteral("/usr/bin/") + name;
}

// --- sound and speech -------------------------------------------------------------------

bool FakeSound::playWave(const QString& path) {
    rec_.record({{"op", "wave"}, {"path", path}});
    return true;
}

void FakeSound::midiCommand(const QString& command) {
    rec_.record({{"op", "midi"}, {"command", command}});
}

void FakeSound::beep() { rec_.record({{"op", "beep"}}); }

int FakeSpeech::numberOfSpeakers() {
    rec_.record({{"op", "speech"}, {"call", "upcTVGetNumberOfSpeakers"}, {"arg", QJsonValue()}});
    return speakers;
}
void FakeSpeech::setLanguage(int code) {
    rec_.record({{"op", "speech"}, {"call", "upcTVSetLanguage"}, {"arg", code}});
}
void FakeSpeech::setSpeaker(int speaker) {
    rec_.record({{"op", "speech"}, {"call", "upcTVSetSpeaker"}, {"arg", speaker}});
}
void FakeSpeech::setSpeed(int speed) {
    rec_.record({{"op", "speech"}, {"call", "upcTVSetSpeed"}, {"arg", speed}});
}
void FakeSpeech::resume() {
    rec_.record({{"op", "speech"}, {"call", "upcTVResume"}, {"arg", QJsonValue()}});
}
int FakeSpeech::duration(const QString& text) const {
    return 200 + millisecondsPerCharacter * int(text.size());
}

void FakeSpeech::read(const QString& text) {
    rec_.record({{"op", "speech"}, {"call", "upcTVRead"}, {"arg", text}});
    speakingUntil_ = clock_.now() + duration(text);
}

void FakeSpeech::readWithin(const QString& text, int milliseconds) {
    QString said = text.trimmed();
    while (duration(said) > milliseconds) {
        const qsizetype blank = said.lastIndexOf(u' ');
        if (blank <= 0) break;
        said = said.left(blank).trimmed();
    }
    rec_.record({{"op", "speech"}, {"call", "upcTVRead"}, {"arg", said}, {"within", milliseconds}});
    speakingUntil_ = clock_.now() + duration(said);
}

// --- joystick, recogniser, dialogs ------------------------------------------------------

std::optional<JoystickState> FakeJoystick::read(int index) {
    auto it = sticks.find(index);
    if (it == sticks.end()) return std::nullopt;
    return it->second;
}

bool FakeRecognizer::initialise(voice::VoiceModel& model, QString* error) {
    if (!installed || startFails) {
        if (error) *error = QStringLiteral("no capture device");
        return false;
    }
    model_ = &model;
    return true;
}
bool FakeRecognizer::start(const QStringList&, std::function<void(int)> recognised) {
    if (!installed) return false;
    recognised_ = std::move(recognised);
    return true;
}
void FakeRecognizer::stop() { recognised_ = nullptr; }
void FakeRecognizer::hear(int index) {
    if (recognised_) recognised_(index);
}
bool FakeRecognizer::recordTake(std::function<void(std::optional<voice::Take>)> done) {
    if (!model_) return false;
    takeDone_ = std::move(done);
    return true;
}
void FakeRecognizer::cancelTake() {
    auto done = std::move(takeDone_);
    takeDone_ = nullptr;
    if (done) done(std::nullopt);
}
bool FakeRecognizer::deliverTake(std::optional<voice::Take> take) {
    auto done = std::move(takeDone_);
    takeDone_ = nullptr;
    if (!done) return false;
    done(std::move(take));
    return true;
}
bool FakeRecognizer::monitorLevel(std::function<void(float, float)> report) {
    if (!model_) return false;
    level_ = std::move(report);
    return true;
}
void FakeRecognizer::reportLevel(float level, float threshold) {
    if (level_) level_(level, threshold);
}
voice::Features FakeRecognizer::measure(const std::vector<float>& samples) {
    voice::Features f;
    f.dims = 1;
    for (std::size_t at = 0; at + 160 <= samples.size(); at += 160) {
        float sum = 0;
        for (std::size_t i = at; i < at + 160; ++i) sum += std::abs(samples[i]);
        f.values.push_back(sum / 160);
    }
    return f;
}
void FakeRecognizer::fail(const QString& reason) {
    recognised_ = nullptr;
    level_ = nullptr;
    if (takeDone_) cancelTake();
    if (failure_) failure_(reason);
}

MessageAnswer FakeDialogs::message(const QString& text, const QString&, MessageButtons buttons,
                                   MessageIcon) {
    rec_.record({{"op", "message"}, {"text", text}});
    if (!answers.empty()) {
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

QString FakeDialogs::chooseFile(const FileDialogRequest& request) {
    rec_.record({{"op", "fileDialog"}, {"title", request.title}});
    if (chosenFiles.empty()) return QString();
    QString f = chosenFiles.front();
    chosenFiles.pop_front();
    return f;
}

bool FakeDialogs::askTrust(const TrustQuestion& question) {
    rec_.record({{"op", "trustQuestion"},
                 {"actions", QJsonArray::fromStringList(question.actions)},
                 {"scanIntervalMs", question.scanIntervalMs}});
    // The switches that reach the question through the program (sounds, joystick), as the
    // real dialog takes them: the highlight starts on "use it without".
    if (duringTrustQuestion && question.connectSwitches) {
        int current = 1, chosen = -1;
        question.connectSwitches([&](bool select) {
            if (chosen >= 0) return;
            if (select || question.scanIntervalMs > 0) chosen = current;
            else current = 1 - current;
        });
        for (int i = 0; i < 20 && chosen < 0; ++i) {
            duringTrustQuestion(question);
            if (chosen < 0 && question.poll) question.poll();
        }
        question.connectSwitches(nullptr);
        if (chosen >= 0) return chosen == 0;
    }
    if (trustAnswers.empty()) return false;
    const bool a = trustAnswers.front();
    trustAnswers.pop_front();
    return a;
}

// --- clock and timers -------------------------------------------------------------------

class FakeClock::FakeTimer : public Timer {
public:
    FakeTimer(FakeClock& clock, QString name) : clock_(&clock), name_(std::move(name)) {
        clock_->timers_.push_back(this);
    }
    ~FakeTimer() override {
        if (clock_) std::erase(clock_->timers_, this);
    }
    void setInterval(int ms) override {
        if (ms == interval_) return;
        interval_ = ms;
        due_ = clock_->now_ + interval_;
        report();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override {
        if (on == enabled_) return;
        enabled_ = on;
        due_ = clock_->now_ + interval_;
        report();
    }
    bool enabled() const override { return enabled_; }
    void onTimeout(std::function<void()> h) override { handler_ = std::move(h); }

    void report() {
        if (clock_->rec_.recordTimers)
            clock_->rec_.record({{"op", "timer"},
                                 {"name", name_},
                                 {"interval", interval_},
                                 {"enabled", enabled_}});
    }
    void fire() {
        due_ = clock_->now_ + std::max(interval_, 1);
        if (handler_) handler_();
    }

    FakeClock* clock_;
    QString name_;
    int interval_ = 0;
    bool enabled_ = false;
    std::int64_t due_ = 0;
    std::function<void()> handler_;
};

FakeClock::~FakeClock() {
    for (FakeTimer* t : timers_) t->clock_ = nullptr;
}

std::unique_ptr<Timer> FakeClock::createTimer(const QString& name) {
    return std::make_unique<FakeTimer>(*this, name);
}

void FakeClock::advance(std::int64_t ms) {
    const std::int64_t end = now_ + std::max<std::int64_t>(ms, 0);
    for (;;) {
        // The earliest due enabled timer; ties go to the one created first.
        FakeTimer* next = nullptr;
        for (FakeTimer* t : timers_)
            if (t->enabled_ && t->interval_ > 0 && t->due_ <= end && (!next || t->due_ < next->due_))
                next = t;
        if (!next) break;
        now_ = std::max(now_, next->due_);
        next->fire();
    }
    now_ = end;
}

bool FakeClock::fire(const QString& name) {
    for (FakeTimer* t : timers_) {
        if (t->name_ == name) {
            t->fire();
            return true;
        }
    }
    return false;
}

FakePlatform::FakePlatform()
    : platform{windows, keys, mouse, clipboard, launcher, sound, speech, joystick, recognizer, dialogs,
               clock} {}

}  // namespace vexil
