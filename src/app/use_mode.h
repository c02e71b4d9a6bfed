#pragma once
// Use mode: entering it ("&Activar") with the template's start actions and the access
// mode, leaving it ("&Sortir") with the started applications closed, changing the board
// ("&Canvi de plafó"), and what the command interpreter asks of the program around it.
#include <QString>

#include "session/command_host.h"

namespace vexil {

class Session;
class AccessEngine;

class UseMode : public CommandHost {
public:
    // Becomes the session's command host for as long as it lives.
    UseMode(Session& session, AccessEngine& engine);
    ~UseMode() override;
    UseMode(const UseMode&) = delete;
    UseMode& operator=(const UseMode&) = delete;

    // "&Activar": false, and nothing done, when the template has no areas. Otherwise the
    // save question, the window onto the board, the clipboard file, the start programs
    // (their windows become the target), the target placed beside the board, half a second
    // of waiting (the window keeps working), the start keys, and the access mode started.
    bool enterUseMode();
    bool inUseMode() const;
    // "&Sortir" of use mode (also TANCAR): listening stops, MIDI closes, the started
    // applications are closed, the window goes back to edit mode.
    void leaveUseMode() override;
    // "&Canvi de plafó": the target stays where it is as a normal window, "&Obrir ..." runs,
    // and the access mode starts again on the new board (the start actions do not run).
    void changeBoard();
    // After the access menu and its dialog changed the mode: starts it in use mode.
    void accessModeChosen();
    // The main window became the active one after another window of the program (a dialog,
    // the auxiliary keyboard): the memory register is emptied and the scale read again
    // (the screen may have changed meanwhile; the board follows in use mode).
    void windowActivated();

    // CommandHost
    void exitProgram() override;
    void hideHighlight() override;
    void boardChanged() override;
    void focusBoard() override;
    void programWait(bool waiting) override;
    void setBusyCursor(bool busy) override;
    void setBoardTopMost(bool on) override;

private:
    void runStartActions();
    // The cover picture read again when its file changed since it was last read or written
    // (retouched in a paint program); a failure is reported with text 3.
    void reloadCover();
    void putTemplateClipOnClipboard();
    void closeStartedApplications();
    // The window onto the board's rectangle, the target beside it, the board repainted.
    void placeWindows();

    Session& s_;
    AccessEngine& engine_;
    bool desktopNoticeShown_ = false;
};

}  // namespace vexil
