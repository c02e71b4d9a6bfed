#pragma once
// The recogniser's own windows, opened from the voice dialog: training ("Entrenament"), the
// graphs of the trained sounds ("Millorar") and the level meter ("Control del volum").
#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "access/voice_training.h"
#include "voice/voice_model.h"

class QLabel;
class QPushButton;
class QGridLayout;

namespace vexil {

class Session;

// A small drawing of one take: its level over time. Clicking it selects it.
class TakeView : public QWidget {
    Q_OBJECT
public:
    explicit TakeView(QWidget* parent = nullptr);
    void setTake(const std::optional<voice::Take>& take);
    void setSelected(bool selected);
    void setRecording(bool recording);
    bool hasTake() const { return !envelope_.empty(); }
    QSize sizeHint() const override { return {110, 48}; }
signals:
    void chosen();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    std::vector<float> envelope_;
    bool selected_ = false;
    bool recording_ = false;
};

class VoiceTrainingWindow : public QDialog {
    Q_OBJECT
public:
    VoiceTrainingWindow(Session& session, QWidget* parent = nullptr, int takesPerLabel = 3);
    ~VoiceTrainingWindow() override;
    // Starts the first take (after the captions were translated).
    void begin();
    VoiceTraining& training() { return training_; }
    TakeView* takeView(int label, int take) const;
    QPushButton* redoButton() const { return redo_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* doneButton() const { return done_; }
    QLabel* promptLabel() const { return prompt_; }
    QLabel* statusLabel() const { return status_; }
    void done(int result) override;

private:
    void refresh();
    Session& s_;
    VoiceTraining training_;
    std::vector<std::vector<TakeView*>> views_;
    int selectedLabel_ = 0, selectedTake_ = 0;
    QLabel* prompt_ = nullptr;
    QLabel* word_ = nullptr;
    QLabel* status_ = nullptr;
    QGridLayout* grid_ = nullptr;
    QPushButton* redo_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* done_ = nullptr;
};

// Each label's takes drawn in a row, and a table of how far apart the labels are; a label
// too near another one is marked, so that the user trains it again.
class VoiceGraphsWindow : public QDialog {
    Q_OBJECT
public:
    VoiceGraphsWindow(Session& session, QWidget* parent = nullptr);
    // Labels whose nearest other label is closer than their own takes are to one another.
    const std::vector<int>& tooClose() const { return tooClose_; }

private:
    std::vector<int> tooClose_;
};

// A live meter of the sound heard, with the level a sound must pass.
class VoiceLevelWindow : public QDialog {
    Q_OBJECT
public:
    VoiceLevelWindow(Session& session, QWidget* parent = nullptr);
    ~VoiceLevelWindow() override;
    void begin();
    float level() const { return level_; }
    float threshold() const { return threshold_; }
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void stopMeter();
    Session& s_;
    QLabel* text_ = nullptr;
    float level_ = -90;
    float threshold_ = -90;
    bool running_ = false;
};

}  // namespace vexil
