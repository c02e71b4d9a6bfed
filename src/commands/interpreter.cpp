#include "commands/interpreter.h"

#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>

#include "commands/keystroke_parser.h"
#include "commands/mouse_commands.h"
#include "commands/placement.h"
#include "commands/player.h"
#include "commands/sound_speech.h"
#include "commands/trust_gate.h"
#include "files/template_reader.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "session/session.h"

namespace vexil {

namespace {

bool isKeyword(const QString& keyword, const char* catalan, const char* spanish) {
    return keyword == QLatin1String(catalan) || keyword == QLatin1String(spanish);
}

QString trimBlanks(const QString& s) {
    int a = 0, b = int(s.size());
    while (a < b && s[a] == u' ') ++a;
    while (b > a && s[b - 1] == u' ') --b;
    return s.mid(a, b - a);
}

// "Paste into the target": the target window is activated and sent Ctrl+V, since X has no
// paste message to post. A target that is gone gets nothing.
void pasteIntoTarget(Session& session) {
    const WindowHandle target = session.player.targetWindow;
    const QString title = target > 0 ? session.platform.windows.title(target) : QString();
    if (title.isEmpty()) return;
    session.observer->pasting(target);
    if (session.platform.windows.activateByTitle(title)) {
        KeySender& keys = session.platform.keys;
        session.platform.clipboard.pasteWith(
            [&] { keys.send(parseKeystrokes(QStringLiteral("^v")).sequence); });
        keys.waitUntilRead();
    }
    session.observer->pasteDone();
}

void memoryArithmetic(Session& session, const QString& keyword, const QString& argument) {
    QString& memory = session.player.memory;
    if (!isNumericText(memory)) {
        if (keyword == QLatin1String("M+")) memory += argument.left(std::max<qsizetype>(0, kMaxArgumentLength - memory.size()));
        return;
    }
    const double a = leadingValue(memory), b = leadingValue(argument);
    memory = numberToText(keyword == QLatin1String("M+") ? a + b : a - b);
}

void loadBoard(Session& session, const QString& argument) {
    session.host->hideHighlight();
    const QString path = resolvePath(session, argument);
    if (!fileExistsOrWarn(session, path)) return;
    if (!mayDo(session, GuardedAction::LoadBoard, session.realPath(path))) return;
    QString folder = folderPart(path);
    session.tmpl.templateFolder = folder;
    session.currentDirectory = folder;
    session.observer->loading(session.realPath(path));
    loadTemplate(session, path);
    session.player.currentLevel = 1;
    session.tmpl.currentArea = -1;
    session.host->boardChanged();
    placeAppWindow(session, session.player.targetWindow);
}

void playSound(Session& session, const QString& argument) {
    const QString path = commandFilePath(session, argument);
    if (!fileExistsOrWarn(session, path)) return;
    // Only the upper-case endings play, as boards have always had it.
    if (path.endsWith(QLatin1String(".WAV"))) playWave(session, path);
    else if (path.endsWith(QLatin1String(".MID"))) playMidi(session, path);
}

void wait(Session& session, const QString& argument) {
    double n = leadingValue(argument);
    for (int units = 1;; ++units) {
        session.platform.clock.wait(kWaitUnitMs);
        session.observer->waited();
        n -= 1;
        if (!(n >= 1) || units >= kMaxWaitUnits) break;
    }
}

void startProgram(Session& session, const QString& argument) {
    if (!mayDo(session, GuardedAction::StartProgram, argument)) return;
    const WindowHandle h = launchAndFindWindow(session, argument);
    session.player.targetWindow = h;
    placeAppWindow(session, h);
    keepAppWindowPlacedLater(session, h);
    pushTarget(session, h);
}

void pasteFile(Session& session, const QString& argument) {
    Clipboard& clipboard = session.platform.clipboard;
    clipboard.clear();
    const QString path = commandFilePath(session, argument);
    if (!fileExistsOrWarn(session, path)) return;
    const QString real = session.realPath(path);
    const QString kind = path.right(3).toUpper();
    if (kind == QLatin1String("WMF")) {
        QFile f(real);
        if (f.open(QIODevice::ReadOnly)) clipboard.setMetafile(f.readAll());
    } else if (kind == QLatin1String("BMP") || kind == QLatin1String("GIF") ||
               kind == QLatin1String("JPG")) {
        const QImage image(real);
        if (!image.isNull()) clipboard.setImage(image);
    } else if (kind == QLatin1String("TXT")) {
        QFile f(real);
        if (f.open(QIODevice::ReadOnly)) clipboard.setText(decodeAnsi(f.readAll()));
    }
    pasteIntoTarget(session);
}

void changeLevel(Session& session, const QString& argument) {
    std::int16_t& level = session.player.currentLevel;
    if (leadingValue(argument) == 0) {
        level = 1;
        return;
    }
    const Template& t = session.tmpl;
    const int up = (level >= 1 && level <= t.areaCount()) ? t.area(level).level : 1;
    // Above the top group is still the top level.
    level = std::int16_t(up >= 1 ? up : 1);
}

// The old program handed the file to a reader program of the speech engine; here the
// engine the board already speaks with reads the file's text, so nothing outside the
// program is needed. The reader's options before "/F:" (language, voice, speed) are taken
// from the board instead, as they always had no effect.
void readFileAloud(Session& session, const QString& argument) {
    const int f = argument.indexOf(QLatin1String("/F:"));
    const QString file = f >= 0 ? argument.mid(f + 3) : argument;
    if (!fileExistsOrWarn(session, file) || !session.speech.speechAvailable) return;
    QFile in(session.realPath(resolvePath(session, file)));
    if (!in.open(QIODevice::ReadOnly)) return;
    readTextAloud(session, decodeAnsi(in.read(kMaxReadFileBytes)));
}

}  // namespace

void executeCommand(Session& session, const QString& commandText) {
    // Only trailing blanks go: after a leading one the keyword is empty ("{| CM}" does
    // nothing), as boards have always read it.
    QString rest = commandText.mid(2);
    while (rest.endsWith(u' ')) rest.chop(1);
    const int blank = rest.indexOf(u' ');
    const QString keyword = (blank < 0 ? rest : rest.left(blank)).toUpper();
    QString argument = blank < 0 ? QString() : trimBlanks(rest.mid(blank + 1));
    PlayerState& player = session.player;
    if (player.nesting == 0) player.stepsLeft = kMaxPlayerSteps;

    // Value references are replaced, innermost (last) first; an argument that holds no
    // complete reference, or that keeps growing, is taken as it stands.
    for (int round = 0; round < kMaxSubstitutions && (argument.contains(u'|') || argument.contains(u'{'));
         ++round) {
        const QString next = valor_f(session, argument);
        if (next == argument) break;
        argument = next;
        player.stepsLeft -= argument.size() / kCharactersPerStep;
        if (player.stepsLeft < 0) break;
        if (argument.size() > kMaxArgumentLength) {
            argument.truncate(kMaxArgumentLength);
            break;
        }
    }

    if (keyword == QLatin1String("REG")) {
        const int eq = int(argument.indexOf(u'='));
        if (!mayDo(session, GuardedAction::WriteRegistry, eq < 0 ? argument : argument.left(eq)))
            return;
        session.message(QStringLiteral("REG"));
        registryCommand(session, argument);
    } else if (keyword == QLatin1String("RCW")) {
        // The clipboard's text types itself: notation characters in it are not keys or
        // commands.
        playKeySequence(session, escapeKeystrokes(session.platform.clipboard.text()));
    } else if (keyword == QLatin1String("M-") || keyword == QLatin1String("M+")) {
        memoryArithmetic(session, keyword, argument);
    } else if (keyword == QLatin1String("RM")) {
        playKeySequence(session, session.player.memory);
    } else if (keyword == QLatin1String("CM")) {
        session.player.memory.clear();
    } else if (isKeyword(keyword, "TRIA", "ESCOGE")) {
        playKeySequence(session, pickRandom(session, argument));
    } else if (keyword == QLatin1String("MOUSE")) {
        runMouseCommand(session, argument);
    } else if (isKeyword(keyword, "CARREGA", "CARGA")) {
        loadBoard(session, argument);
    } else if (isKeyword(keyword, "SONA", "SUENA")) {
        playSound(session, argument);
    } else if (keyword == QLatin1String("ESPERA")) {
        wait(session, argument);
    } else if (isKeyword(keyword, "EXECUTA", "EJECUTA")) {
        startProgram(session, argument);
    } else if (isKeyword(keyword, "ENGANXA", "ENGANCHA") || keyword == QLatin1String("PEGA")) {
        // "Pega" is how the key field shows the command.
        pasteFile(session, argument);
    } else if (isKeyword(keyword, "NIVELL", "NIVEL")) {
        changeLevel(session, argument);
    } else if (isKeyword(keyword, "TANCAR", "CERRAR")) {
        session.host->leaveUseMode();
        session.host->exitProgram();
        session.player.ending = true;
    } else if (isKeyword(keyword, "LLEGIR", "LEER")) {
        readAloud(session, argument);
    } else if (isKeyword(keyword, "LLEGEIX", "LEE")) {
        readFileAloud(session, argument);
    }
}

}  // namespace vexil
