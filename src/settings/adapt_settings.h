#pragma once
// The section [Adaptacio] of a user profile: the settings that adapt the access methods to
// the person. The section is the profile's own; programs that do not know it pass over it,
// so a profile keeps opening where it was made.
#include <QString>
#include <vector>

#include "settings/user_profile.h"

namespace vexil {

class IniFile;

inline const QString kAdaptSection = QStringLiteral("Adaptacio");

// One whole-number setting: its key, the field, and the values it may take (anything
// outside them, or a value that is no number, reads as 0, off).
struct AdaptKey {
    const char* key;
    std::int16_t AdaptSettings::*field;
    int min;
    int max;
};
const std::vector<AdaptKey>& adaptKeys();

// Reads the section into `settings`; a missing key is 0. Values out of range or not
// numbers are 0 and their keys are listed in `rejected` (when given): the profile still
// loads.
void readAdaptSettings(AdaptSettings& settings, const IniFile& ini,
                       QStringList* rejected = nullptr);
// Writes the section when any setting is on or the file already has it; a profile that
// never used these settings is written exactly as before.
void writeAdaptSettings(const AdaptSettings& settings, IniFile& ini);

// The longest the highlight can be asked to wait or stay (one minute).
inline constexpr int kMaxAdaptMilliseconds = 32767;

}  // namespace vexil
