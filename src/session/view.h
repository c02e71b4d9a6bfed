#pragma once
// What the core asks of the main window. The window implements it; headless runs use the
// default, which does nothing.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

namespace vexil {

// Why the switch filters dropped a press: let go before the acceptance time, within the
// dead time of the same switch, or a second selection of what was just selected (a click
// on the area dwell just activated).
enum class FilteredPress { TooShort, DeadTime, SameIntent };

// The signs the use-mode board shows in a corner while a state lasts.
enum class BoardSign { Listening, Recording, ScanPaused };

class MainView {
public:
    virtual ~MainView() = default;
    virtual void setTitle(const QString& /*title*/) {}
    // The cover picture changed (a null image: an empty cover).
    virtual void setCover(const QImage& /*cover*/) {}
    virtual void redrawBoard() {}
    virtual void setSoundOnCheck(bool /*checked*/) {}
    // The key-sequence box covers the clip-file field (true) or leaves it visible.
    virtual void setKeysBoxCoversClip(bool /*covers*/) {}
    virtual void setDrawingArmed(bool /*armed*/) {}
    virtual void setMacroMenuCaption(const QString& /*caption*/) {}

    // Use mode. The highlight frame `marc`: moved onto area n of the use-mode board and
    // shown, the board taking the keyboard focus (placeHighlight); hidden; its look.
    virtual void showHighlight(int /*area*/) {}
    virtual void hideHighlight() {}
    virtual void setHighlightStyle(int /*thickness*/, QColor /*color*/) {}
    // The acceptance fill of the highlight frame while a switch is held: 0 none, up to 1
    // when the press counts.
    virtual void setHighlightFill(double /*progress*/) {}
    // Dwell selection: the progress ring on area n (0 to 1); 0 clears it.
    virtual void setDwellProgress(int /*area*/, double /*progress*/) {}
    // Automatic scanning stopped after its cycles (true) or started again (false).
    virtual void setScanPaused(bool /*paused*/) {}
    // A press the switch filters dropped: a short sign on the board.
    virtual void showFilteredPress(FilteredPress /*why*/) {}
    // A lasting sign on the board: shown (true) or taken away.
    virtual void setBoardSign(BoardSign /*sign*/, bool /*on*/) {}
    // The use-mode board takes the keyboard focus.
    virtual void focusBoard() {}
    // The board's pointer: the hourglass (true) or the default one.
    virtual void setBusyCursor(bool /*busy*/) {}
    // Into use mode: save the window's rectangle, hide the edit-mode menus, panel and
    // button, show "&Sortir" and "&Canvi de plafó", close the auxiliary keyboard, stop
    // drawing, and move the window onto `boardRect` (screen pixels) with the cover
    // stretched over the board.
    virtual void enterUseModeDisplay(const QRect& /*boardRect*/) {}
    // Moves the use-mode window onto another board's rectangle (after a board change).
    virtual void placeBoardWindow(const QRect& /*boardRect*/) {}
    // Back to edit mode: the edit-mode menus, the auxiliary keyboard when its menu item is
    // checked, the window at its saved rectangle, the panel showing no area.
    virtual void leaveUseModeDisplay() {}
    // The main window above every other one (while a message must be seen) or back.
    virtual void setTopMost(bool /*on*/) {}
    // Ends the program (TANCAR, after use mode was left).
    virtual void exitProgram() {}

    // "&Nou": the area panel shows no area; the template properties dialog opens.
    virtual void showEmptyAreaPanel() {}
    virtual void openTemplateProperties() {}
    // Closes the auxiliary keyboard when it is open (before a board is opened or saved).
    virtual void closeAuxiliaryKeyboard() {}
    // Generates the cover picture of the template just saved (its `autoCover` is 1).
    virtual void generateCover() {}

    // The access menu checks item `item` alone (accessMenuItem of the mode; -1 none).
    virtual void setAccessMenuCheck(int /*item*/) {}
};

}  // namespace vexil
