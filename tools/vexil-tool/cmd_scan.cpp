// vexil-tool scan: the access engine on the recording platform, driven by a script of
// input events and timer ticks in virtual time.
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "access/access_engine.h"
#include "app/use_mode.h"
#include "board_tool.h"
#include "commands/player.h"
#include "commands/sound_speech.h"
#include "files/catalogue_loader.h"
#include "files/profile_files.h"
#include "files/template_reader.h"
#include "platform/fake/fake_cue.h"
#include "session/command_host.h"
#include "settings/registry.h"
#include "tool.h"

namespace vexil::tool {
namespace {

// Prints the highlight as the use-mode board would draw it, and the end of use mode and of
// the program (TANCAR).
class ScanView : public MainView {
public:
    void showHighlight(int area) override { printJsonLine({{"op", "highlight"}, {"area", area}}); }
    void setHighlightFill(double progress) override {
        printJsonLine({{"op", "fill"}, {"progress", rounded(progress)}});
    }
    void setDwellProgress(int area, double progress) override {
        printJsonLine({{"op", "dwell"}, {"area", area}, {"progress", rounded(progress)}});
    }
    void setScanPaused(bool paused) override {
        printJsonLine({{"op", paused ? "scanPaused" : "scanResumed"}});
    }
    void showFilteredPress(FilteredPress why) override {
        printJsonLine({{"op", "filtered"},
                       {"why", why == FilteredPress::TooShort   ? "short"
                               : why == FilteredPress::DeadTime ? "dead"
                                                                : "same"}});
    }
    static double rounded(double progress) { return std::round(progress * 100) / 100; }
    void leaveUseModeDisplay() override { printJsonLine({{"op", "leaveUseMode"}}); }
    void exitProgram() override { printJsonLine({{"op", "exit"}}); }
};

// The platform's calls as `vexil-tool play` shows them, plus the engine's beeps, the timer
// changes and the windows it closes; mouse actions and pastes are printed as the commands
// name them rather than as the moves and keys that make them up.
class ScanPrinter : public CommandObserver {
public:
    explicit ScanPrinter(FakeRecorder& recorder) : recorder_(recorder) {
        recorder_.onEvent = [this](const QJsonObject& e) {
            static const QStringList shown = {
                QStringLiteral("activate"),  QStringLiteral("keys"),    QStringLiteral("place"),
                QStringLiteral("clipboard"), QStringLiteral("wave"),    QStringLiteral("midi"),
                QStringLiteral("speech"),    QStringLiteral("message"), QStringLiteral("beep"),
                QStringLiteral("timer"),     QStringLiteral("topMost"), QStringLiteral("close"),
                QStringLiteral("cue")};
            if (!quiet_ && shown.contains(e.value(QStringLiteral("op")).toString()))
                printJsonLine(e);
        };
    }
    ~ScanPrinter() override { recorder_.onEvent = nullptr; }

