#pragma once
// The program's own texts: numbered messages, the caption table and the command names.
#include <QString>
#include <span>

namespace vexil {

QString messageText(int number);
QString translateCaption(const QString& catalan);
// direction 0: stored names to displayed ones; 1: back. Each name is translated at its
// first occurrence only.
QString translateCommands(const QString& text, int direction);

// One row of a translation table: the Catalan (stored) text and the Spanish (displayed) one.
struct CaptionRow {
    const char16_t* catalan;
    const char16_t* spanish;
};
// The 176 captions, in the order they are searched.
std::span<const CaptionRow> captionTable();
// The 25 command names, in the order they are applied.
std::span<const CaptionRow> commandNameTable();

}  // namespace vexil
