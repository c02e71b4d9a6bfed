#pragma once
// The user profile (.USR) and the program settings file (Vexil.INI).
#include <QString>

namespace vexil {

class IniFile;
class Session;

// Whether loading a profile writes its path into the user's Vexil.INI (when it is not
// already there just so): not when another profile is loaded right after.
enum class RememberProfile { Yes, No };

// Vexil.INI of the user's folder, or the one shipped in the program's folder while the user
// has none: `Interval`, `So`, and the last profile loaded, which is loaded again.
void loadProgramSettings(Session& session, RememberProfile rememberLast = RememberProfile::Yes);
// Loads a .USR file when it exists, checks the access menu item of its mode and remembers
// the path in the user's Vexil.INI.
void loadUserProfile(Session& session, const QString& path,
                     RememberProfile remember = RememberProfile::Yes);
// Reads a .USR file into the profile (a missing file reads as one without keys). Errors show
// "1 Error " and the error number; reading goes on with the next key.
void readUserProfile(Session& session, const QString& path);
// The same over a file already read.
void readUserProfile(Session& session, const IniFile& file);
// Writes the fifteen keys into the file, keeping its other lines. Returns 0, or the error
// number after showing "3 Error" and the number.
int writeUserProfile(const Session& session, const QString& path);
// "Usuari &Nou": every field zero or empty, then mode 0, colour 255, thickness 8.
void resetUserProfile(Session& session);

// The item of the access menu that an access mode checks (modes 0-3 their own item, 4 and 8
// item 4, 5 to 7 item 5); -1 for a mode out of range.
int accessMenuItem(int accessMode);

// Where the user's Vexil.INI lies.
QString programSettingsPath(const Session& session);

// The name the files kept for the profile last loaded (Vexil.INI's `usuari`) go by in the
// user's folders: "<profile name>-<8 hex digits>", the digits telling two profiles of the
// same name in different folders apart; "SENSE-USUARI" without a profile.
QString profileFileStem(const Session& session);

}  // namespace vexil
