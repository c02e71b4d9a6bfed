#include "editor/board_editing.h"

#include <cmath>
#include <cstdlib>

#include "editor/cover_composer.h"
#include "editor/sub_areas.h"
#include "i18n/runtime_error.h"
#include "session/session.h"

namespace vexil {

std::int16_t boardUnit(double v) {
    return nearestInt16(v);
}

void BoardEditing::overflow() {
    const RuntimeError e(errnum::Overflow);
    c_.session.message(QString::number(e.number()) + u' ' + e.description());
}

namespace {

// A group with no sub-areas ("&Afegir àrea" and nothing drawn in it) is a plain area to
// every command: it can be deleted and subdivided.
bool hasSubAreas(const Template& t, int n) {
    for (int i = 1; i <= t.areaCount(); ++i)
        if (i != n && t.area(i).level == n) return true;
    return false;
}

}  // namespace

void BoardEditing::mouseDown(MouseButton button, Modifiers modifiers, double x, double y) {
    const int ix = boardUnit(x), iy = boardUnit(y);
    if (button == MouseButton::Right) {
        // The menu acts on the area under the pointer, so that is the one selected: a
        // plain click's selection, without taking the typing to the key field. Inside a
        // group selection the selection stays.
        Template& t = c_.session.tmpl;
        const int n = t.areaAt(ix, iy);
        if (!c_.drawing.drawingMode && n != 0 && !c_.isTemporaryRecord(n)) {
            c_.drawing.previousArea = t.currentArea;
            if (t.settings.autoCover != 0) cover_.refreshCoverArea(c_.drawing.previousArea);
            selectAt(ix, iy);
        }
        c_.view->popUpAreaMenu(ix, iy);
        return;
    }
    if (c_.drawing.drawingMode) {
        rubberBand(0, ix, iy);
        return;
    }
    Template& t = c_.session.tmpl;
    c_.drawing.previousArea = t.currentArea;
    if (t.settings.autoCover != 0) cover_.refreshCoverArea(c_.drawing.previousArea);
    int n = t.areaAt(ix, iy);
    if (n == 0) return;
    if (modifiers.ctrl) {
        extendGroup(n);
        return;
    }
    if (modifiers.shift) return;
    if (selectAt(ix, iy)) c_.view->focusKeysField();
}

bool BoardEditing::selectAt(int x, int y) {
    Template& t = c_.session.tmpl;
    int n = t.areaAt(x, y);
    if (n == 0) return false;
    if (t.realAreaCount != 0) {
        c_.dropGroupSelection();
        // The point may have been on one of the vanished records: the real area under it.
        n = t.areaAt(x, y);
        if (n == 0) {
            panel_.showArea(0);
            return false;
        }
    }
    c_.undo.snapshot();
    panel_.showArea(n);
    return true;
}

void BoardEditing::mouseMove(double x, double y) {
    if (c_.drawing.drawingMode && c_.drawing.dragging) rubberBand(1, boardUnit(x), boardUnit(y));
}

void BoardEditing::mouseUp(MouseButton button, double x, double y) {
    if (button == MouseButton::Right) return;
    if (c_.drawing.drawingMode && c_.drawing.dragging) rubberBand(2, boardUnit(x), boardUnit(y));
}

void BoardEditing::keyDown(int keyCode) {
    if (keyCode == 46) deleteArea();
}

void BoardEditing::rubberBand(int phase, int x, int y) {
    Template& t = c_.session.tmpl;
    DrawingState& d = c_.drawing;
    const bool empty = t.areaCount() == 0;
    if (phase == 0) {
        if (d.dragging) return;
        // A band starts strictly inside the root.
        if (!empty) {
            const Area& root = t.area(1);
            if (!(root.x0 < x && x < root.x1 && root.y0 < y && y < root.y1)) return;
        }
        if (!empty) {
            d.dragStartX = std::int16_t(x);
            d.dragStartY = std::int16_t(y);
        } else {
            d.dragStartX = std::int16_t(x > kBoardWidth / 2 ? kBoardWidth : 0);
            d.dragStartY = std::int16_t(kBoardHeight - y < y ? kBoardHeight : 0);
        }
        d.dragEndX = std::int16_t(x);
        d.dragEndY = std::int16_t(y);
        d.dragging = true;
        c_.view->showRubberBand(
            QRect(QPoint(d.dragStartX, d.dragStartY), QPoint(x, y)).normalized());
        return;
    }
    if (!d.dragging) return;
    if (!empty) {
        // Once started, the band follows the pointer anywhere, clipped to the root: a
        // release outside the board ends it too, and an area can reach the root's edges.
        const Area& root = t.area(1);
        x = std::clamp(x, int(std::min(root.x0, root.x1)), int(std::max(root.x0, root.x1)));
        y = std::clamp(y, int(std::min(root.y0, root.y1)), int(std::max(root.y0, root.y1)));
    }
    x = std::clamp(x, 0, kBoardWidth);
    y = std::clamp(y, 0, kBoardHeight);
    if (phase == 1) {
        d.dragEndX = std::int16_t(x);
        d.dragEndY = std::int16_t(y);
        c_.view->showRubberBand(
            QRect(QPoint(d.dragStartX, d.dragStartY), QPoint(x, y)).normalized());
        return;
    }
    c_.view->showRubberBand(QRect());
    if (!empty) {
        d.dragEndX = std::int16_t(x);
        d.dragEndY = std::int16_t(y);
    } else {
        // The first area spans the board in the direction the drag was relatively longer.
        const double across = std::abs(x - d.dragStartX) / double(kBoardWidth);
        const double down = std::abs(y - d.dragStartY) / double(kBoardHeight);
        if (across > down) {
            d.dragEndX = std::int16_t(std::abs(kBoardWidth - d.dragStartX));
            d.dragEndY = std::int16_t(y);
        } else {
            d.dragEndX = std::int16_t(x);
            d.dragEndY = std::int16_t(std::abs(kBoardHeight - d.dragStartY));
        }
    }
    d.dragging = false;
    if (d.dragStartX == d.dragEndX || d.dragStartY == d.dragEndY) return;

    Area a;
    a.x0 = std::min(d.dragStartX, d.dragEndX);
    a.x1 = std::max(d.dragStartX, d.dragEndX);
    a.y0 = std::min(d.dragStartY, d.dragEndY);
    a.y1 = std::max(d.dragStartY, d.dragEndY);
    if (c_.hasCurrentArea()) {
        const Area& cur = t.area(t.currentArea);
        a.x0 = std::max(a.x0, cur.x0);
        a.x1 = std::min(a.x1, cur.x1);
        a.y0 = std::max(a.y0, cur.y0);
        a.y1 = std::min(a.y1, cur.y1);
        a.level = t.currentArea;
        // Drawn beside the current area rather than across it: nothing is left after the
        // clipping, and an inverted rectangle would be no area at all. The beep says so;
        // drawing stays armed.
        if (a.x0 >= a.x1 || a.y0 >= a.y1) {
            c_.beep();
            return;
        }
    }
    try {
        t.appendArea(a);
    } catch (const RuntimeError&) {
        overflow();
        return;
    }
    panel_.showArea(t.areaCount());
    d.drawingMode = false;
    c_.view->setCrosshair(false);
    c_.session.view->setDrawingArmed(false);
}

void BoardEditing::addArea() {
    Template& t = c_.session.tmpl;
    // A group selection's temporary records are no place to draw into: their numbers go
    // when the selection ends.
    if (!c_.hasCurrentArea() || c_.isTemporaryRecord(t.currentArea)) {
        c_.beep();
        return;
    }
    c_.undo.snapshot();
    Area cur = t.area(t.currentArea);
    cur.isGroup = -1;
    t.setArea(t.currentArea, cur);
    t.coverOutdated = true;
    c_.drawing.drawingMode = !c_.drawing.drawingMode;
    c_.drawing.dragging = false;
    // Cancelled before anything was drawn in it: the area is no group after all.
    if (!c_.drawing.drawingMode && !hasSubAreas(t, t.currentArea)) {
        cur.isGroup = 0;
        t.setArea(t.currentArea, cur);
    }
    c_.view->setCrosshair(c_.drawing.drawingMode);
    c_.session.view->setDrawingArmed(c_.drawing.drawingMode);
}

void BoardEditing::deleteArea() {
    Template& t = c_.session.tmpl;
    const int n = t.currentArea;
    if (n < 2 || n > t.areaCount() || (t.area(n).isGroup != 0 && hasSubAreas(t, n)) ||
        c_.isTemporaryRecord(n)) {
        c_.beep();
        return;
    }
    // Taken before the deletion, so that "Desfer" brings the area back.
    c_.undo.snapshot();
    // Deleting renumbers the areas the selection's copies stand for: the selection ends.
    c_.dropGroupSelection();
    t.coverOutdated = true;
    t.deleteArea(n);
    if (c_.drawing.drawingMode) {
        // The area the next one was to be drawn in may be the one gone.
        c_.drawing.drawingMode = false;
        c_.drawing.dragging = false;
        c_.view->setCrosshair(false);
        c_.session.view->setDrawingArmed(false);
    }
    cover_.showComposedCover();
    panel_.showArea(t.areaCount());
}

void BoardEditing::undo() {
    const int current = c_.session.tmpl.currentArea;
    c_.drawing.dragging = false;
    if (c_.undo.undo()) cover_.showComposedCover();
    panel_.showArea(current);
}

void BoardEditing::redo() {
    const int current = c_.session.tmpl.currentArea;
    c_.drawing.dragging = false;
    if (c_.undo.redo()) cover_.showComposedCover();
    panel_.showArea(current);
}

bool BoardEditing::appendTemporary(const Area& record) {
    Template& t = c_.session.tmpl;
    const bool modified = t.modified;
    const std::int16_t added = t.addedAreaCount;
    try {
        t.appendArea(record);
    } catch (const RuntimeError&) {
        overflow();
        return false;
    }
    t.modified = modified;
    t.addedAreaCount = added;
    return true;
}

void BoardEditing::extendGroup(int n) {
    Template& t = c_.session.tmpl;
    const Area target = t.area(n);
    if (t.realAreaCount == 0) {
        // Without a current area the group starts from the area clicked.
        if (!c_.hasCurrentArea()) t.currentArea = std::int16_t(n);
        const int start = t.currentArea;
        const int real = t.areaCount();
        t.realAreaCount = std::int16_t(real);
        Area group = t.area(start);
        group.isGroup = -1;
        group.mirrorOf = std::int16_t(start);
        Area member = t.area(start);
        member.level = std::int16_t(real + 1);
        member.mirrorOf = std::int16_t(start);
        if (!appendTemporary(group) || !appendTemporary(member)) {
            c_.dropGroupSelection();
            return;
        }
    }
    const int g = t.realAreaCount + 1;
    const int result = validar_area_consec(n);
    if (result != 0) {
        Area member = target;
        member.level = std::int16_t(g);
        member.mirrorOf = std::int16_t(n);
        if (appendTemporary(member)) {
            Area group = t.area(g);
            switch (result) {
                case 1:
                    group.y1 = target.y1;
                    break;
                case 2:
                    group.y0 = target.y0;
                    break;
                case 3:
                    group.x1 = target.x1;
                    break;
                case 4:
                    group.x0 = target.x0;
                    break;
                default:
                    break;
            }
            t.setArea(g, group);
        }
    }
    panel_.showArea(g);
}

int BoardEditing::validar_area_consec(int n) const {
    const Template& t = c_.session.tmpl;
    if (t.realAreaCount == 0 || n < 1 || n > t.areaCount()) return 0;
    const Area& g = t.area(t.realAreaCount + 1);
    const Area& a = t.area(n);
    int result = 0;
    if (n == g.mirrorOf) result = 5;
    if (a.level != g.level) return result;
    if (a.x0 == g.x0 && a.x1 == g.x1) {
        if (a.y0 == g.y1) result = 1;
        if (a.y1 == g.y0) result = 2;
    }
    if (a.y0 == g.y0 && a.y1 == g.y1) {
        if (a.x0 == g.x1) result = 3;
        if (a.x1 == g.x0) result = 4;
    }
    return result;
}

}  // namespace vexil
