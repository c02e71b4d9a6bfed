#include "platform/media/media_loader.h"

#include <dlfcn.h>

#include <QFileInfo>


namespace vexil::media {
namespace {

QString programFolder() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}

// A module beside the program (the build tree), or in the installed tree's module folder
// (../lib/ARCH/vexil), or in ../lib/vexil where earlier installs put them; empty when none
// holds it.
QString modulePath(const char* file) {
    const QString installed = programFolder() + QStringLiteral("/../") + QString::fromUtf8(VEXIL_MODULE_DIR);
    for (const QString& folder : {programFolder(), installed, programFolder() + QStringLiteral("/../lib/vexil")}) {
        const QString path = folder + u'/' + QLatin1String(file);
        if (QFileInfo::exists(path)) return path;
    }
    return {};
}

}  // namespace

bool moduleBesideProgram(const char* file) {
    return !modulePath(file).isEmpty();
}

void* loadModuleEntry(const char* file, const char* entry) {
    const QString found = modulePath(file);
    const QByteArray path = !found.isEmpty() ? found.toLocal8Bit() : QByteArray(file);
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        qWarning("vexil: cannot load %s: %s", path.constData(), dlerror());
        return nullptr;
    }
    // Never closed: espeak-ng cannot be started twice in one process.
    void* symbol = dlsym(handle, entry);
    if (!symbol) qWarning("vexil: %s has no %s", path.constData(), entry);
    return symbol;
}

bool espeakDataPresent() {
    QStringList folders;
    if (const QByteArray env = qgetenv("ESPEAK_DATA_PATH"); !env.isEmpty())
        folders << QString::fromLocal8Bit(env) + QStringLiteral("/espeak-ng-data");
    if (const QByteArray home = qgetenv("HOME"); !home.isEmpty())
        folders << QString::fromLocal8Bit(home) + QStringLiteral("/espeak-ng-data");
    folders << QStringLiteral(VEXIL_ESPEAK_DATA_DIR);
    for (const QString& f : folders)
        if (QFileInfo::exists(f + QStringLiteral("/phontab")) &&
            QFileInfo::exists(f + QStringLiteral("/ca_dict")))
            return true;
    return false;
}

QImage renderMetafileInModule(const QByteArray& wmf) {
    static const auto render = reinterpret_cast<MetafileModuleEntry>(
        loadModuleEntry(kMetafileModuleFile, kMetafileModuleEntry));
    QImage picture;
    if (render) render(&wmf, &picture);
    return picture;
}

ZipCodec* zipCodecInModule() {
    static ZipCodec* const codec = [] {
        const auto entry =
            reinterpret_cast<ZipModuleEntry>(loadModuleEntry(kZipModuleFile, kZipModuleEntry));
        return entry ? entry() : nullptr;
    }();
    return codec;
}

// --- audio -------------------------------------------------------------------------------

std::optional<QList<std::pair<QString, QString>>> soundServerOutputs(int timeoutMs) {
    static AudioModule* const module = [] {
        const auto entry = reinterpret_cast<AudioModuleEntry>(
            loadModuleEntry(kAudioModuleFile, kAudioModuleEntry));
        return entry ? entry() : nullptr;
    }();
    if (!module) return std::nullopt;
    return module->outputs(timeoutMs);
}

LazyAudio::~LazyAudio() {
    // What writes into the sink goes before it.
    speech_.reset();
    sound_.reset();
    sink_.reset();
}

AudioModule* LazyAudio::module() {
    if (!tried_) {
        tried_ = true;
        if (auto entry = reinterpret_cast<AudioModuleEntry>(
                loadModuleEntry(kAudioModuleFile, kAudioModuleEntry)))
            module_ = entry();
    }
    return module_;
}

audio::AudioSink* LazyAudio::sink() {
    if (!sink_ && module()) sink_ = module_->makeSink(audioOut_, noDevice_);
    return sink_.get();
}

SoundDevice* LazyAudio::sound() {
    if (!sound_ && sink()) sound_ = module_->makeSound(*sink_);
    return sound_.get();
}

SpeechDevice* LazyAudio::speech() {
    if (!speech_ && sink()) speech_ = module_->makeSpeech(*sink_);
    return speech_.get();
}

bool LazySound::playWave(const QString& path) {
    SoundDevice* s = audio_.sound();
    return s && s->playWave(path);
}

void LazySound::midiCommand(const QString& command) {
    // Nothing can be playing before the first sound: a "close" needs no module.
    SoundDevice* s = audio_.soundIfMade();
    if (!s && !command.trimmed().startsWith(QLatin1String("close"), Qt::CaseInsensitive))
        s = audio_.sound();
    if (s) s->midiCommand(command);
}

