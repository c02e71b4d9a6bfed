#pragma once
// Message boxes and file dialogs.
#include <QString>

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

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer message(const QString& text, const QString& title = QStringLiteral("Vexil"),
                                  MessageButtons buttons = MessageButtons::Ok,
                                  MessageIcon icon = MessageIcon::None) = 0;
    // The chosen file's full name; empty when the user cancelled.
    virtual QString chooseFile(const FileDialogRequest& request) = 0;
};

}  // namespace vexil
