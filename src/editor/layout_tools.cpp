#include "editor/layout_tools.h"

#include <QRegularExpression>
#include <algorithm>
#include <functional>

#include "editor/sub_areas.h"
#include "i18n/runtime_error.h"
#include "session/session.h"

namespace vexil {
namespace {

// The areas above `level` that cross a probe line: the only ones that can make a point of
// that line not free. Collected once per line, so that growing an area on a board of
// thousands of areas tests a handful of rectangles per point.
struct ProbeLine {
    std::vector<const Area*> crossing;
    const Area* group = nullptr;

    ProbeLine(const Template& t, int level, bool horizontal, int at) {
        group = &t.area(level);
        for (int n = level + 1; n <= t.areaCount(); ++n) {
            const Area& a = t.area(n);
            const int lo = horizontal ? std::min(a.y0, a.y1) : std::min(a.x0, a.x1);
            const int hi = horizontal ? std::max(a.y0, a.y1) : std::max(a.x0, a.x1);
            if (lo <= at && at <= hi) crossing.push_back(&a);
        }
        horizontal_ = horizontal;
        at_ = at;
    }
    // areaAt(point) is exactly the group area.
    bool isFree(int along) const {
        const int x = horizontal_ ? along : at_;
        const int y = horizontal_ ? at_ : along;
        if (!group->contains(x, y)) return false;
        return std::none_of(crossing.begin(), crossing.end(),
                            [&](const Area* a) { return a->contains(x, y); });
    }

private:
    bool horizontal_ = true;
    int at_ = 0;
};

// Moves an edge outwards from `edge` one unit at a time towards the group's edge `limit`
// (`step` -1 or +1): to the first position that is not free, or to the group's edge when
// all are. An edge that already touches a neighbour or the group's edge stays.
int growEdge(const ProbeLine& line, int edge, int limit, int step) {
    const int first = edge + step;
    const int last = limit - step;
    if ((step < 0 && first < last) || (step > 0 && first > last))
        return (step < 0 ? edge > limit : edge < limit) ? limit : edge;
    if (!line.isFree(first)) return edge;
    for (int p = first + step; step < 0 ? p >= last : p <= last; p += step)
        if (!line.isFree(p)) return p;
    return limit;
}

}  // namespace

void LayoutTools::ajustarArees() {
    Template& t = c_.session.tmpl;
    if (!c_.hasCurrentArea()) {
        c_.beep();
        return;
    }
    c_.undo.snapshot();
    const int n = t.currentArea;
    Area a = t.area(n);
    // An area outside any group (the root) has nothing to grow into.
    if (a.level >= 1 && a.level <= t.areaCount() && a.level != n) {
        const Area& g = t.area(a.level);
        const int my = nearestInt16((a.y0 + a.y1) / 2.0);
        const ProbeLine across(t, a.level, true, my);
        const int x0 = growEdge(across, a.x0, g.x0, -1);
        const int x1 = growEdge(across, a.x1, g.x1, +1);
        const int mx = nearestInt16((x0 + x1) / 2.0);
        const ProbeLine down(t, a.level, false, mx);
        const int y0 = growEdge(down, a.y0, g.y0, -1);
        const int y1 = growEdge(down, a.y1, g.y1, +1);
        Area grown = a;
        grown.x0 = std::int16_t(x0);
        grown.x1 = std::int16_t(x1);
        grown.y0 = std::int16_t(y0);
        grown.y1 = std::int16_t(y1);
        if (!(grown == a)) {
            t.setArea(n, grown);
            t.modified = true;
            t.coverOutdated = true;
        }
    }
    panel_.showArea(n);
}

double LayoutTools::acceptedPercent(const QString& text) {
    // The leading number, as the dialog's text boxes are read.
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    const double value = m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0;
    if (!(value >= 1 && value <= 100)) return 100;
    return double(float(value));
}

void LayoutTools::redimensionarArees(const QString& horizontal, const QString& vertical) {
    if (!c_.hasCurrentArea()) return;
    c_.undo.snapshot();
    REDIM_AREES(acceptedPercent(horizontal), acceptedPercent(vertical));
    c_.session.tmpl.coverOutdated = true;
    panel_.showArea(c_.session.tmpl.currentArea);
}

void LayoutTools::REDIM_AREES(double px, double py) {
    Template& t = c_.session.tmpl;
    if (!c_.hasCurrentArea()) return;
    const int n = t.currentArea;
    const Area before = t.area(n);
    const QChar code = rootDocking(t);
    if (code == u'D' || code == u'E') py = 100;
    if (code == u'A' || code == u'B') px = 100;
    if (px == 100 && py == 100) return;
    Area a = before;
    if (px != 100) {
        if (code == u'D')
            a.x0 = nearestInt16(a.x1 - (a.x1 - a.x0) * px / 100);
        else
            a.x1 = nearestInt16((a.x1 - a.x0) * px / 100 + a.x0);
    }
    if (py != 100) {
        if (code == u'B')
            a.y0 = nearestInt16(a.y1 - (a.y1 - a.y0) * py / 100);
        else
            a.y1 = nearestInt16((a.y1 - a.y0) * py / 100 + a.y0);
    }
    if (a.y1 < a.y0) std::swap(a.y0, a.y1);
    if (a.x1 < a.x0) std::swap(a.x0, a.x1);
    t.setArea(n, a);
    t.modified = true;
    scaleSubAreas(t, n, px, py, before);
    c_.panel.edgeEditArea = 0;
}

bool LayoutTools::canSubdivide() {
    const Template& t = c_.session.tmpl;
    // A group is not subdivided, unless nothing was drawn in it yet.
    const auto hasSubAreas = [&t](int n) {
        for (int i = 1; i <= t.areaCount(); ++i)
            if (i != n && t.area(i).level == n) return true;
        return false;
    };
    if (!c_.hasCurrentArea() ||
        (t.area(t.currentArea).isGroup == -1 && hasSubAreas(t.currentArea))) {
        c_.beep();
        return false;
    }
    return true;
}

void LayoutTools::subdividirArea(int columns, int rows) {
    if (!canSubdivide()) return;
    Template& t = c_.session.tmpl;
    c_.undo.snapshot();
    columns = std::clamp(columns, 1, 10);
    rows = std::clamp(rows, 1, 10);
    const int n = t.currentArea;
    // All or nothing: a grid that would overflow the table adds no area at all.
    if (t.areaCount() + columns * rows > kMaxAreas ||
        t.addedAreaCount + columns * rows > kMaxAreas) {
        const RuntimeError e(errnum::Overflow);
        c_.session.message(QString::number(e.number()) + u' ' + e.description());
        panel_.showArea(n);
        return;
    }
    const Area copy = t.area(n);
    Area a = copy;
    a.isGroup = -1;
    t.setArea(n, a);
    const int w = (a.x1 - a.x0) / columns;
    const int h = (a.y1 - a.y0) / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            Area cell = copy;
            cell.x0 = std::int16_t(a.x0 + c * w);
            cell.x1 = std::int16_t(cell.x0 + w);
            cell.y0 = std::int16_t(a.y0 + r * h);
            cell.y1 = std::int16_t(cell.y0 + h);
            cell.level = std::int16_t(n);
            t.appendArea(cell);
        }
    }
    t.coverOutdated = true;
    panel_.showArea(t.areaCount());
}

}  // namespace vexil
