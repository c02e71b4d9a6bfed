#pragma once
// `Dades`, the assistant's window of one parameter: a text, a number, coordinates or a
// list.
#include <QDialog>
#include <optional>

#include "assist/assist_data.h"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace vexil {

class CommandAssistant;

// `Dades`: one parameter of a row.
class DataWindow : public QDialog {
    Q_OBJECT
public:
    DataWindow(CommandAssistant& assistant, ParamKind kind, const QString& caption,
               const QString& value, QWidget* parent);

    ParamKind kind() const { return kind_; }
    // The value "Acceptar" gives; nothing for a list without items.
    std::optional<QString> value() const;
    // A nested assistant's text: in place of the selection of `Text1`, else at its cursor.
    void insertText(const QString& text);
    void addFile();        // "+ F"
    void openCodes();      // "Codis"
    void addListItem();    // Enter in a `Text2` box of a list

    void accept() override;
    void reject() override;

signals:
    void valueAccepted(const QString& value);

private:
    CommandAssistant& a_;
    ParamKind kind_;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_[2] = {nullptr, nullptr};
    QListWidget* list1_ = nullptr;
    QComboBox* fitxers_ = nullptr;
    // The selection of `Text1` as the author left it: pressing "Codis" takes the focus, and
    // the field drops its selection when it loses the focus.
    void rememberSelection(bool always);
    int selectionStart_ = 0;
    int selectionLength_ = 0;
};

}  // namespace vexil
