#include "assist/key_rows.h"

#include <QStringList>
#include <algorithm>

#include "assist/command_catalogue.h"
#include "commands/command_scan.h"
#include "i18n/texts.h"

namespace vexil {

namespace {

const QString kMarker = QStringLiteral("_VALOR_");

// The head the catalogue's rows are compared with: the text up to and including the first
// blank, or the second one for the mouse commands; empty when there is no such blank.
QString partHead(const QString& body) {
    const qsizetype first = body.indexOf(u' ');
    if (first < 0) return {};
    QString head = body.left(first + 1);
    if (head.contains(QLatin1String("{|Mouse"))) {
        const qsizetype second = body.indexOf(u' ', first + 1);
        if (second < 0) return {};
        head = body.left(second + 1);
    }
    return head;
}

// A row's opening text can stand for a command of its own: not empty and a single command.
bool matchable(const QString& opening) {
    return !opening.isEmpty() && !opening.contains(u'}');
}

// The spellings a row's keyword may have in a sequence: as stored and as the key field shows
// it (the command-name table's displayed names).
QStringList spellingsOf(const QString& opening) {
    QStringList spellings{opening};
    QString shown = translateCommands(opening, 0);
    if (shown == opening) {
        shown = translateCommands(opening + u'}', 0);
        if (shown.endsWith(u'}')) shown.chop(1);
    }
    if (shown != opening) spellings << shown;
    return spellings;
}

KeyRow rowOf(int choice, const QString& body, qsizetype headLength) {
    return KeyRow{choice, body.left(headLength), body.mid(headLength)};
}

}  // namespace

std::optional<KeyRow> codi_trobar(const QString& command) {
    if (command.size() < 3 || !command.startsWith(QLatin1String("{|")) || !command.endsWith(u'}'))
        return std::nullopt;
    const QString body = command.chopped(1);
    const int c = catalogueCaptionCount();

    // The head compared whole with the opening texts.
    const QString head = partHead(body);
    if (!head.isEmpty()) {
        for (int i = 1; i < c; ++i) {
            const QString opening = commandCatalogue(i, 1);
            if (matchable(opening) && opening == head) return rowOf(i, body, head.size());
        }
    }
    // Otherwise an opening text that begins the command (the longest one), or a command
    // without its parameter; first as written, then in any letter case. The conditional is
    // one only in upper case, as the player reads it.
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        int best = -1;
        qsizetype bestLength = -1;
        for (int i = 1; i < c; ++i) {
            const QString opening = commandCatalogue(i, 1);
            if (!matchable(opening)) continue;
            const ParamKind kind = paramKind(commandCatalogue(i, 2));
            if (cs == Qt::CaseInsensitive && kind == ParamKind::Condition) continue;
            for (const QString& spelling : spellingsOf(opening)) {
                qsizetype length = -1;
                if (body.trimmed().compare(spelling.trimmed(), cs) == 0)
                    length = body.size();
                else if (kind != ParamKind::None && body.startsWith(spelling, cs))
                    length = spelling.size();
                if (length > bestLength) {
                    best = i;
                    bestLength = length;
                }
            }
        }
        if (best >= 0) return rowOf(best, body, bestLength);
    }
    return std::nullopt;
}

std::vector<KeyRow> cutKeySequence(const QString& s, const std::vector<MacroEntry>& macros) {
    static const QString macroStarts = QStringLiteral("%^+<");
    const int c = catalogueCaptionCount();
    std::vector<KeyRow> rows;
    QString pending;
    const auto flush = [&] {
        if (!pending.isEmpty()) rows.push_back(KeyRow{0, QString(), pending});
        pending.clear();
    };
    qsizetype pos = 0;
    while (pos < s.size()) {
        if (s.mid(pos, 2) == u"{|") {
            const int e = commandEnd(s, int(pos));
            const bool closed = e < s.size();
            const QString command = s.mid(pos, e - pos + (closed ? 1 : 0));
            const std::optional<KeyRow> row = closed ? codi_trobar(command) : std::nullopt;
            if (row) {
                flush();
                rows.push_back(*row);
            } else {
                // Kept as text to type, so that nothing is lost.
                pending += command;
            }
            pos += command.size();
            continue;
        }
        if (macroStarts.contains(s[pos])) {
            bool found = false;
            for (size_t j = 1; j < macros.size(); ++j) {
                const QString& keys = macros[j].keys;
                if (keys.isEmpty() || s.mid(pos, keys.size()) != keys) continue;
                flush();
                rows.push_back(KeyRow{c + int(j), QString(), QString()});
                pos += keys.size();
                found = true;
                break;
            }
            if (found) continue;
        }
        pending += s[pos];
        ++pos;
    }
    flush();
    return rows;
}

