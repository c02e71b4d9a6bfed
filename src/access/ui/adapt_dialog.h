#pragma once
// "Adaptació": the settings of the profile's [Adaptacio] section (switch filters, scanning,
// auditory scanning and its cue voice, dwell, the usage record). Every value is kept
// within its range by its box; "Acceptar" stores them into the profile it was given.
// The dialog's dynamic property `helpTopic` holds kAdaptHelpTopic, the topic of its help
// page (help/ca/adaptacio.html, help/es/adaptacio.html).
#include <QDialog>
#include <map>

#include "help/help_book.h"
#include "settings/user_profile.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vexil {

inline constexpr int kAdaptHelpTopic = help_topic::Adaptation;

class AdaptDialog : public QDialog {
    Q_OBJECT
public:
    explicit AdaptDialog(UserProfile& profile, QWidget* parent = nullptr);

    // The settings as the boxes hold them.
    AdaptSettings settings() const;
    // The box of a setting, by its key in the profile ("Acceptacio"...).
    QSpinBox* number(const char* key) const;
    QCheckBox* check(const char* key) const;
    QLineEdit* output() const { return output_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void load(const AdaptSettings& a);
    UserProfile& profile_;
    std::map<QString, QSpinBox*> numbers_;
    std::map<QString, QCheckBox*> checks_;
    QLineEdit* output_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vexil
