#pragma once
// Reads MACROS.INI into the session's catalogue.
#include <QString>

namespace vexil {

class Session;

void loadProgramCatalogue(Session& session);
void loadMacros(Session& session, const QString& section);

}  // namespace vexil
