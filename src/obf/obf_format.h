#pragma once
// What the Open Board Format export and import share: the format's name, how a board's
// areas and settings are kept in `ext_vexil_*` fields, the embedded commands of a key
// sequence, the reading order that fills the grid, and the names a package may hold.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "template/template.h"

namespace vexil::obf {

inline const QString kFormat = QStringLiteral("open-board-0.1");
inline const QString kManifest = QStringLiteral("manifest.json");
// The reference board units: a board whose root area is not a usable rectangle is placed
// on a board of this size.
inline constexpr int kBoardWidth = 640;
inline constexpr int kBoardHeight = 445;

// An area as an `ext_vexil_area` object: every field the board file stores, as it is.
QJsonObject areaToJson(const Area& area);
// Throws ObfError (naming `where`) when a field is missing or does not fit 16 bits.
Area areaFromJson(const QJsonObject& object, const QString& where);
// The settings as an `ext_vexil_template` object, and back.
QJsonObject settingsToJson(const TemplateSettings& settings);
TemplateSettings settingsFromJson(const QJsonObject& object, const QString& where);

// One embedded command of a key sequence: "{|Carrega B.VXL}" gives keyword "CARREGA"
// (upper case) and argument "B.VXL".
struct EmbeddedCommand {
    QString keyword;
    QString argument;
};
std::vector<EmbeddedCommand> embeddedCommands(const QString& keys);

// What a button shows for an area: the icon's text; else the printable text the keys type
// (embedded commands left out, "+a" as "A"); else the names of the keys they press
// ("Space", "Backspace", "Enter", "Alt+F4"). Empty for an area that types nothing.
QString areaLabel(const Area& area);
// What an area says: the texts of its LLEGIR commands, joined by a blank.
QString areaVocalization(const Area& area);
// `keys` with its LLEGIR commands replaced by one saying `text` at the front (none when
// `text` is empty).
QString withVocalization(const QString& keys, const QString& text);
// The area's rectangle as fractions of the frame's (left, top, width, height), rounded to
// six places, as the export writes them.
struct Fractions {
    double left = 0, top = 0, width = 0, height = 0;
};
Fractions areaFractions(const Area& area, const Area* frame);

// The order a person reads the areas in: rows from the top (areas whose vertical extents
// overlap by more than half the smaller height share a row), left to right in a row.
// `numbers` are area numbers of `tmpl`; the result holds each once.
std::vector<std::vector<int>> readingRows(const Template& tmpl, const std::vector<int>& numbers);

// A name inside a package or below the folder an import writes: relative, "/" separated,
// no empty, "." or ".." part, no backslash, no drive colon, no control character.
bool isSafeRelativePath(const QString& path);

// "data:image/png;base64,...": the bytes, or an empty array when `uri` is no base64 data URI.
// Temporary files and folders are made private; what an export or import leaves gets the
// permissions a new file or folder has (0666 or 0777 less the umask).
void giveUsualPermissions(const QString& path, bool folder);

QByteArray decodeDataUri(const QString& uri, QString* mediaType = nullptr);
QString dataUri(const QString& mediaType, const QByteArray& bytes);

}  // namespace vexil::obf
