// Any text as a key sequence relocated into another folder: no crash, no hang, and text
// without a command bar comes back as it was. Each input starts from the same two folders,
// made afresh, and a new session.
#include <cstdint>
#include <cstdlib>

#include "editor/file_commands.h"
#include "fuzz_support.h"
#include "platform/codepage.h"

using namespace vexil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const fuzz::InputFolder folder({"old/icones", "new"});
    for (const char* name : {"old/GAT.WAV", "old/TEXT.TXT", "old/icones/A.BMP", "new/B.VXL"})
        folder.write(QString::fromUtf8(name), "x");
    fuzz::FuzzSession s(folder.path);
    Session& session = s.session;
    const QString oldFolder = folder.file("old");
    session.currentDirectory = oldFolder;
    session.tmpl.templateFolder = folder.file("new");

    const QString text = decodeAnsi(fuzz::viewOf(data, size));
    const QString keys = relocateKeys(session, text, oldFolder);
    if (!text.contains(u'|') && keys != text) std::abort();
    const QString command = relocateCommand(session, u'|' + text, oldFolder);
    if (!command.startsWith(u'|')) std::abort();
    (void)makeRelative(session, text);
    return 0;
}
