#pragma once
// The command assistant's windows: `Fill` (the rows of a key sequence), `Dades` (a text, a
// number, coordinates or a list) and `sim` (the memory condition and its two branches).
// Each level is its own window, modal to the one it was opened from and placed 200 units
// (twips) right of and below it; `CommandAssistant` holds what they share. The logic is the
// core's (assist/key_rows.h, assist/assist_data.h); these only show it.
#include <QDialog>
#include <QList>
#include <QPointer>
#include <vector>

#include "assist/assist_data.h"
#include "assist/key_rows.h"

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace vexil {

class AssistantWindow;
class ConditionWindow;
class DataWindow;
class KeysFieldCommands;
class Session;

// The help topic of the assistant's windows: key sequences.
inline constexpr int kKeySequencesHelpTopic = 80;
// How far a nested window lies right of and below the one it was opened from, in twips.
inline constexpr int kNestOffsetTwips = 200;

class CommandAssistant : public QObject {
    Q_OBJECT
public:
    CommandAssistant(Session& session, KeysFieldCommands& keys, QWidget* mainWindow);
    ~CommandAssistant() override;

    // CODI_MODUS_BOTO(1): a fresh top assistant on the key field ("Vexil"), modal to the main
    // window; null when no area is current (a beep) or one is open already.
    AssistantWindow* open();

    Session& session() { return s_; }
    KeysFieldCommands& keys() { return keys_; }
    const std::vector<MacroEntry>& macros() const;
    AssistContext context;

    // The windows open now, oldest first.
    QList<AssistantWindow*> assistants() const;
    QList<DataWindow*> dataWindows() const;
    QList<ConditionWindow*> conditionWindows() const;

    // The offset of a nested window, in pixels of `w`'s screen.
    static int nestOffset(const QWidget* w);
    // Places `child` 200 twips right of and below `parent`, shows it modal to it, and puts its
    // tag on the context.
    void openNested(QDialog* child, QWidget* parent, const QString& tag);

signals:
    void helpRequested(int topic);
    void auxiliaryKeyboardRequested();
    // The top assistant wrote into the key field (and maybe the icon field).
    void keysFieldChanged();
    // The top assistant closed, accepted or not.
    void closed();

private:
    friend class AssistantWindow;
    void windowClosed(QDialog* window);

    Session& s_;
    KeysFieldCommands& keys_;
    QPointer<QWidget> mainWindow_;
    QList<QPointer<QDialog>> open_;
};

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
