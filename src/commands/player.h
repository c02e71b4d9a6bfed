#pragma once
// Area activation and the key-sequence player.
#include <QString>

#include "platform/types.h"

namespace vexil {

class Session;

void activateArea(Session& session, int areaNumber);
void playKeySequence(Session& session, const QString& keys);
QString win_actiu_titol(Session& session);
WindowHandle launchAndFindWindow(Session& session, const QString& commandLine);
QString resolvePath(const Session& session, const QString& fileName);
bool fileExistsOrWarn(Session& session, const QString& fileName);
QString keysDisplayText(const QString& keys);

}  // namespace vexil
