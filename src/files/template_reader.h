#pragma once
// Reads a board file into the session's template.
#include <QString>

namespace vexil {

class Session;

// Loads the board at `path` (a board name: absolute when it holds ":" or starts with "/",
// else taken in the template's folder). Errors are reported as message boxes, once per error
// number, and the load goes on; the template holds what could be read.
void loadTemplate(Session& session, const QString& path);

// Loads the board at `path` as if it lay in `namesFolder`: the template's folder and the
// current directory become `namesFolder`, so that its relative names (cover, icons) resolve
// there. The undo store reloads its snapshot this way.
void loadTemplateInFolder(Session& session, const QString& path, const QString& namesFolder);

// Files larger than this are refused with an out-of-memory message: no board comes near it,
// and reading one would only exhaust the machine.
inline constexpr qint64 kMaxBoardFileSize = qint64(512) * 1024 * 1024;

}  // namespace vexil