void LazySound::beep() {
    if (SoundDevice* s = audio_.sound()) s->beep();
}

// --- speech --------------------------------------------------------------------------------

bool LazySpeech::available() {
    if (SpeechDevice* e = audio_.speechIfMade()) return e->available();
    // Asked at start-up (the registry key of the engine): answered from the files alone.
    if (!present_) present_ = moduleBesideProgram(kAudioModuleFile) && espeakDataPresent();
    return *present_;
}

SpeechDevice* LazySpeech::engine() {
    if (SpeechDevice* e = audio_.speechIfMade()) return e;
    SpeechDevice* e = audio_.speech();
    if (!e) return nullptr;
    if (language_) e->setLanguage(*language_);
    if (speaker_) e->setSpeaker(*speaker_);
    if (speed_) e->setSpeed(*speed_);
    return e;
}

void LazySpeech::setLanguage(int languageCode) {
    language_ = languageCode;
    if (SpeechDevice* e = audio_.speechIfMade()) e->setLanguage(languageCode);
}

void LazySpeech::setSpeaker(int speaker) {
    speaker_ = speaker;
    if (SpeechDevice* e = audio_.speechIfMade()) e->setSpeaker(speaker);
}

void LazySpeech::setSpeed(int speed) {
    speed_ = speed;
    if (SpeechDevice* e = audio_.speechIfMade()) e->setSpeed(speed);
}

void LazySpeech::resume() {
    if (SpeechDevice* e = audio_.speechIfMade()) e->resume();
}

void LazySpeech::read(const QString& text) {
    if (SpeechDevice* e = engine()) e->read(text);
}

void LazySpeech::readWithin(const QString& text, int milliseconds) {
    if (SpeechDevice* e = engine()) e->readWithin(text, milliseconds);
}

bool LazySpeech::busy() {
    SpeechDevice* e = audio_.speechIfMade();
    return e && e->busy();
}

// --- voice recogniser -------------------------------------------------------------------------

bool LazyRecognizer::available() {
    if (recognizer_) return true;
    return moduleBesideProgram(kVoiceModuleFile);
}

SoundRecognizer* LazyRecognizer::recognizer() {
    if (!tried_) {
        tried_ = true;
        if (auto entry = reinterpret_cast<VoiceModuleEntry>(
                loadModuleEntry(kVoiceModuleFile, kVoiceModuleEntry)))
            recognizer_ = entry()->makeRecognizer();
        if (recognizer_ && failure_) recognizer_->onFailure(failure_);
    }
    return recognizer_.get();
}

bool LazyRecognizer::initialise(voice::VoiceModel& model, QString* error) {
    if (SoundRecognizer* r = recognizer()) return r->initialise(model, error);
    if (error) *error = QString::fromLatin1(kVoiceModuleFile);
    return false;
}

void LazyRecognizer::setRecognitionTenths(int tenths) {
    if (SoundRecognizer* r = recognizer()) r->setRecognitionTenths(tenths);
}

bool LazyRecognizer::start(const QStringList& labels, std::function<void(int)> recognised) {
    // Listening needs a recogniser that was started: without one there is nothing to load.
    return recognizer_ && recognizer_->start(labels, std::move(recognised));
}

void LazyRecognizer::stop() {
    if (recognizer_) recognizer_->stop();
}

void LazyRecognizer::modelChanged() {
    if (recognizer_) recognizer_->modelChanged();
}

bool LazyRecognizer::recordTake(std::function<void(std::optional<voice::Take>)> done) {
    return recognizer_ && recognizer_->recordTake(std::move(done));
}

void LazyRecognizer::cancelTake() {
    if (recognizer_) recognizer_->cancelTake();
}

bool LazyRecognizer::monitorLevel(std::function<void(float, float)> report) {
    return recognizer_ && recognizer_->monitorLevel(std::move(report));
}

void LazyRecognizer::onFailure(std::function<void(const QString&)> report) {
    failure_ = report;
    if (recognizer_) recognizer_->onFailure(std::move(report));
}

// --- joystick ------------------------------------------------------------------------------

std::optional<JoystickState> LazyJoystick::read(int index) {
    if (!tried_) {
        tried_ = true;
        if (auto entry = reinterpret_cast<JoystickModuleEntry>(
                loadModuleEntry(kJoystickModuleFile, kJoystickModuleEntry)))
            joystick_ = entry()->makeJoystick();
    }
    return joystick_ ? joystick_->read(index) : std::nullopt;
}

}  // namespace vexil::media
