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

    // The board's picture may be written over by a generated cover: there is none yet,
    // the board's cover is automatic, or it is the file this editor wrote last (unchanged
    // since). Any other is a picture the teacher chose or retouched.
    bool pictureIsGenerated() const;

private:
    QString coverFullName() const;
    QString pictureFullName() const;
    // A cover name of its own beside the board (the board's name with ".BMP", or the first
    // free one after it); empty for a board never saved.
    QString ownCoverName() const;
    // The file at `real` is missing or is the cover this editor wrote last, unchanged.
    bool mayWriteOver(const QString& real) const;

    EditorContext& c_;
    CoverComposer& composer_;
    // The cover file written last (a path of this machine) and its time then.
    QString writtenCover_;
    QString writtenTime_;
};

}  // namespace vexil
