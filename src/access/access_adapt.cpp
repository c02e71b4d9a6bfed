// The access engine's adaptations to the person (section [Adaptacio] of the profile): the
// switch filters (acceptance time, dead time, hold to scan), the first-item delay and the
// scan cycles of automatic scanning, the cue voice of auditory scanning, dwell selection
// in mouse mode, and the usage record. With every setting off, none of this acts.
#include <QLineF>
#include <QRect>
#include <algorithm>
#include <cmath>

#include "access/access_engine.h"
#include "access/board_walk.h"
#include "session/session.h"

namespace vexil {

bool AccessEngine::filtersOn() const {
    const AdaptSettings& a = s_.profile.adapt;
    return a.Acceptacio > 0 || a.TempsMort > 0 || holdToScan() || longPressSelects();
}

bool AccessEngine::holdToScan() const {
    return s_.profile.adapt.MantenirPerEscanejar != 0 && s_.profile.accessMode == kModeAutoScan;
}

bool AccessEngine::longPressSelects() const {
    return s_.profile.adapt.PremudaLlarga > 0 && s_.profile.accessMode == kModeManualScan;
}

int AccessEngine::keyCodeOfCharacter(QChar c) {
    if (c.isLetter() && c.toUpper().unicode() < 128) return c.toUpper().unicode();
    return c.unicode();
}

// --- switch filters ------------------------------------------------------------------------

void AccessEngine::switchPress(int source, int channel, std::function<void()> take) {
    if (!filtersOn() && !paused_) {
        take();
        return;
    }
    const AdaptSettings& a = s_.profile.adapt;
    const std::int64_t now = s_.platform.clock.now();
    // Tremor and bounce: a press of the same switch soon after it was let go does not
    // count. The other switch is free meanwhile.
    if (a.TempsMort > 0) {
        const auto last = released_.find(channel);
        if (last != released_.end() && now - last->second < a.TempsMort) {
            pressFiltered(FilteredPress::DeadTime);
            return;
        }
    }
    if (a.Acceptacio > 0 && source != kSourceInstant) {
        // One press at a time; another switch pressed meanwhile does not count.
        if (pending_) {
            pressFiltered(FilteredPress::TooShort);
            return;
        }
        pending_ = Pending{source, channel, std::move(take), now};
        s_.view->setHighlightFill(0);
        acceptTimer_->setInterval(std::min<int>(kProgressStep, a.Acceptacio));
        acceptTimer_->setEnabled(true);
        return;
    }
    acceptPress(source, channel, take);
}

void AccessEngine::acceptPress(int source, int channel, const std::function<void()>& take) {
    const std::int64_t now = s_.platform.clock.now();
    // The dead time starts when the press ends: at once for an instant source, at the
    // release for one held.
    if (source == kSourceInstant)
        released_[channel] = now;
    else
        acceptedDown_[source] = channel;
    if (paused_) {
        resumeScanning();
        return;
    }
    if (holdToScan() && source != kSourceInstant) {
        // Scanning runs while the switch is held; it starts a new scan at the top.
        holdingSource_ = source;
        s_.access.scanPosition = 0;
        stepsThisScan_ = 0;
        firstOfScan_ = true;
        s_.timer3->setInterval(stepInterval_);
        s_.timer3->setEnabled(true);
        automaticStep();
        return;
    }
    if (longPressSelects() && channel == kChannelSwitch + 1 && source != kSourceInstant) {
        // One switch for both actions: what the press does is known at its release, or
        // when it has been held long enough to select.
        long_ = LongPress{source, now};
        s_.view->setHighlightFill(0);
        acceptTimer_->setInterval(std::min<int>(kProgressStep, s_.profile.adapt.PremudaLlarga));
        acceptTimer_->setEnabled(true);
        return;
    }
    take();
}

void AccessEngine::acceptanceTick() {
    if (long_.source != 0 && !pending_) {
        const int needed = s_.profile.adapt.PremudaLlarga;
        const std::int64_t held = s_.platform.clock.now() - long_.start;
        if (needed <= 0 || held >= needed) {
            // Held long: the highlighted area is selected now, and the release does
            // nothing more.
            acceptTimer_->setEnabled(false);
            long_ = {};
            s_.view->setHighlightFill(0);
            s_.tmpl.currentArea = std::int16_t(s_.access.scanPosition + 1);
            timer1Tick();
            return;
        }
        s_.view->setHighlightFill(double(held) / needed);
        acceptTimer_->setInterval(int(std::min<std::int64_t>(kProgressStep, needed - held)));
        return;
    }
    if (!pending_) {
        acceptTimer_->setEnabled(false);
        return;
    }
    const int needed = s_.profile.adapt.Acceptacio;
    const std::int64_t held = s_.platform.clock.now() - pending_->start;
    if (held >= needed) {
        acceptTimer_->setEnabled(false);
        s_.view->setHighlightFill(1);
        const Pending press = std::move(*pending_);
        pending_.reset();
        s_.view->setHighlightFill(0);
        acceptPress(press.source, press.channel, press.take);
        return;
    }
    s_.view->setHighlightFill(double(held) / needed);
    acceptTimer_->setInterval(int(std::min<std::int64_t>(kProgressStep, needed - held)));
}

void AccessEngine::cancelPending() {
    acceptTimer_->setEnabled(false);
    if (pending_ || long_.source != 0) {
        pending_.reset();
        long_ = {};
        s_.view->setHighlightFill(0);
    }
}

void AccessEngine::switchRelease(int source) {
    // Let go before the acceptance time: the press did not count.
    if (pending_ && pending_->source == source) {
        cancelPending();
        pressFiltered(FilteredPress::TooShort);
        return;
    }
    if (const auto down = acceptedDown_.find(source); down != acceptedDown_.end()) {
        released_[down->second] = s_.platform.clock.now();
        acceptedDown_.erase(down);
    }
    if (long_.source != 0 && long_.source == source) {
        // Let go before it selected: a short press, the step.
        cancelPending();
        s_.view->setBusyCursor(false);
        timer3Tick();
        return;
    }
    if (holdingSource_ != 0 && holdingSource_ == source) endHold();
}

void AccessEngine::pressFiltered(FilteredPress why) {
    s_.view->showFilteredPress(why);
    if (s_.profile.adapt.AvisFiltre != 0) s_.platform.sound.beep();
}

void AccessEngine::endHold() {
    holdingSource_ = 0;
    s_.timer3->setEnabled(false);
    cueWaiting_ = false;
    if (firstStretched_) {
        s_.timer3->setInterval(stepInterval_);
        firstStretched_ = false;
    }
    // The release selects what is highlighted; activation follows at the next Timer1 tick.
    if (s_.access.scanPosition > 0) {
        s_.view->setBusyCursor(false);
        s_.tmpl.currentArea = std::int16_t(s_.access.scanPosition + 1);
    }
}

// --- automatic scanning ---------------------------------------------------------------------

void AccessEngine::automaticStep() {
    const AdaptSettings& a = s_.profile.adapt;
    if (firstStretched_) {
        s_.timer3->setInterval(stepInterval_);
        firstStretched_ = false;
    }
    if (paused_) return;
    // Hold to scan and nothing held: the highlight stays.
    if (holdToScan() && holdingSource_ == 0) {
        s_.timer3->setEnabled(false);
        return;
    }
    // The highlight stays until its cue has been said; the step follows the cue's end.
    if (a.GuiaAuditiva != 0 && a.GuiaEspera != 0 && s_.cue->busy()) {
        cueWaiting_ = true;
        s_.timer3->setEnabled(false);
        return;
    }
    // What the program says (the area selected, the highlight's announcement) is heard
    // whole: the step waits for its end.
    if (speechHoldsStep()) return;
    const std::int16_t level = s_.player.currentLevel;
    const bool inGroup = level > 1 && level <= s_.tmpl.areaCount();
    if ((a.Voltes > 0 || (a.VoltesGrup > 0 && inGroup)) && holdingSource_ == 0) {
        int perCycle = 0;
        for (int n = 1; n <= s_.tmpl.areaCount(); ++n)
            if (s_.tmpl.area(n).level == level) ++perCycle;
        if (a.VoltesGrup > 0 && inGroup && stepsThisScan_ >= a.VoltesGrup * perCycle) {
            // Rounds in a group with nothing selected: scanning goes back to the level
            // that holds the group, a new scan there from the top.
            const int up = s_.tmpl.area(level).level;
            s_.player.currentLevel = std::int16_t(up >= 1 ? up : 1);
            s_.access.scanPosition = 0;
            stepsThisScan_ = 0;
            firstOfScan_ = true;
            automaticStep();
            return;
        }
        if (a.Voltes > 0 && stepsThisScan_ >= a.Voltes * perCycle) {
            pauseScanning();
            return;
        }
    }
    scanStep();
    ++stepsThisScan_;
    if (firstOfScan_) {
        firstOfScan_ = false;
        if (a.PrimerElement > 0) {
            s_.timer3->setInterval(stepInterval_ + a.PrimerElement);
            firstStretched_ = true;
        }
    }
}

void AccessEngine::pauseScanning() {
    paused_ = true;
    s_.timer3->setEnabled(false);
    s_.cue->stop();
    s_.view->hideHighlight();
    s_.view->setScanPaused(true);
}

void AccessEngine::resumeScanning() {
    paused_ = false;
    s_.view->setScanPaused(false);
    // A new scan from the top, its first highlight at once.
    s_.access.scanPosition = 0;
    stepsThisScan_ = 0;
    firstOfScan_ = true;
    if (holdToScan()) return;
    s_.timer3->setInterval(stepInterval_);
    s_.timer3->setEnabled(true);
    automaticStep();
}

void AccessEngine::cueFinished() {
    if (!cueWaiting_) return;
    cueWaiting_ = false;
    const int mode = s_.profile.accessMode;
    if (!s_.access.useMode || s_.access.activating || paused_ ||
        (mode != kModeAutoScan && mode != kModeVoiceOne))
        return;
    if (holdToScan() && holdingSource_ == 0) return;
    // The step that waited happens now, and the next one a whole step later.
    s_.timer3->setEnabled(true);
    automaticStep();
}

void AccessEngine::resetScanState() {
    cancelPending();
    holdingSource_ = 0;
    heldKeys_.clear();
    lastKeyDown_ = 0;
    swallowPress_ = false;
    if (paused_) s_.view->setScanPaused(false);
    paused_ = false;
    cueWaiting_ = false;
    if (firstStretched_) {
        s_.timer3->setInterval(stepInterval_);
        firstStretched_ = false;
    }
    endSpeechWait();
    s_.cue->stop();
    stopDwell();
}

// --- the cue voice -----------------------------------------------------------------------------

void AccessEngine::startCue() {
    s_.cue->onFinished([this] { cueFinished(); });
    const AdaptSettings& a = s_.profile.adapt;
    if (a.GuiaAuditiva == 0) return;
    if (!s_.cue->setOutput(a.GuiaSortida.trimmed()) && !cueOutputWarned_) {
        // Said once: the cue is heard all the same, on the main output.
        cueOutputWarned_ = true;
        s_.cue->setOutput(QString());
        s_.message(QStringLiteral("No se encuentra la salida de audio de la guía auditiva: ") +
                   a.GuiaSortida.trimmed() +
                   QStringLiteral(". La guía suena por la salida principal."));
    }
}

// --- dwell -------------------------------------------------------------------------------------

namespace {

// Area n's rectangle on the use-mode board, in pixels.
QRectF areaPixels(const Template& t, QPointF scale, int n) {
    const Area& r = t.area(1);
    const Area& a = t.area(n);
    return QRectF((a.x0 - r.x0) * scale.x(), (a.y0 - r.y0) * scale.y(),
                  (a.x1 - a.x0) * scale.x(), (a.y1 - a.y0) * scale.y());
}

}  // namespace

void AccessEngine::dwellMove(QPointF pixels) {
    const AdaptSettings& a = s_.profile.adapt;
    const Template& t = s_.tmpl;
    const double radius = a.PermanenciaRadi;
    // Still on the area rested on, or within the tolerance around it: jitter, no reset.
    if (dwellArea_ > 1 && dwellArea_ <= t.areaCount()) {
        const QRectF kept =
            areaPixels(t, s_.access.scale, dwellArea_).adjusted(-radius, -radius, radius, radius);
        if (kept.contains(pixels)) return;
    }
    const QPoint p = boardPointFromPixels(t, s_.access.scale, pixels);
    int area = t.areaAt(p.x(), p.y());
    // The board's frame and the space outside it are no choice.
    if (area <= 1) area = 0;
    if (area == dwellArea_) return;
    if (dwellShown_) s_.view->setDwellProgress(dwellArea_, 0);
    dwellShown_ = false;
    dwellTimer_->setEnabled(false);
    dwellArea_ = area;
    dwellRepeating_ = false;
    dwellPicked_ = false;
    // Leaving the area activated last makes it ready again.
    if (area != dwellDone_) dwellDone_ = 0;
    if (area == 0 || area == dwellDone_) return;
    dwellStart_ = s_.platform.clock.now();
    s_.view->setDwellProgress(area, 0);
    dwellShown_ = true;
    dwellTimer_->setInterval(std::min<int>(kDwellStep, a.Permanencia));
    dwellTimer_->setEnabled(true);
}

void AccessEngine::dwellTick() {
    const AdaptSettings& a = s_.profile.adapt;
    const int needed = dwellRepeating_ ? a.PermanenciaRepeticio : a.Permanencia;
    if (dwellArea_ <= 1 || needed <= 0 || s_.profile.accessMode != kModeMouse) {
        stopDwell();
        return;
    }
    const std::int64_t rested = s_.platform.clock.now() - dwellStart_;
    if (rested < needed) {
        s_.view->setDwellProgress(dwellArea_, double(rested) / needed);
        dwellTimer_->setInterval(int(std::min<std::int64_t>(kDwellStep, needed - rested)));
        return;
    }
    s_.view->setDwellProgress(dwellArea_, 1);
    // Picked as by a press, through the same filters: activated at the next Timer1 tick.
    switchPress(kSourceInstant, kSourceDwell,
                [this, area = dwellArea_] { s_.tmpl.currentArea = std::int16_t(area); });
    dwellDone_ = dwellArea_;
    dwellPicked_ = true;
    if (a.PermanenciaRepeticio > 0) {
        // Resting on goes on to activate it again after the repeat time.
        dwellRepeating_ = true;
        dwellStart_ = s_.platform.clock.now();
        dwellTimer_->setInterval(std::min<int>(kDwellStep, a.PermanenciaRepeticio));
    } else {
        dwellTimer_->setEnabled(false);
    }
}

void AccessEngine::stopDwell() {
    dwellTimer_->setEnabled(false);
    if (dwellShown_) s_.view->setDwellProgress(dwellArea_, 0);
    dwellShown_ = false;
    dwellArea_ = 0;
    dwellDone_ = 0;
    dwellPicked_ = false;
    dwellRepeating_ = false;
}

// --- usage record ------------------------------------------------------------------------------

std::function<void()> AccessEngine::usageOf(int area) {
    if (s_.profile.adapt.RegistreUs == 0 || usage_.failed()) return {};
    if (area <= 0 || area > s_.tmpl.areaCount()) return {};
    // Taken before the activation, which may load another board.
    return [this, board = s_.tmpl.templatePath, area, label = cueLabel(s_.tmpl.area(area))] {
        usage_.append(s_, board, area, label);
    };
}

}  // namespace vexil