    void launched(const QString& commandLine, WindowHandle window) override {
        printJsonLine({{"op", "launch"}, {"command", commandLine}, {"window", double(window)}});
    }
    void waited() override { printJsonLine({{"op", "wait"}}); }
    void pasting(WindowHandle window) override {
        printJsonLine({{"op", "paste"}, {"window", double(window)}});
        quiet_ = true;
    }
    void pasteDone() override { quiet_ = false; }
    void registryWritten(const QString& root, const QString& key, const QString& name,
                         const RegistryValue& value) override {
        printJsonLine({{"op", "registry"},
                       {"root", root},
                       {"key", key},
                       {"name", name},
                       {"type", int(value.type)},
                       {"data", QString::fromLatin1(value.data.toHex())}});
    }
    void loading(const QString& path) override { printJsonLine({{"op", "load"}, {"path", path}}); }
    void refused(const QString& kind, const QString& what) override {
        printJsonLine({{"op", "refused"}, {"kind", kind}, {"what", what}});
    }
    void mouseAction(const QString& action, int x, int y) override {
        printJsonLine({{"op", "mouse"}, {"action", action}, {"x", x}, {"y", y}});
    }

private:
    FakeRecorder& recorder_;
    bool quiet_ = false;
};

// Prints what the engine hands on, then does it.
class ScanActions : public AccessActions {
public:
    explicit ScanActions(Session& s) : s_(s), real_(s) {}
    void activate(int area) override {
        printJsonLine({{"op", "activateArea"}, {"area", area}});
        real_.activate(area);
    }
    void announce(const Area& area) override {
        if (s_.profile.adapt.GuiaAuditiva != 0)
            printJsonLine({{"op", "announce"}, {"text", cueText(area)}, {"output", "cue"}});
        else
            printJsonLine({{"op", "announce"}, {"text", announcementText(area)}});
        real_.announce(area);
    }

private:
    Session& s_;
    PlayerActions real_;
};

using Step = std::function<void(AccessEngine&, FakePlatform&)>;

bool parsePoint(const QString& text, QPointF& point) {
    static const QRegularExpression re(
        QStringLiteral("^(-?\\d+(?:\\.\\d+)?),(-?\\d+(?:\\.\\d+)?)$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    point = {m.captured(1).toDouble(), m.captured(2).toDouble()};
    return true;
}

// One event of the script, or an empty function when it is not one.
Step parseEvent(const QString& event) {
    if (event == u"tick1" || event == u"tick2" || event == u"tick3") {
        const QString timer = QStringLiteral("Timer") + event.back();
        return [timer](AccessEngine&, FakePlatform& f) { f.clock.fire(timer); };
    }
    const qsizetype colon = event.indexOf(u':');
    if (colon < 0) return {};
    const QString kind = event.left(colon);
    const QString arg = event.mid(colon + 1);
    bool ok = false;
    if (kind == u"wait") {
        const int ms = arg.toInt(&ok);
        if (!ok || ms < 0) return {};
        return [ms](AccessEngine&, FakePlatform& f) { f.clock.advance(ms); };
    }
    if (kind == u"key") {
        // A key gives its key-down, then the character it types.
        const int code = arg == u"enter" ? 13 : arg == u"space" ? 32 : 0;
        if (code == 0) return {};
        return [code](AccessEngine& e, FakePlatform&) {
            e.keyDown(code);
            e.keyPress(QChar(code));
        };
    }
    if (kind == u"up") {
        const int code = arg.toInt(&ok);
        if (!ok) return {};
        return [code](AccessEngine& e, FakePlatform&) { e.keyUp(code); };
    }
    if (kind == u"release") {
        if (arg != u"left" && arg != u"right") return {};
        const PointerButton b = arg == u"left" ? PointerButton::Left : PointerButton::Right;
        return [b](AccessEngine& e, FakePlatform&) { e.mouseRelease(b); };
    }
    if (kind == u"char") {
        if (arg.size() != 1) return {};
        const QChar c = arg[0];
        return [c](AccessEngine& e, FakePlatform&) { e.keyPress(c); };
    }
    if (kind == u"down") {
        const int code = arg.toInt(&ok);
        if (!ok) return {};
        return [code](AccessEngine& e, FakePlatform&) { e.keyDown(code); };
    }
    if (kind == u"voice") {
        const int n = arg.toInt(&ok);
        if (!ok) return {};
        return [n](AccessEngine& e, FakePlatform&) { e.voice(n); };
    }
    if (kind == u"move") {
        QPointF p;
        if (!parsePoint(arg, p)) return {};
        return [p](AccessEngine& e, FakePlatform&) { e.pointerMove(p); };
    }
    if (kind == u"click" || kind == u"dblclick") {
        const bool dbl = kind == u"dblclick";
        if (arg != u"left" && arg != u"right") return {};
        const PointerButton b = arg == u"left" ? PointerButton::Left : PointerButton::Right;
        return [dbl, b](AccessEngine& e, FakePlatform&) { dbl ? e.doubleClick(b) : e.click(b); };
    }
    if (kind == u"press") {
        const qsizetype second = arg.indexOf(u':');
        if (second < 0) return {};
        const QString button = arg.left(second);
        QPointF p;
        if ((button != u"left" && button != u"right") || !parsePoint(arg.mid(second + 1), p))
            return {};
        const PointerButton b = button == u"left" ? PointerButton::Left : PointerButton::Right;
        return [b, p](AccessEngine& e, FakePlatform&) { e.mousePress(b, p); };
    }
    return {};
}

int run(const QStringList& arguments) {
    QString templateFile, profileFile;
    QStringList windows, sinks;
    std::vector<std::pair<QString, QString>> launches;
    int mode = -1, interval = -1;
    bool trust = false;
    std::vector<Step> steps;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!optionsEnded && isEndOfOptions(a)) {
            optionsEnded = true;
            continue;
        }
        const auto value = [&](QString& out) {
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (optionsEnded) {
            Step step = parseEvent(a);
            if (!step) return usageError(scanCommand, QStringLiteral("unknown event '%1'").arg(a));
            steps.push_back(std::move(step));
        } else if (a == u"--trust") {
            trust = true;
        } else if (a == u"--template") {
            if (!value(templateFile))
                return usageError(scanCommand, QStringLiteral("--template needs a file"));
        } else if (a == u"--profile") {
            if (!value(profileFile))
                return usageError(scanCommand, QStringLiteral("--profile needs a file"));
        } else if (a == u"--window") {
            if (!value(v) || v.isEmpty())
                return usageError(scanCommand, QStringLiteral("--window needs a title"));
            windows << v;
        } else if (a == u"--sink") {
            if (!value(v) || v.trimmed().isEmpty())
                return usageError(scanCommand, QStringLiteral("--sink needs a name"));
            sinks << v.trimmed();
        } else if (a == u"--launch") {
            const qsizetype eq = value(v) ? v.indexOf(u'=') : -1;
            if (eq <= 0 || eq == v.size() - 1)
                return usageError(scanCommand, QStringLiteral("--launch takes NAME=TITLE"));
            launches.emplace_back(v.left(eq), v.mid(eq + 1));
        } else if (a == u"--mode") {
            if (!value(v) || (mode = v.toInt(&ok), !ok) || mode < 0 || mode > 8)
                return usageError(scanCommand, QStringLiteral("--mode takes 0 to 8"));
        } else if (a == u"--interval") {
            if (!value(v) || (interval = v.toInt(&ok), !ok) || interval < 0 || interval > 32767)
                return usageError(scanCommand, QStringLiteral("--interval takes milliseconds"));
        } else {
            Step step = parseEvent(a);
            if (!step) return usageError(scanCommand, QStringLiteral("unknown event '%1'").arg(a));
            steps.push_back(std::move(step));
        }
    }
    if (templateFile.isEmpty())
        return usageError(scanCommand, QStringLiteral("--template is required"));

    BoardSession board;
    Session& s = *board.session;
    s.trust.trustEveryBoard = trust;
    FakePlatform& fake = board.fake;
    ScanView view;
    s.setView(&view);
    ScanPrinter printer(fake.recorder);
    s.setObserver(&printer);
    FakeCue cue(fake.recorder, fake.clock);
    cue.outputs = sinks;
    s.setCue(&cue);

    // Start-up as the program does it, without this user's Vexil.INI and last profile.
    loadProgramCatalogue(s);
    fake.speech.installed = true;
    registerSpeechEngine(s);
    startSpeech(s);
    resetUserProfile(s);
    if (!profileFile.isEmpty()) readUserProfile(s, boardNameArgument(profileFile));
    if (mode >= 0) s.profile.accessMode = std::int16_t(mode);
    if (interval >= 0) s.programSettings.Interval = std::int16_t(std::max(interval, 100));
    loadTemplate(s, boardNameArgument(templateFile));
    for (const QString& title : windows) pushTarget(s, fake.windows.addWindow(title, 1));
    for (const auto& [name, title] : launches) fake.launcher.opensWindow(name, title);

    ScanActions actions(s);
    AccessEngine engine(s, actions);
    UseMode useMode(s, engine);
    fake.recorder.recordTimers = true;
    if (!useMode.enterUseMode())
        std::fprintf(stderr, "vexil-tool scan: the board has no areas; use mode did not start\n");
    for (const Step& step : steps) step(engine, fake);

    s.setObserver(nullptr);
    s.setCue(nullptr);
    return board.messages().isEmpty() ? kOk : kMessages;
}

}  // namespace

const Command scanCommand{
    "scan",
    "--template FILE [--profile FILE.USR] [--mode N] [--interval MS] [--window TITLE]...\n"
    "       [--launch NAME=TITLE]... [--sink NAME]... [--trust] [--] EVENT...",
    "    Loads the board and the profile, enters use mode as \"&Activar\" does (start\n"
    "    actions included) on the recording platform with a 1024 x 768 screen and a\n"
    "    virtual clock, then plays the events in order and prints every effect as one\n"
    "    JSON line: the lines of `play` (keys, windows, clipboard, sounds, speech,\n"
    "    messages, launch, wait, paste, registry, load, mouse), the windows placed on top\n"
    "    or closed, leaveUseMode and exit, and\n"
    "    {\"op\":\"highlight\",\"area\":N}, {\"op\":\"announce\",\"text\":T},\n"
    "    {\"op\":\"beep\"}, {\"op\":\"activateArea\",\"area\":N} and\n"
    "    {\"op\":\"timer\",\"name\":\"Timer1\",\"interval\":MS,\"enabled\":B} on every timer "
    "change.\n"
    "    With the profile's [Adaptacio] settings: the announce line of auditory scanning\n"
    "    {\"op\":\"announce\",\"text\":T,\"output\":\"cue\"}; {\"op\":\"fill\",\"progress\":P}\n"
    "    while a switch is held for its acceptance time; {\"op\":\"dwell\",\"area\":N,\n"
    "    \"progress\":P} while the pointer rests on an area (P from 0 to 1, 0 when it\n"
    "    leaves); {\"op\":\"scanPaused\"} and {\"op\":\"scanResumed\"} when the scan cycles\n"
    "    run out and the next press starts them again; {\"op\":\"filtered\",\"why\":W} for a\n"
    "    press the filters dropped (W short, dead or same); the timers Acceptance, Dwell\n"
    "    and Cue.\n"
    "    The cue voice's calls: {\"op\":\"cue\",\"call\":\"say\",\"text\":T,\"output\":SINK,\n"
    "    \"language\":L,\"speaker\":N,\"speed\":S,\"volume\":V}, "
    "{\"op\":\"cue\",\"call\":\"play\",\n"
    "    \"path\":P,\"output\":SINK,\"volume\":V} and {\"op\":\"cue\",\"call\":\"stop\"} (cut "
    "off).\n"
    "    --sink NAME: a sound-server output that exists (repeatable), for GuiaSortida; the\n"
    "    cue voice lasts 200 ms + 50 ms a character (a wave file 1 s) of virtual time.\n"
    "    --mode sets the access mode (0 mouse, 1 manual scan, 2 automatic scan, 3 cursor\n"
    "    keys, 4 joystick, 5-7 voice, 8 Multimouse); --interval sets Interval (ms, >= 100).\n"
    "    --window TITLE opens a window before use mode starts (repeatable; the last one\n"
    "    is the target, the earlier ones are in the target history); --launch NAME=TITLE:\n"
    "    a started program whose name contains NAME opens a window TITLE (repeatable;\n"
    "    without a match a started program opens no window and keys go nowhere).\n"
    "    A board this user has not trusted (vexil-tool trust) nor saved in the editor\n"
    "    starts no program, writes no registry value and loads no untrusted board: each\n"
    "    prints {\"op\":\"refused\",\"kind\":\"program\"|\"registry\"|\"board\",\"what\":W}\n"
    "    instead, as when \"Use it without these\" is answered; --trust plays the board\n"
    "    as a trusted one.\n"
    "    Events (after \"--\" every argument is an event):\n"
    "      tick1 tick2 tick3    the timer's tick runs once now (enabled or not)\n"
    "      wait:MS              virtual time passes; due ticks run in time order\n"
    "      key:enter key:space  the key's key-down, then the character it types\n"
    "      char:C               the character C typed on the board\n"
    "      down:CODE            a key-down (13 Enter, 37-40 arrows, -1 re-evaluate)\n"
    "      up:CODE              the key let go (13 Enter, 32 Space, 37-40 arrows, 65-90\n"
    "                           letters; a char:C without key-down is the key of C)\n"
    "      move:X,Y             the pointer moves over the board\n"
    "      click:left|right     a click (release) of the button\n"
    "      dblclick:left|right  a double click of the button\n"
    "      press:left|right:X,Y a button press\n"
    "      release:left|right   the button let go\n"
    "      voice:N              trained sound N was recognised\n"
    "    X,Y are pixels of the use-mode board (its top-left corner is 0,0).\n",
    run};

}  // namespace vexil::tool
