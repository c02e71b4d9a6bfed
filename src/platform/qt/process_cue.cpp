#include "platform/qt/process_cue.h"

#include <QProcessEnvironment>
#include <algorithm>

#include "platform/media/media_loader.h"

namespace vexil {

ProcessCue::ProcessCue(QObject* parent)
    : QObject(parent), wavOut_(qEnvironmentVariable("VEXIL_CUE_WAV")) {}

ProcessCue::~ProcessCue() {
    stop();
}

bool ProcessCue::setOutput(const QString& output) {
    output_.clear();
    if (output.isEmpty()) return true;
    // No server: the output cannot be found.
    const auto sinks = media::soundServerOutputs();
    if (!sinks) return false;
    for (const auto& [name, description] : *sinks) {
        if (name == output) {
            output_ = output;
            return true;
        }
    }
    return false;
}

QList<std::pair<QString, QString>> ProcessCue::outputs() {
    return media::soundServerOutputs().value_or(QList<std::pair<QString, QString>>());
}

QString ProcessCue::voiceName(int language, int speaker) {
    const QString base = language == 101 ? QStringLiteral("es") : QStringLiteral("ca");
    static const char* const variants[] = {"", "", "+f2", "+m3", "+f4"};
    const int n = speaker < 0 ? 0 : speaker % 5;
    return base + QLatin1String(variants[n]);
}

int ProcessCue::rateFor(int speed) {
    return std::clamp(175 * (speed > 0 ? speed : 100) / 100, 80, 450);
}

void ProcessCue::start(const QString& program, const QStringList& arguments) {
    stop();
    auto* p = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!output_.isEmpty()) env.insert(QStringLiteral("PULSE_SINK"), output_);
    p->setProcessEnvironment(env);
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    connect(p, &QProcess::finished, this, [this, p] {
        if (process_ != p) return;
        process_ = nullptr;
        p->deleteLater();
        if (finished_) finished_();
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        // A program that is not installed: the cue is silent and over at once.
        if (e != QProcess::FailedToStart || process_ != p) return;
        process_ = nullptr;
        p->deleteLater();
        if (finished_) finished_();
    });
    process_ = p;
    p->start(program, arguments);
}

void ProcessCue::say(const QString& text, const CueStyle& style) {
    QStringList args{QStringLiteral("-v"), voiceName(style.language, style.speaker),
                     QStringLiteral("-s"), QString::number(rateFor(style.speed)),
                     QStringLiteral("-a"), QString::number(std::clamp(style.volume, 0, 200))};
    if (!wavOut_.isEmpty()) args << QStringLiteral("-w") << wavOut_;
    args << QStringLiteral("--") << text;
    start(QStringLiteral("espeak-ng"), args);
}

void ProcessCue::play(const QString& path, int volume) {
    QStringList args{QStringLiteral("--volume=%1").arg(65536 * std::clamp(volume, 0, 100) / 100)};
    if (!output_.isEmpty()) args << QStringLiteral("--device=") + output_;
    args << path;
    start(QStringLiteral("paplay"), args);
}

void ProcessCue::stop() {
    QProcess* p = process_;
    if (!p) return;
    process_ = nullptr;
    p->disconnect(this);
    p->kill();
    p->waitForFinished(200);
    p->deleteLater();
}

bool ProcessCue::busy() const {
    return process_ != nullptr;
}

}  // namespace vexil
