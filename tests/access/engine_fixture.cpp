#include "engine_fixture.h"

namespace vexil::test {

Area makeArea(int x0, int y0, int x1, int y1, int level, const QString& keys) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    a.keys = keys;
    return a;
}

void addGridBoard(Template& tmpl) {
    tmpl.appendArea(makeArea(0, 0, 640, 445, 0, QStringLiteral("frame")));
    tmpl.appendArea(makeArea(10, 10, 300, 200, 1, QStringLiteral("a")));
    tmpl.appendArea(makeArea(340, 10, 630, 200, 1, QStringLiteral("b")));
    tmpl.appendArea(makeArea(10, 240, 300, 430, 1, QStringLiteral("c")));
    tmpl.appendArea(makeArea(340, 240, 630, 430, 1, QStringLiteral("d")));
}

EngineFixture::EngineFixture() {
    session->setView(&view);
    session->timer1->setEnabled(true);
    session->programSettings.Interval = 500;
    session->timer1->setInterval(500);
}

void enterAccessMode(Session& s, AccessEngine& engine, int mode) {
    s.profile.accessMode = std::int16_t(mode);
    s.access.useMode = true;
    s.access.scanPosition = 0;
    s.player.currentLevel = 1;
    s.tmpl.currentArea = -1;
    engine.startAccess();
}

void EngineFixture::enter(int mode) { enterAccessMode(*session, engine, mode); }

QStringList EngineFixture::take() {
    QStringList out = log;
    log.clear();
    return out;
}

}  // namespace vexil::test
