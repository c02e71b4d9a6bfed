#include "access/voice_training.h"

#include "platform/recognizer.h"

namespace vexil {

VoiceTraining::VoiceTraining(SoundRecognizer& recognizer, int takesPerLabel)
    : recognizer_(recognizer),
      takesPerLabel_(std::clamp(takesPerLabel, int(kMinTakes), int(voice::VoiceModel::kMaxTakes))) {}

VoiceTraining::~VoiceTraining() {
    changed = nullptr;
    finish();
}

bool VoiceTraining::begin() {
    voice::VoiceModel* model = recognizer_.model();
    if (!model || model->labelCount() == 0) return false;
    labels_ = model->labels();
    takes_.assign(std::size_t(model->labelCount()),
                  std::vector<std::optional<voice::Take>>(std::size_t(takesPerLabel_)));
    finished_ = false;
    label_ = 1;
    take_ = 1;
    record();
    return true;
}

QString VoiceTraining::labelText(int label) const {
    return label >= 1 && label <= labels_.size() ? labels_[label - 1] : QString();
}

const std::vector<std::optional<voice::Take>>& VoiceTraining::takes(int label) const {
    static const std::vector<std::optional<voice::Take>> none;
    return label >= 1 && label <= labelCount() ? takes_[std::size_t(label - 1)] : none;
}

bool VoiceTraining::complete(int label) const {
    for (const auto& t : takes(label))
        if (!t) return false;
    return !takes(label).empty();
}

void VoiceTraining::record() {
    problem_.clear();
    recording_ = recognizer_.recordTake([this](std::optional<voice::Take> t) { received(std::move(t)); });
    if (!recording_) problem_ = QStringLiteral("No es pot gravar");
    notify();
}

void VoiceTraining::received(std::optional<voice::Take> take) {
    recording_ = false;
    if (finished_) return;
    if (!take || take->features.empty()) {
        // Nothing heard, or capture stopped: the same take waits to be recorded again.
        problem_ = QStringLiteral("No s'ha sentit cap so");
        notify();
        return;
    }
    takes_[std::size_t(label_ - 1)][std::size_t(take_ - 1)] = std::move(*take);
    if (complete(label_)) commit(label_);
    if (redoing_) {
        redoing_ = false;
        // Back to where the sequence was: the first label still incomplete.
        advance();
        if (label_ != 0 && !finished_) record();
        else notify();
        return;
    }
    advance();
    if (label_ != 0) record();
    else notify();
}

void VoiceTraining::advance() {
    for (int l = 1; l <= labelCount(); ++l) {
        const auto& t = takes_[std::size_t(l - 1)];
        for (int k = 1; k <= takesPerLabel_; ++k)
            if (!t[std::size_t(k - 1)]) {
                label_ = l;
                take_ = k;
                return;
            }
    }
    label_ = take_ = 0;
}

void VoiceTraining::commit(int label) {
    voice::VoiceModel* model = recognizer_.model();
    if (!model) return;
    std::vector<voice::Take> takes;
    for (const auto& t : takes_[std::size_t(label - 1)]) takes.push_back(*t);
    model->setTakes(label, std::move(takes));
    recognizer_.modelChanged();
}

bool VoiceTraining::redo(int label, int take) {
    if (finished_ || label < 1 || label > labelCount() || take < 1 || take > takesPerLabel_)
        return false;
    if (recording_) {
        recording_ = false;
        recognizer_.cancelTake();
    }
    redoing_ = true;
    label_ = label;
    take_ = take;
    record();
    return true;
}

void VoiceTraining::nextLabel() {
    if (finished_ || labelCount() == 0) return;
    if (recording_) {
        recording_ = false;
        recognizer_.cancelTake();
    }
    // The next label after the current one that still misses a take, round the list.
    const int from = label_ == 0 ? 1 : label_;
    for (int step = 1; step <= labelCount(); ++step) {
        const int l = (from - 1 + step) % labelCount() + 1;
        const auto& t = takes_[std::size_t(l - 1)];
        for (int k = 1; k <= takesPerLabel_; ++k)
            if (!t[std::size_t(k - 1)]) {
                label_ = l;
                take_ = k;
                redoing_ = false;
                record();
                return;
            }
    }
    notify();
}

void VoiceTraining::finish() {
    if (finished_) return;
    finished_ = true;
    if (recording_) {
        recording_ = false;
        recognizer_.cancelTake();
    }
    notify();
}

void VoiceTraining::notify() {
    if (changed) changed();
}

}  // namespace vexil
