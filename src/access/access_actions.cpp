#include "access/access_actions.h"

#include "commands/player.h"
#include "commands/sound_speech.h"
#include "platform/picture_files.h"
#include "session/session.h"

namespace vexil {

QString announcementText(const Area& area) {
    return area.soundFile.isEmpty() ? keysDisplayText(area.keys) : area.soundFile;
}

QString cueLabel(const Area& area) {
    const QString icon = area.iconFile.trimmed();
    if (!icon.isEmpty() && !isPictureName(icon)) return icon;
    return keysDisplayText(area.keys);
}

QString cueText(const Area& area) {
    const QString sound = area.soundFile.trimmed();
    return sound.isEmpty() ? cueLabel(area) : sound;
}

void announceCue(Session& session, const Area& area) {
    const AdaptSettings& a = session.profile.adapt;
    const QString text = cueText(area);
    // Nothing to say, or a cue turned all the way down: no cue, and no step waits for one.
    if (text.isEmpty() || a.GuiaVolum <= 0) {
        session.cue->stop();
        return;
    }
    const int volume = a.GuiaVolum;
    if (text.toUpper().contains(QLatin1String(".WAV"))) {
        session.cue->play(session.realPath(text), volume);
        return;
    }
    const TemplateSettings& t = session.tmpl.settings;
    CueStyle style;
    style.language = t.voiceLanguage == 1 ? 101 : 99;
    style.speaker = a.GuiaVeu > 0
                        ? a.GuiaVeu
                        : alternateSpeaker(t.voiceSpeaker, session.speech.speakerCount);
    style.speed = a.GuiaVelocitat > 0 ? a.GuiaVelocitat : t.voiceSpeed;
    style.volume = volume;
    QString said = text;
    session.cue->say(said.replace(u'.', u';'), style);
}

void PlayerActions::activate(int area) {
    activateArea(session_, area);
}

void PlayerActions::announce(const Area& area) {
    if (session_.profile.adapt.GuiaAuditiva != 0) {
        announceCue(session_, area);
        return;
    }
    So_icona(session_, announcementText(area));
}

}  // namespace vexil
