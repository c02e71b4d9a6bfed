#pragma once
// Message boxes and file dialogs.
#include <QString>
#include <QStringList>
#include <functional>

namespace vexil {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest {
    QString title;
    QString filter;        // as written in the program: "Vexil (*.VXL)|*.VXL"
    QString initialFolder;
    QString fileName;      // proposed name
    QString defaultExtension;
    bool save = false;     // save dialog with the overwrite prompt
};

// The question an untrusted board asks before it does what only a trusted board may: the
// texts in the interface language, every action the board holds, one a line.
struct TrustQuestion {
    QString title;
    QString text;
    QStringList actions;
    QString trustButton;    // "Trust this board"
    QString withoutButton;  // "Use it without these"
    // Scanning users: the two buttons are highlighted in turn at this interval (ms) and any
    // key or click chooses the highlighted one; 0: keys move between them, Space or Enter
    // chooses, the mouse clicks.
    int scanIntervalMs = 0;
    // The access devices that never reach a dialog by themselves (the trained sounds, the
    // joystick): `connectSwitches` is called with the dialog's answer when it opens and with
    // null when it closes; each call of the answer moves the highlight (false) or chooses
    // the highlighted button (true; a scanned dialog chooses either way). `poll`, every
    // `pollIntervalMs` while the dialog is open, reads the devices that are polled.
    std::function<void(std::function<void(bool choose)>)> connectSwitches;
    std::function<void()> poll;
    int pollIntervalMs = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const QString& text, const QString& title = QStringLiteral("Vexil"),
                                  MessageButtons buttons = MessageButtons::Ok,
                                  MessageIcon icon = MessageIcon::None) = 0;
    // The chosen file's full name; empty when the user cancelled.
    virtual QString chooseFile(const FileDialogRequest& request) = 0;
    // True: the user trusts the board; false: it is to be used without those actions.
    virtual bool askTrust(const TrustQuestion& question) = 0;
};

}  // namespace vexil
