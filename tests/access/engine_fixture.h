#pragma once
// A session over the fake platform with an access engine whose activations,
// announcements and view calls are written, in order, to one log.
#include <QStringList>

#include "access/access_engine.h"
#include "support/test_support.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace vexil::test {

// Use mode on the board in `mode`, as entering it leaves the session, then the engine's
// start of that mode.
void enterAccessMode(Session& session, AccessEngine& engine, int mode);

class LoggingView : public MainView {
public:
    explicit LoggingView(QStringList& log) : log_(log) {}
    void showHighlight(int area) override { log_ << QStringLiteral("highlight %1").arg(area); }
    void hideHighlight() override { log_ << QStringLiteral("hide"); }
    void focusBoard() override { ++focusCount; }
    int focusCount = 0;

private:
    QStringList& log_;
};

class LoggingActions : public AccessActions {
public:
    LoggingActions(QStringList& log, Session& session) : log_(log), session_(session) {}
    void activate(int area) override {
        log_ << QStringLiteral("activate %1 t3=%2").arg(area).arg(session_.timer3->enabled());
        if (during) during(area);
    }
    void announce(const Area& area) override {
        log_ << QStringLiteral("announce ") +
                    (area.soundFile.isEmpty() ? area.keys : area.soundFile);
    }
    std::function<void(int)> during;  // runs inside an activation

private:
    QStringList& log_;
    Session& session_;
};

// An area with the given rectangle and level; keys name it for the log.
Area makeArea(int x0, int y0, int x1, int y1, int level, const QString& keys = QString());

// The board frame (area 1, 0,0-640,445) and a 2 x 2 grid of level 1: areas 2 and 3 on
// the top row, 4 and 5 below.
void addGridBoard(Template& tmpl);

class EngineFixture : public FakeSessionFixture {
public:
    EngineFixture();
    QStringList log;
    LoggingView view{log};
    LoggingActions actions{log, *session};
    AccessEngine engine{*session, actions};
    Session& s() { return *session; }
    // Use mode on the board as entering it leaves the engine's state, in `mode`.
    void enter(int mode);
    // Log lines since the last call.
    QStringList take();
};

}  // namespace vexil::test
