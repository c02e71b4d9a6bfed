#pragma once
// How key sequences are read where "{|" commands and braced blocks meet: one reading for the
// player, the conditional and the command assistant, so that every part of the program
// agrees on where a command ends.
//   A command starts with "{|" and ends at its matching closing brace: every "{" met inside
//   moves the end to the next "}". A command that is never closed runs to the end of the
//   text.
#include <QString>
#include <vector>

namespace vexil {

// The index of the brace that closes the command opened at `p`, or the text's length when it
// is never closed.
int commandEnd(const QString& s, int p);

// The inside of the braced block opening at `open` (depth counted); to the end of the text
// when it is never closed. `end` receives the closing brace's index (the length when none).
QString blockInside(const QString& s, int open, int& end);

// One piece of a key sequence: plain keystroke text, or an embedded command from its "{|"
// up to and including its closing brace (`closed` false: it ran to the end of the text
// without one).
struct SequencePiece {
    enum class Kind { Text, Command };
    Kind kind = Kind::Text;
    QString text;
    bool closed = true;
};

// The sequence cut into plain stretches and commands, in order; joined again they give the
// text back exactly.
std::vector<SequencePiece> splitKeySequence(const QString& s);

// The parts of a conditional's argument ("word {block if equal} {block if different}"):
// the text before the first "{", the inside of the first and of the second brace group, and
// how many groups were found (0, 1 or 2).
struct ConditionParts {
    QString word;
    QString ifEqual;
    QString ifDifferent;
    int blocks = 0;
};
ConditionParts splitCondition(const QString& argument);

}  // namespace vexil
