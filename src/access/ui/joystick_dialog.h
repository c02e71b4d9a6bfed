#pragma once
// `USR_JOYSTIC`, "Josytick": the joystick's threshold and polling period, and the look of
// the highlight frame. It shows whether a joystick was found ("Joystick") or the mouse
// takes its place ("Multimouse"); "Acceptar" stores into the profile it is given.
#include <QDialog>
#include <array>

#include "access/joystick_entry.h"
#include "access/ui/color_chooser.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vexil {

class JoystickDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the controls from the profile: the option by the access mode (4 "Joystick",
    // otherwise "Multimouse"), the two bars, the frame.
    explicit JoystickDialog(UserProfile& profile, QWidget* parent = nullptr);

    void setColorChooser(ColorChooser chooser) { colorRow_->setChooser(std::move(chooser)); }
    JoystickEntry entry() const;

    QRadioButton* modus(int index) const { return modus_.at(size_t(index)); }
    QScrollBar* scrollBar(int index) const { return scroll_.at(size_t(index)); }
    QLineEdit* intensitat(int index) const { return intensitat_.at(size_t(index)); }
    QLineEdit* thickness() const { return gruix_; }
    QLabel* notice() const { return notice_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* colorButton() const { return colorRow_->button(); }

private:
    void store();

    UserProfile& profile_;
    std::array<QRadioButton*, 2> modus_{};
    std::array<QScrollBar*, 2> scroll_{};
    std::array<QLineEdit*, 2> intensitat_{};
    QLineEdit* gruix_ = nullptr;
    QLabel* notice_ = nullptr;
    FrameColorRow* colorRow_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vexil
