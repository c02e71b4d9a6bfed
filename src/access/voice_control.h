#pragma once
// The voice control dialog `veu` without its widgets: the command sets and their switch
// codes, the start of the recogniser, training, and the trained sounds kept for each user
// profile in the user's folder. The dialog and its windows (access/ui) call these.
#include <QString>
#include <QStringList>
#include <optional>

#include "voice/voice_model.h"

namespace vexil {

class Session;

// Option n (0 "1 Ordre", 1 "2 Ordres", 2 "5 Ordres"): its labels in order.
QStringList voiceCommandLabels(int option);
// The option of a voice access mode (5, 6, 7), or -1.
int voiceOptionOfMode(int accessMode);

// Choosing an option while the recogniser was never started: the 33 texts emptied, then the
// labels, their count, the access mode and the switch codes of that command set.
void chooseVoiceCommandSet(Session& session, int option);

// The recogniser started for the profile's labels: -1 on success, 0 when there is nothing to
// start (no labels) or it cannot start, after the message "No s'ha pogut iniciar la Dll de
// reconeixement de sons". On success the recognition window is set and the sounds trained
// for this profile and command set are loaded (a damaged or foreign file is reported and
// left where it is).
int startVoiceEngine(Session& session);

// "&Entrenament" up to the training window: the recognition window from `decimes`, and the
// recogniser started when it was not. True when training may go on.
bool beginVoiceTraining(Session& session, const QString& decimes);

// The dialog's fields as typed when "Acceptar" is pressed.
struct VoiceEntry {
    QString retard;   // "Temps de presentació"
    QString gruix;    // "Gruix del marc"
    double color = 255;
};
void acceptVoiceDialog(Session& session, const VoiceEntry& entry);

// --- trained sounds on disk

// The file of trained sounds of the profile last loaded (Vexil.INI's `usuari`), or of the
// user without a profile: in the user's folder, "veu/<profile name>-<8 hex digits>.sons".
QString voiceSoundsPath(const Session& session);

enum class VoiceSaveResult { Saved, NothingTrained, NoRecognizer, Failed };
// "&Guardar...": the recogniser's trained sounds into the profile's file, written whole or
// not at all. A file there that holds another command set's sounds, or that cannot be read,
// is first kept aside as "<file>.anterior", so that nothing trained is lost. Messages tell
// what happened.
VoiceSaveResult saveVoiceSounds(Session& session);
// Loads the profile's file into the recogniser's model (nothing when missing); a damaged,
// newer or foreign file shows a message and leaves the model and the file as they are.
voice::LoadStatus loadVoiceSounds(Session& session);
// The message shown for a file of trained sounds that does not load.
QString voiceLoadMessage(voice::LoadStatus status, const QString& path);

// What the recogniser reports when capture breaks off: listening has ended.
void voiceCaptureFailed(Session& session, const QString& reason);

}  // namespace vexil
