#include "sound_files.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <random>

#include "platform/voice/capture.h"
#include "voice/voice_model.h"

namespace vexil::test {

std::vector<float> spoken(const QString& text, const QString& voice, int pitch, int speed) {
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("w.wav"));
    QProcess p;
    p.start(QStringLiteral("espeak-ng"),
            {QStringLiteral("-v"), voice, QStringLiteral("-p"), QString::number(pitch),
             QStringLiteral("-s"), QString::number(speed), QStringLiteral("-w"), wav, text});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        ADD_FAILURE() << "espeak-ng could not speak " << text.toStdString();
        return {};
    }
    std::vector<float> samples;
    QString error;
    if (!voice::FileCapture::readSamples(wav, samples, &error))
        ADD_FAILURE() << error.toStdString();
    return samples;
}

std::vector<float> quiet(int ms, float noise) {
    std::vector<float> s(std::size_t(ms) * 16, 0.0f);
    std::mt19937 random(ms);
    std::uniform_real_distribution<float> d(-noise, noise);
    if (noise > 0)
        for (float& x : s) x = d(random);
    return s;
}

void append(std::vector<float>& to, const std::vector<float>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

QByteArray voiceFileOfVersion(const voice::VoiceModel& model, quint16 version, int soundlessLabel) {
    QByteArray body("VXSONS");
    QDataStream out(&body, QIODevice::Append);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out.setVersion(QDataStream::Qt_6_0);
    out << version << quint16(model.labelCount());
    for (const QString& l : model.labels()) out << l;
    const auto floats = [&](const std::vector<float>& v) {
        out << quint32(v.size());
        for (float x : v) out << x;
    };
    for (int l = 1; l <= model.labelCount(); ++l) {
        out << quint16(model.takes(l).size());
        for (const voice::Take& t : model.takes(l)) {
            out << quint16(t.features.dims);
            floats(t.features.values);
            floats(t.envelope);
            if (version >= 3) floats(l == soundlessLabel ? std::vector<float>{} : t.samples);
        }
    }
    return body + QCryptographicHash::hash(body, QCryptographicHash::Sha256);
}

bool writeWave(const QString& path, const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = 16000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!f) return false;
    sf_writef_float(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
    return true;
}

}  // namespace vexil::test
