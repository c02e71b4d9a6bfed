#pragma once
// The auxiliary keyboard `TecVirt` without its window: the special-key buttons
// (`Command1`), the picture buttons for modifiers and commands (`Picture2`), the text each
// inserts, and the insertion at the cursor of a key field.
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <span>

namespace vexil {

class Session;

struct AuxKeyButton {
    int index;            // Command1 index
    const char* caption;  // as designed; arrows and Enter are drawn as glyphs
    const char* text;     // inserted text
};
// The special keys, in index order (there is no button 25).
std::span<const AuxKeyButton> auxKeyButtons();
// The inserted text of Command1(index); empty for an index with no button.
QString auxKeyText(int index);

enum class PictureKind { Shift, Ctrl, Alt, Wait, LoadTemplate, RunProgram, TopLevel,
                         PreviousLevel, None };
struct AuxPictureButton {
    int index;  // Picture2 index
    PictureKind kind;
    const char* text;  // inserted text; for the two file buttons, the opening before the name
};
std::span<const AuxPictureButton> auxPictureButtons();

// What Picture2(index) inserts: the fixed text, or for the template and program buttons the
// opening, the chosen file and "}" (the file dialog through the session's platform, in the
// program's folder). Nothing when the dialog is cancelled, the name is unusable, or the
// button inserts nothing.
std::optional<QString> auxPictureText(Session& session, int index);

// A text inserted into a key field at `cursor`: the field's first `cursor` characters, the
// text, then the rest, the cursor after the inserted text.
struct FieldEdit {
    QString text;
    int cursor = 0;
};
FieldEdit insertAtCursor(const QString& field, int cursor, const QString& inserted);

// Where the keyboard's window (of `size`, frame included) stands on `screen` so that it hides
// nothing it writes into: beside `window` (the window whose key field it writes into), on
// its right, else its left, below or above; when none of these fits on the screen, beside
// `field` itself, and failing that the place that hides least of the field, then of the
// window. Always within the screen as far as the size allows.
QPoint auxKeyboardPosition(const QRect& screen, const QSize& size, const QRect& window,
                           const QRect& field);

}  // namespace vexil
