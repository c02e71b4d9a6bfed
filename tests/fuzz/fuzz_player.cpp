// Any text as a key sequence, with any memory and clipboard: the player and the
// interpreter must end, never overflow the stack, keep their work within the player's step
// budget, and leave the player's state consistent. Input: sequence, memory and clipboard
// separated by byte 1, Windows-1252.
//
// The work of one input is bounded by the player's own counts (nesting and steps), checked
// here; a true hang is left to libFuzzer's -timeout. Each input starts in an empty folder
// with a new session: what a command writes (the registry store, a loaded board) is gone
// before the next input.
#include <cstdint>
#include <cstdlib>

#include "commands/interpreter.h"
#include "commands/player.h"
#include "fuzz_support.h"
#include "platform/codepage.h"

using namespace vexil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QStringList parts = decodeAnsi(fuzz::viewOf(data, size)).split(QChar(1));
    const fuzz::InputFolder folder;
    fuzz::FuzzSession s(folder.path);
    Session& session = s.session;
    s.fake.launcher.opensWindow(QStringLiteral("a"), QStringLiteral("Started"));
    session.player.memory = parts.value(1);
    s.fake.clipboard.preset(parts.value(2));
    pushTarget(session, s.fake.windows.addWindow(QStringLiteral("Target"), 7));

    playKeySequence(session, parts.value(0));

    if (session.player.nesting != 0) std::abort();
    if (session.player.memory.size() > std::max<qsizetype>(parts.value(1).size(), kMaxArgumentLength))
        std::abort();
    if (session.player.currentLevel < 1) std::abort();
    if (!session.timer2) std::abort();
    // Every keystroke typed is paid for from the step budget of the one outermost sequence.
    if (s.fake.keys.strokesSent > std::int64_t(kMaxPlayerSteps) * kCharactersPerStep) std::abort();
    return 0;
}
