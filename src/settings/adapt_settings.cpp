#include "settings/adapt_settings.h"

#include <QStringList>
#include <algorithm>

#include "settings/ini_file.h"
#include "settings/number_text.h"

namespace vexil {

const std::vector<AdaptKey>& adaptKeys() {
    static const std::vector<AdaptKey> keys = {
        {"Acceptacio", &AdaptSettings::Acceptacio, 0, kMaxAdaptMilliseconds},
        {"TempsMort", &AdaptSettings::TempsMort, 0, kMaxAdaptMilliseconds},
        {"MantenirPerEscanejar", &AdaptSettings::MantenirPerEscanejar, 0, 1},
        {"PrimerElement", &AdaptSettings::PrimerElement, 0, kMaxAdaptMilliseconds},
        {"Voltes", &AdaptSettings::Voltes, 0, 100},
        {"GuiaAuditiva", &AdaptSettings::GuiaAuditiva, 0, 1},
        {"GuiaEspera", &AdaptSettings::GuiaEspera, 0, 1},
        {"Permanencia", &AdaptSettings::Permanencia, 0, kMaxAdaptMilliseconds},
        {"PermanenciaRadi", &AdaptSettings::PermanenciaRadi, 0, 500},
        {"PermanenciaRepeticio", &AdaptSettings::PermanenciaRepeticio, 0, kMaxAdaptMilliseconds},
        {"RegistreUs", &AdaptSettings::RegistreUs, 0, 1},
        {"VolumGuia", &AdaptSettings::GuiaVolum, 0, 100},
        {"GuiaVelocitat", &AdaptSettings::GuiaVelocitat, 0, 400},
        {"GuiaVeu", &AdaptSettings::GuiaVeu, 0, 32},
        {"AnunciAjustat", &AdaptSettings::AnunciAjustat, 0, 1},
        {"AvisFiltre", &AdaptSettings::AvisFiltre, 0, 1},
        {"PremudaLlarga", &AdaptSettings::PremudaLlarga, 0, kMaxAdaptMilliseconds},
        {"VoltesGrup", &AdaptSettings::VoltesGrup, 0, 100},
    };
    return keys;
}

namespace {

const QString kOutputKey = QStringLiteral("GuiaSortida");
// The cue volume of earlier versions, where 0 stood for the normal 100: read when the
// volume key of today is missing, and written beside it for those versions (silence, which
// they cannot say, as the least they can).
const QString kOldVolumeKey = QStringLiteral("GuiaVolum");

// A whole number as the settings are written: blanks, an optional sign, digits, and
// nothing else but blanks. Anything else (text, decimals, huge numbers) is no value.
std::optional<int> wholeNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (t[0] == u'+' || t[0] == u'-') negative = t[i++] == u'-';
    if (i == t.size()) return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9') return std::nullopt;
        v = v * 10 + (t[i].unicode() - u'0');
        if (v > 1000000) return std::nullopt;
    }
    return int(negative ? -v : v);
}

}  // namespace

void readAdaptSettings(AdaptSettings& settings, const IniFile& ini, QStringList* rejected) {
    settings = AdaptSettings{};
    for (const AdaptKey& k : adaptKeys()) {
        const QString text = ini.value(kAdaptSection, QLatin1String(k.key));
        if (text.isEmpty()) continue;
        const std::optional<int> v = wholeNumber(text);
        if (!v || *v < k.min || *v > k.max) {
            if (rejected) *rejected << QLatin1String(k.key);
            continue;
        }
        settings.*k.field = std::int16_t(*v);
    }
    if (!ini.hasKey(kAdaptSection, QStringLiteral("VolumGuia"))) {
        const QString old = ini.value(kAdaptSection, kOldVolumeKey);
        if (!old.isEmpty()) {
            const std::optional<int> v = wholeNumber(old);
            if (v && *v >= 0 && *v <= 100)
                settings.GuiaVolum = std::int16_t(*v == 0 ? 100 : *v);
            else if (rejected)
                *rejected << kOldVolumeKey;
        }
    }
    settings.GuiaSortida = ini.value(kAdaptSection, kOutputKey);
}

void writeAdaptSettings(const AdaptSettings& settings, IniFile& ini) {
    bool present = false;
    for (const AdaptKey& k : adaptKeys())
        present = present || ini.hasKey(kAdaptSection, QLatin1String(k.key));
    present = present || ini.hasKey(kAdaptSection, kOutputKey) ||
              ini.hasKey(kAdaptSection, kOldVolumeKey);
    if (!present && settings == AdaptSettings{}) return;
    for (const AdaptKey& k : adaptKeys())
        ini.setValue(kAdaptSection, QLatin1String(k.key), numberText(settings.*k.field));
    ini.setValue(kAdaptSection, kOldVolumeKey, numberText(std::max<int>(settings.GuiaVolum, 1)));
    // Sink names hold no blanks at their ends; an empty name is the main output.
    ini.setValue(kAdaptSection, kOutputKey, settings.GuiaSortida.trimmed());
}

}  // namespace vexil
