// The reader of saved trained sounds over any bytes: no crash, no hang; a file that loads
// writes back as the same model, byte for byte when of the version written today; a file
// that does not load leaves the model as it was. Takes of the version before are measured
// again as the fake recogniser measures. The same bytes go through loading for a profile,
// in a folder of their own, where a bad file must show one message, leave the model
// untrained and stay on disk untouched.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "access/voice_control.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "voice/voice_model.h"

using namespace vexil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList labels = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("TEST")};

    FakePlatform fake;
    const voice::Measure measure = [&fake](const std::vector<float>& samples) {
        return fake.recognizer.measure(samples);
    };
    voice::VoiceModel model;
    model.setLabels(labels);
    const voice::VoiceModel before = model;
    const voice::LoadStatus status = voice::loadVoiceModel(bytes, labels, model, measure);
    if (status == voice::LoadStatus::Loaded) {
        // Written again, it loads as the same model; a file of the version written today
        // comes back byte for byte (one of the version before is written anew).
        const QByteArray again = voice::saveVoiceModel(model);
        voice::VoiceModel reread;
        if (voice::loadVoiceModel(again, labels, reread) != voice::LoadStatus::Loaded || !(reread == model))
            std::abort();
        if (again.mid(6, 2) == bytes.mid(6, 2) && again != bytes) std::abort();
        // What loads can be compared with.
        voice::Features probe;
        probe.dims = 3;
        probe.values = {0.5f, -1.0f, 2.0f, 0.0f, 1.0f, 1.0f};
        (void)model.classify(probe);
        (void)model.separation();
    } else if (!(model == before)) {
        std::abort();
    }
    QStringList saved;
    // The labels of a file that loads, or would for its own labels, can be read; a file of the
    // version before whose takes cannot be measured again still names its labels.
    const bool named = voice::savedLabels(bytes, saved);
    if (named != (status == voice::LoadStatus::Loaded || status == voice::LoadStatus::OtherCommandSet) &&
        !(status == voice::LoadStatus::OlderVersion && bytes.mid(6, 2) == QByteArray("\x03\x00", 2)))
        std::abort();

    // Through the profile's file, from a fresh session in a folder of its own.
    QTemporaryDir dir;
    if (!dir.isValid()) return 0;
    Folders folders;
    folders.programFolder = dir.filePath(QStringLiteral("program"));
    folders.userFolder = dir.filePath(QStringLiteral("user"));
    Session session(fake.platform, folders);
    fake.recognizer.installed = true;
    chooseVoiceCommandSet(session, 1);
    const QString path = voiceSoundsPath(session);
    QDir().mkpath(QFileInfo(path).path());
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) std::abort();
        f.write(bytes);
    }
    session.profile.recognitionState = std::int16_t(startVoiceEngine(session));
    if (session.profile.recognitionState != -1) std::abort();
    int messages = 0;
    for (const QJsonObject& e : fake.recorder.events())
        if (e.value(QStringLiteral("op")) == QStringLiteral("message")) ++messages;
    if (status != voice::LoadStatus::Loaded && !bytes.isEmpty()) {
        if (fake.recognizer.model()->anyTrained() || messages != 1) std::abort();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes) std::abort();
    }
    return 0;
}
