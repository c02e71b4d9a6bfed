#pragma once
// An editor over a session on the recording platform, with a board built in memory.
#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>

#include "editor/editor.h"
#include "editor/sub_areas.h"
#include "support/test_support.h"

// Messages of failed checks name texts readably.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}

namespace vexil::test {

inline Area rect(int x0, int y0, int x1, int y1, int level = 1, int isGroup = 0) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    a.isGroup = std::int16_t(isGroup);
    return a;
}

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() : editor(*f.session) {}

    Template& t() { return f.session->tmpl; }
    // Adds areas as the board file would hold them; the flags stay as a loaded board has them.
    void board(std::initializer_list<Area> areas) {
        for (const Area& a : areas) t().appendArea(a);
        t().modified = false;
        t().addedAreaCount = 0;
    }
    // A root over the whole board and `areas` drawn on it.
    void rootedBoard(std::initializer_list<Area> areas) {
        board({rect(0, 0, 640, 445, 0, areas.size() ? -1 : 0)});
        board(areas);
    }
    void click(double x, double y, Modifiers m = {}) {
        editor.board.mouseDown(MouseButton::Left, m, x, y);
        editor.board.mouseUp(MouseButton::Left, x, y);
    }
    void drag(double x0, double y0, double x1, double y1) {
        editor.board.mouseDown(MouseButton::Left, {}, x0, y0);
        editor.board.mouseMove((x0 + x1) / 2, (y0 + y1) / 2);
        editor.board.mouseUp(MouseButton::Left, x1, y1);
    }
    int beeps() const { return int(f.fake.recorder.eventsOf(QStringLiteral("beep")).size()); }
    QRect areaRect(int n) {
        const Area& a = t().area(n);
        return QRect(QPoint(a.x0, a.y0), QPoint(a.x1, a.y1));
    }
    const PanelState& panel() { return editor.context.panel; }

    FakeSessionFixture f;
    Editor editor;
};

}  // namespace vexil::test
