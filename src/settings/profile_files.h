#pragma once
// The user profile (.USR) and the program settings file (Vexil.INI).
#include <QString>

namespace vexil {

class Session;

void loadProgramSettings(Session& session);
void loadUserProfile(Session& session, const QString& path);
void readUserProfile(Session& session, const QString& path);
void writeUserProfile(const Session& session, const QString& path);
// "Usuari &Nou": every field zero or empty, then mode 0, colour 255, thickness 8.
void resetUserProfile(Session& session);

}  // namespace vexil
