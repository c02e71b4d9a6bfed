#pragma once
// What the user does on the board in edit mode (`TSArea`): selecting by click, drawing a
// new area with the rubber band, the group selection by Ctrl+click, deleting, and the
// commands "&Afegir àrea", "&Eliminar àrea", "Desfer" and "Refer".
#include "editor/area_panel.h"

namespace vexil {

class CoverComposer;

enum class MouseButton { Left, Right, Middle };
struct Modifiers {
    bool shift = false;
    bool ctrl = false;
};

class BoardEditing {
public:
    BoardEditing(EditorContext& context, AreaPanel& panel, CoverComposer& cover)
        : c_(context), panel_(panel), cover_(cover) {}

    // Pointer events on the board, in board units.
    void mouseDown(MouseButton button, Modifiers modifiers, double x, double y);
    void mouseMove(double x, double y);
    void mouseUp(MouseButton button, double x, double y);
    // `TSArea_KeyDown` with a Windows key code (46: Delete).
    void keyDown(int keyCode);

    void addArea();     // "&Afegir àrea"
    void deleteArea();  // "&Eliminar àrea"
    void undo();        // "Desfer"
    void redo();        // "Refer"

    // `validar_area_consec`: how area n joins the group rectangle: 0 not at all, 1 below,
    // 2 above, 3 right, 4 left, 5 the area the group started from.
    int validar_area_consec(int n) const;

private:
    // A plain click's selection of the area under the point (ends a group selection,
    // takes the undo snapshot); false when there is none.
    bool selectAt(int x, int y);
    // Phases 0, 1, 2 of the rubber band.
    void rubberBand(int phase, int x, int y);
    void extendGroup(int n);
    // Appends a temporary record of the group selection (no change to the board's flags).
    bool appendTemporary(const Area& record);
    void overflow();

    EditorContext& c_;
    AreaPanel& panel_;
    CoverComposer& cover_;
};

// A pointer position in board units as the 16-bit integer the editor compares.
std::int16_t boardUnit(double v);

}  // namespace vexil
