#include "commands/registry_text.h"

#include <QStringList>

#include "platform/codepage.h"

namespace vexil {

std::optional<RegistryValue> decodeRegistryValueText(const QString& text) {
    const QString upper = text.toUpper();
    RegistryValue value;
    if (upper.startsWith(QLatin1String("HEX:"))) {
        value.type = 3;
        const QString list = text.mid(4).trimmed();
        if (list.isEmpty()) return value;
        for (const QString& item : list.split(u',')) {
            bool ok = false;
            const uint byte = item.trimmed().toUInt(&ok, 16);
            if (!ok || byte > 0xFF) return std::nullopt;
            value.data.append(char(byte));
        }
        return value;
    }
    if (upper.startsWith(QLatin1String("DWORD:"))) {
        value.type = 4;
        bool ok = false;
        const QString digits = text.mid(6).trimmed();
        const std::uint32_t n = digits.size() <= 8 ? digits.toUInt(&ok, 16) : 0;
        if (!ok) return std::nullopt;
        for (int i = 0; i < 4; ++i) value.data.append(char((n >> (8 * i)) & 0xFF));
        return value;
    }
    if (text.contains(u':')) return std::nullopt;
    value.type = 1;
    value.data = encodeAnsi(text);
    return value;
}

}  // namespace vexil
