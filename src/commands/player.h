#pragma once
// Area activation and the key-sequence player.
#include <QString>

#include "platform/types.h"

namespace vexil {

class Session;

// Sequences nested deeper than this (conditionals, recalled memory, random choice) are
// dropped; one outermost sequence runs at most kMaxPlayerSteps stretches and commands.
inline constexpr int kMaxNesting = 16;
inline constexpr int kMaxPlayerSteps = 5000;
// Long texts cost one more step for every this many characters (typed, or substituted in
// an argument), and typed keys one more step for every this many keystrokes (a repeat
// count types many keys from a few characters).
inline constexpr int kCharactersPerStep = 256;

// How long launchAndFindWindow waits for the started program's window, in steps.
inline constexpr int kLaunchWaitStepMs = 100;
inline constexpr int kLaunchWaitMaxMs = 5000;
// After a window of another process appeared, how much longer the started process's own
// window is awaited (programs such as editors may hand the request to a running instance).
inline constexpr int kLaunchForeignGraceMs = 1000;

// The code shown when the target window cannot be activated (keystroke notation faults
// have theirs in keystroke_parser.h; the key sender's own codes are shown as they come).
inline constexpr int kActivateFailedCode = 1020;
// The code and text shown when one sequence reached kMaxPlayerSteps and the rest was dropped.
inline constexpr int kStepBoundCode = 1021;
QString stepBoundText();
// Entries kept in the target history.
inline constexpr int kMaxHistoryEntries = 256;

void activateArea(Session& session, int areaNumber);
void playKeySequence(Session& session, const QString& keys);
// `commandText` starts with "{|SIM" and lacks the final brace.
void playConditional(Session& session, const QString& commandText);
// The title of the window that receives keys, or "|" when none is left.
QString win_actiu_titol(Session& session);
// Starts the program and returns its new visible top-level window, or -1.
WindowHandle launchAndFindWindow(Session& session, const QString& commandLine);
// Makes `window` the target and puts it in front of the target history.
void pushTarget(Session& session, WindowHandle window);
// A handle as the target history writes it: upper-case hexadecimal, -1 as FFFFFFFF.
QString handleHex(WindowHandle window);
QString resolvePath(const Session& session, const QString& fileName);
// A command's file argument taken in the template's folder unless it names a drive.
QString commandFilePath(const Session& session, const QString& fileName);
bool fileExistsOrWarn(Session& session, const QString& fileName);
QString keysDisplayText(const QString& keys);

}  // namespace vexil
