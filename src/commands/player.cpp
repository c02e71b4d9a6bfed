#include "commands/player.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <set>

#include "commands/command_scan.h"
#include "commands/interpreter.h"
#include "commands/keystroke_parser.h"
#include "commands/placement.h"
#include "commands/program_aliases.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "session/session.h"

namespace vexil {

namespace {

// Timer2 stays off while an area is activated, whichever way the activation ends.
class Timer2Pause {
public:
    explicit Timer2Pause(Session& s) : s_(s) { s_.timer2->setEnabled(false); }
    ~Timer2Pause() { s_.timer2->setEnabled(true); }
    Timer2Pause(const Timer2Pause&) = delete;
    Timer2Pause& operator=(const Timer2Pause&) = delete;

private:
    Session& s_;
};

// The program the keys will go to is the board's target application: its file name ends
// with the target's name, or it is one of the programs the alias table gives for that
// name. That program is the focused window's, unless the board itself has the focus (every
// access mode but the mouse keeps it there): then it is the target window's.
bool keysGoToTargetApp(Session& session, const QString& targetApp) {
    WindowSystem& windows = session.platform.windows;
    QString file;
    if (!windows.ownWindowFocused()) file = windows.focusedProgramFile();
    else if (win_actiu_titol(session) != u'|') file = windows.programFile(session.player.targetWindow);
    const int nul = file.indexOf(QChar(0));
    if (nul >= 0) file.truncate(nul);
    const QString upperFile = file.toUpper();
    const QString upperApp = targetApp.toUpper();
    if (upperFile.size() >= upperApp.size() && upperFile.endsWith(upperApp)) return true;
    if (file.isEmpty()) return false;
    const QString focusedName = fileNamePart(file);
    for (const QString& candidate : loadProgramAliases(session).candidates(fileNamePart(targetApp))) {
        const QStringList tokens = splitArguments(candidate);
        if (!tokens.isEmpty() && fileNamePart(tokens.first()) == focusedName) return true;
    }
    return false;
}

// Shown to the user, and written to the log for whoever looks into it later.
void showFailure(Session& session, int code, const QString& description = QString()) {
    const QString text =
        description.isEmpty() ? QString::number(code) : QString::number(code) + u' ' + description;
    qWarning("vexil: playing the keys failed: %s", qUtf8Printable(text));
    session.message(text);
}

// Types one plain stretch into the target window; false when no target is left and the
// rest of the sequence is to be dropped.
bool sendStretch(Session& session, const QString& text, bool commandFollows) {
    const QString title = win_actiu_titol(session);
    if (title == u'|') return false;
    if (commandFollows) {
        session.host->setBusyCursor(true);
        session.platform.clock.processEvents();
    }
    // Keys are never typed into a window that could not be made the active one. The target
    // window itself bears the title just read: an older window of the same title (another
    // "Terminal") is only the way left when the target cannot be activated.
    WindowSystem& windows = session.platform.windows;
    const WindowHandle target = session.player.targetWindow;
    if (!(target > 0 && windows.activate(target)) && !windows.activateByTitle(title)) {
        showFailure(session, kActivateFailedCode);
        return true;
    }
    const KeyParseResult parsed = parseKeystrokes(text);
    if (parsed.error != KeyParseError::None) {
        showFailure(session, int(parsed.error), keyParseErrorText(parsed.error));
        return true;
    }
    // Keys that a short text repeats ("{LEFT 1000}") cost like the characters they type: a
    // sequence that recalls such a text cannot type without end.
    session.player.stepsLeft -= qsizetype(parsed.sequence.strokes.size()) / kCharactersPerStep;
    if (session.player.stepsLeft < 0) return false;
    if (const int code = session.platform.keys.send(parsed.sequence)) showFailure(session, code);
    return true;
}

// Each stretch and command costs one step, and long texts cost more, so that one outermost
// sequence does a bounded amount of work whatever it recalls.
bool spend(Session& session, qsizetype characters) {
    session.player.stepsLeft -= 1 + characters / kCharactersPerStep;
    return session.player.stepsLeft >= 0;
}

// "{|ENGANXA file}" pastes by itself on this platform. Boards, the menus and the assistant
// write "^v" right after it, for a program whose command only filled the clipboard; that
// "^v" is part of the one paste and is not typed again. Any other "^v" is typed.
bool isPasteCommand(const QString& command) {
    static const QRegularExpression paste(QStringLiteral("^\\{\\|(ENGANXA|ENGANCHA|PEGA)( |$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    return paste.match(command).hasMatch();
}

void playSteps(Session& session, const QString& s) {
    qsizetype pos = 0;
    while (pos < s.size() && !session.player.ending) {
        const int p = int(s.indexOf(QLatin1String("{|"), pos));
        if (p < 0) {
            const QString rest = s.mid(pos);
            if (!spend(session, rest.size()) || !sendStretch(session, rest, false)) return;
            return;
        }
        int e = commandEnd(s, p);
        if (p > pos) {
            const QString before = s.mid(pos, p - pos);
            if (!spend(session, before.size()) || !sendStretch(session, before, true)) return;
        }
        if (e != p) {
            const QString command = s.mid(p, e - p);
            if (!spend(session, command.size())) return;
            if (command.startsWith(QLatin1String("{|SIM"))) playConditional(session, command);
            else executeCommand(session, command);
            if (isPasteCommand(command) && s.mid(qsizetype(e) + 1, 2) == QLatin1String("^v")) e += 2;
        }
        pos = qsizetype(e) + 1;
    }
}

}  // namespace

void activateArea(Session& session, int n) {
    if (n == 0 || n < 1 || n > session.tmpl.areaCount()) return;
    Timer2Pause pause(session);
    const Area area = session.tmpl.area(n);
    session.player.previousArea = std::int16_t(n);
    // A group opens its level; one with no sub-areas would open an empty level, where
    // scanning finds nothing: it acts as a plain area.
    if (area.isGroup) {
        const Template& t = session.tmpl;
        for (int i = 1; i <= t.areaCount(); ++i) {
            if (i != n && t.area(i).level == n) {
                session.player.currentLevel = std::int16_t(n);
                break;
            }
        }
    }

    const QString& targetApp = session.tmpl.settings.targetApp;
    if (!targetApp.isEmpty() && !keysGoToTargetApp(session, targetApp)) return;

    if (!area.clipFile.isEmpty()) {
        session.platform.clipboard.clear();
        const QString path = commandFilePath(session, area.clipFile);
        if (area.clipKind == 1) {
            executeCommand(session, QStringLiteral("{|ENGANXA ") + path);
        } else if (area.clipKind == 0) {
            QFile f(session.realPath(path));
            if (f.open(QIODevice::ReadOnly)) session.platform.clipboard.setText(decodeAnsi(f.readAll()));
        }
    }
    if (!area.keys.isEmpty()) playKeySequence(session, area.keys);
}

void playKeySequence(Session& session, const QString& keys) {
    PlayerState& p = session.player;
    if (p.nesting == 0) {
        p.stepsLeft = kMaxPlayerSteps;
        p.ending = false;
    }
    if (keys.isEmpty() || p.ending || p.nesting >= kMaxNesting) return;
    ++p.nesting;
    playSteps(session, keys);
    if (--p.nesting > 0) return;
    // Said once, so that the author knows why the rest was not typed.
    if (p.stepsLeft < 0) showFailure(session, kStepBoundCode, stepBoundText());
    // Whatever the sequence ended with (keys, a command), the switches reach the board again.
    if (session.profile.accessMode != 0) session.host->focusBoard();
    session.host->setBusyCursor(false);
}

QString stepBoundText() {
    return QStringLiteral("La secuencia se ha detenido: hace demasiados pasos (%1)")
        .arg(kMaxPlayerSteps);
}

void playConditional(Session& session, const QString& c) {
    constexpr int wordStart = 6;  // just after "{|SIM "
    if (c.size() <= wordStart) return;
    const int blank = c.indexOf(u' ', wordStart);
    const QString word = blank < 0 ? c.mid(wordStart) : c.mid(wordStart, blank - wordStart);
    const int first = c.indexOf(u'{', wordStart);
    if (first < 0) return;
    int end = 0;
    const QString yes = blockInside(c, first, end);
    if (word == session.player.memory) return playKeySequence(session, yes);
    const int second = c.indexOf(u'{', end + 1);
    if (second < 0) return;  // no second block: nothing to play
    playKeySequence(session, blockInside(c, second, end));
}

QString handleHex(WindowHandle window) {
    if (window >= INT32_MIN && window < 0)
        return QString::number(std::uint32_t(std::int32_t(window)), 16).toUpper();
    return QString::number(std::uint64_t(window), 16).toUpper();
}

namespace {

WindowHandle parseHandle(const QString& hex) {
    bool ok = false;
    const std::uint64_t v = hex.toULongLong(&ok, 16);
    if (!ok) return 0;
    // Handles written from negative numbers (FFFFFFFF for -1) come back negative.
    if (v <= 0xFFFFFFFFull && (v & 0x80000000ull)) return std::int32_t(std::uint32_t(v));
    return WindowHandle(v);
}

}  // namespace

void pushTarget(Session& session, WindowHandle window) {
    PlayerState& p = session.player;
    p.targetWindow = window;
    p.targetHistory.prepend(handleHex(window) + u' ');
    // Old entries beyond the limit are forgotten.
    int blanks = 0;
    for (int i = 0; i < p.targetHistory.size(); ++i) {
        if (p.targetHistory[i] == u' ' && ++blanks == kMaxHistoryEntries) {
            p.targetHistory.truncate(i + 1);
            break;
        }
    }
}

namespace {

// A window a started program may be found by: a visible top-level window with a title.
bool programWindow(const WindowInfo& w) {
    return !w.hasParent && w.visible && !w.title.isEmpty();
}

// The window of a program that was slow to come, once it is there: it becomes the target
// (in the place of the -1 its launch left, when that is still the newest entry) and is
// placed beside the board.
void adoptLateWindow(Session& session) {
    PlayerState& p = session.player;
    if (!p.lateProgram) return;
    for (const WindowInfo& w : session.platform.windows.topLevelWindows()) {
        if (w.pid != p.lateProgram || !programWindow(w)) continue;
        p.lateProgram = 0;
        const QString lost = handleHex(-1) + u' ';
        if (p.targetWindow == -1 && p.targetHistory.startsWith(lost))
            p.targetHistory.remove(0, lost.size());
        pushTarget(session, w.handle);
        placeAppWindow(session, w.handle);
        keepAppWindowPlacedLater(session, w.handle);
        return;
    }
    if (!session.platform.launcher.running(p.lateProgram)) p.lateProgram = 0;
}

}  // namespace

QString win_actiu_titol(Session& session) {
    PlayerState& p = session.player;
    adoptLateWindow(session);
    for (;;) {
        // Titles are not cut: a long title cut short would name no window.
        if (p.targetWindow > 0) {
            const QString title = session.platform.windows.title(p.targetWindow);
            if (!title.isEmpty()) return title;
        }
        if (p.targetHistory.isEmpty()) return QStringLiteral("|");
        int blank = p.targetHistory.indexOf(u' ');
        if (blank < 0) blank = int(p.targetHistory.size()) - 1;
        p.targetWindow = parseHandle(p.targetHistory.left(blank));
        p.targetHistory.remove(0, blank + 1);
    }
}

WindowHandle launchAndFindWindow(Session& session, const QString& commandLine) {
    WindowSystem& windows = session.platform.windows;
    std::set<WindowHandle> before;
    for (const WindowInfo& w : windows.topLevelWindows()) before.insert(w.handle);

    const QString resolved = resolveProgramAlias(session, commandLine.trimmed());
    const auto launch = resolveLaunch(session, resolved);
    session.observer->launching(resolved);
    const ProcessId pid = launch ? session.platform.launcher.start(launch->program, launch->arguments) : 0;

    WindowHandle result = -1;
    if (pid != 0 && !windows.listsWindows()) {
        // No window can be seen (Wayland): the keys will go where the desktop puts the focus,
        // so wait until the program has come up, for as long as a window would be waited for.
        session.host->programWait(true);
        for (int elapsed = 0; elapsed < kLaunchWaitMaxMs; elapsed += kLaunchWaitStepMs) {
            session.platform.clock.wait(kLaunchWaitStepMs);
            if (windows.programReady(pid)) break;
        }
        session.host->programWait(false);
        // The one window such a desktop names is the application that has the focus.
        const std::vector<WindowInfo> known = windows.topLevelWindows();
        result = known.empty() ? 0 : known.front().handle;
    } else if (pid != 0) {
        const ProcessId ownPid = ProcessId(QCoreApplication::applicationPid());
        WindowHandle foreign = 0;
        int foreignSeenAt = 0;
        int endedAt = -1;
        session.host->programWait(true);
        for (int elapsed = 0;; elapsed += kLaunchWaitStepMs) {
            for (const WindowInfo& w : windows.topLevelWindows()) {
                if (before.count(w.handle) || !programWindow(w)) continue;
                // This program's own windows (the board shown meanwhile, a message) are
                // never the started program's.
                if (w.pid == ownPid) continue;
                if (w.pid == pid) {
                    result = w.handle;
                    break;
                }
                if (!foreign) {
                    foreign = w.handle;
                    foreignSeenAt = elapsed;
                }
            }
            if (result != -1) break;
            if (foreign && elapsed - foreignSeenAt >= kLaunchForeignGraceMs) {
                result = foreign;
                break;
            }
            // A program that ended may have handed its work to one already running, whose
            // window comes soon; else it opens none (a command such as "touch").
            if (endedAt < 0 && !session.platform.launcher.running(pid)) endedAt = elapsed;
            if (!foreign && endedAt >= 0 && elapsed - endedAt >= kLaunchForeignGraceMs) break;
            if (elapsed >= kLaunchWaitMaxMs) {
                if (foreign) result = foreign;
                break;
            }
            session.platform.clock.wait(kLaunchWaitStepMs);
        }
        session.host->programWait(false);
    }
    // A program still starting (a large editor on a slow machine) is not given up.
    session.player.lateProgram =
        result == -1 && pid != 0 && session.platform.launcher.running(pid) ? pid : 0;
    if (result == -1 && pid != 0)
        qWarning("vexil: no window of \"%s\" appeared while it was awaited",
                 qUtf8Printable(resolved));
    session.observer->launched(resolved, result);
    return result;
}

namespace {

// The folder relative names are taken in: the template's, else the current directory.
const QString& baseFolder(const Session& session) {
    return session.tmpl.templateFolder.isEmpty() ? session.currentDirectory
                                                 : session.tmpl.templateFolder;
}

// A folder and a name joined with the folder's own separator, so that names in a folder of
// this machine read naturally and Windows names keep their form.
QString joinFolder(const QString& folder, QString name) {
    const QChar separator = folder.startsWith(u'/') ? u'/' : u'\\';
    if (name.startsWith(u'\\') || name.startsWith(u'/')) name.remove(0, 1);
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

}  // namespace

QString resolvePath(const Session& session, const QString& name) {
    if (name.contains(u':') || name.startsWith(u'/')) return name;
    const QString& folder = baseFolder(session);
    return folder.isEmpty() ? name : joinFolder(folder, name);
}

QString commandFilePath(const Session& session, const QString& name) {
    if ((name.size() >= 2 && name[1] == u':') || name.startsWith(u'/')) return name;
    const QString& folder = baseFolder(session);
    return folder.isEmpty() ? name : joinFolder(folder, name);
}

bool fileExistsOrWarn(Session& session, const QString& name) {
    if (session.fileExists(name)) return true;
    session.host->setBoardTopMost(true);
    session.message(name + QStringLiteral("\rVexil no encuentra el archivo "));
    session.host->setBoardTopMost(false);
    return false;
}

QString keysDisplayText(const QString& s) {
    static const QString modifiers = QStringLiteral("%^+");
    QString out;
    const int n = int(s.size());
    for (int i = 0; i < n;) {
        const QChar c = s[i];
        if (c == u'{') {
            const int close = s.indexOf(u'}', i + 1);
            if (close < 0) break;  // an unclosed name: the rest is dropped
            i = close + 1;
        } else if (modifiers.contains(c)) {
            i += (i + 1 < n && modifiers.contains(s[i + 1])) ? 3 : 2;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace vexil
