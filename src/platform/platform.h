#pragma once
// Every outside effect of the program goes through one of these interfaces. A Platform
// bundles one implementation of each; the real one lives in the desktop build, the fake
// one records every call for tests and vexil-tool.
#include "platform/audio.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "platform/launcher.h"
#include "platform/mouse.h"
#include "platform/recognizer.h"
#include "platform/speech.h"
#include "platform/windows.h"

namespace vexil {

struct Platform {
    WindowSystem& windows;
    KeySender& keys;
    Mouse& mouse;
    Clipboard& clipboard;
    Launcher& launcher;
    SoundPlayer& sound;
    SpeechEngine& speech;
    Joystick& joystick;
    SoundRecognizer& recognizer;
    Dialogs& dialogs;
    Clock& clock;
    // What the desktop does not let the program do (keys reaching only some applications,
    // windows it cannot place), said once when use mode starts; empty when all works.
    QString desktopNotice = {};
};

}  // namespace vexil
