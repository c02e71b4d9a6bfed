#pragma once
// The state the editor's parts share: the session, the board's drawing state, the panel,
// the undo store and the on-screen cover. The parts hold a reference to one context.
#include <QImage>

#include "editor/editor_state.h"
#include "editor/editor_view.h"
#include "editor/undo_store.h"

namespace vexil {

class Session;

struct EditorContext {
    explicit EditorContext(Session& s) : session(s), undo(s) {}

    Session& session;
    EditorView* view = &nullView;  // never null
    DrawingState drawing;
    PanelState panel;
    UndoStore undo;
    // `lamina`: the cover as composed on screen, kept up to date area by area when the
    // board's automatic cover is on.
    QImage lamina;
    // The board and cover file `lamina` was made for: another board starts from its own
    // cover file.
    QString laminaBoard;

    // Editing commands that cannot act only beep.
    void beep();
    // currentArea names an area of the table.
    bool hasCurrentArea() const;
    // The record is one of a group selection's temporary copies.
    bool isTemporaryRecord(int n) const;
    // Ends a group selection: its temporary records vanish, nothing is written back.
    void dropGroupSelection();

    EditorView nullView;
};

}  // namespace vexil
