#pragma once
// The "Caràtula" menu and the cover file: "&Nova" composes the cover, saves it as a bitmap
// beside the board and opens it in the paint program; "&Editar" opens the cover, making it
// anew first when the areas changed since. `generateCover` is also what saving a board with
// the automatic cover runs.
#include <QString>

#include "editor/cover_composer.h"

namespace vexil {

class CoverCommands {
public:
    CoverCommands(EditorContext& context, CoverComposer& composer)
        : c_(context), composer_(composer) {}

    // Composes the cover and writes it to the board's picture file (".BMP"); throws
    // RuntimeError when it cannot be written.
    void generateCover();
    void newCover();   // "&Nova" (`CaratulaDesar`)
    void editCover();  // "&Editar" (`CaratulaEditar`)

    // Writes the cover of the board as composed now to `realPath`; false when it could not.
    bool writeCover(const QString& realPath);

private:
    QString coverFullName() const;

    EditorContext& c_;
    CoverComposer& composer_;
};

}  // namespace vexil
