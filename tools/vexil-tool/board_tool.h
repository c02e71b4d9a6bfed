#pragma once
// What the board commands share: a session over the recording platform, with a private
// writable folder, and the way they name files and report message boxes.
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "platform/fake/fake_platform.h"
#include "session/session.h"

namespace vexil::tool {

class BoardSession {
public:
    BoardSession();
    FakePlatform fake;
    std::unique_ptr<Session> session;
    // The texts of the message boxes shown so far, in order.
    QStringList messages() const;

private:
    QTemporaryDir userFolder_;
};

// A file named on the command line as a board name: relative names are made absolute in the
// working folder; Windows names ("C:\...") are kept as they are.
QString boardNameArgument(const QString& argument);

// Prints each text on its own line (UTF-8) and returns the exit status: kMessages when there
// was any, kOk otherwise.
int printMessages(const QStringList& messages);

}  // namespace vexil::tool
