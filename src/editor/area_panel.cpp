#include "editor/area_panel.h"

#include <algorithm>
#include <cmath>

#include "editor/sub_areas.h"
#include "i18n/texts.h"
#include "session/session.h"

namespace vexil {
namespace {

std::int16_t edgeOf(const Area& a, Edge e) {
    switch (e) {
        case Edge::X0:
            return a.x0;
        case Edge::X1:
            return a.x1;
        case Edge::Y0:
            return a.y0;
        case Edge::Y1:
            return a.y1;
    }
    return 0;
}

// The share of the new extent in the old one, in percent; an axis that had no extent is
// left alone rather than divided by zero.
double percentOf(int now, int before) {
    if (before == 0) return 100;
    return double(float(double(now) / double(before) * 100.0));
}

}  // namespace

void AreaPanel::showArea(int n) {
    Template& t = c_.session.tmpl;
    PanelState& p = c_.panel;
    Area a;
    if (n < 1 || n > t.areaCount()) {
        t.currentArea = 0;
        t.addedAreaCount = 0;
        p.msgArea = QStringLiteral("----- àrees");
    } else {
        t.currentArea = std::int16_t(n);
        a = t.area(n);
        p.msgArea =
            QString::number(n) + u'/' + QString::number(t.areaCount()) + QStringLiteral(" àrees");
    }
    p.fillingPanel = true;
    for (Edge e : {Edge::X0, Edge::X1, Edge::Y0, Edge::Y1}) {
        // The scroll bars hold 0..640; the text boxes show the stored value as it is.
        p.scrollOf(e) = std::clamp(int(edgeOf(a, e)), 0, kScrollMax);
        p.edgeText[int(e)] = QString::number(edgeOf(a, e));
    }
    p.option1 = a.clipKind == 1 ? 1 : 0;
    p.txApp = a.clipFile;
    const QString keys = translateCommands(a.keys, 0);
    const int shown = t.currentArea;
    if (shown != p.shownArea || keys != p.txText) {
        // Another area's keys (or other keys brought back): the caret goes to the start of
        // the text, as filling a text box puts it.
        p.selectionStart = 0;
        p.selectionLength = 0;
    }
    p.txText = keys;
    p.shownArea = shown;
    p.selectionStart = std::min(p.selectionStart, int(p.txText.size()));
    p.selectionLength = std::min(p.selectionLength, int(p.txText.size()) - p.selectionStart);
    p.soText = a.soundFile;
    p.iconaText = a.iconFile;
    p.chRepe = a.repeatReading != 0;
    p.fillingPanel = false;
    c_.view->panelChanged();
    c_.session.view->redrawBoard();
}

void AreaPanel::storePanel(bool refresh) {
    PanelState& p = c_.panel;
    if (p.fillingPanel) return;
    if (!c_.hasCurrentArea()) {
        c_.beep();
        return;
    }
    Template& t = c_.session.tmpl;
    p.fillingPanel = true;
    Area a = t.area(t.currentArea);
    a.x0 = std::int16_t(p.scrollOf(Edge::X0));
    a.y0 = std::int16_t(p.scrollOf(Edge::Y0));
    a.x1 = std::int16_t(p.scrollOf(Edge::X1));
    a.y1 = std::int16_t(p.scrollOf(Edge::Y1));
    if (p.option1 != a.clipKind) p.txApp.clear();
    a.clipKind = p.option1 == 1 ? 1 : 0;
    a.clipFile = p.txApp;
    a.soundFile = p.soText;
    a.iconFile = p.iconaText;
    a.keys = translateCommands(p.txText, 1);
    // The check box's value: 1 when checked.
    a.repeatReading = p.chRepe ? 1 : 0;
    t.setArea(t.currentArea, a);
    p.fillingPanel = false;
    if (refresh) showArea(t.currentArea);
    t.modified = true;
}

int AreaPanel::storedEdge(Edge edge) const {
    if (!c_.hasCurrentArea()) return 0;
    const Template& t = c_.session.tmpl;
    return std::clamp(int(edgeOf(t.area(t.currentArea), edge)), 0, kScrollMax);
}

void AreaPanel::scrollChanged(Edge edge, int value) {
    PanelState& p = c_.panel;
    if (p.fillingPanel) return;
    Template& t = c_.session.tmpl;
    value = std::clamp(value, 0, kScrollMax);
    bool allowed;
    if (c_.hasCurrentArea() && t.currentArea >= 2) {
        const Area& root = t.area(1);
        switch (edge) {
            case Edge::X0:
                allowed = value >= root.x0;
                break;
            case Edge::X1:
                allowed = value <= root.x1;
                break;
            case Edge::Y0:
                allowed = value >= root.y0;
                break;
            case Edge::Y1:
                allowed = value <= root.y1;
                break;
            default:
                allowed = false;
        }
    } else {
        const QChar code = rootDocking(t);
        allowed = (edge == Edge::X0 && code == u'D') || (edge == Edge::X1 && code == u'E') ||
                  (edge == Edge::Y0 && code == u'B') || (edge == Edge::Y1 && code == u'A');
    }
    if (!allowed) {
        p.scrollOf(edge) = storedEdge(edge);
        c_.view->panelChanged();
        return;
    }
    p.scrollOf(edge) = value;
    t.coverOutdated = true;
    storePanel(true);
}

void AreaPanel::edgeFocus(bool leaving) {
    if (!c_.hasCurrentArea()) return;
    Template& t = c_.session.tmpl;
    PanelState& p = c_.panel;
    const int n = p.edgeEditArea;
    // The snapshot is taken where an edit starts. Taken while an edge edit is pending it
    // would hold a group moved without its sub-areas, a board that never was: the pending
    // edit's own snapshot, taken when it started, is the one "Desfer" goes back to.
    if (n < 1 || n > t.areaCount()) c_.undo.snapshot();
    if (n >= 1 && n <= t.areaCount()) {
        t.currentArea = std::int16_t(n);
        const Area& before = p.edgeEditStart;
        const Area& now = t.area(n);
        const double px = percentOf(now.x1 - now.x0, before.x1 - before.x0);
        const double py = percentOf(now.y1 - now.y0, before.y1 - before.y0);
        scaleSubAreas(t, n, px, py, before);
        p.edgeEditArea = 0;
        // The edited area stays current, so that the next change applies to it.
        showArea(n);
    }
    p.edgeEditArea = 0;
    if (!leaving) {
        if (n >= 1 && n <= t.areaCount()) c_.undo.snapshot();
        p.edgeEditStart = t.area(t.currentArea);
        p.edgeEditArea = t.currentArea;
    }
}

void AreaPanel::setKeysText(const QString& displayed) {
    c_.panel.txText = displayed;
    // A shorter text takes the selection with it, as the field's own caret goes.
    select(c_.panel.selectionStart, c_.panel.selectionLength);
    storePanel(false);
}

void AreaPanel::setClipFile(const QString& text) {
    c_.panel.txApp = text;
    storePanel(false);
}

void AreaPanel::setSoundFile(const QString& text) {
    c_.panel.soText = text;
    storePanel(false);
}

void AreaPanel::setIconFile(const QString& text) {
    c_.panel.iconaText = text;
    storePanel(false);
    c_.session.tmpl.coverOutdated = true;
}

void AreaPanel::setClipKind(int kind) {
    c_.panel.option1 = kind == 1 ? 1 : 0;
    storePanel(false);
}

void AreaPanel::setRepeat(bool checked) {
    c_.panel.chRepe = checked;
    storePanel(false);
}

void AreaPanel::typeEdgeText(Edge edge, const QString& text) {
    c_.panel.edgeText[int(edge)] = text;
    storePanel(true);
}

void AreaPanel::select(int start, int length) {
    PanelState& p = c_.panel;
    p.selectionStart = std::clamp(start, 0, int(p.txText.size()));
    p.selectionLength = std::clamp(length, 0, int(p.txText.size()) - p.selectionStart);
}

void AreaPanel::nextArea() {
    const Template& t = c_.session.tmpl;
    if (t.currentArea >= t.areaCount()) {
        c_.beep();
        return;
    }
    showArea(t.currentArea + 1);
}

void AreaPanel::prevArea() {
    const Template& t = c_.session.tmpl;
    if (t.currentArea <= 1) {
        c_.beep();
        return;
    }
    showArea(t.currentArea - 1);
}

void AreaPanel::copyKeys() {
    const PanelState& p = c_.panel;
    Clipboard& clipboard = c_.session.platform.clipboard;
    clipboard.clear();
    clipboard.setText(p.txText.mid(p.selectionStart, p.selectionLength));
}

void AreaPanel::pasteKeys() {
    PanelState& p = c_.panel;
    const QString pasted = c_.session.platform.clipboard.text().left(
        std::max<qsizetype>(0, kKeysFieldMaxLength - p.txText.size()));
    if (pasted.isEmpty()) return;
    // The pasted text goes in at the caret; a selection is not replaced but follows it.
    const QString text = p.txText.left(p.selectionStart) + pasted + p.txText.mid(p.selectionStart);
    p.selectionStart += int(pasted.size());
    p.selectionLength = 0;
    setKeysText(text);
}

}  // namespace vexil
