#pragma once
// `usr`, "Configuració Pulsador": which gesture counts as one switch, its key list, the scan
// and action times and the look of the highlight frame. It edits the profile it is given;
// "Acceptar" stores through acceptSwitchEntry and closes only when the entry is accepted.
#include <QDialog>
#include <array>

#include "access/switch_entry.h"
#include "access/ui/color_chooser.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vexil {

class SwitchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SwitchDialog(UserProfile& profile, QWidget* parent = nullptr);

    // Loads switch n (1 or 2) into the controls and labels the dialog for it.
    void setPulsador(int number);
    int pulsador() const { return number_; }
    // What the caller fills before showing the dialog.
    void setFrame(int thickness, double color);
    void setColorChooser(ColorChooser chooser) { colorRow_->setChooser(std::move(chooser)); }

    SwitchEntry entry() const;
    QColor frameColor() const { return colorRow_->color(); }

    QRadioButton* option(int index) const { return options_.at(size_t(index)); }
    QLineEdit* keyList() const { return keyList_; }
    QLineEdit* presentationTime() const { return retard_[0]; }
    QLineEdit* actionTime() const { return retard_[1]; }
    QLineEdit* thickness() const { return gruix_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* colorButton() const { return colorRow_->button(); }

private:
    void tryAccept();

    UserProfile& profile_;
    int number_ = 1;
    std::array<QRadioButton*, 9> options_{};
    QLineEdit* keyList_ = nullptr;
    std::array<QLineEdit*, 2> retard_{};
    QLineEdit* gruix_ = nullptr;
    FrameColorRow* colorRow_ = nullptr;
    QLabel* pulsadorLabel_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vexil
