#pragma once
// Writes the session's template to a board file.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vexil {

class Template;

// Writes the whole template to `realPath` (a path of this machine), atomically: a failed
// write leaves the previous file as it was. Throws RuntimeError on failure.
void writeTemplate(const Template& tmpl, const QString& realPath);

// The bytes writeTemplate writes: CR LF lines in the Windows-1252 code page, header 2 and 1,
// the real areas only while a group selection exists.
QByteArray templateFileBytes(const Template& tmpl);

// The texts the code page cannot hold whole, one line each ("Plafón: ...", "Área 3: ..."),
// in file order: saved, their other characters become "?".
QStringList textsOutsideCodePage(const Template& tmpl);

}  // namespace vexil
