#pragma once
// The file buttons of the area panel: choosing the icon and the sound, hearing the sound,
// and opening the icon or the clip file in a viewer of this machine (the Windows viewers'
// names go through the program alias table).
#include <QString>
#include <optional>

#include "editor/area_panel.h"

namespace vexil {

class Session;

// Starts `windowsProgram` ("PBRUSH.EXE", ...) on the board file name `fileName`; false when
// no program could be started.
bool launchViewer(Session& session, const QString& windowsProgram, const QString& fileName);

// The folder a picture chooser opens in for the picture `name`: its own folder (a relative
// one taken in the board's folder), else the board's folder.
QString pictureChooserFolder(const Session& session, const QString& name);

// A picture the paint program's viewer opens: every picture the covers draw, and ".PCX".
bool isViewablePicture(const QString& name);

class PanelFiles {
public:
    PanelFiles(EditorContext& context, AreaPanel& panel) : c_(context), panel_(panel) {}

    // `Icona_buscar`: `chosen` is what the picture chooser left (nothing when it was
    // cancelled or closed without a file, which leaves the icon field as it is).
    void chooseIcon(const std::optional<QString>& chosen);
    // The folder the picture chooser opens in for the icon.
    QString iconChooserFolder() const;
    void viewIcon();     // `Icona_veure`
    void chooseSound();  // `So_buscar`
    void playSound();    // `So_escoltar`
    void viewClip();     // `VeureClip`

private:
    void cannotView();

    EditorContext& c_;
    AreaPanel& panel_;
};

}  // namespace vexil
