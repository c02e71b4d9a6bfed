#pragma once
// What the key player and the command interpreter ask of the program around them: the
// main window and the access engine in the desktop program, a recorder in vexil-tool, a
// do-nothing default elsewhere. The session holds a pointer to one, never null.
#include <QString>

#include "platform/types.h"

namespace vexil {

struct RegistryValue;

class CommandHost {
public:
    virtual ~CommandHost() = default;

    // TANCAR: leave use mode (closing the started applications), then end the program.
    virtual void leaveUseMode() {}
    virtual void exitProgram() {}

    // CARREGA: before loading, the highlight frame is hidden; after loading another board,
    // scanning restarts at the top (scan position 0) and the main window is placed onto the
    // new board and repainted. The core has already reset the level and the current area.
    virtual void hideHighlight() {}
    virtual void boardChanged() {}

    // After a key sequence, when the access mode keeps the focus on the board.
    virtual void focusBoard() {}
    // A started program's window is being waited for (true), or no longer (false): the
    // board goes on answering meanwhile.
    virtual void programWait(bool /*waiting*/) {}
    // The board's pointer: the hourglass while keys are being sent, the default afterwards.
    virtual void setBusyCursor(bool /*busy*/) {}
    // The main window above every other window while a not-found message is shown, so the
    // message is not hidden behind the target application; back to normal afterwards.
    virtual void setBoardTopMost(bool /*on*/) {}
};

// Observes what the commands do beyond the platform calls (which the platform itself can
// record): vexil-tool prints these, the program ignores them.
class CommandObserver {
public:
    virtual ~CommandObserver() = default;
    // A program is about to be started for this command line (after the catalogue's
    // replacement).
    virtual void launching(const QString& /*commandLine*/) {}
    // A program was started; `window` is the window found for it, or -1.
    virtual void launched(const QString& /*commandLine*/, WindowHandle /*window*/) {}
    // One unit of ESPERA.
    virtual void waited() {}
    // The clipboard's contents are pasted into `window` (Ctrl+V sent to it) between these
    // two calls.
    virtual void pasting(WindowHandle /*window*/) {}
    virtual void pasteDone() {}
    // One mouse action ("M", "CD", "2CE", "PD" ...) at (x, y) in screen pixels; the
    // platform receives it as moves and button presses.
    virtual void mouseAction(const QString& /*action*/, int /*x*/, int /*y*/) {}
    // A registry value was written by the REG command.
    virtual void registryWritten(const QString& /*root*/, const QString& /*key*/,
                                 const QString& /*name*/, const RegistryValue& /*value*/) {}
    // CARREGA is about to load the board at `path` (a real path).
    virtual void loading(const QString& /*path*/) {}
    // An untrusted board was kept from doing this: `kind` "program" (a start program or
    // EXECUTA, `what` its command line), "registry" (REG, `what` "[ROOT\KEY]NAME") or
    // "board" (CARREGA, `what` the board's real path).
    virtual void refused(const QString& /*kind*/, const QString& /*what*/) {}
};

}  // namespace vexil
