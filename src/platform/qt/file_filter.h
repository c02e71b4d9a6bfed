#pragma once
// File dialog filters as the program writes them ("Vexil (*.VXL)|*.VXL|Tots (*.*)|*.*")
// made into Qt's form, matching extensions without regard to case as Windows does.
#include <QString>
#include <QStringList>

namespace vexil {

// One Qt filter per description/pattern pair: "Vexil (*.VXL) (*.[vV][xX][lL])". The
// description stays as written; the patterns come last, in brackets that take either case,
// "*.*" becomes "*", and ";"-separated patterns become a blank-separated list. A trailing
// description without patterns is dropped.
QStringList qtFileFilters(const QString& windowsFilter);

// "*.VXL" as a case-blind wildcard: "*.[vV][xX][lL]".
QString caseBlindPattern(const QString& pattern);

}  // namespace vexil
