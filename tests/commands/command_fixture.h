#pragma once
// A fake session with a target window, and compact views of what the platform, the host and
// the observer saw.
#include <QJsonObject>
#include <QStringList>

#include "session/command_host.h"
#include "session/session.h"
#include "settings/registry.h"
#include "support/test_support.h"

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vexil::test {

// Records host and observer calls as short strings, in order, into a shared list.
class RecordingHost : public CommandHost, public CommandObserver {
public:
    QStringList calls;
    void leaveUseMode() override { calls << QStringLiteral("leaveUseMode"); }
    void exitProgram() override { calls << QStringLiteral("exit"); }
    void hideHighlight() override { calls << QStringLiteral("hideHighlight"); }
    void boardChanged() override { calls << QStringLiteral("boardChanged"); }
    void focusBoard() override { calls << QStringLiteral("focusBoard"); }
    void setBusyCursor(bool busy) override { calls << (busy ? "busy" : "idle"); }
    void setBoardTopMost(bool on) override { calls << (on ? "topMost" : "notTopMost"); }

    void launched(const QString& c, WindowHandle w) override {
        calls << QStringLiteral("launch:%1=%2").arg(c).arg(w);
    }
    void waited() override { calls << QStringLiteral("wait"); }
    void pasting(WindowHandle w) override { calls << QStringLiteral("paste:%1").arg(w); }
    void registryWritten(const QString& r, const QString& k, const QString& n,
                         const RegistryValue& v) override {
        calls << QStringLiteral("registry:%1\\%2\\%3=%4:%5")
                     .arg(r, k, n)
                     .arg(v.type)
                     .arg(QString::fromLatin1(v.data.toHex()));
    }
    void loading(const QString& path) override { calls << QStringLiteral("load:") + path; }
    void mouseAction(const QString& a, int x, int y) override {
        calls << QStringLiteral("mouse:%1@%2,%3").arg(a).arg(x).arg(y);
    }
};

class CommandFixture : public FakeSessionFixture {
public:
    CommandFixture() {
        session->setHost(&host);
        session->setObserver(&host);
        session->player.random.seed(7);
    }
    RecordingHost host;

    // Opens a window and makes it the target, as a started program would.
    WindowHandle openTarget(const QString& title);

    // Recorded platform events as "op:main field" strings, only of the given ops (all when
    // empty): "activate:Notes", "keys:abc", "message:...", "wave:/x/a.wav".
    QStringList ops(const QStringList& only = {}) const;
    // Just the keys typed, stretch by stretch.
    QStringList typed() const { return ops({QStringLiteral("keys")}); }
};

}  // namespace vexil::test
