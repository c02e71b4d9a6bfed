#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vexil::test {

FakeSessionFixture::FakeSessionFixture() {
    Folders folders;
    folders.programFolder = dir.path() + QStringLiteral("/program");
    folders.userFolder = dir.path() + QStringLiteral("/user");
    QDir().mkpath(folders.programFolder);
    QDir().mkpath(folders.userFolder);
    session = std::make_unique<Session>(fake.platform, folders);
    session->currentDirectory = dir.path();
}

QString FakeSessionFixture::path(const QString& name) const { return dir.filePath(name); }

QString FakeSessionFixture::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return p;
}

QByteArray FakeSessionFixture::readFile(const QString& name) const {
    QFile f(QFileInfo(name).isAbsolute() ? name : path(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QStringList FakeSessionFixture::messages() const {
    QStringList out;
    for (const auto& e : fake.recorder.eventsOf(QStringLiteral("message")))
        out << e.value(QStringLiteral("text")).toString();
    return out;
}

QString sourceDir() {
    const QString fromEnv = qEnvironmentVariable("VEXIL_SOURCE_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(VEXIL_SOURCE_DIR_DEFAULT) : fromEnv;
}

}  // namespace vexil::test
