#pragma once
// What the program shares process-wide, in one object that the main window owns and every
// service receives by reference. Tests build one over the fake platform.
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <random>

#include "platform/cue.h"
#include "platform/platform.h"
#include "session/command_host.h"
#include "session/view.h"
#include "settings/catalogue.h"
#include "settings/folders.h"
#include "settings/registry.h"
#include "settings/user_profile.h"
#include "template/template.h"
#include "template/trust_record.h"
#include "voice/voice_model.h"

namespace vexil {

// Remembered during use mode and across activations.
struct PlayerState {
    WindowHandle targetWindow = 0;
    QString targetHistory;        // "1A2B 3C4D ": newest first, upper-case hex + blank
    // A started program whose window had not come when the launch stopped waiting for it
    // (the target is then -1): its window becomes the target when it comes. 0: none.
    ProcessId lateProgram = 0;
    QString memory;               // the one-slot text memory
    std::int16_t currentLevel = 1;
    std::int16_t previousArea = 0;

    // The random choice of TRIA; seeded once when the session starts (tests and vexil-tool
    // seed it themselves) rather than from the time of day on every choice.
    std::mt19937 random;
    // How deep key sequences are nested right now (conditionals, recalled memory, random
    // choice), and how many steps the outermost sequence may still take: hostile or
    // self-referring sequences end instead of overflowing the stack or running forever.
    int nesting = 0;
    std::int64_t stepsLeft = 0;
    // Set when a command ended the program: whatever was still to play is dropped.
    bool ending = false;
};

// Speech engine state.
struct SpeechState {
    bool speechAvailable = false;
    int speakerCount = 0;
    std::int16_t speakerCursor = -1;
    QString openMidiDevice;
    // Automatic scanning with announcements fitted to the step: the longest the
    // announcement being made may last, in ms (0: no bound).
    int announceWithin = 0;
};

// What the access engine remembers in use mode. The area picked and waiting for
// activation is the template's `currentArea` (-1: none).
struct AccessState {
    bool useMode = false;           // the use-mode board is shown
    // Scanning modes: the slot s that stands for area s + 1; cursor modes: the area number.
    // 0: nothing highlighted yet.
    std::int16_t scanPosition = 0;
    QString mouseGesture;           // "", "m", "C" (a click armed) or "DC" (a double click)
    bool pointerSeen = false;       // lastPointer holds a position
    QPointF lastPointer;            // last pointer position over the board, in pixels
    QPointF scale{1.6, 768.0 / 477.0};  // board unit -> use-mode pixels (1024 x 768)
    bool activating = false;        // an area is being activated right now
    bool startingUp = false;        // use mode's start actions are under way: input waits
    // The board took the focus back over a target application that lies on it: the target
    // is raised again once the board has the focus (commands/placement.h).
    bool raiseAppPending = false;
    // While a question of the program's is open (whether to trust a board), the answer of the
    // trained sounds and the joystick goes there, not to the board behind it (true:
    // choose, false: move).
    std::function<void(bool choose)> question;
    // Set by the access engine: reads the joystick once, for the modes that poll it.
    std::function<void()> pollSwitches;
};

class Session {
public:
    Session(Platform& platform, Folders folders);

    Platform& platform;
    Folders folders;
    MainView* view;  // never null; points at a do-nothing view until the window sets one
    CommandHost* host;          // never null; a do-nothing host until one is set
    CommandObserver* observer;  // never null; a do-nothing observer until one is set
    CueVoice* cue;              // never null; the silent cue until a real one is set

    Template tmpl;
    UserProfile profile;
    ProgramSettings programSettings;
    Catalogue catalogue;
    RegistryStore registry;
    PlayerState player;
    SpeechState speech;
    AccessState access;
    // Whether the board in use may start programs, write the registry and open untrusted
    // boards on its own (commands/trust_gate.h).
    BoardTrust trust;
    // The trained sounds of the voice control, for the labels of the profile's command set;
    // the recogniser judges with them once it has started.
    voice::VoiceModel voiceModel;

    // The three timers of the main window: Timer1 activates the picked area, Timer2 gives
    // the focus back to the board, Timer3 steps the scan or polls the joystick.
    std::unique_ptr<Timer> timer1;
    std::unique_ptr<Timer> timer2;
    std::unique_ptr<Timer> timer3;
    // Places a program a board's command started again once it has settled its own
    // geometry (keepAppWindowPlacedLater, commands/placement.h).
    std::unique_ptr<Timer> settleTimer;

    // The folder relative names are taken in (the template's folder once one is loaded).
    QString currentDirectory;

    // A board file name made into a path of this machine, relative names taken in the
    // current directory.
    QString realPath(const QString& name) const;
    bool fileExists(const QString& name) const;

    void setView(MainView* v);
    void setHost(CommandHost* h);
    void setObserver(CommandObserver* o);
    void setCue(CueVoice* c);
    // Shows a message box with the program's title.
    MessageAnswer message(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::None);

private:
    MainView nullView_;
    CommandHost nullHost_;
    CommandObserver nullObserver_;
    SilentCue silentCue_;
};

}  // namespace vexil
