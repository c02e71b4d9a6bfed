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
#include "assist/ui/assistant_window.h"
#include "assist/ui/condition_window.h"
#include "assist/ui/data_window.h"

namespace vexil {

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

}  // namespace vexil
