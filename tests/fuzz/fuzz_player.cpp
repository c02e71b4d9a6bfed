// Any text as a key sequence, with any memory and clipboard: the player and the
// interpreter must end within a bounded time, never overflow the stack, and leave the
// player's state consistent. Input: sequence, memory and clipboard separated by byte 1,
// Windows-1252.
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/session.h"
#include "commands/interpreter.h"
#include "commands/player.h"
#include "platform/fake/fake_platform.h"
#include "platform/codepage.h"

using namespace vexil;

namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QStringList parts =
        decodeAnsi(std::string_view(reinterpret_cast<const char*>(data), size)).split(QChar(1));
    FakePlatform fake;
    fake.launcher.opensWindow(QStringLiteral("a"), QStringLiteral("Started"));
    Folders folders;
    folders.programFolder = folder().path();
    folders.userFolder = folder().path();
    Session session(fake.platform, folders);
    session.currentDirectory = folder().path();
    session.player.random.seed(1);
    session.player.memory = parts.value(1);
    fake.clipboard.preset(parts.value(2));
    pushTarget(session, fake.windows.addWindow(QStringLiteral("Target"), 7));

    const auto start = std::chrono::steady_clock::now();
    playKeySequence(session, parts.value(0));
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds > 5) std::abort();  // a sequence's work is bounded

    if (session.player.nesting != 0) std::abort();
    if (session.player.memory.size() > std::max<qsizetype>(parts.value(1).size(), kMaxArgumentLength))
        std::abort();
    if (session.player.currentLevel < 1) std::abort();
    if (!session.timer2) std::abort();
    return 0;
}
