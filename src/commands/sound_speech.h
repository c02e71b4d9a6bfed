#pragma once
// Wave and MIDI sounds, and the speech engine: its start-up, the area sound field
// (So_icona) and the LLEGIR command.
#include <QString>

namespace vexil {

class Session;

// Where the program tells itself that a speech engine is installed: the key exists exactly
// when the platform's engine is available. Run at start-up, before startSpeech.
inline const QString kSpeechRoot = QStringLiteral("HKEY_LOCAL_MACHINE");
inline const QString kSpeechKeyParent = QStringLiteral("SOFTWARE\\UPC\\");
inline const QString kSpeechEngineKey = QStringLiteral("UPCTTSEngine");
void registerSpeechEngine(Session& session);

// Finds the engine through the registry and selects Catalan and the first voice; resets the
// template's voice settings to their defaults.
void startSpeech(Session& session);
// The template's voice settings into the engine (entering use mode, accepting the template
// properties): voice voiceSpeaker + 1, language, speed.
void applyTemplateVoice(Session& session);

// Plays a wave file (a board name) to its end; a playing MIDI file is stopped first.
bool playWave(Session& session, const QString& path);
// Starts a MIDI file (a board name) without waiting; the previous one is stopped first.
void playMidi(Session& session, const QString& path);
// Stops the MIDI file that is playing, if any (leaving use mode).
void closeMidi(Session& session);

// An area's sound field: a wave file is played, any other text is said with the alternate
// voice (within `SpeechState::announceWithin` when it is set).
void So_icona(Session& session, const QString& soundText);
// Reads a text with the template's voice (LLEGIR).
void readAloud(Session& session, const QString& text);
// Reads a text file's contents with the template's voice (LLEGEIX); the text is said as
// it is written. Files are read up to this many bytes.
inline constexpr qint64 kMaxReadFileBytes = 1 << 20;
void readTextAloud(Session& session, const QString& text);
// The alternate voice of So_icona for a template voice and the engine's voice count.
int alternateSpeaker(int voiceSpeaker, int speakerCount);

}  // namespace vexil
