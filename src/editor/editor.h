#pragma once
// The board editor's logic as one object the main window (or vexil-tool) owns: the shared
// editing context and the parts that work on it.
#include "editor/area_panel.h"
#include "editor/board_editing.h"
#include "editor/cover_commands.h"
#include "editor/cover_composer.h"
#include "editor/editor_context.h"
#include "editor/layout_tools.h"
#include "editor/panel_files.h"

namespace vexil {

class Editor {
public:
    explicit Editor(Session& session)
        : context(session),
          panel(context),
          files(context, panel),
          cover(context),
          coverCommands(context, cover),
          board(context, panel, cover),
          layout(context, panel) {}

    void setView(EditorView* view) { context.view = view ? view : &context.nullView; }
    // Drawing is armed (a new board) or not (a board loaded, use mode entered).
    void setDrawingMode(bool on) {
        context.drawing.drawingMode = on;
        context.drawing.dragging = false;
        context.view->setCrosshair(on);
    }

    EditorContext context;
    AreaPanel panel;
    PanelFiles files;
    CoverComposer cover;
    CoverCommands coverCommands;
    BoardEditing board;
    LayoutTools layout;
};

}  // namespace vexil
