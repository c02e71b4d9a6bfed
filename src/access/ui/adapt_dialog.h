#pragma once
// "Adaptació": the settings of the profile's [Adaptacio] section (switch filters, scanning,
// auditory scanning and its cue voice, dwell, the usage record). Every value is kept
// within its range by its box; "Acceptar" stores them into the profile it was given.
// The dialog's dynamic property `helpTopic` holds kAdaptHelpTopic, the topic of its help
// page (help/ca/adaptacio.html, help/es/adaptacio.html).
#include <QDialog>
#include <functional>
#include <map>
#include <utility>

#include "help/help_book.h"
#include "settings/user_profile.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace vexil {

inline constexpr int kAdaptHelpTopic = help_topic::Adaptation;

// What the dialog asks of the program beyond the profile; each may be left empty (the
// dialog then offers no list, no test, no clearing).
struct AdaptHooks {
    // The outputs the sound server offers: their names and descriptions.
    std::function<QList<std::pair<QString, QString>>()> outputs;
    // A test sound on an output (empty: the main one) at a volume in percent.
    std::function<void(const QString& output, int volume)> testOutput;
    // Clears the usage record; false when it could not.
    std::function<bool()> clearRecord;
};

class AdaptDialog : public QDialog {
    Q_OBJECT
public:
    explicit AdaptDialog(UserProfile& profile, QWidget* parent = nullptr, AdaptHooks hooks = {});

    // The settings as the boxes hold them.
    AdaptSettings settings() const;
    // The box of a setting, by its key in the profile ("Acceptacio"...).
    QSpinBox* number(const char* key) const;
    QCheckBox* check(const char* key) const;
    // The cue output: a box that lists the server's outputs and takes a typed name too.
    QComboBox* output() const { return output_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* clearRecordButton() const { return clear_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void load(const AdaptSettings& a);
    QString outputName() const;
    UserProfile& profile_;
    std::map<QString, QSpinBox*> numbers_;
    std::map<QString, QCheckBox*> checks_;
    QComboBox* output_ = nullptr;
    QPushButton* test_ = nullptr;
    QPushButton* clear_ = nullptr;
    AdaptHooks hooks_;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vexil
