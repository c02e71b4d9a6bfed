#pragma once
// `veu`, "Control per veu": the command set (one, two or five sounds), the scan step, the
// highlight frame, the recognition window, and the recogniser's training, saving, graphs and
// level meter. It edits the session's profile; the access menu shows it modally.
#include <QDialog>
#include <array>

#include "access/ui/color_chooser.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vexil {

class Session;

class VoiceDialog : public QDialog {
    Q_OBJECT
public:
    explicit VoiceDialog(Session& session, QWidget* parent = nullptr);

    // Dialog loading, once the captions are translated: controls filled from the profile
    // (`temps`, `gruix`, `color`), the option of the current voice mode selected, the options
    // locked once the recogniser has started.
    void load();
    void setColorChooser(ColorChooser chooser) { colorRow_->setChooser(std::move(chooser)); }
    // The training, graphs and level windows are modal; tests may put something else there.
    void setWindowRunner(std::function<void(QDialog&)> run) { runWindow_ = std::move(run); }

    QRadioButton* option(int index) const { return options_.at(std::size_t(index)); }
    QLineEdit* retard() const { return retard_; }
    QLineEdit* gruix() const { return gruix_; }
    QLineEdit* decimes() const { return decimes_; }
    QScrollBar* scroll() const { return scroll_; }
    QPushButton* trainingButton() const { return training_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* graphsButton() const { return graphs_; }
    QPushButton* levelButton() const { return level_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }
    QColor frameColor() const { return colorRow_->color(); }

private:
    void optionChosen(int index);
    void train();
    void saveSounds();
    void showGraphs();
    void showLevel();
    void acceptEntry();
    void cancelEntry();
    void lockOptions();

    Session& s_;
    std::function<void(QDialog&)> runWindow_;
    std::array<QRadioButton*, 3> options_{};
    QLineEdit* retard_ = nullptr;
    QLineEdit* gruix_ = nullptr;
    QLineEdit* decimes_ = nullptr;
    QLabel* decimesLabel_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    FrameColorRow* colorRow_ = nullptr;
    QPushButton* training_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* graphs_ = nullptr;
    QPushButton* level_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vexil
