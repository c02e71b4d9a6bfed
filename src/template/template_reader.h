#pragma once
// Reads a board file into the session's template.
#include <QString>

namespace vexil {

class Session;

// Loads the board at `path` (a board name: absolute when it holds ":" or starts with "/",
// else taken in the template's folder). Errors are reported as message boxes, once per error
// number, and the load goes on; the template holds what could be read.
void loadTemplate(Session& session, const QString& path);

}  // namespace vexil
