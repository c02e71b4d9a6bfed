// vexil-tool play: runs the key player on a platform and prints what it did, one JSON line
// per effect, then the player's state.
#include <QDir>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

#include "board_tool.h"
#include "commands/player.h"
#include "commands/sound_speech.h"
#include "files/catalogue_loader.h"
#include "files/template_reader.h"
#include "platform/fake/fake_platform.h"
#include "real_play.h"
#include "session/command_host.h"
#include "session/session.h"
#include "settings/registry.h"
#include "tool.h"

namespace vexil::tool {
namespace {

struct PlayOptions {
    QString templateFile;
    std::optional<int> area;
    std::optional<QString> memory;
    std::optional<QString> clipboard;
    QStringList windows;                            // --window, in order; the last is the target
    std::vector<std::pair<QString, QString>> launches;  // --launch NAME=TITLE
    QString focusExe;
    bool speech = false;
    QString catalogue;
    std::optional<std::uint32_t> seed;
    QSize screen{1024, 768};
    std::optional<QString> sequence;
    bool real = false;   // --real: the desktop platform instead of the recording one
    QString audioOut;    // --audio-out FILE.wav
    bool trust = false;  // --trust: the board plays as a trusted one
};

using Print = std::function<void(const QJsonObject&)>;

// One effect as a JSON line with "op" first and the fields in the order the help lists them
// (JSON objects have no order, but people and diffs read these lines).
void printEffect(const QJsonObject& effect) {
    static const QStringList order = {
        QStringLiteral("op"),     QStringLiteral("title"),  QStringLiteral("kind"),
        QStringLiteral("what"),   QStringLiteral("text"),   QStringLiteral("command"), QStringLiteral("call"),
        QStringLiteral("arg"),    QStringLiteral("action"), QStringLiteral("path"),
        QStringLiteral("root"),   QStringLiteral("key"),    QStringLiteral("name"),
        QStringLiteral("type"),   QStringLiteral("data"),   QStringLiteral("window"),
        QStringLiteral("x"),      QStringLiteral("y"),      QStringLiteral("width"),
        QStringLiteral("height"), QStringLiteral("memory"), QStringLiteral("currentLevel"),
        QStringLiteral("targetWindow"), QStringLiteral("targetHistory")};
    QStringList keys = effect.keys();
    std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
        const qsizetype ia = order.indexOf(a), ib = order.indexOf(b);
        return (ia < 0 ? order.size() : ia) < (ib < 0 ? order.size() : ib);
    });
    QByteArray line = "{";
    for (const QString& k : keys) {
        if (line.size() > 1) line += ',';
        // A one-member object serialises the member exactly as JSON wants it.
        const QByteArray member = QJsonDocument(QJsonObject{{k, effect.value(k)}}).toJson(QJsonDocument::Compact);
        line += member.mid(1, member.size() - 2);
    }
    line += "}\n";
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// The platform a run plays on. The recording fake is the one here; another (the real
// desktop) joins in makePlayPlatform.
class PlayPlatform {
public:
    virtual ~PlayPlatform() = default;
    virtual Platform& platform() = 0;
    // Scripts what the options describe: screen, focused program, speech engine, clipboard,
    // the windows programs open.
    virtual void prepare(const PlayOptions& options) = 0;
    // The window named by --window: opened here (fake) or found (real); 0 when none.
    virtual WindowHandle targetWindow(const QString& title) = 0;
    // From now on the platform's own effects are printed.
    virtual void startRecording(Print print) = 0;
    // The observer's notice that a program is about to start for `commandLine`.
    virtual void launching(const QString& /*commandLine*/) {}
    // Output between these calls is the realisation of one printed effect (a paste).
    virtual void setQuiet(bool quiet) = 0;
    virtual int messageCount() const = 0;
};

// A started program whose command line or program contains NAME opens a window TITLE.
class ScriptedLauncher : public Launcher {
public:
    ScriptedLauncher(FakeLauncher& inner, FakeWindows& windows) : inner_(inner), windows_(windows) {}
    std::vector<std::pair<QString, QString>> rules;
    QString commandLine;

    ProcessId start(const QString& program, const QStringList& arguments) override {
        const ProcessId pid = inner_.start(program, arguments);
        for (const auto& [name, title] : rules) {
            if (commandLine.contains(name, Qt::CaseInsensitive) ||
                program.contains(name, Qt::CaseInsensitive)) {
                windows_.addWindow(title, pid, program);
                break;
            }
        }
        return pid;
    }
    QString findProgram(const QString& name) override { return inner_.findProgram(name); }

private:
    FakeLauncher& inner_;
    FakeWindows& windows_;
};

class FakePlayPlatform : public PlayPlatform {
public:
    FakePlayPlatform()
        : launcher_(fake_.launcher, fake_.windows),
          platform_{fake_.windows,   fake_.keys,       fake_.mouse,      fake_.clipboard,
                    launcher_,       fake_.sound,      fake_.speech,     fake_.joystick,
                    fake_.recognizer, fake_.dialogs,   fake_.clock} {}

