#pragma once
// Connects the main window to the core: menu commands, the use-mode button, the access
// menu with its dialogs, and the input of the use-mode board.
#include <QObject>

namespace vexil {

class AccessEngine;
class MainWindow;
class Session;
class UseMode;

class WindowController : public QObject {
    Q_OBJECT
public:
    WindowController(Session& session, MainWindow& window, AccessEngine& engine,
                     UseMode& useMode);

    // "&Sortir" of the file menu: the save question, then every window closes.
    void exit();
    // Item `index` of the access menu: its dialog, then the mode starts in use mode.
    void chooseAccessItem(int index);

private:
    // The switch dialog for one switch; false when it was cancelled.
    bool runSwitchDialog(int number, const QString& caption);
    // The joystick dialog; false when it was cancelled.
    bool runJoystickDialog();
    void wireMenus();
    void wireBoard();
    // The main window active again after another window of the program had the focus (a
    // dialog closed): not after another application, nor the board taking its keys back.
    void watchActivation();

    Session& s_;
    MainWindow& window_;
    AccessEngine& engine_;
    UseMode& useMode_;
    bool ownWindowWasActive_ = false;
};

}  // namespace vexil
