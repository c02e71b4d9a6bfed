#pragma once
// `Fill`, the assistant's window of one key sequence: a row for each key, text or command,
// with its parameter.
#include <QDialog>
#include <vector>

#include "assist/key_rows.h"

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;

namespace vexil {

class CommandAssistant;

// `Fill`: one level of the assistant.
class AssistantWindow : public QDialog {
    Q_OBJECT
public:
    // `tag` says where "Acceptar" writes (assistTarget); `start` is cut into rows.
    AssistantWindow(CommandAssistant& assistant, const QString& tag, const QString& caption,
                    const QString& start, QWidget* parent);

    const QString& tag() const { return tag_; }
    const QString& start() const { return start_; }
    RowList& rowList() { return rows_; }
    // The rows joined as "Acceptar" would write them.
    JoinedKeys joined() const;

    // Row widgets by row number (1-based); null outside the rows.
    QRadioButton* option(int row) const;
    QComboBox* ordres(int row) const;
    QLabel* param1(int row) const;
    // The row's value, typed into directly (keys may be typed into it too).
    QLineEdit* param2(int row) const;

    // What the row controls do.
    void selectRow(int row);
    void chooseInRow(int row, int choice);
    void openParameter(int row);  // a double click on param2
    void codi(int index);         // "+ Codi", "- Codi", "^ Codi"
    // A nested window's result for the selected row.
    void setSelectedParameter(const QString& value);

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RowWidgets {
        QRadioButton* option = nullptr;
        QComboBox* ordres = nullptr;
        QLabel* param1 = nullptr;
        QLineEdit* param2 = nullptr;
        QLabel* param3 = nullptr;
    };
    void build(const QString& caption);
    void showRows();
    void addRowWidgets();
    void logCaptions();
    void parameterTyped(int row, const QString& text);
    void markSelected(int row);

    CommandAssistant& a_;
    QString tag_;
    QString start_;
    RowList rows_;
    std::vector<RowWidgets> widgets_;
    QGridLayout* grid_ = nullptr;
    QWidget* rowsHost_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QLineEdit* nItems_ = nullptr;
    QStringList choices_;
    // The width one row needs, so that a window opened without rows shows a new one whole.
    int rowWidth_ = 0;
    bool filling_ = false;
};

}  // namespace vexil