    Platform& platform() override { return platform_; }

    void prepare(const PlayOptions& o) override {
        fake_.windows.setScreenSize(o.screen);
        if (!o.focusExe.isEmpty()) fake_.windows.setFocusedProgramFile(o.focusExe);
        fake_.speech.installed = o.speech;
        if (o.clipboard) fake_.clipboard.preset(*o.clipboard);
        launcher_.rules = o.launches;
    }

    WindowHandle targetWindow(const QString& title) override {
        return fake_.windows.addWindow(title, 1);
    }

    void startRecording(Print print) override {
        fake_.recorder.onEvent = [this, print](const QJsonObject& e) {
            static const QStringList shown = {
                QStringLiteral("activate"), QStringLiteral("keys"),  QStringLiteral("place"),
                QStringLiteral("clipboard"), QStringLiteral("wave"), QStringLiteral("midi"),
                QStringLiteral("speech"),   QStringLiteral("message")};
            const QString op = e.value(QStringLiteral("op")).toString();
            if (op == u"message") ++messages_;
            // Button presses and moves are printed as the mouse actions they make up.
            if (!quiet_ && shown.contains(op)) print(e);
        };
    }

    void launching(const QString& commandLine) override { launcher_.commandLine = commandLine; }
    void setQuiet(bool quiet) override { quiet_ = quiet; }
    int messageCount() const override { return messages_; }

private:
    FakePlatform fake_;
    ScriptedLauncher launcher_;
    Platform platform_;
    bool quiet_ = false;
    int messages_ = 0;
};

// The desktop platform: the options that script the fake describe the real machine
// here, so only the clipboard's text is set; --window names an existing window.
class RealPlayPlatform : public PlayPlatform {
public:
    explicit RealPlayPlatform(const PlayOptions& o) : real_(o.audioOut) {}
    ~RealPlayPlatform() override { real_.finish(); }
    Platform& platform() override { return real_.platform(); }
    void prepare(const PlayOptions& o) override {
        if (o.clipboard) real_.setClipboard(*o.clipboard);
    }
    WindowHandle targetWindow(const QString& title) override { return real_.findWindow(title); }
    void startRecording(Print print) override { real_.startRecording(std::move(print)); }
    void setQuiet(bool quiet) override { real_.setQuiet(quiet); }
    int messageCount() const override { return real_.messageCount(); }

private:
    RealPlay real_;
};

// The one place where the platform of a run is chosen.
std::unique_ptr<PlayPlatform> makePlayPlatform(const PlayOptions& o) {
    if (o.real) return std::make_unique<RealPlayPlatform>(o);
    return std::make_unique<FakePlayPlatform>();
}

// Prints what the commands do beyond the platform's calls.
class PlayPrinter : public CommandHost, public CommandObserver {
public:
    PlayPrinter(PlayPlatform& platform, Print print) : platform_(platform), print_(std::move(print)) {}

    void leaveUseMode() override { print_({{"op", "leaveUseMode"}}); }
    void exitProgram() override { print_({{"op", "exit"}}); }

    void launching(const QString& commandLine) override { platform_.launching(commandLine); }
    void launched(const QString& commandLine, WindowHandle window) override {
        print_({{"op", "launch"}, {"command", commandLine}, {"window", double(window)}});
    }
    void waited() override { print_({{"op", "wait"}}); }
    void pasting(WindowHandle window) override {
        print_({{"op", "paste"}, {"window", double(window)}});
        platform_.setQuiet(true);
    }
    void pasteDone() override { platform_.setQuiet(false); }
    void registryWritten(const QString& root, const QString& key, const QString& name,
                         const RegistryValue& value) override {
        print_({{"op", "registry"},
                {"root", root},
                {"key", key},
                {"name", name},
                {"type", int(value.type)},
                {"data", QString::fromLatin1(value.data.toHex())}});
    }
    void loading(const QString& path) override { print_({{"op", "load"}, {"path", path}}); }
    void mouseAction(const QString& action, int x, int y) override {
        print_({{"op", "mouse"}, {"action", action}, {"x", x}, {"y", y}});
    }
    void refused(const QString& kind, const QString& what) override {
        print_({{"op", "refused"}, {"kind", kind}, {"what", what}});
    }

private:
    PlayPlatform& platform_;
    Print print_;
};

int run(const QStringList& arguments);

}  // namespace

