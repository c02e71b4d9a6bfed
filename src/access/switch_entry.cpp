#include "access/switch_entry.h"

#include <QRegularExpression>
#include <cmath>

namespace vexil {

namespace {

constexpr int kListOption = 3;   // "Tecla de la llista"
constexpr int kOptionCount = 9;

}  // namespace

std::optional<std::int16_t> dialogNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    if (text.trimmed().isEmpty()) return std::int16_t(0);
    const auto match = number.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const double value = std::nearbyint(match.captured(1).toDouble());
    if (!std::isfinite(value) || value < -32768 || value > 32767) return std::nullopt;
    return std::int16_t(value);
}

bool acceptSwitchEntry(UserProfile& profile, int number, const SwitchEntry& entry) {
    const int i = (entry.option >= 0 && entry.option < kOptionCount) ? entry.option : 9;
    const QString list = entry.keyList.trimmed();
    if (i == 9 || (i == kListOption && list.isEmpty())) return false;
    if (number == 2) {
        const SwitchSetting& first = profile.switches[1];
        const bool differentLists =
            i == kListOption && first.accio == kListOption + 1 && list != first.variable;
        if (i + 1 == first.accio && !differentLists) return false;
    }
    const auto temps = dialogNumber(entry.presentationTime);
    if (!temps) return false;
    // Texts that are no numbers count as 0, as the program reads its numeric boxes.
    const std::int16_t retard = dialogNumber(entry.actionTime).value_or(0);
    const std::int16_t gruix = dialogNumber(entry.thickness).value_or(0);

    SwitchSetting& target = profile.switches[size_t(number == 2 ? 2 : 1)];
    target.accio = std::int16_t(i + 1);
    target.variable = list;
    target.retard = retard;
    // A frame must be seen: no thickness, or a negative one, gives the usual 8.
    profile.gruix = gruix <= 0 ? std::int16_t(8) : gruix;
    profile.color = entry.color;
    profile.temps = *temps;
    return true;
}

SwitchEntry switchEntryFor(const UserProfile& profile, int number) {
    const SwitchSetting& s = profile.switches[size_t(number == 2 ? 2 : 1)];
    SwitchEntry e;
    const int option = s.accio - 1;
    e.option = (option >= 0 && option <= 50 && option < kOptionCount) ? option : -1;
    e.keyList = s.variable;
    e.actionTime = QString::number(s.retard);
    e.presentationTime = QString::number(profile.temps);
    e.thickness = QString::number(profile.gruix);
    e.color = profile.color;
    return e;
}

}  // namespace vexil
