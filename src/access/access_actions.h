#pragma once
// What the access engine hands on once it has chosen: the activation of an area and the
// announcement of a highlighted one. The program uses PlayerActions (the key player and
// the sound output); tests and vexil-tool may watch or replace them.
#include <QString>

namespace vexil {

class Session;
struct Area;

class AccessActions {
public:
    virtual ~AccessActions() = default;
    // Performs area n (0 is ignored).
    virtual void activate(int area) = 0;
    // Says or plays what a highlighted area stands for.
    virtual void announce(const Area& area) = 0;
};

// The announcement of an area: its sound field, or the printable part of its keys when
// the sound field is empty.
QString announcementText(const Area& area);

// What the cue voice of auditory scanning says for an area: its icon text when the icon
// is no picture, else the printable part of its keys.
QString cueLabel(const Area& area);
// The cue of an area: its sound field when it has one (a wave file is played), else its
// label.
QString cueText(const Area& area);
// Plays or says the cue of an area on the cue voice, at the cue's volume, speed and voice.
void announceCue(Session& session, const Area& area);

// The real actions: activateArea and So_icona over the session.
class PlayerActions : public AccessActions {
public:
    explicit PlayerActions(Session& session) : session_(session) {}
    void activate(int area) override;
    void announce(const Area& area) override;

private:
    Session& session_;
};

}  // namespace vexil
