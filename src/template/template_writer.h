#pragma once
// Writes the session's template to a board file.
#include <QString>

namespace vexil {

class Template;

// Writes the whole template to `realPath` (a path of this machine), atomically: a failed
// write leaves the previous file as it was. Throws RuntimeError on failure.
void writeTemplate(const Template& tmpl, const QString& realPath);

}  // namespace vexil