const Command playCommand{
    "play", "[OPTIONS] [--] SEQUENCE | [OPTIONS] --template FILE --area N",
    "    Plays the key sequence SEQUENCE (keys and {|...} commands, as written in a\n"
    "    board) on the recording platform, as an area selected in use mode would, and\n"
    "    prints one JSON line per effect, in order:\n"
    "      {\"op\":\"activate\",\"title\":T}          the target window made active\n"
    "      {\"op\":\"keys\",\"text\":K}               a plain stretch typed, in the notation\n"
    "      {\"op\":\"wait\"}                        one unit of ESPERA\n"
    "      {\"op\":\"launch\",\"command\":C,\"window\":H}  a program started (-1: no window)\n"
    "      {\"op\":\"place\",\"window\":H,\"x\":..,\"y\":..,\"width\":..,\"height\":..}\n"
    "      {\"op\":\"mouse\",\"action\":A,\"x\":X,\"y\":Y}  one mouse action (M, CD, 2CD, CE,\n"
    "                                         2CE, PD, PE, AD, AE) in screen pixels\n"
    "      {\"op\":\"clipboard\",\"kind\":\"clear\"|\"text\"|\"bitmap\"|\"metafile\",\"text\":..}\n"
    "      {\"op\":\"paste\",\"window\":H}            the clipboard pasted into the target\n"
    "      {\"op\":\"wave\",\"path\":P}  {\"op\":\"midi\",\"command\":\"play ...\"|\"close ...\"}\n"
    "      {\"op\":\"speech\",\"call\":NAME,\"arg\":..}  a speech engine operation\n"
    "      {\"op\":\"registry\",\"root\":R,\"key\":K,\"name\":N,\"type\":1|3|4,\"data\":HEX}\n"
    "      {\"op\":\"message\",\"text\":..}          a message box\n"
    "      {\"op\":\"load\",\"path\":P}  {\"op\":\"leaveUseMode\"}  {\"op\":\"exit\"}\n"
    "      {\"op\":\"refused\",\"kind\":\"program\"|\"registry\"|\"board\",\"what\":W}\n"
    "                                         an untrusted board was kept from starting\n"
    "                                         the program W, writing the registry key W\n"
    "                                         or loading the board W: nothing was done\n"
    "    and last {\"op\":\"state\",\"memory\":M,\"currentLevel\":L,\"targetWindow\":H,\n"
    "    \"targetHistory\":S}. Window handles are numbers.\n"
    "    Options:\n"
    "      --                  the end of the options: the next argument is the SEQUENCE\n"
    "                          even when it starts with \"--\"\n"
    "      --template FILE     load this board first (its folder is the current one)\n"
    "      --area N            activate area N of the board instead of a sequence\n"
    "      --memory TEXT       the memory register's text at the start\n"
    "      --clipboard TEXT    the clipboard's text at the start\n"
    "      --window TITLE      an open window that is the current target (repeatable;\n"
    "                          earlier ones are in the target history)\n"
    "      --launch NAME=TITLE a started program whose command line or program contains\n"
    "                          NAME opens a window TITLE (repeatable; without a match a\n"
    "                          started program opens no window)\n"
    "      --focus-exe PATH    the program file behind the focused window\n"
    "      --speech            a speech engine is installed\n"
    "      --catalogue FILE    the MACROS.INI whose programs the commands know\n"
    "      --seed N            the seed of the random choice (TRIA)\n"
    "      --screen WxH        the screen size in pixels (default 1024x768)\n"
    "      --real              play on this desktop instead: keys, windows and the mouse\n"
    "                          of the X display in DISPLAY or, on a Wayland session, the\n"
    "                          compositor's (VEXIL_INPUT chooses as for the program), real\n"
    "                          sound and speech; the first line says which way keys go;\n"
    "                          --window then names an existing top-level window, and\n"
    "                          --launch, --focus-exe, --speech and --screen do not apply\n"
    "      --audio-out FILE    with --real: every sound (waves, MIDI, speech) goes into\n"
    "                          this WAV file instead of the sound device\n"
    "      --trust             the board plays as a trusted one; without it, a board this\n"
    "                          user has not trusted (vexil-tool trust) nor saved in the\n"
    "                          editor starts no program, writes no registry value and\n"
    "                          loads no untrusted board (each is a \"refused\" line)\n"
    "    Exit status 1 when a message box was shown.\n",
    run};

