#include "access/access_actions.h"

#include "app/session.h"
#include "commands/player.h"
#include "commands/sound_speech.h"

namespace vexil {

QString announcementText(const Area& area) {
    return area.soundFile.isEmpty() ? keysDisplayText(area.keys) : area.soundFile;
}

void PlayerActions::activate(int area) {
    activateArea(session_, area);
}

void PlayerActions::announce(const Area& area) {
    So_icona(session_, announcementText(area));
}

}  // namespace vexil
