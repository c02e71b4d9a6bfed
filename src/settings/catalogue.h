#pragma once
// The applications boards are made for and their ready-made key sequences (MACROS.INI).
#include <QString>
#include <vector>

namespace vexil {

struct ProgramEntry {
    QString name;     // menu name
    QString section;  // section holding its macros
    QString file;     // program file name, upper case, without folder
    QString className;
};

struct MacroEntry {
    QString title;
    QString keys;
    QString sound;
    QString icon;
};

struct Catalogue {
    // Records 1..n; element 0 holds n as text in its name.
    std::vector<ProgramEntry> programs;
    // Records 1..m of the chosen application; element 0 unused.
    std::vector<MacroEntry> macros;
    // "|NOTEPAD.EXE|C:\WINDOWS\NOTEPAD.EXE|...|": installed applications by file name.
    QString programCatalogue;
    // Caption of the "Seleccionar" menu item: the application whose macros are loaded.
    QString macroSetCaption;
};

}  // namespace vexil