namespace {

std::optional<PlayOptions> parse(const QStringList& args, QString& error) {
    PlayOptions o;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                error = a + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            return args[++i];
        };
        if (!optionsEnded && isEndOfOptions(a)) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            if (o.sequence) {
                error = QStringLiteral("one SEQUENCE only (quote it)");
                return std::nullopt;
            }
            o.sequence = a;
            continue;
        }
        if (a == u"--speech") {
            o.speech = true;
            continue;
        }
        if (a == u"--real") {
            o.real = true;
            continue;
        }
        if (a == u"--trust") {
            o.trust = true;
            continue;
        }
        const auto v = value();
        if (!v) return std::nullopt;
        bool ok = true;
        if (a == u"--template") o.templateFile = *v;
        else if (a == u"--area") o.area = v->toInt(&ok);
        else if (a == u"--memory") o.memory = *v;
        else if (a == u"--clipboard") o.clipboard = *v;
        else if (a == u"--window") o.windows << *v;
        else if (a == u"--focus-exe") o.focusExe = *v;
        else if (a == u"--catalogue") o.catalogue = *v;
        else if (a == u"--audio-out") o.audioOut = *v;
        else if (a == u"--seed") o.seed = v->toUInt(&ok);
        else if (a == u"--launch") {
            const int eq = v->indexOf(u'=');
            ok = eq > 0;
            if (ok) o.launches.emplace_back(v->left(eq), v->mid(eq + 1));
        } else if (a == u"--screen") {
            const QStringList wh = v->toLower().split(u'x');
            int w = 0, h = 0;
            ok = wh.size() == 2;
            if (ok) w = wh[0].toInt(&ok);
            if (ok) h = wh[1].toInt(&ok);
            ok = ok && w > 0 && h > 0;
            o.screen = QSize(w, h);
        } else {
            error = QStringLiteral("unknown option ") + a;
            return std::nullopt;
        }
        if (!ok) {
            error = QStringLiteral("bad value for ") + a + QStringLiteral(": ") + *v;
            return std::nullopt;
        }
    }
    if (!o.audioOut.isEmpty() && !o.real) {
        error = QStringLiteral("--audio-out needs --real");
        return std::nullopt;
    }
    if (o.area.has_value() == o.sequence.has_value()) {
        error = QStringLiteral("give either a SEQUENCE or --area N");
        return std::nullopt;
    }
    return o;
}

int run(const QStringList& arguments) {
    QString error;
    const auto options = parse(arguments, error);
    if (!options) return usageError(playCommand, error);
    const PlayOptions& o = *options;

    std::unique_ptr<PlayPlatform> play = makePlayPlatform(o);
    play->prepare(o);
    QTemporaryDir userFolder;
    Folders folders;
    folders.userFolder = userFolder.path();
    folders.programFolder = QDir::currentPath();
    // Which boards are trusted is this user's record and the installed boards, as for the
    // program; the working folder is not the program's for that.
    const Folders user = Folders::forThisUser();
    folders.dataFolder = user.dataFolder;
    folders.installedBoards = user.installedBoards;
    Session session(play->platform(), folders);
    session.trust.trustEveryBoard = o.trust;
    session.currentDirectory = QDir::currentPath();

    // What start-up would have done, silently.
    registerSpeechEngine(session);
    startSpeech(session);
    if (!o.catalogue.isEmpty()) loadProgramCatalogueFrom(session, QDir::current().absoluteFilePath(o.catalogue));
    if (o.memory) session.player.memory = *o.memory;
    if (o.seed) session.player.random.seed(*o.seed);
    for (const QString& title : o.windows) {
        if (const WindowHandle w = play->targetWindow(title)) pushTarget(session, w);
    }

    PlayPrinter printer(*play, printEffect);
    session.setHost(&printer);
    session.setObserver(&printer);
    play->startRecording(printEffect);

    if (!o.templateFile.isEmpty()) loadTemplate(session, boardNameArgument(o.templateFile));
    // A sequence given here is the user's own, whatever board it plays on.
    if (o.sequence) session.trust.level = TrustLevel::Trusted;
    if (o.area) activateArea(session, *o.area);
    else playKeySequence(session, *o.sequence);

    printEffect({{"op", "state"},
                   {"memory", session.player.memory},
                   {"currentLevel", session.player.currentLevel},
                   {"targetWindow", double(session.player.targetWindow)},
                   {"targetHistory", session.player.targetHistory}});
    return play->messageCount() > 0 ? kMessages : kOk;
}

}  // namespace
}  // namespace vexil::tool
