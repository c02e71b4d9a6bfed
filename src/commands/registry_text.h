#pragma once
// The text forms of registry values that boards write: plain text (no ":"), "HEX:0a,ff" and
// "DWORD:0000001f".
#include <QString>
#include <optional>

#include "commands/registry.h"

namespace vexil {

// The type and bytes a value text stands for; nothing for an unsupported form (any other
// text holding ":") or malformed hexadecimal digits.
std::optional<RegistryValue> decodeRegistryValueText(const QString& text);

}  // namespace vexil
