#pragma once
// What the key-sender probes share: the monotonic clock the targets' logs use, a text file
// read into keys, and one timed stretch printed as a JSON line.
#include <QFile>
#include <QString>
#include <cstdio>
#include <optional>

#include <time.h>

#include "commands/keystroke_parser.h"
#include "platform/keyboard.h"

namespace vexil::bench {

// CLOCK_MONOTONIC seconds, as the targets write the time each key was read.
inline double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The text of a UTF-8 file as keys typing it literally; nothing when it cannot be read.
inline std::optional<KeySequence> keysOfTextFile(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const KeyParseResult parsed = parseKeystrokes(escapeKeystrokes(QString::fromUtf8(file.readAll())));
    if (parsed.error != KeyParseError::None) return std::nullopt;
    return parsed.sequence;
}

// Sends one stretch and prints when it started and when `send` returned; its failure code.
inline int sendTimed(KeySender& keys, const KeySequence& sequence) {
    const double start = now();
    const int code = keys.send(sequence);
    const double returned = now();
    std::printf("{\"start\":%.6f,\"returned\":%.6f,\"code\":%d}\n", start, returned, code);
    std::fflush(stdout);
    return code;
}

}  // namespace vexil::bench
