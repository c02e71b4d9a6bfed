#include "editor/editor_context.h"

#include "session/session.h"

namespace vexil {

void EditorContext::beep() {
    session.platform.sound.beep();
}

bool EditorContext::hasCurrentArea() const {
    const Template& t = session.tmpl;
    return t.currentArea >= 1 && t.currentArea <= t.areaCount();
}

bool EditorContext::isTemporaryRecord(int n) const {
    const Template& t = session.tmpl;
    return t.realAreaCount != 0 && n > t.realAreaCount && n <= t.areaCount();
}

void EditorContext::dropGroupSelection() {
    Template& t = session.tmpl;
    if (t.realAreaCount == 0) return;
    if (t.realAreaCount < t.areaCount()) t.truncateAreas(t.realAreaCount);
    t.realAreaCount = 0;
}

}  // namespace vexil
