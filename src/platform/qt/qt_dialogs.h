#pragma once
// Message boxes and file dialogs as Qt widgets (a QApplication must exist).
#include <QIcon>

#include "platform/dialogs.h"

namespace vexil {

class QtDialogs : public Dialogs {
public:
    MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                          MessageIcon icon) override;
    QString chooseFile(const FileDialogRequest& request) override;
    bool askTrust(const TrustQuestion& question) override;
};

}  // namespace vexil
