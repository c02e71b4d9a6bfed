#include "access/voice_control.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include "access/access_engine.h"
#include "access/switch_dispatch.h"
#include "access/switch_entry.h"
#include "files/profile_files.h"
#include "session/session.h"
#include "settings/ini_file.h"

namespace vexil {

QStringList voiceCommandLabels(int option) {
    switch (option) {
        case 0:
            return {QStringLiteral("1"), QStringLiteral("TEST")};
        case 1:
            return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("TEST")};
        case 2:
            return {QStringLiteral("AVANZAR"), QStringLiteral("RECULAR"), QStringLiteral("DERECHA"),
                    QStringLiteral("ISQUIERDA"), QStringLiteral("ACEPTAR"), QStringLiteral("TEST")};
        default:
            return {};
    }
}

int voiceOptionOfMode(int accessMode) {
    return accessMode >= kModeVoiceOne && accessMode <= kModeVoiceFive ? accessMode - kModeVoiceOne
                                                                       : -1;
}

void chooseVoiceCommandSet(Session& session, int option) {
    UserProfile& p = session.profile;
    if (p.recognitionState != 0) return;
    const QStringList labels = voiceCommandLabels(option);
    if (labels.isEmpty()) return;
    for (QString& w : p.voiceWords) w.clear();
    p.recognitionState = 0;
    for (qsizetype i = 0; i < labels.size(); ++i) p.voiceWords[std::size_t(i + 1)] = labels[i];
    p.voiceCommandCount = std::int16_t(labels.size());
    p.accessMode = std::int16_t(kModeVoiceOne + option);
    if (option == 0) {
        p.switches[1].accio = kVoiceSound1;
        p.switches[2].accio = 0;
    } else if (option == 1) {
        p.switches[1].accio = kVoiceSound1;
        p.switches[2].accio = kVoiceSound2;
    }
}

namespace {

QStringList profileLabels(const UserProfile& p) {
    QStringList labels;
    for (int i = 1; i <= std::min<int>(p.voiceCommandCount, 32); ++i)
        labels << p.voiceWords[std::size_t(i)];
    return labels;
}

// Trained sounds saved by an earlier version, measured again as the recogniser measures now.
voice::Measure measuring(Session& session) {
    return [&recognizer = session.platform.recognizer](const std::vector<float>& samples) {
        return recognizer.measure(samples);
    };
}

}  // namespace

int startVoiceEngine(Session& session) {
    UserProfile& p = session.profile;
    const QStringList labels = profileLabels(p);
    p.voiceWords[0] = labels.join(u',');
    if (p.recognitionTenths < 1) p.recognitionTenths = 2;
    if (p.recognitionTenths > 14) p.recognitionTenths = 14;
    if (p.voiceCommandCount <= 0) return 0;
    SoundRecognizer& r = session.platform.recognizer;
    QString error;
    session.voiceModel.setLabels(labels);
    if (!r.available() || !r.initialise(session.voiceModel, &error)) {
        session.message(QStringLiteral("No s'ha pogut iniciar la Dll de reconeixement de sons"));
        return 0;
    }
    p.engineVersion = 1;
    r.setRecognitionTenths(p.recognitionTenths);
    r.onFailure([&session](const QString& reason) { voiceCaptureFailed(session, reason); });
    loadVoiceSounds(session);
    return -1;
}

bool beginVoiceTraining(Session& session, const QString& decimes) {
    UserProfile& p = session.profile;
    p.recognitionTenths = dialogNumber(decimes).value_or(0);
    if (p.recognitionState == 0) {
        p.recognitionState = std::int16_t(startVoiceEngine(session));
        if (p.recognitionState == 0) return false;
    } else {
        // A window changed after the start applies too.
        const int tenths = std::clamp<int>(p.recognitionTenths, 1, 14);
        session.platform.recognizer.setRecognitionTenths(tenths);
    }
    return true;
}

void acceptVoiceDialog(Session& session, const VoiceEntry& entry) {
    UserProfile& p = session.profile;
    const std::int16_t gruix = dialogNumber(entry.gruix).value_or(0);
    p.gruix = gruix <= 0 ? std::int16_t(8) : gruix;
    p.color = entry.color;
    const std::int16_t retard = dialogNumber(entry.retard).value_or(0);
    if (p.accessMode == kModeVoiceOne) {
        p.temps = retard;
        p.switches[1].retard = retard;
    } else if (p.accessMode == kModeVoiceTwo) {
        p.temps = retard;
        p.switches[1].retard = retard;
        p.switches[2].retard = retard;
    }
}

// --- trained sounds on disk -------------------------------------------------------------------

QString voiceSoundsPath(const Session& session) {
    return session.folders.userFolder + QStringLiteral("/veu/") + profileFileStem(session) +
           QStringLiteral(".sons");
}

