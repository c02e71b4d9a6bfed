#include "platform/qt/qt_speech.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTextToSpeech>
#include <QThread>
#include <QVoice>
#include <algorithm>

namespace vexil::speech {
namespace {

QLocale localeOf(int languageCode) {
    return languageCode == 'e' ? QLocale(QLocale::Spanish, QLocale::Spain)
                               : QLocale(QLocale::Catalan, QLocale::Spain);
}

// The service's voices for the current language, male ones first, then female ones.
QList<QVoice> orderedVoices(const QTextToSpeech& tts) {
    QList<QVoice> voices = tts.availableVoices();
    auto rank = [](const QVoice& v) {
        return v.gender() == QVoice::Male ? 0 : v.gender() == QVoice::Female ? 1 : 2;
    };
    std::stable_sort(voices.begin(), voices.end(),
                     [&](const QVoice& a, const QVoice& b) { return rank(a) < rank(b); });
    return voices;
}

}  // namespace

QtSpeech::QtSpeech() : tts_(std::make_unique<QTextToSpeech>()) {
    tts_->setLocale(localeOf(language_));
}

QtSpeech::~QtSpeech() = default;

bool QtSpeech::available() {
    return !QTextToSpeech::availableEngines().isEmpty() && tts_->state() != QTextToSpeech::Error;
}

int QtSpeech::numberOfSpeakers() {
    return std::max<int>(1, int(tts_->availableVoices().size()));
}

void QtSpeech::setLanguage(int languageCode) {
    if (languageCode != 'c' && languageCode != 'e') return;
    language_ = languageCode;
    tts_->setLocale(localeOf(language_));
    applyVoice();
}

void QtSpeech::setSpeaker(int speaker) {
    speaker_ = speaker;
    applyVoice();
}

void QtSpeech::applyVoice() {
    const QList<QVoice> voices = orderedVoices(*tts_);
    if (voices.isEmpty()) return;
    const int n = int(voices.size());
    tts_->setVoice(voices[((speaker_ % n) + n) % n]);
}

double QtSpeech::rateFor(int speed) {
    return std::clamp((speed - 100) / 100.0, -1.0, 1.0);
}

void QtSpeech::setSpeed(int speed) {
    tts_->setRate(rateFor(speed));
}

void QtSpeech::resume() {
    if (tts_->state() == QTextToSpeech::Paused) tts_->resume();
}

void QtSpeech::read(const QString& text) {
    if (tts_->state() == QTextToSpeech::Speaking) tts_->stop(QTextToSpeech::BoundaryHint::Immediate);
    tts_->say(text);
    charsSinceWait_ += text.size();
    reading_.start();
    readingBound_ = 2000 + 150 * qint64(text.size());
}

bool QtSpeech::busy() {
    if (!reading_.isValid()) return false;
    const qint64 elapsed = reading_.elapsed();
    if (elapsed > readingBound_) return false;
    return tts_->state() == QTextToSpeech::Speaking || elapsed < 300;
}

void QtSpeech::waitUntilDone(int maxMs) {
    if (charsSinceWait_ == 0) return;
    // The slowest rate speaks about eight characters a second.
    const qint64 limit = std::min<qint64>(maxMs, 2000 + 150 * qint64(charsSinceWait_));
    charsSinceWait_ = 0;
    QElapsedTimer timer;
    timer.start();
    // The service may take a moment to report that it has started.
    while (timer.elapsed() < limit) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const auto state = tts_->state();
        if (state != QTextToSpeech::Speaking && timer.elapsed() > 300) return;
        QThread::msleep(5);
    }
}

}  // namespace vexil::speech
