#pragma once
// Sound files made at test time: words spoken by espeak-ng, silences, noise from sox.
#include <QString>
#include <QStringList>
#include <QByteArray>
#include <vector>

namespace vexil::voice {
class VoiceModel;
}

namespace vexil::test {

// `text` spoken by espeak-ng with `voice` ("es", "ca+f3"...), pitch 0-99 and speed in words
// a minute, as 16 kHz mono samples.
std::vector<float> spoken(const QString& text, const QString& voice, int pitch = 50,
                          int speed = 160);
// Silence of `ms` milliseconds, with white noise `noise` (0..1 of full scale).
std::vector<float> quiet(int ms, float noise = 0.0f);
// Writes 16 kHz mono samples as a WAV file; false when it cannot.
bool writeWave(const QString& path, const std::vector<float>& samples);
void append(std::vector<float>& to, const std::vector<float>& more);
// `model`'s takes in a file of trained sounds as an earlier version (2 to 4) wrote it: no
// syllable beats, and from version 3 each take's sound, but none for the takes of
// `soundlessLabel`.
QByteArray voiceFileOfVersion(const voice::VoiceModel& model, quint16 version, int soundlessLabel = 0);

}  // namespace vexil::test
