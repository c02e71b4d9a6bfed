#pragma once
// "Dades globals" (`PlantForm`) without its widgets: the fields as the dialog shows them,
// filled from the board when it opens, copied back on "D'Acord", and the buttons that act
// at once (the folder, the browse buttons, the viewers, the catalogue's programs and
// macros). The widget mirrors `fields` and calls these on its events.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "editor/editor_context.h"

namespace vexil {

struct PropertiesFields {
    QString fitxGraf;  // the cover picture
    bool caratulaAuto = false;
    QString fitxDoc;  // the documentation
    QString descripcio;
    QString ordres;       // the start program
    QString tecles;       // the start keys
    QString txFinestra;   // the target application
    QString fitxClip;     // the board's clipboard file
    int option1 = 0;      // 0 "TXT", 1 "Gràfic"
    QString pathdefault;  // the board's folder
    int svIdioma = -1;    // -1: nothing selected
    int svLocutor = -1;
    QString svVelocitat;
    // The lists' items: the catalogue's programs then text 12 (">>> OTROS"), and the macros
    // of the chosen program. Texts 11 and 13 are what the lists show before a choice.
    QStringList programes;
    QStringList macros;
};

class TemplateProperties {
public:
    explicit TemplateProperties(EditorContext& context) : c_(context) {}

    // `Form_Load`: the fields and lists from the board, the catalogue and the speech
    // engine.
    void open();
    // "D'Acord": the fields into the board, the cover shown anew, the voice set.
    void accept();

    // `Pathdefault` change: the board's folder changes at once.
    void setFolder(const QString& folder);
    // `Option1` click: a new kind needs a new file.
    void setClipKind(int kind);
    // `programes` click on item `index`: a catalogue program (its macros and start
    // program) or, on the last item, a program file chosen by hand.
    void chooseProgram(int index);
    // `Macros` click on item `index`: its keys go after `Tecles`.
    void chooseMacro(int index);
    void searchClip();  // `SearchClip`
    void searchDoc();   // `SearchDoc`
    void searchGraf();  // `SearchGraf`
    void playImg();     // `PlayImg`
    void playDoc();     // `PlayDoc`

    // The picture chooser (`rec_graf`) in a folder: the file chosen, nothing when
    // cancelled. Without one the picture browse buttons do nothing.
    std::function<std::optional<QString>(const QString& folder)> choosePicture;

    PropertiesFields fields;

private:
    QString chooseFile(const QString& title, const QString& filter, const QString& name);

    EditorContext& c_;
};

}  // namespace vexil
