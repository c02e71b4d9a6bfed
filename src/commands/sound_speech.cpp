#include "commands/sound_speech.h"

#include "session/session.h"

namespace vexil {

void registerSpeechEngine(Session& session) {
    const QString key = kSpeechKeyParent + kSpeechEngineKey;
    if (session.platform.speech.available())
        session.registry.setValue(kSpeechRoot, key, QString(),
                                  RegistryValue{1, QByteArrayLiteral("Vexil")});
    else
        session.registry.removeKey(kSpeechRoot, key);
}

void startSpeech(Session& session) {
    const QString subkeys = session.registry.listSubkeys(kSpeechRoot, kSpeechKeyParent);
    if (subkeys != kSpeechEngineKey + u'\r') return;
    SpeechState& st = session.speech;
    SpeechEngine& engine = session.platform.speech;
    st.speechAvailable = true;
    st.speakerCursor = -1;
    st.speakerCount = engine.numberOfSpeakers();
    engine.setLanguage(99);
    ++st.speakerCursor;
    if (st.speakerCursor >= st.speakerCount) st.speakerCursor = 0;
    engine.setSpeaker(st.speakerCursor);
    TemplateSettings& t = session.tmpl.settings;
    t.voiceLanguage = 0;
    t.voiceSpeaker = 0;
    t.voiceSpeed = 100;
}

void applyTemplateVoice(Session& session) {
    if (!session.speech.speechAvailable) return;
    const TemplateSettings& t = session.tmpl.settings;
    SpeechEngine& engine = session.platform.speech;
    engine.setSpeaker(t.voiceSpeaker + 1);
    engine.setLanguage(t.voiceLanguage == 1 ? 101 : 99);
    engine.setSpeed(t.voiceSpeed);
}

void closeMidi(Session& session) {
    QString& open = session.speech.openMidiDevice;
    if (open.isEmpty()) return;
    session.platform.sound.midiCommand(QStringLiteral("close ") + open);
    open.clear();
}

bool playWave(Session& session, const QString& path) {
    closeMidi(session);
    return session.platform.sound.playWave(session.realPath(path));
}

void playMidi(Session& session, const QString& path) {
    closeMidi(session);
    const QString real = session.realPath(path);
    session.platform.sound.midiCommand(QStringLiteral("play ") + real);
    session.speech.openMidiDevice = real;
}

int alternateSpeaker(int voiceSpeaker, int speakerCount) {
    // With fewer than three voices the alternate voice is voice 1 (and no division by zero).
    if (speakerCount < 3) return 1;
    return ((voiceSpeaker + 1) % (speakerCount - 1)) + 1;
}

void So_icona(Session& session, const QString& soundText) {
    QString s = soundText.trimmed().toUpper();
    if (s.isEmpty()) return;
    if (s.contains(QLatin1String(".WAV"))) {
        playWave(session, s);
        return;
    }
    s.replace(u'.', u';');
    if (!session.speech.speechAvailable) return;
    SpeechEngine& engine = session.platform.speech;
    const int voice = session.tmpl.settings.voiceSpeaker;
    engine.resume();
    engine.setSpeaker(alternateSpeaker(voice, session.speech.speakerCount));
    if (session.speech.announceWithin > 0)
        engine.readWithin(s, session.speech.announceWithin);
    else
        engine.read(s);
    engine.setSpeaker(voice + 1);
}

void readAloud(Session& session, const QString& text) {
    QString s = text;
    readTextAloud(session, s.replace(u'.', u';'));
}

void readTextAloud(Session& session, const QString& text) {
    if (!session.speech.speechAvailable) return;
    SpeechEngine& engine = session.platform.speech;
    engine.resume();
    engine.setSpeaker(session.tmpl.settings.voiceSpeaker + 1);
    engine.read(text);
}

}  // namespace vexil
