#pragma once
// The cue voice of the desktop program: the espeak-ng program says the cue and paplay
// plays a wave file, each a process of its own sent to the chosen sink of the sound server
// (PulseAudio, or PipeWire through its PulseAudio service), so that the cue is heard on
// its own output (headphones) while the embedded engine speaks on the main one. Stopping a
// cue ends its process. With VEXIL_CUE_WAV set, spoken cues go into that WAV file instead
// (each cue replaces the last), for checks without a sound server.
#include <QObject>
#include <QProcess>
#include <QString>

#include "platform/cue.h"

namespace vexil {

class ProcessCue : public QObject, public CueVoice {
public:
    explicit ProcessCue(QObject* parent = nullptr);
    ~ProcessCue() override;

    // Asks the sound server for its sinks; false when `output` is not among them.
    bool setOutput(const QString& output) override;
    QList<std::pair<QString, QString>> outputs() override;
    void say(const QString& text, const CueStyle& style) override;
    void play(const QString& path, int volume) override;
    void stop() override;
    bool busy() const override;
    void onFinished(std::function<void()> handler) override { finished_ = std::move(handler); }

    // espeak-ng's voice name and rate for a cue style ("ca", "es+f2"; words a minute).
    static QString voiceName(int language, int speaker);
    static int rateFor(int speed);

private:
    void start(const QString& program, const QStringList& arguments);
    QProcess* process_ = nullptr;
    QString output_;
    QString wavOut_;
    std::function<void()> finished_;
};

}  // namespace vexil
