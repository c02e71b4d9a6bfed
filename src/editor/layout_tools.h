#pragma once
// The bulk geometry commands of the "Arees" menu: "Ajustar àrees" grows the current area
// until it meets its neighbours, "Redimensionar àrees" shrinks it by percentages carrying
// its sub-areas along (`REDIM_AREES`), "&Subdividir àrea" cuts it into a grid.
#include <QString>

#include "editor/area_panel.h"

namespace vexil {

class LayoutTools {
public:
    LayoutTools(EditorContext& context, AreaPanel& panel) : c_(context), panel_(panel) {}

    void ajustarArees();  // "Ajustar àrees" (`AjustArea`)
    // "Redimensionar àrees" with the two texts of `Hor` and `ver` as typed, then "Acceptar".
    void redimensionarArees(const QString& horizontal, const QString& vertical);
    // `REDIM_AREES` with percentages already accepted (1..100).
    void REDIM_AREES(double percentX, double percentY);
    // "&Subdividir àrea" with the counts chosen in `Quadricula`, then "D'Acord".
    void subdividirArea(int columns, int rows);
    // Whether "&Subdividir àrea" may open its dialog (a current area that is no group); it
    // beeps when not.
    bool canSubdivide();

    // A percentage as the dialog accepts it: the leading number of the text, or 100 when
    // that is not within 1..100.
    static double acceptedPercent(const QString& text);

private:
    EditorContext& c_;
    AreaPanel& panel_;
};

}  // namespace vexil
