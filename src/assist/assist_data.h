#pragma once
// The logic behind the assistant's small windows: the data window `Dades` (a text, a number,
// coordinates or a list), the condition window `sim`, what a nested window writes back to
// (`contextTag`, `contextStack`), and the caption list "tswmis.txt".
#include <QString>
#include <QStringList>
#include <optional>

#include "assist/command_catalogue.h"

namespace vexil {

class Session;

// --- Dades ---------------------------------------------------------------------------------

// "Cordenades": an existing value split at its first blank into x and y.
struct Coordinates {
    QString x;
    QString y;
};
Coordinates splitCoordinates(const QString& value);
QString joinCoordinates(const QString& x, const QString& y);

// "Llista": "[a#b#c]" into its items (brackets taken off where present; items are not
// trimmed, a blank after "[" stays part of the first item).
QStringList listItems(const QString& value);
// Items typed in one box: several when the text holds "#"; none for an empty text.
QStringList typedListItems(const QString& text);
// "[" + the non-empty items joined with "#" + "]"; nothing when no item is left (a choice
// among nothing cannot be played).
std::optional<QString> joinList(const QStringList& items);

// The file kinds of the data window's list `fitxers`, in order, and the command each one
// writes with the chosen file: "Fitxer gràfic" pastes the picture, "Fitxer text" pastes the
// file, "Fitxer so" plays it, "Fitxer exe" starts it.
QStringList dataFileKinds();
// chooseCommandFile's kind for entry `index` of `fitxers`, or -1.
int dataFileKind(int index);
// The command text for entry `index` and a chosen file; empty when the file is.
QString dataFileCommand(int index, const QString& file);

// --- sim -----------------------------------------------------------------------------------

// The condition's value and its two branches, split from a row's parameter
// ("word {if equal} {if different}") and joined back.
struct ConditionValue {
    QString word;
    QString ifEqual;
    QString ifDifferent;
    bool operator==(const ConditionValue&) const = default;
};
ConditionValue splitConditionValue(const QString& parameter);
// word + "{" + if equal + "}{" + if different + "}", with a blank after the word when it has
// none (the player reads the word up to the first blank).
QString joinConditionValue(const ConditionValue& value);
// What "Acceptar" of the condition window gives for a row whose parameter was `original`:
// `original` itself when nothing was changed, else the joined value.
QString conditionParameter(const QString& original, const ConditionValue& edited);

// --- contextTag / contextStack --------------------------------------------------------------

inline constexpr char16_t kTagArea[] = u"Vexil";
inline constexpr char16_t kTagParameter[] = u"Parametre";
inline constexpr char16_t kTagIfEqual[] = u"Si memoria es cert";
inline constexpr char16_t kTagIfDifferent[] = u"Si memoria es fals";

// Where an assistant's "Acceptar" writes, by its tag.
enum class AssistTarget {
    KeysField,     // "Vexil": the area's key field
    ParentRow,     // "Parametre": the parameter of the parent assistant's selected row
    IfEqual,       // the first branch of the open condition window
    IfDifferent,   // the second branch
    DataText,      // any data window's caption: that window's text
};
AssistTarget assistTarget(const QString& tag);

// What the current assistant edits, and the tags of the windows below it, newest first,
// each followed by "|".
class AssistContext {
public:
    QString contextTag;
    QString contextStack;

    // A nested window opens: the current tag goes on the stack and `tag` is current.
    void push(const QString& tag);
    // A window closes: the newest tag on the stack is current again (empty when none).
    void pop();
    int depth() const { return int(contextStack.count(u'|')); }
};

// --- tswmis.txt ----------------------------------------------------------------------------

// Writes into "tswmis.txt" in `folder` (made when missing) one line per caption: the window's
// caption, ",", the index with a leading blank, ",", the caption in double quotes. Windows-1252,
// CR LF. A line of the same window and index already there is replaced where it stands, so
// the list does not grow each time a window opens. Failures are passed over.
void appendCaptionLog(const QString& folder, const QString& windowCaption,
                      const QStringList& captions);
inline constexpr char16_t kCaptionLogName[] = u"tswmis.txt";

}  // namespace vexil
