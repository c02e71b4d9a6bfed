#include "access/access_engine.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "access/board_walk.h"
#include "access/joystick_poll.h"
#include "access/switch_dispatch.h"
#include "access/vb_color.h"
#include "access/voice_control.h"
#include "commands/placement.h"
#include "session/session.h"

namespace vexil {

namespace {

bool isScanningMode(int mode) {
    return mode == kModeManualScan || mode == kModeAutoScan || mode == kModeVoiceOne ||
           mode == kModeVoiceTwo;
}

bool isCursorMode(int mode) {
    return mode == kModeCursorKeys || mode == kModeJoystick || mode == kModeVoiceFive ||
           mode == kModeMultimouse;
}

bool isVoiceMode(int mode) {
    return mode >= kModeVoiceOne && mode <= kModeVoiceFive;
}

}  // namespace

AccessEngine::AccessEngine(Session& session, AccessActions& actions)
    : s_(session), actions_(actions) {
    acceptTimer_ = s_.platform.clock.createTimer(QStringLiteral("Acceptance"));
    dwellTimer_ = s_.platform.clock.createTimer(QStringLiteral("Dwell"));
    ownSoundTimer_ = s_.platform.clock.createTimer(QStringLiteral("OwnSound"));
    ownSoundTimer_->setInterval(kOwnSoundPoll);
    ownSoundTimer_->onTimeout([this] { ownSound(); });
    s_.timer1->onTimeout([this] { timer1Tick(); });
    s_.timer2->onTimeout([this] { timer2Tick(); });
    s_.timer3->onTimeout([this] { timer3Tick(); });
    acceptTimer_->onTimeout([this] { acceptanceTick(); });
    dwellTimer_->onTimeout([this] { dwellTick(); });
    s_.access.pollSwitches = [this] { joystickLetters(pollJoystick(s_)); };
}

AccessEngine::~AccessEngine() {
    // The recogniser outlives the engine: it must not stay deaf.
    if (ownSoundTold_) s_.platform.recognizer.setOwnSound(false);
    s_.access.pollSwitches = {};
    s_.timer1->onTimeout({});
    s_.timer2->onTimeout({});
    s_.timer3->onTimeout({});
    s_.cue->onFinished({});
}

// --- mode lifecycle ----------------------------------------------------------------------

void AccessEngine::startAccess() {
    const int mode = s_.profile.accessMode;
    const int count = s_.tmpl.areaCount();
    resetScanState();
    startCue();
    s_.view->setBoardSign(BoardSign::Recording,
                          s_.profile.adapt.RegistreUs != 0 && !usage_.failed());
    s_.view->setHighlightStyle(s_.profile.gruix, colorFromNumber(s_.profile.color));
    if (mode == kModeAutoScan || mode == kModeVoiceOne) {
        startScanning();
    } else if (mode == kModeCursorKeys || mode == kModeVoiceTwo || mode == kModeJoystick ||
               mode == kModeVoiceFive || mode == kModeMultimouse) {
        stopScanning();
        if (mode == kModeJoystick || mode == kModeVoiceFive || mode == kModeMultimouse) {
            // A period of 0 (a profile just reset) would poll without pause: take the
            // default of one second.
            const int tenths = s_.profile.joystic_retard > 0 ? s_.profile.joystic_retard : 10;
            s_.timer3->setInterval(tenths * 100);
            s_.timer3->setEnabled(true);
            if (mode != kModeVoiceFive) startJoystickPolling(s_);
        }
        if (count != 1 && count > 0) {
            s_.access.scanPosition = std::int16_t(count);
            s_.view->showHighlight(count);
        }
    } else {
        stopScanning();
    }
    // A voice mode whose trained sounds are saved starts its recogniser by itself: who
    // speaks to the board cannot press "&Entrenament". A recogniser that could not start
    // from a file of sounds is not tried again with it, so that it says so once.
    if (isVoiceMode(mode) && s_.profile.recognitionState == 0 &&
        s_.platform.recognizer.available()) {
        const QString sounds = voiceSoundsPath(s_);
        if (sounds != voiceStartFailed_ && QFileInfo::exists(sounds)) {
            s_.profile.recognitionState = std::int16_t(startVoiceEngine(s_));
            if (s_.profile.recognitionState == 0) voiceStartFailed_ = sounds;
        }
    }
    // Listening already (a board change): it goes on.
    if (isVoiceMode(mode) && s_.profile.recognitionState != 0 && s_.profile.recognitionState != -2)
        startRecognition();
}

void AccessEngine::beginModeChange() {
    if (s_.profile.recognitionState == -2) stopRecognition();
    s_.timer3->setEnabled(false);
    s_.timer2->setEnabled(false);
}

void AccessEngine::stopScanning() {
    s_.timer3->setEnabled(false);
    s_.view->hideHighlight();
    resetScanState();
}

void AccessEngine::startScanning() {
    s_.view->setHighlightStyle(s_.profile.gruix, colorFromNumber(s_.profile.color));
    int step = 1000;
    const bool timed = s_.profile.temps > 0;
    if (timed) step = std::max(s_.profile.temps * 100, int(s_.programSettings.Interval));
    s_.timer3->setInterval(step);
    stepInterval_ = step;
    speechWaiting_ = false;
    firstOfScan_ = true;
    stepsThisScan_ = 0;
    // Hold to scan: the highlight moves only while the switch is held.
    s_.timer3->setEnabled(!holdToScan());
    if (timed) s_.timer2->setEnabled(true);
}

void AccessEngine::startRecognition() {
    UserProfile& p = s_.profile;
    QStringList labels;
    for (int i = 1; i <= std::min<int>(p.voiceCommandCount, 32); ++i)
        labels << p.voiceWords[size_t(i)];
    if (s_.platform.recognizer.start(labels, [this](int label) { voice(label); })) {
        p.recognitionState = -2;
        s_.view->setBoardSign(BoardSign::Listening, true);
    }
    ownSoundTold_ = false;
    ownSound();
}

void AccessEngine::stopRecognition() {
    s_.platform.recognizer.stop();
    s_.profile.recognitionState = -1;
    s_.view->setBoardSign(BoardSign::Listening, false);
    ownSound();
}

void AccessEngine::ownSound(bool now) {
    const bool listening = s_.profile.recognitionState == -2;
    const bool sounding =
        listening && (now || s_.platform.speech.busy() || s_.cue->busy());
    if (sounding != ownSoundTold_) {
        ownSoundTold_ = sounding;
        s_.platform.recognizer.setOwnSound(sounding);
    }
    ownSoundTimer_->setEnabled(sounding);
}

// --- what the modes do -------------------------------------------------------------------

void AccessEngine::scanStep() {
    const auto slot = nextScanSlot(s_.tmpl, s_.access.scanPosition, s_.player.currentLevel);
    // No area of the current level: the highlight stays where it is.
    if (!slot) return;
    s_.access.scanPosition = std::int16_t(*slot);
    highlightArea(*slot + 1);
}

void AccessEngine::highlightArea(int area) {
    if (area < 1 || area > s_.tmpl.areaCount()) return;
    s_.view->showHighlight(area);
    // Fitted to the step (automatic scanning), the announcement is over before the next
    // step is due; otherwise the step waits for it.
    const int mode = s_.profile.accessMode;
    const bool fitted = s_.profile.adapt.AnunciAjustat != 0 && s_.timer3->enabled() &&
                        (mode == kModeAutoScan || mode == kModeVoiceOne);
    const int step = stepInterval_ + (firstOfScan_ ? s_.profile.adapt.PrimerElement : 0);
    s_.speech.announceWithin = fitted ? std::max(step - kAnnounceMargin, kSpeechPoll) : 0;
    ownSound(true);
    actions_.announce(s_.tmpl.area(area));
    s_.speech.announceWithin = 0;
    ownSound();
}

bool AccessEngine::speechHoldsStep() {
    if (!s_.platform.speech.busy()) {
        endSpeechWait();
        return false;
    }
    speechWaiting_ = true;
    if (s_.timer3->interval() != kSpeechPoll) s_.timer3->setInterval(kSpeechPoll);
    return true;
}

void AccessEngine::endSpeechWait() {
    if (std::exchange(speechWaiting_, false)) s_.timer3->setInterval(stepInterval_);
}

void AccessEngine::act_butons(int code, const QString& text) {
    const int sw = whichSwitch(s_.profile, code, text);
    if (sw == 0) return;
    const int mode = s_.profile.accessMode;
    const auto picked = std::int16_t(s_.access.scanPosition + 1);
    if (mode == kModeManualScan || mode == kModeVoiceTwo) {
        if (sw == 1) {
            s_.view->setBusyCursor(false);
            timer3Tick();
        } else {
            s_.tmpl.currentArea = picked;
            timer1Tick();
        }
    } else if (mode == kModeAutoScan || mode == kModeVoiceOne) {
        if (sw == 1) s_.view->setBusyCursor(false);
        // Activated at once, as in manual scanning: waiting for the next tick of the
        // activation timer would put up to its whole interval between the press and the
        // first key.
        s_.tmpl.currentArea = picked;
        timer1Tick();
    }
}

void AccessEngine::cursorMove(int keyCode) {
    if (s_.access.question) {
        s_.access.question(keyCode == kCursorEnter);
        return;
    }
    if (!isCursorMode(s_.profile.accessMode)) return;
    std::int16_t& position = s_.access.scanPosition;
    if (keyCode == kCursorEnter) {
        s_.view->setBusyCursor(false);
        s_.tmpl.currentArea = position;
        timer1Tick();
        return;
    }
    if (keyCode != kCursorReevaluate && keyCode != kCursorLeft && keyCode != kCursorUp &&
        keyCode != kCursorRight && keyCode != kCursorDown)
        return;
    const int count = s_.tmpl.areaCount();
    // A position left over from a larger board counts as nothing highlighted.
    const bool nothing = position <= 0 || position > count;
    const int h =
        keyCode == kCursorReevaluate || nothing ? 0 : probeWalk(s_.tmpl, position, keyCode);
    const std::int16_t before = position;
    if (nothing)
        position = std::int16_t(count);
    else if (h > 1)
        position = std::int16_t(h);
    s_.tmpl.currentArea = -1;
    if (position != before) highlightArea(position);
}

// --- timers --------------------------------------------------------------------------------

void AccessEngine::timer1Tick() {
    // Activation may let the event loop run (waits inside key sequences); a tick then must
    // not start the same activation again.
    if (s_.access.activating) return;
    if (s_.access.useMode) {
        std::int16_t area = s_.tmpl.currentArea;
        if (area != -1) {
            if (area < 0 || area > s_.tmpl.areaCount()) area = 0;
            // A step that waits for the cue is a step all the same.
            const bool stepping = s_.timer3->enabled() || cueWaiting_;
            cueWaiting_ = false;
            s_.timer3->setEnabled(false);
            endSpeechWait();
            // What the area says goes to the main output; the cue is not heard over it.
            s_.cue->stop();
            ownSound(true);
            s_.platform.sound.beep();
            s_.access.activating = true;
            steppingDuringActivation_ = stepping;
            const std::function<void()> record = usageOf(area);
            pickedWhileWaiting_ = -1;
            actions_.activate(area);
            s_.access.activating = false;
            steppingDuringActivation_ = false;
            ownSound();
            if (record) record();
            // The activation may have left use mode (TANCAR): then scanning stays off.
            if (s_.access.useMode) {
                // A selection starts a new scan: its first highlight waits, its cycles
                // count afresh.
                firstOfScan_ = true;
                stepsThisScan_ = 0;
                if (firstStretched_) {
                    s_.timer3->setInterval(stepInterval_);
                    firstStretched_ = false;
                }
                s_.timer3->setEnabled(stepping);
            }
        }
        // A press during the activation picks nothing (a second press on the area being
        // typed would type it twice), but one made while it waited for a program, with
        // scanning going on, is activated at the next tick.
        if (s_.access.useMode) s_.tmpl.currentArea = pickedWhileWaiting_;
    }
    s_.view->setBusyCursor(false);
}

void AccessEngine::programWait(bool waiting) {
    if (!s_.access.activating || !steppingDuringActivation_ || !s_.access.useMode) return;
    if (!waiting && s_.tmpl.currentArea != -1) pickedWhileWaiting_ = s_.tmpl.currentArea;
    s_.tmpl.currentArea = -1;
    s_.timer3->setEnabled(waiting);
}

void AccessEngine::timer2Tick() {
    if (s_.profile.accessMode == kModeMouse) return;
    focusBoardOverApp(s_);
}

void AccessEngine::timer3Tick() {
    const int mode = s_.profile.accessMode;
    if (mode == kModeAutoScan || mode == kModeVoiceOne) {
        automaticStep();
    } else if (isScanningMode(mode)) {
        scanStep();
    } else if (mode == kModeJoystick || mode == kModeMultimouse) {
        joystickLetters(pollJoystick(s_));
    }
    s_.view->setBusyCursor(false);
}

// --- input -----------------------------------------------------------------------------------

void AccessEngine::keyPress(QChar character) {
    if (held([=, this] { keyPress(character); })) return;
    if (!s_.access.useMode) return;
    // The character of a key held down and repeating is no new press.
    if (std::exchange(swallowPress_, false)) return;
    const int source = lastKeyDown_ != 0 ? lastKeyDown_ : keyCodeOfCharacter(character);
    lastKeyDown_ = 0;
    const int code = character == QChar(13)   ? int(kEnterKey)
                     : character == QChar(32) ? int(kSpaceKey)
                                              : int(kListedKey);
    const QString text = code == kListedKey ? QString(character) : QString();
    // Only a press that is a switch goes through the filters; the others do nothing.
    const int sw = whichSwitch(s_.profile, code, text);
    if (isScanningMode(s_.profile.accessMode) && sw != 0)
        switchPress(source, kChannelSwitch + sw, [=, this] { act_butons(code, text); });
    else
        act_butons(code, text);
}

void AccessEngine::keyDown(int keyCode) {
    if (held([=, this] { keyDown(keyCode); })) return;
    if (!s_.access.useMode) return;
    swallowPress_ = false;
    if (filtersOn() && keyCode != 0) {
        // Held keys repeat their key-downs: one press, until the key is let go.
        if (!heldKeys_.insert(keyCode).second) {
            swallowPress_ = true;
            return;
        }
    }
    lastKeyDown_ = keyCode;
    const bool move = keyCode == kCursorEnter || keyCode == kCursorLeft || keyCode == kCursorUp ||
                      keyCode == kCursorRight || keyCode == kCursorDown;
    if (isCursorMode(s_.profile.accessMode) && move)
        switchPress(keyCode, keyCode, [=, this] { cursorMove(keyCode); });
    else
        cursorMove(keyCode);
}

void AccessEngine::keyUp(int keyCode) {
    if (held([=, this] { keyUp(keyCode); })) return;
    if (!s_.access.useMode) return;
    heldKeys_.erase(keyCode);
    if (keyCode != 0) switchRelease(keyCode);
}

void AccessEngine::pointerMove(QPointF pixels) {
    if (held([=, this] { pointerMove(pixels); })) return;
    AccessState& a = s_.access;
    if (!a.useMode) return;
    if (s_.profile.accessMode == kModeMouse) {
        if (s_.profile.adapt.Permanencia > 0) dwellMove(pixels);
        return;
    }
    if (a.pointerSeen && a.lastPointer == pixels) return;
    a.pointerSeen = true;
    a.lastPointer = pixels;
    if (a.mouseGesture.isEmpty()) a.mouseGesture = QStringLiteral("m");
    if (const int sw = whichSwitch(s_.profile, kPointerMove, QString()); sw != 0)
        switchPress(kSourceInstant, kChannelSwitch + sw,
                    [this] { act_butons(kPointerMove, QString()); });
}

namespace {

// A switch set to "Qualsevol tecla" counts every gesture, clicks included, so it arms the
// markers too.
bool eitherSwitchUses(const UserProfile& p, int code) {
    for (int n : {1, 2}) {
        const int accio = p.switches[size_t(n)].accio;
        if (accio == code || accio == kAnyEvent) return true;
    }
    return false;
}

}  // namespace

void AccessEngine::click() {
    if (held([this] { click(); })) return;
    if (!s_.access.useMode) return;
    if (eitherSwitchUses(s_.profile, kLeftClick)) s_.access.mouseGesture = QStringLiteral("C");
    if (s_.profile.accessMode == kModeMultimouse)
        switchPress(kSourceInstant, kChannelPointer + 1, [this] { cursorMove(kCursorEnter); });
}

void AccessEngine::rightClick() {
    if (held([this] { rightClick(); })) return;
    if (!s_.access.useMode) return;
    if (eitherSwitchUses(s_.profile, kRightClick)) s_.access.mouseGesture = QStringLiteral("C");
}

void AccessEngine::doubleClick() {
    if (held([this] { doubleClick(); })) return;
    if (!s_.access.useMode) return;
    if (eitherSwitchUses(s_.profile, kLeftDoubleClick))
        s_.access.mouseGesture = QStringLiteral("DC");
}

void AccessEngine::rightDoubleClick() {
    if (held([this] { rightDoubleClick(); })) return;
    if (!s_.access.useMode) return;
    if (eitherSwitchUses(s_.profile, kRightDoubleClick))
        s_.access.mouseGesture = QStringLiteral("DC");
}

void AccessEngine::click(PointerButton button) {
    button == PointerButton::Left ? click() : rightClick();
}

void AccessEngine::doubleClick(PointerButton button) {
    button == PointerButton::Left ? doubleClick() : rightDoubleClick();
}

void AccessEngine::mousePress(PointerButton button, QPointF pixels) {
    if (held([=, this] { mousePress(button, pixels); })) return;
    if (!s_.access.useMode) return;
    s_.view->setBusyCursor(true);
    const QString& gesture = s_.access.mouseGesture;
    const bool left = button == PointerButton::Left;
    if (s_.profile.accessMode != kModeMouse) {
        int code = 0;
        if (gesture == u"C")
            code = left ? kLeftClick : kRightClick;
        else if (gesture == u"DC")
            code = left ? kLeftDoubleClick : kRightDoubleClick;
        if (code == 0) return;
        const int sw = whichSwitch(s_.profile, code, QString());
        if (isScanningMode(s_.profile.accessMode) && sw != 0)
            switchPress(left ? kSourceLeft : kSourceRight, kChannelSwitch + sw,
                        [=, this] { act_butons(code, QString()); });
        else
            act_butons(code, QString());
        return;
    }
    const QPoint p = boardPointFromPixels(s_.tmpl, s_.access.scale, pixels);
    const int area = s_.tmpl.areaAt(p.x(), p.y());
    if (s_.profile.adapt.Permanencia > 0 && area > 1) {
        // Dwell and a click are two ways of making one choice: the first click on the
        // area dwell just selected is that choice again (a second click is a new one),
        // and a click ends the dwell under way.
        if (area == dwellDone_ && dwellPicked_) {
            dwellPicked_ = false;
            pressFiltered(FilteredPress::SameIntent);
            return;
        }
        if (area == dwellArea_) {
            dwellTimer_->setEnabled(false);
            if (dwellShown_) s_.view->setDwellProgress(dwellArea_, 0);
            dwellShown_ = false;
            dwellDone_ = area;
        }
    }
    switchPress(left ? kSourceLeft : kSourceRight, kChannelPointer + (left ? 1 : 2),
                [this, area] { s_.tmpl.currentArea = std::int16_t(area); });
}

void AccessEngine::mouseRelease(PointerButton button) {
    if (held([=, this] { mouseRelease(button); })) return;
    if (!s_.access.useMode) return;
    switchRelease(button == PointerButton::Left ? kSourceLeft : kSourceRight);
}

void AccessEngine::voice(int label) {
    if (s_.access.question && label > 0 && answerByVoice(label)) return;
    if (held([=, this] { voice(label); })) return;
    if (!s_.access.useMode || label <= 0 || label >= 33) return;
    const UserProfile& p = s_.profile;
    switch (p.accessMode) {
        // The sounds arrive as the voice codes, never as the codes the switches hold: an
        // unset switch would otherwise match its own 0.
        case kModeVoiceOne:
            if (label == 1)
                switchPress(kSourceInstant, kChannelSwitch + 1,
                            [this] { act_butons(kVoiceSound1, QString()); });
            break;
        case kModeVoiceTwo:
            if (label == 1)
                switchPress(kSourceInstant, kChannelSwitch + 1,
                            [this] { act_butons(kVoiceSound1, QString()); });
            if (label == 2)
                switchPress(kSourceInstant, kChannelSwitch + 2,
                            [this] { act_butons(kVoiceSound2, QString()); });
            break;
        case kModeVoiceFive: {
            static constexpr int keys[] = {kCursorUp, kCursorDown, kCursorRight, kCursorLeft,
                                           kCursorEnter};
            if (label <= 5) {
                const int key = keys[label - 1];
                switchPress(kSourceInstant, kSourceVoice + label, [=, this] { cursorMove(key); });
            }
            break;
        }
        default:
            break;
    }
}

// A question open: the sounds of the voice modes answer it as they would move over the
// board and select (one sound: select; two: move, select; five: four moves, select).
bool AccessEngine::answerByVoice(int label) {
    switch (s_.profile.accessMode) {
        case kModeVoiceOne:
            if (label != 1) return false;
            s_.access.question(true);
            return true;
        case kModeVoiceTwo:
            if (label > 2) return false;
            s_.access.question(label == 2);
            return true;
        case kModeVoiceFive:
            if (label > 5) return false;
            s_.access.question(label == 5);
            return true;
        default:
            return false;
    }
}

bool AccessEngine::held(std::function<void()> replay) {
    if (!s_.access.startingUp) return false;
    // A flood of input meanwhile keeps its first part; the rest is dropped.
    if (heldInput_.size() < kMaxHeldInput) heldInput_.push_back(std::move(replay));
    return true;
}

void AccessEngine::holdInput() {
    s_.access.startingUp = true;
}

void AccessEngine::releaseInput() {
    s_.access.startingUp = false;
    std::vector<std::function<void()>> input;
    input.swap(heldInput_);
    if (!s_.access.useMode) return;
    for (const auto& replay : input) replay();
}

void AccessEngine::joystickLetters(const QString& letters) {
    if (!filtersOn()) {
        // Unfiltered, the stick steps once a poll while held, as it always has.
        joystickHeld_.clear();
        for (QChar c : letters) {
            const int key = cursorKeyOfLetter(c);
            if (key != 0) cursorMove(key);
        }
        return;
    }
    // Filtered, each letter is a switch: it is pressed at the first poll that has it and
    // let go at the first that has it no longer, so a button held through several polls
    // is one press.
    const QString before = std::exchange(joystickHeld_, letters);
    for (QChar c : before)
        if (!letters.contains(c)) switchRelease(kSourceJoystick + c.unicode());
    for (QChar c : letters) {
        const int key = cursorKeyOfLetter(c);
        if (key == 0 || before.contains(c)) continue;
        const int source = kSourceJoystick + c.unicode();
        switchPress(source, source, [=, this] { cursorMove(key); });
    }
}

}  // namespace vexil
