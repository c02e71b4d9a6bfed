#include "editor/sub_areas.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/editor_state.h"
#include "template/template.h"

namespace vexil {

short nearestInt16(double value) {
    if (!std::isfinite(value)) return 0;
    const double r = std::nearbyint(value);
    return short(std::clamp(r, double(std::numeric_limits<short>::min()),
                            double(std::numeric_limits<short>::max())));
}

std::vector<int> collectDescendants(const Template& t, int n) {
    const int count = t.areaCount();
    // Sub-areas by their group, in table order: one pass instead of one per group, so that
    // a root with thousands of descendants is collected at once.
    std::vector<std::vector<int>> children(size_t(count) + 1);
    for (int i = 1; i <= count; ++i) {
        const int level = t.area(i).level;
        if (level >= 1 && level <= count) children[size_t(level)].push_back(i);
    }
    std::vector<int> found;
    std::vector<char> listed(size_t(count) + 1, 0);
    listed[size_t(n)] = 1;
    std::vector<int> queue{n};
    for (size_t q = 0; q < queue.size(); ++q) {
        const int group = queue[q];
        for (int i : children[size_t(group)]) {
            if (i < group - 1 || listed[size_t(i)]) continue;
            listed[size_t(i)] = 1;
            found.push_back(i);
            queue.push_back(i);
        }
    }
    return found;
}

void scaleSubAreas(Template& t, int n, double percentX, double percentY, const Area& before) {
    if (n < 1 || n > t.areaCount()) return;
    std::vector<int> descendants;
    if (before.isGroup == -1) descendants = collectDescendants(t, n);
    if (descendants.empty() && t.area(n).mirrorOf == 0) return;
    const Area p = t.area(n);
    for (int d : descendants) {
        Area a = t.area(d);
        if (percentX != 100) {
            a.x0 = nearestInt16((a.x0 - before.x0) * percentX / 100 + p.x0);
            a.x1 = nearestInt16((a.x1 - before.x0) * percentX / 100 + p.x0);
        }
        if (percentY != 100) {
            a.y0 = nearestInt16((a.y0 - before.y0) * percentY / 100 + p.y0);
            a.y1 = nearestInt16((a.y1 - before.y0) * percentY / 100 + p.y0);
        }
        t.setArea(d, a);
    }
    // A group selection's members go back over the areas they stand for; those keep their
    // own level and stay plain areas (a member's mirror number is the selection's alone).
    if (t.realAreaCount != 0) {
        for (int m = t.realAreaCount + 2; m <= t.areaCount(); ++m) {
            const Area member = t.area(m);
            if (member.mirrorOf < 1 || member.mirrorOf > t.realAreaCount) continue;
            Area real = member;
            real.level = t.area(member.mirrorOf).level;
            real.mirrorOf = t.area(member.mirrorOf).mirrorOf;
            t.setArea(member.mirrorOf, real);
        }
    }
}

QChar rootDocking(const Template& t) {
    if (t.currentArea != 1 || t.areaCount() < 1) return u' ';
    const Area& r = t.area(1);
    QChar code = u' ';
    if (r.y0 == 0 && r.x1 == kBoardWidth && r.y1 == kBoardHeight) code = u'D';
    if (r.x0 == 0 && r.y0 == 0 && r.y1 == kBoardHeight) code = u'E';
    if (r.x0 == 0 && r.y0 == 0 && r.x1 == kBoardWidth) code = u'A';
    if (r.x0 == 0 && r.x1 == kBoardWidth && r.y1 == kBoardHeight) code = u'B';
    if (r.x0 == 0 && r.y0 == 0 && r.x1 == kBoardWidth && r.y1 == kBoardHeight) code = u' ';
    return code;
}

}  // namespace vexil
