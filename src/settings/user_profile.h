#pragma once
// The user's access settings, and the two program-wide settings beside them.
#include <QString>
#include <array>
#include <cstdint>

namespace vexil {

// The access modes, the values of `accessMode`.
enum AccessMode : int {
    kModeMouse = 0,
    kModeManualScan = 1,
    kModeAutoScan = 2,
    kModeCursorKeys = 3,
    kModeJoystick = 4,
    kModeVoiceOne = 5,
    kModeVoiceTwo = 6,
    kModeVoiceFive = 7,
    kModeMultimouse = 8,
};

struct SwitchSetting {
    std::int16_t accio = 0;    // switch code, 0 = unset
    QString variable;          // characters that count as the switch
    std::int16_t retard = 0;   // "Temps d'acció", tenths of a second
    friend bool operator==(const SwitchSetting&, const SwitchSetting&) = default;
};

// Settings that adapt the access methods to the person (section [Adaptacio] of the .USR
// file). Every one is off (0) by default, so that a profile without them works as before.
struct AdaptSettings {
    std::int16_t Acceptacio = 0;            // ms a switch must be held before it counts
    std::int16_t TempsMort = 0;             // ms after an accepted press when presses are ignored
    std::int16_t MantenirPerEscanejar = 0;  // 1: automatic scanning runs while held, release selects
    std::int16_t PrimerElement = 0;         // ms the first highlight of a scan stays longer
    std::int16_t Voltes = 0;                // full cycles before automatic scanning pauses; 0 never
    std::int16_t GuiaAuditiva = 0;          // 1: each highlighted area is said in the cue voice
    std::int16_t GuiaEspera = 0;            // 1: the scan step waits until the cue has been said
    std::int16_t Permanencia = 0;           // ms of resting on an area that activate it (mouse mode)
    std::int16_t PermanenciaRadi = 0;       // pixels the pointer may wander while resting
    std::int16_t PermanenciaRepeticio = 0;  // ms after which resting activates again; 0 only after leaving
    std::int16_t RegistreUs = 0;            // 1: activations are written to the usage record
    std::int16_t GuiaVolum = 100;           // cue volume in percent, 0 silent (key VolumGuia)
    std::int16_t GuiaVelocitat = 0;         // cue speed (100 normal); 0 the board's speed
    std::int16_t GuiaVeu = 0;               // cue speaker number + 1; 0 the alternate voice
    std::int16_t AnunciAjustat = 0;         // 1: a spoken announcement is shortened to the scan step; 0 the step waits for it
    std::int16_t AvisFiltre = 0;            // 1: a dropped press beeps beside its sign
    std::int16_t PremudaLlarga = 0;         // ms held for switch 1 to select, not step; 0 off
    std::int16_t VoltesGrup = 0;            // cycles in a group before leaving it; 0 never
    QString GuiaSortida;                    // the cue's audio output (a sound-server sink); empty the main one
    friend bool operator==(const AdaptSettings&, const AdaptSettings&) = default;
};

struct UserProfile {
    std::int16_t accessMode = 0;              // modus, 0..8
    std::array<SwitchSetting, 3> switches{};  // elements 1 and 2 used
    std::int16_t temps = 0;                   // scan step, tenths of a second
    std::int16_t gruix = 0;                   // highlight frame thickness
    double color = 0;                         // highlight colour as an RGB number (red = 255)
    std::array<std::int32_t, 4> joystickCentre{};
    // The centre holds a reading: a joystick answered when probed, or the mouse has been
    // seen since polling started. Kept in memory only, as the centre is.
    bool joystickCentreTaken = false;
    std::int16_t n_joystic = 0;               // joystick number + 1; 100 = the mouse; 0 none
    std::int16_t joystic_sensi = 0;
    std::int16_t joystic_retard = 0;
    std::array<QString, 33> voiceWords{};     // index 0 holds the joined list
    std::int16_t voiceCommandCount = 0;
    std::int32_t engineVersion = 0;
    std::int16_t recognitionState = 0;
    std::int16_t recognitionTenths = 0;
    AdaptSettings adapt;                      // section [Adaptacio]
    friend bool operator==(const UserProfile&, const UserProfile&) = default;
};

// Settings that live beside the profile: the activation interval and "So".
struct ProgramSettings {
    std::int16_t Interval = 500;  // milliseconds, never below 100
    QString So = QStringLiteral("Si");
};

}  // namespace vexil