JoinedKeys confegir_codi(const std::vector<KeyRow>& rows, const std::vector<MacroEntry>& macros) {
    static const QStringList pictures = {QStringLiteral(".BMP"), QStringLiteral(".GIF"),
                                         QStringLiteral(".JPG"), QStringLiteral(".WMF")};
    const int c = catalogueCaptionCount();
    JoinedKeys out;
    for (const KeyRow& row : rows) {
        QString t;
        const bool isMacro = row.choice >= c;
        if (isMacro) {
            const size_t j = size_t(row.choice - c);
            if (j < macros.size()) {
                t = macros[j].keys;
                // A macro without an icon leaves the area's icon as it is.
                if (!macros[j].icon.isEmpty()) {
                    out.icon = macros[j].icon;
                    out.iconFromMacro = true;
                }
            }
        } else if (row.choice > 0) {
            t = row.param1;
        }
        const bool marker = t.contains(kMarker);
        if (marker) t.replace(kMarker, row.param2);
        else t += row.param2;
        const bool command = !isMacro && row.choice > 0;
        if (command && !marker && !t.isEmpty()) t += u'}';
        if (command) {
            const QString param = row.param2.trimmed();
            for (const QString& ext : pictures)
                if (param.size() > ext.size() && param.endsWith(ext, Qt::CaseInsensitive)) {
                    out.icon = param;
                    out.iconFromMacro = false;
                }
        }
        out.keys += t;
    }
    return out;
}

QString choiceCaption(int choice, const std::vector<MacroEntry>& macros) {
    const int c = catalogueCaptionCount();
    if (choice < 0) return {};
    if (choice < c) return translateCaption(commandCatalogue(choice, 0));
    const size_t j = size_t(choice - c);
    return j < macros.size() ? macros[j].title : QString();
}

int choiceCount(const std::vector<MacroEntry>& macros) {
    return catalogueCaptionCount() + int(macros.size());
}

void RowList::add() {
    rows.push_back(KeyRow{});
    selected = count();
}

void RowList::removeSelected() {
    if (selected < 1 || selected > count()) return;
    rows.erase(rows.begin() + (selected - 1));
    if (selected > count()) selected = count();
}

void RowList::moveUp() {
    if (selected <= 1 || selected > count()) return;
    std::swap(rows[size_t(selected - 1)], rows[size_t(selected - 2)]);
    --selected;
}

KeyRow* RowList::current() {
    if (selected < 1 || selected > count()) return nullptr;
    return &rows[size_t(selected - 1)];
}

ChoiceAction chooseRow(KeyRow& row, int choice, const std::vector<MacroEntry>& macros,
                       int* fileKind) {
    const int c = catalogueCaptionCount();
    if (choice < 0 || choice >= choiceCount(macros)) return ChoiceAction::Nothing;
    row.choice = choice;
    if (choice >= c) {
        row.param1.clear();
        row.param2.clear();
        return ChoiceAction::Nothing;
    }
    row.param1 = commandCatalogue(choice, 1);
    const QString kind = commandCatalogue(choice, 2);
    switch (paramKind(kind)) {
        case ParamKind::None:
            // A command without a parameter keeps none.
            row.param2.clear();
            return ChoiceAction::Nothing;
        case ParamKind::File:
            if (fileKind) *fileKind = fileKindOf(kind);
            return ChoiceAction::File;
        case ParamKind::Condition: return ChoiceAction::Condition;
        default: return ChoiceAction::Data;
    }
}

}  // namespace vexil
