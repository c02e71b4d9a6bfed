#pragma once
// The access engine: turns the input of the nine access modes into the choice of one area
// of the board and hands it to activation. It works on the session (the profile, the
// template, `Interval`, the scanning level, the three timers) and owns nothing global.
// Input arrives as plain calls, so the main window, the joystick and voice devices and
// vexil-tool drive it the same way.
#include <QPointF>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "access/access_actions.h"
#include "access/usage_record.h"
#include "platform/clock.h"
#include "session/view.h"
#include "settings/user_profile.h"

namespace vexil {

class Session;

enum class PointerButton { Left, Right };

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
    // An activation waits for a started program's window: scanning goes on meanwhile, and
    // what is picked then is activated after it.
    void programWait(bool waiting);

    // --- input events on the use-mode board (positions in its pixels)
    void keyPress(QChar character);
    void keyDown(int keyCode);
    // A key let go (its virtual code, as keyDown had it).
    void keyUp(int keyCode);
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
    // A button let go.
    void mouseRelease(PointerButton button);
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

    // --- adaptation (section [Adaptacio] of the profile): switch filters, auditory
    // scanning and dwell. Every input goes through one filter path. A press comes from a
    // source that is later let go (a key code, a mouse button, a joystick letter), or from
    // an instant source (pointer moves, recognised sounds, dwell, clicks) whose press is
    // its release. The acceptance time is how long a source must be held to count, the
    // dead time runs from the release of an accepted press, per channel (a switch, a
    // cursor key, a sound), and a press the filters drop is shown (and heard, by a
    // setting), never lost in silence.
    static constexpr int kSourceInstant = 0;
    static constexpr int kSourceLeft = 0x10001;
    static constexpr int kSourceRight = 0x10002;
    static constexpr int kSourceJoystick = 0x10100;  // + the letter of the poll
    static constexpr int kSourceDwell = 0x10200;
    static constexpr int kSourceVoice = 0x10300;     // + the sound's label number
    static constexpr int kChannelSwitch = 0x10400;   // + the switch number
    static constexpr int kChannelPointer = 0x10500;  // a mouse-mode button (+ 1 left, 2 right)
    // Milliseconds between two drawings of the acceptance fill and of the dwell progress.
    static constexpr int kProgressStep = 50;
    // Automatic scanning waits for the program's own speech to end (what was selected,
    // the announcement of the highlight): how often it looks, and how long before the step
    // an announcement fitted to the step (`AnunciAjustat`) must be over.
    static constexpr int kSpeechPoll = 50;
    static constexpr int kAnnounceMargin = 100;
    // While listening for trained sounds, how often the engine looks whether its own
    // speech or cue still sounds (the recogniser does not take that for the user).
    static constexpr int kOwnSoundPoll = 20;
    static constexpr int kDwellStep = 100;
    // True while automatic scanning stands still after its cycles ran out.
    bool scanPaused() const { return paused_; }
    const UsageRecord& usageRecord() const { return usage_; }

private:
    // True when the input was held for later.
    bool answerByVoice(int label);
    bool held(std::function<void()> replay);

    bool filtersOn() const;
    bool holdToScan() const;
    bool longPressSelects() const;
    // A press through the filters; `take` is what it does once accepted. `channel` is what
    // its dead time belongs to.
    void switchPress(int source, int channel, std::function<void()> take);
    void acceptPress(int source, int channel, const std::function<void()>& take);
    void switchRelease(int source);
    // A press the filters dropped: the sign on the board, and the sound when asked.
    void pressFiltered(FilteredPress why);
    void cancelPending();
    void acceptanceTick();
    // Automatic scanning, step by step with the first-item delay, the cycles and the cue.
    void automaticStep();
    void pauseScanning();
    void resumeScanning();
    void endHold();
    void cueFinished();
    // True while the program speaks: the step is put off, looking again every kSpeechPoll.
    bool speechHoldsStep();
    // The interval of the step back after it waited for speech.
    void endSpeechWait();
    // Listening: tells the recogniser whether the program's own output sounds, `now`
    // before something that may sound starts (a wave file plays to its end meanwhile).
    void ownSound(bool now = false);
    // Says the area in the cue voice on its output (auditory scanning).
    void resetScanState();
    void startCue();
    // What writes an activation of area n into the usage record (run after the
    // activation, so that a failing record never holds it up); empty when it is off.
    std::function<void()> usageOf(int area);
    static int keyCodeOfCharacter(QChar c);
    // Dwell selection in mouse mode.
    void dwellMove(QPointF pixels);
    void dwellTick();
    void stopDwell();

    struct Pending {
        int source = 0;
        int channel = 0;
        std::function<void()> take;
        std::int64_t start = 0;
    };
    std::optional<Pending> pending_;
    // Sources accepted and not yet let go, with their channel; the end of each channel's
    // last accepted press.
    std::map<int, int> acceptedDown_;
    std::map<int, std::int64_t> released_;
    // A long press as the second action: the switch held since `start` (source 0 none).
    struct LongPress {
        int source = 0;
        std::int64_t start = 0;
    };
    LongPress long_;
    QString joystickHeld_;       // the letters of the last poll, while the filters are on
    std::set<int> heldKeys_;     // keys down, while the filters are on
    int lastKeyDown_ = 0;        // the key whose character comes next
    bool swallowPress_ = false;  // the character of a repeated key-down
    int holdingSource_ = 0;      // hold to scan: the source held, 0 none
    bool paused_ = false;
    int stepsThisScan_ = 0;
    bool firstOfScan_ = false;
    bool firstStretched_ = false;
    bool steppingDuringActivation_ = false;
    std::int16_t pickedWhileWaiting_ = -1;
    bool cueWaiting_ = false;
    bool speechWaiting_ = false;
    int stepInterval_ = 1000;
    bool cueOutputWarned_ = false;
    QString voiceStartFailed_;  // the file of trained sounds the recogniser could not start with
    // Dwell: the area rested on, where, since when; the area activated last and when.
    int dwellArea_ = 0;
    std::int64_t dwellStart_ = 0;
    int dwellDone_ = 0;
    bool dwellPicked_ = false;  // dwellDone_ was selected by dwell, and no click followed
    bool dwellRepeating_ = false;
    bool dwellShown_ = false;  // the view shows progress on dwellArea_
    UsageRecord usage_;
    std::unique_ptr<Timer> acceptTimer_;
    std::unique_ptr<Timer> dwellTimer_;
    std::unique_ptr<Timer> ownSoundTimer_;
    bool ownSoundTold_ = false;

    Session& s_;
    AccessActions& actions_;
    std::vector<std::function<void()>> heldInput_;
};

}  // namespace vexil
