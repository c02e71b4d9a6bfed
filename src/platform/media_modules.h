#pragma once
// Sound, speech, joysticks, the voice recogniser, metafile pictures and zip packages live in
// modules that the desktop program loads on first use, so that their libraries (fluidsynth,
// libsndfile, PulseAudio, espeak-ng and its voices, SDL2, aubio, libwmf, libzip and libcrypto)
// take no memory in a session that never sounds, never reads a joystick, never pastes a
// metafile or never exports a board. Each module exports one function, named below.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

#include "platform/audio.h"
#include "platform/audio/audio_sink.h"
#include "platform/joystick.h"
#include "platform/recognizer.h"
#include "platform/speech.h"
#include "platform/zip_codec.h"

class QImage;

namespace vexil::media {

// The sound player, with what the program asks of it before it ends.
class SoundDevice : public SoundPlayer {
public:
    // True while a MIDI file plays.
    virtual bool midiPlaying() const = 0;
    // The name of the MIDI file last started, or empty.
    virtual QString midiName() const = 0;
};

// The embedded speech engine.
class SpeechDevice : public SpeechEngine {
public:
    // Waits until nothing is being read.
    virtual void waitUntilDone() = 0;
};

class AudioModule {
public:
    virtual ~AudioModule() = default;
    // Where sound goes: a WAV file when `audioOut` is set, else nowhere when `noDevice`,
    // else the sound server.
    virtual std::unique_ptr<audio::AudioSink> makeSink(const QString& audioOut, bool noDevice) = 0;
    virtual std::unique_ptr<SoundDevice> makeSound(audio::AudioSink& sink) = 0;
    // Starts espeak-ng (once a process); the engine reports itself unavailable when it
    // could not.
    virtual std::unique_ptr<SpeechDevice> makeSpeech(audio::AudioSink& sink) = 0;
    // The sound server's outputs (sinks): each one's name and description, in the server's
    // order; nothing when the server does not answer within `timeoutMs`.
    virtual std::optional<QList<std::pair<QString, QString>>> outputs(int timeoutMs) = 0;
};

class JoystickModule {
public:
    virtual ~JoystickModule() = default;
    virtual std::unique_ptr<Joystick> makeJoystick() = 0;
};

class VoiceModule {
public:
    virtual ~VoiceModule() = default;
    // The recogniser of trained sounds, capturing from the sound server; made on the
    // user-interface thread.
    virtual std::unique_ptr<SoundRecognizer> makeRecognizer() = 0;
};

inline constexpr const char* kAudioModuleFile = "vexil-audio.so";
inline constexpr const char* kAudioModuleEntry = "vexilAudioModule";
inline constexpr const char* kJoystickModuleFile = "vexil-joystick.so";
inline constexpr const char* kJoystickModuleEntry = "vexilJoystickModule";
inline constexpr const char* kMetafileModuleFile = "vexil-metafile.so";
inline constexpr const char* kMetafileModuleEntry = "vexilRenderMetafile";
inline constexpr const char* kVoiceModuleFile = "vexil-voice.so";
inline constexpr const char* kVoiceModuleEntry = "vexilVoiceModule";
inline constexpr const char* kZipModuleFile = "vexil-zip.so";
inline constexpr const char* kZipModuleEntry = "vexilZipModule";
using ZipModuleEntry = ZipCodec* (*)();
using VoiceModuleEntry = VoiceModule* (*)();
using AudioModuleEntry = AudioModule* (*)();
// Draws a metafile into `picture`; false when it draws nothing.
using MetafileModuleEntry = bool (*)(const QByteArray* wmf, QImage* picture);
using JoystickModuleEntry = JoystickModule* (*)();

}  // namespace vexil::media
