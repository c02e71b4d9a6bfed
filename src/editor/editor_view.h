#pragma once
// What the editing logic asks of the editor's widgets beyond the main view: the pointer over
// the board, the right-button menu, the focus of the key-sequence field, the live outline.
// The default does nothing (headless runs and tests).
#include <QRect>

namespace vexil {

class EditorView {
public:
    virtual ~EditorView() = default;
    // The crosshair pointer over the board while drawing is armed.
    virtual void setCrosshair(bool /*on*/) {}
    // The "Arees" menu at the pointer (board units).
    virtual void popUpAreaMenu(int /*x*/, int /*y*/) {}
    // The keyboard focus goes to `TxText`.
    virtual void focusKeysField() {}
    // The rubber band outline (board units); an empty rectangle hides it.
    virtual void showRubberBand(const QRect& /*band*/) {}
    // The panel's fields changed (the widget refills itself from the panel state).
    virtual void panelChanged() {}
};

}  // namespace vexil
