#pragma once
// Shared by the test programs: a session over the fake platform in a private folder.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/fake/fake_platform.h"
#include "session/session.h"

namespace vexil::test {

// A fresh fake platform and session whose program and user folders are private temporary
// folders.
class FakeSessionFixture {
public:
    FakeSessionFixture();
    FakePlatform fake;
    QTemporaryDir dir;
    std::unique_ptr<Session> session;

    // Path of `name` inside the private folder.
    QString path(const QString& name) const;
    // Writes bytes to `name` in the private folder (making sub-folders) and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;
    // The texts of the message boxes shown so far.
    QStringList messages() const;
};

// The project's source folder (for examples/ and test data).
QString sourceDir();

}  // namespace vexil::test