QString voiceLoadMessage(voice::LoadStatus status, const QString& path) {
    switch (status) {
        case voice::LoadStatus::Damaged:
            return QStringLiteral("El fichero de sonidos entrenados está incompleto o dañado y no "
                                  "se ha cargado:\n") +
                   path + QStringLiteral("\nEntrene los sonidos de nuevo; el fichero se conserva.");
        case voice::LoadStatus::NewerVersion:
            return QStringLiteral("El fichero de sonidos entrenados es de una versión más nueva "
                                  "del programa y no se ha cargado:\n") +
                   path;
        case voice::LoadStatus::OlderVersion:
            return QStringLiteral("El fichero de sonidos entrenados es de una versión anterior "
                                  "del programa, que medía los sonidos de otra manera, y no se "
                                  "ha cargado:\n") +
                   path + QStringLiteral("\nEntrene los sonidos de nuevo; el fichero se conserva.");
        case voice::LoadStatus::OtherCommandSet:
            return QStringLiteral("El fichero de sonidos entrenados es de otro juego de órdenes y "
                                  "no se ha cargado:\n") +
                   path + QStringLiteral("\nSi guarda los sonidos nuevos, el anterior se conserva "
                                         "como .anterior.");
        default:
            return QString();
    }
}

voice::LoadStatus loadVoiceSounds(Session& session) {
    voice::VoiceModel* model = session.platform.recognizer.model();
    if (!model) return voice::LoadStatus::Missing;
    const QString path = voiceSoundsPath(session);
    QFile f(path);
    if (!f.exists()) return voice::LoadStatus::Missing;
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly)) bytes = f.readAll();
    // An empty file is a damaged one here: something was meant to be in it.
    const voice::LoadStatus status =
        bytes.isEmpty() ? voice::LoadStatus::Damaged
                        : voice::loadVoiceModel(bytes, model->labels(), *model, measuring(session));
    if (status == voice::LoadStatus::Loaded)
        session.platform.recognizer.modelChanged();
    else
        session.message(voiceLoadMessage(status, QDir::toNativeSeparators(path)),
                        MessageButtons::Ok, MessageIcon::Exclamation);
    return status;
}

VoiceSaveResult saveVoiceSounds(Session& session) {
    voice::VoiceModel* model = session.platform.recognizer.model();
    if (!model) {
        session.message(QStringLiteral("El reconocimiento de sonidos no se ha iniciado."));
        return VoiceSaveResult::NoRecognizer;
    }
    if (!model->anyTrained()) {
        session.message(QStringLiteral("No hay ningún sonido entrenado que guardar."));
        return VoiceSaveResult::NothingTrained;
    }
    const QString path = voiceSoundsPath(session);
    QDir().mkpath(QFileInfo(path).path());
    QString keptAside;
    if (QFile old(path); old.exists()) {
        QByteArray bytes;
        if (old.open(QIODevice::ReadOnly)) bytes = old.readAll();
        old.close();
        voice::VoiceModel probe;
        if (voice::loadVoiceModel(bytes, model->labels(), probe, measuring(session)) !=
            voice::LoadStatus::Loaded) {
            keptAside = path + QStringLiteral(".anterior");
            QFile::remove(keptAside);
            if (!QFile::copy(path, keptAside)) {
                session.message(QStringLiteral("No se ha podido conservar el fichero anterior; "
                                               "los sonidos no se han guardado:\n") +
                                QDir::toNativeSeparators(path));
                return VoiceSaveResult::Failed;
            }
        }
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(voice::saveVoiceModel(*model)) < 0 ||
        !out.commit()) {
        session.message(QStringLiteral("No se han podido guardar los sonidos entrenados en:\n") +
                        QDir::toNativeSeparators(path) + QStringLiteral("\n") + out.errorString());
        return VoiceSaveResult::Failed;
    }
    QString text = QStringLiteral("Sonidos entrenados guardados en:\n") + QDir::toNativeSeparators(path);
    if (!keptAside.isEmpty())
        text += QStringLiteral("\nEl fichero anterior se conserva como:\n") +
                QDir::toNativeSeparators(keptAside);
    session.message(text);
    return VoiceSaveResult::Saved;
}

void voiceCaptureFailed(Session& session, const QString& reason) {
    if (session.profile.recognitionState == -2) session.profile.recognitionState = -1;
    session.view->setBoardSign(BoardSign::Listening, false);
    session.message(QStringLiteral("Se ha perdido la entrada de sonido (") + reason +
                        QStringLiteral("). El control por voz ha dejado de escuchar; el resto "
                                       "del programa sigue funcionando."),
                    MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace vexil
