#pragma once
// The program's own texts: numbered messages, the caption table and the command names.
#include <QString>

namespace vexil {

QString messageText(int number);
QString translateCaption(const QString& catalan);
// direction 0: stored names to displayed ones; 1: back.
QString translateCommands(const QString& text, int direction);

}  // namespace vexil
