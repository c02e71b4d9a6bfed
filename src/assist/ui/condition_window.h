#pragma once
// `sim`, the assistant's window of the memory condition: its value and its two branches.
#include <QDialog>

class QLabel;
class QLineEdit;

namespace vexil {

class CommandAssistant;

// `sim`: the condition's value and its two branches.
class ConditionWindow : public QDialog {
    Q_OBJECT
public:
    ConditionWindow(CommandAssistant& assistant, const QString& caption, const QString& value,
                    QWidget* parent);

    QString value() const;
    QString branch(int index) const;
    void setBranch(int index, const QString& keys);
    void openBranch(int index);  // "Cert", "Fals"

    void accept() override;
    void reject() override;

signals:
    void valueAccepted(const QString& value);

private:
    CommandAssistant& a_;
    QString original_;
    QLineEdit* text2_ = nullptr;
    QLabel* branches_[2] = {nullptr, nullptr};
};

}  // namespace vexil
