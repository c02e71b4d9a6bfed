#pragma once
// What the editor keeps besides the template: the drawing state of the board and the
// contents of the area property panel, as plain data that the widgets show.
#include <QImage>
#include <QString>
#include <cstdint>

#include "template/template.h"

namespace vexil {

// The rubber band and the click that went before, in board units.
struct DrawingState {
    bool drawingMode = false;  // the rubber band is armed
    bool dragging = false;     // a rubber band is on screen
    std::int16_t dragStartX = 0, dragStartY = 0;
    std::int16_t dragEndX = 0, dragEndY = 0;
    std::int16_t previousArea = 0;  // currentArea when the last button went down
};

// The four coordinate scroll bars, by the edge they edit.
enum class Edge { X0, X1, Y0, Y1 };

// The panel `fitxa_area`: what each control holds. The widget mirrors these fields.
struct PanelState {
    QString msgArea = QStringLiteral("0/0 àrees");
    // ScrollX0, scrollx1, ScrollY0, ScrollY1 (range 0..640).
    int scroll[4] = {0, 0, 0, 0};
    // TxX0, TxX1, TxY0, TxY1: display only.
    QString edgeText[4];
    QString txText;  // the key sequence in its displayed form
    int selectionStart = 0;
    int selectionLength = 0;
    QString txApp;
    int option1 = 0;  // 0 "TXT", 1 "Gràfic"
    QString iconaText;
    QString soText;
    bool chRepe = false;

    // The area the panel was last filled with (0: none): the caret set inside the key
    // field stays while the panel shows that area with the same keys.
    int shownArea = 0;
    bool fillingPanel = false;
    // The area as it was when a coordinate scroll bar got the focus (0: none pending).
    Area edgeEditStart;
    int edgeEditArea = 0;

    int& scrollOf(Edge e) { return scroll[int(e)]; }
};

inline constexpr int kScrollMax = 640;
// The most characters the key-sequence field takes from a paste (a line edit's limit):
// pasting the whole field into itself again and again stops there.
inline constexpr int kKeysFieldMaxLength = 32767;
inline constexpr int kBoardWidth = 640;
inline constexpr int kBoardHeight = 445;

}  // namespace vexil
