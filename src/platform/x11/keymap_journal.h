#pragma once
// A record, in the user's runtime folder, of the keycodes this process has bound, written
// before each binding. A process that dies while keys are bound (a crash, kill -9) leaves
// its record behind, and the next start puts those keycodes back to carrying nothing.
//
// One file per process and display ("keymap-<display>-<pid>"), so that processes typing at
// the same time never write over each other; a file whose process is gone is left over.
#include <QString>
#include <vector>

#include "platform/x11/spare_keycodes.h"

namespace vexil::x11 {

class KeymapJournal {
public:
    // `folder` empty: the user's runtime folder. `display` names the X display the
    // bindings were made on (the DISPLAY text).
    KeymapJournal(const QString& folder, const QString& display);

    // Writes the bindings the process holds now (an empty list removes the file).
    // False when the record could not be written.
    bool record(const std::vector<SpareBinding>& bindings);

    // The bindings recorded by processes of this display that no longer run; their files
    // are removed once `forget` is called.
    struct Leftover {
        QString file;
        std::vector<SpareBinding> bindings;
    };
    std::vector<Leftover> leftovers() const;
    static void forget(const Leftover& leftover);

    // The text of a record, and back (lines "keycode lower upper", keysyms in hex).
    static QByteArray format(const std::vector<SpareBinding>& bindings);
    static std::vector<SpareBinding> parse(const QByteArray& text);

    QString path() const;

private:
    QString folder_;
    QString displayTag_;
};

// Whether a process with this id still runs (an unreadable answer counts as running, so
// that another user's record is never taken for a leftover).
bool processRuns(long pid);

}  // namespace vexil::x11
