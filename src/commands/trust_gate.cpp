#include "commands/trust_gate.h"

#include <algorithm>

#include "commands/command_scan.h"
#include "commands/player.h"
#include "i18n/texts.h"
#include "session/session.h"
#include "template/template.h"

namespace vexil {

namespace {

bool isKeyword(const QString& keyword, const char* catalan, const char* spanish) {
    return keyword == QLatin1String(catalan) || keyword == QLatin1String(spanish);
}

void addOnce(QStringList& list, const QString& item) {
    if (!item.isEmpty() && !list.contains(item)) list << item;
}

// Every "{|" command anywhere in the text, nested ones included (a conditional's blocks, a
// random choice's options), read as the player reads them.
void collectCommands(const QString& keys, BoardActions& out) {
    for (qsizetype p = keys.indexOf(QLatin1String("{|")); p >= 0;
         p = keys.indexOf(QLatin1String("{|"), p + 2)) {
        const int end = commandEnd(keys, int(p));
        const QString inside = keys.mid(p + 2, end - p - 2).trimmed();
        const qsizetype blank = inside.indexOf(u' ');
        const QString keyword = (blank < 0 ? inside : inside.left(blank)).toUpper();
        const QString argument = blank < 0 ? QString() : inside.mid(blank + 1).trimmed();
        if (isKeyword(keyword, "EXECUTA", "EJECUTA")) {
            addOnce(out.programs, argument);
        } else if (keyword == QLatin1String("REG")) {
            const qsizetype eq = argument.indexOf(u'=');
            addOnce(out.registryKeys, eq < 0 ? argument : argument.left(eq));
        } else if (isKeyword(keyword, "CARREGA", "CARGA")) {
            addOnce(out.boards, argument);
        }
    }
}

QString caption(const char16_t* catalan) {
    return translateCaption(QString::fromUtf16(catalan));
}

// The user's answer, asked once for the board's content.
bool askAboutBoard(Session& s) {
    TrustQuestion q;
    q.title = caption(u"Aquest tauler no és de confiança");
    q.text = caption(u"Aquest tauler no l'ha desat el Vexil per a vostè, o ha canviat des de "
                     u"llavors. Abans de fer res d'això, cal que hi confiï:");
    q.actions = trustQuestionLines(s);
    q.trustButton = caption(u"Confiar en aquest tauler");
    q.withoutButton = caption(u"Fer-lo servir sense això");
    const int mode = s.profile.accessMode;
    if (s.access.useMode && (mode == kModeManualScan || mode == kModeAutoScan ||
                             mode == kModeVoiceOne || mode == kModeVoiceTwo))
        q.scanIntervalMs = std::max(int(s.programSettings.Interval), 300);
    // The trained sounds and the joystick answer it too, and meanwhile never reach the board.
    q.connectSwitches = [&s](std::function<void(bool)> answer) { s.access.question = std::move(answer); };
    if (s.access.useMode && (mode == kModeJoystick || mode == kModeMultimouse)) {
        q.poll = s.access.pollSwitches;
        q.pollIntervalMs = (s.profile.joystic_retard > 0 ? s.profile.joystic_retard : 10) * 100;
    }
    return s.platform.dialogs.askTrust(q);
}

bool boardFileTrusted(const Session& s, const QString& realPath) {
    return s.trust.trustEveryBoard || isTrustedBoardFile(s.folders, realPath);
}

QString kindName(GuardedAction action) {
    switch (action) {
        case GuardedAction::StartProgram: return QStringLiteral("program");
        case GuardedAction::WriteRegistry: return QStringLiteral("registry");
        case GuardedAction::LoadBoard: return QStringLiteral("board");
    }
    return {};
}

}  // namespace

BoardActions boardActions(const Template& t) {
    BoardActions out;
    for (const QString& program : t.settings.startProgram.split(u'|'))
        addOnce(out.programs, program.trimmed());
    collectCommands(t.settings.startKeys, out);
    for (int n = 1; n <= t.areaCount(); ++n) collectCommands(t.area(n).keys, out);
    return out;
}

QStringList trustQuestionLines(Session& s) {
    const BoardActions a = boardActions(s.tmpl);
    QStringList lines;
    const QString program = caption(u"Iniciar el programa:");
    const QString registry = caption(u"Escriure al registre:");
    const QString board = caption(u"Obrir el tauler:");
    for (const QString& p : a.programs) lines << program + u' ' + p;
    for (const QString& k : a.registryKeys) lines << registry + u' ' + k;
    // Boards that are trusted open without asking.
    for (const QString& b : a.boards) {
        const QString path = resolvePath(s, b);
        if (!boardFileTrusted(s, s.realPath(path))) lines << board + u' ' + b;
    }
    return lines;
}

bool mayDo(Session& s, GuardedAction action, const QString& what) {
    BoardTrust& bt = s.trust;
    if (bt.trustEveryBoard || bt.level == TrustLevel::Trusted) return true;
    if (action == GuardedAction::LoadBoard && boardFileTrusted(s, what)) return true;
    if (bt.level == TrustLevel::Unasked) {
        if (askAboutBoard(s)) {
            bt.level = TrustLevel::Trusted;
            // Trusted for this run even when the record cannot be written.
            trustRecordOf(s.folders).add(bt.path, bt.digest);
            return true;
        }
        bt.level = TrustLevel::Declined;
        bt.declined.insert(bt.digest);
    }
    s.observer->refused(kindName(action), what);
    return false;
}

}  // namespace vexil
