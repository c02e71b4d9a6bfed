#include "board_tool.h"

#include <QDir>
#include <cstdio>

#include "tool.h"

namespace vexil::tool {

BoardSession::BoardSession() {
    Folders folders = Folders::forThisUser();
    // The commands never touch the user's own settings, snapshot or registry store.
    folders.userFolder = userFolder_.path();
    session = std::make_unique<Session>(fake.platform, folders);
    session->currentDirectory = QDir::currentPath();
}

QStringList BoardSession::messages() const {
    QStringList out;
    for (const auto& e : fake.recorder.eventsOf(QStringLiteral("message")))
        out << e.value(QStringLiteral("text")).toString();
    return out;
}

QString boardNameArgument(const QString& argument) {
    if (argument.contains(u':') || argument.startsWith(u'/')) return argument;
    return QDir::cleanPath(QDir::current().absoluteFilePath(argument));
}

int printMessages(const QStringList& messages) {
    for (const QString& m : messages) {
        const QByteArray line = m.toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
    return messages.isEmpty() ? kOk : kMessages;
}

}  // namespace vexil::tool
