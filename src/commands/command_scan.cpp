#include "commands/command_scan.h"

namespace vexil {

int commandEnd(const QString& s, int p) {
    int e = int(s.indexOf(u'}', p));
    if (e < 0) return int(s.size());
    int lastOpener = p;
    for (;;) {
        const int q = int(s.indexOf(u'{', lastOpener + 1));
        if (q < 0 || q > e) return e;
        lastOpener = q;
        const int next = int(s.indexOf(u'}', e + 1));
        if (next < 0) return int(s.size());
        e = next;
    }
}

QString blockInside(const QString& s, int open, int& end) {
    int depth = 1;
    for (int i = open + 1; i < s.size(); ++i) {
        if (s[i] == u'{') ++depth;
        else if (s[i] == u'}' && --depth == 0) {
            end = i;
            return s.mid(open + 1, i - open - 1);
        }
    }
    end = int(s.size());
    return s.mid(open + 1);
}

std::vector<SequencePiece> splitKeySequence(const QString& s) {
    std::vector<SequencePiece> pieces;
    qsizetype pos = 0;
    while (pos < s.size()) {
        const int p = int(s.indexOf(QLatin1String("{|"), pos));
        if (p < 0) {
            pieces.push_back({SequencePiece::Kind::Text, s.mid(pos), true});
            break;
        }
        if (p > pos) pieces.push_back({SequencePiece::Kind::Text, s.mid(pos, p - pos), true});
        const int e = commandEnd(s, p);
        const bool closed = e < s.size();
        pieces.push_back({SequencePiece::Kind::Command, s.mid(p, e - p + (closed ? 1 : 0)), closed});
        pos = qsizetype(e) + 1;
    }
    return pieces;
}

ConditionParts splitCondition(const QString& argument) {
    ConditionParts parts;
    const int first = int(argument.indexOf(u'{'));
    if (first < 0) {
        parts.word = argument;
        return parts;
    }
    parts.word = argument.left(first);
    int end = 0;
    parts.ifEqual = blockInside(argument, first, end);
    parts.blocks = 1;
    const int second = int(argument.indexOf(u'{', end + 1));
    if (second < 0 || end >= argument.size()) return parts;
    parts.ifDifferent = blockInside(argument, second, end);
    parts.blocks = 2;
    return parts;
}

}  // namespace vexil
