#pragma once
// The outputs (sinks) the sound server offers, asked through libpulse (PulseAudio, or
// PipeWire through its PulseAudio service).
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace vexil {

// Each sink's name and description, in the server's order; empty when the server does not
// answer within `timeoutMs`.
std::optional<QList<std::pair<QString, QString>>> pulseOutputs(int timeoutMs = 2000);

}  // namespace vexil
