#pragma once
// The area property panel `fitxa_area` without its widgets: filling it from the table
// (`showArea`), writing it back (`storePanel`), the edge scroll bars with their checks and
// the carrying along of sub-areas (`edgeFocus`), stepping, and the key-sequence field's
// clipboard commands. The widget mirrors `EditorContext::panel` and calls these on its
// change events.
#include <QString>

#include "editor/editor_context.h"

namespace vexil {

class AreaPanel {
public:
    explicit AreaPanel(EditorContext& context) : c_(context) {}

    // Fills the panel with area n and makes it current; outside 1..areaCount clears it.
    void showArea(int n);
    // Writes the panel back into the current area; `refresh` fills it again afterwards.
    void storePanel(bool refresh);
    // A coordinate scroll bar gained (leaving = false) or lost the focus.
    void edgeFocus(bool leaving);
    // A coordinate scroll bar was moved to `value`.
    void scrollChanged(Edge edge, int value);

    // The change events of the other fields.
    void setKeysText(const QString& displayed);  // TxText
    void setClipFile(const QString& text);       // TxApp
    void setSoundFile(const QString& text);      // So_Text
    void setIconFile(const QString& text);       // Icona_text
    void setClipKind(int kind);                  // Option1
    void setRepeat(bool checked);                // ChRepe
    // Typing into TxX0 and the three others: the edges come from the scroll bars, so the
    // box shows the stored value again at once.
    void typeEdgeText(Edge edge, const QString& text);
    // The selection in TxText (clamped to the text).
    void select(int start, int length);

    void nextArea();  // ">"
    void prevArea();  // "<"

    // "Copiar" and "Enganxar" of the edit menu, on TxText.
    void copyKeys();
    void pasteKeys();

private:
    int storedEdge(Edge edge) const;

    EditorContext& c_;
};

}  // namespace vexil
