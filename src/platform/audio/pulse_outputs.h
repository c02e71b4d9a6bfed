#pragma once
// The outputs (sinks) the sound server offers, asked through libpulse (PulseAudio, or
// PipeWire through its PulseAudio service). Part of the sound module, so that libpulse and
// what it brings (libsndfile and its codecs) are loaded only when the outputs are asked for.
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace vexil {

// Each sink's name and description, in the server's order; empty when the server does not
// answer within `timeoutMs`.
std::optional<QList<std::pair<QString, QString>>> pulseOutputs(int timeoutMs = 2000);

}  // namespace vexil
