#pragma once
// The access engine: turns the input of the nine access modes into the choice of one area
// of the board and hands it to activation. It works on the session (the profile, the
// template, `Interval`, the scanning level, the three timers) and owns nothing global.
// Input arrives as plain calls, so the main window, the joystick and voice devices and
// vexil-tool drive it the same way.
#include <QPointF>
#include <QString>
#include <functional>
#include <vector>

#include "access/access_actions.h"

namespace vexil {

class Session;

enum class PointerButton { Left, Right };

// The access modes, the values of `accessMode`.
enum AccessMode : int {
    kModeMouse = 0,
    kModeManualScan = 1,
    kModeAutoScan = 2,
    kModeCursorKeys = 3,
    kModeJoystick = 4,
    kModeVoiceOne = 5,
    kModeVoiceTwo = 6,
    kModeVoiceFive = 7,
    kModeMultimouse = 8,
};

class AccessEngine {
public:
    // Takes over the timeouts of the session's three timers for as long as it lives.
    AccessEngine(Session& session, AccessActions& actions);
    ~AccessEngine();
    AccessEngine(const AccessEngine&) = delete;
    AccessEngine& operator=(const AccessEngine&) = delete;

    // --- mode lifecycle
    // Starts the current mode on the board (on entering use mode, after a mode change).
    void startAccess();
    // Before the access mode changes: recognition stops, Timer3 and Timer2 go off.
    void beginModeChange();
    // Disables the scan step and hides the highlight.
    void stopScanning();
    // Automatic scanning: the frame's look and the scan step (Timer3), and Timer2 when the
    // step is set.
    void startScanning();
    // Listening for trained sounds (modes 5 to 7), when the recognition engine was started.
    void startRecognition();
    void stopRecognition();

    // --- what the modes do
    void scanStep();
    void highlightArea(int area);
    // One switch event: `text` is the typed character for code 4, empty otherwise.
    void act_butons(int code, const QString& text);
    // Cursor moves: 13 Enter, 37 Left, 38 Up, 39 Right, 40 Down, -1 re-evaluate.
    void cursorMove(int keyCode);

    // --- timer ticks (the timers call these; tests and vexil-tool may too)
    void timer1Tick();
    void timer2Tick();
    void timer3Tick();

    // --- input events on the use-mode board (positions in its pixels)
    void keyPress(QChar character);
    void keyDown(int keyCode);
    void pointerMove(QPointF pixels);
    // A click of the left button arms the "C" marker when a switch uses the left click; in
    // Multimouse mode it also selects. A right-button click arms it for the right click.
    void click();
    void rightClick();
    // Double clicks arm the "DC" marker for the switch gesture of the same button.
    void doubleClick();
    void rightDoubleClick();
    // The same, by the button the window saw.
    void click(PointerButton button);
    void doubleClick(PointerButton button);
    // A button press dispatches the gesture the markers armed; in mouse mode it picks the
    // area under the pointer, activated at the next Timer1 tick.
    void mousePress(PointerButton button, QPointF pixels);
    // A recognised trained sound, by its 1-based label number.
    void voice(int label);
    // Direction letters of a joystick poll, replayed as cursor moves.
    void joystickLetters(const QString& letters);

    // While use mode's start actions run, the board is already shown but nothing may be
    // picked yet: from `holdInput` on, input is kept in order (`AccessState::startingUp`);
    // `releaseInput` hands it on once the access mode has started, or drops it when use
    // mode ended meanwhile.
    void holdInput();
    void releaseInput();
    static constexpr std::size_t kMaxHeldInput = 256;

private:
    // True when the input was held for later.
    bool held(std::function<void()> replay);

    Session& s_;
    AccessActions& actions_;
    std::vector<std::function<void()>> heldInput_;
};

}  // namespace vexil
