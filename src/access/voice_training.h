#pragma once
// Training of the recogniser, without its window: each label of the command set in turn,
// a few takes of each, any take recorded again on request. A label's takes replace the
// trained ones only once all of them are there, so training left half-way keeps what was
// trained before for the labels it did not finish.
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "voice/voice_model.h"

namespace vexil {

class SoundRecognizer;

class VoiceTraining {
public:
    static constexpr int kMinTakes = 3;
    VoiceTraining(SoundRecognizer& recognizer, int takesPerLabel = kMinTakes);
    ~VoiceTraining();
    VoiceTraining(const VoiceTraining&) = delete;
    VoiceTraining& operator=(const VoiceTraining&) = delete;

    // Starts with the first take of the first label; false without a started recogniser.
    bool begin();
    int labelCount() const { return int(takes_.size()); }
    QString labelText(int label) const;
    int takesPerLabel() const { return takesPerLabel_; }
    // The label and take being recorded (1-based); 0 when nothing is.
    int label() const { return label_; }
    int take() const { return take_; }
    bool recording() const { return recording_; }
    bool finished() const { return finished_; }
    // The takes recorded in this training (empty slots not yet recorded).
    const std::vector<std::optional<voice::Take>>& takes(int label) const;
    // Records take `take` of `label` again (or records it if missing).
    bool redo(int label, int take);
    // Goes on with the next label that is not complete.
    void nextLabel();
    // Stops recording; labels left incomplete keep the takes they had before.
    void finish();
    // What went wrong with the last take ("" when nothing did).
    const QString& problem() const { return problem_; }
    // Called after every change, for the window.
    std::function<void()> changed;

private:
    void record();
    void received(std::optional<voice::Take> take);
    void commit(int label);
    bool complete(int label) const;
    void advance();
    void notify();

    SoundRecognizer& recognizer_;
    int takesPerLabel_;
    std::vector<std::vector<std::optional<voice::Take>>> takes_;
    QStringList labels_;
    int label_ = 0;
    int take_ = 0;
    bool recording_ = false;
    bool finished_ = false;
    bool redoing_ = false;
    QString problem_;
};

}  // namespace vexil
