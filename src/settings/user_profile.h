#pragma once
// The user's access settings, and the two program-wide settings beside them.
#include <QString>
#include <array>
#include <cstdint>

namespace vexil {

struct SwitchSetting {
    std::int16_t accio = 0;    // switch code, 0 = unset
    QString variable;          // characters that count as the switch
    std::int16_t retard = 0;   // "Temps d'acció", tenths of a second
    friend bool operator==(const SwitchSetting&, const SwitchSetting&) = default;
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
    friend bool operator==(const UserProfile&, const UserProfile&) = default;
};

// Settings that live beside the profile: the activation interval and "So".
struct ProgramSettings {
    std::int16_t Interval = 500;  // milliseconds, never below 100
    QString So = QStringLiteral("Si");
};

}  // namespace vexil
