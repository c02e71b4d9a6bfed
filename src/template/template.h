#pragma once
// The template: one picture divided into rectangular areas, plus template-wide settings
// and the editing state that the rest of the program shares.
#include <QString>
#include <cstdint>
#include <vector>

namespace vexil {

inline constexpr int kMaxAreas = 32767;
inline const QString kUnnamedTemplate = QStringLiteral("(Sense Nom)");

// The main window's title for a board: "Vexil - " and its path. A board never saved keeps
// its stored name inside the program (both spellings it is given), but its title speaks
// the interface's language.
inline QString boardWindowTitle(const QString& templatePath) {
    const bool unnamed = templatePath.compare(kUnnamedTemplate, Qt::CaseInsensitive) == 0;
    return QStringLiteral("Vexil - ") + (unnamed ? QStringLiteral("(Sin nombre)") : templatePath);
}

// One area. Integers are 16-bit in the files; strings keep the form they have there.
struct Area {
    std::int16_t x0 = 0;
    std::int16_t y0 = 0;
    std::int16_t x1 = 0;
    std::int16_t y1 = 0;
    std::int16_t level = 0;     // the group area that holds this one; 0 only for area 1
    std::int16_t mirrorOf = 0;  // group-selection records: the real area they stand for
    std::int16_t clipKind = 0;  // 0 text file, 1 picture
    QString clipFile;
    QString soundFile;
    QString keys;
    QString iconFile;
    std::int16_t repeatReading = 0;
    std::int16_t isGroup = 0;   // -1 true, 0 false

    bool contains(int x, int y) const;
    friend bool operator==(const Area&, const Area&) = default;
};

// The settings saved with the template.
struct TemplateSettings {
    std::int16_t formatVersion = 2;
    std::int16_t formatVariant = 1;
    QString pictureFile;
    QString startProgram;
    std::int16_t templateClipKind = 0;
    QString templateClipFile;
    QString startKeys;
    QString docFile;
    QString targetApp;
    QString description;
    std::int16_t propertiesOnNew = 1;
    std::int16_t soundOn = 0;
    std::int16_t autoCover = 0;
    std::int16_t voiceLanguage = 0;
    std::int16_t voiceSpeaker = 0;
    std::int16_t voiceSpeed = 100;

    friend bool operator==(const TemplateSettings&, const TemplateSettings&) = default;
};

class Template {
public:
    Template();

    TemplateSettings settings;

    // Editing state, not saved.
    QString templatePath = kUnnamedTemplate;
    QString templateFolder;
    QString templateFileTime;
    QString pictureFileTime;
    bool modified = false;
    std::int16_t currentArea = 0;
    std::int16_t realAreaCount = 0;
    bool coverOutdated = false;
    std::int16_t addedAreaCount = 0;

    int areaCount() const { return int(areas_.size()) - 1; }
    // Areas 1..areaCount(); slot 0 is a fresh record that is never an area.
    const Area& area(int n) const { return areas_.at(size_t(n)); }
    // Replaces area n whole (readers copy a record out, change it, and put it back).
    void setArea(int n, const Area& area);
    const std::vector<Area>& areas() const { return areas_; }

    // Empties the template; touches only what it lists (the sound, cover and speech
    // settings, the clip kind, `modified` and `templateFolder` keep their values).
    void clearTemplate();
    // Appends a copy of `area`; throws RuntimeError(Overflow) on a full table.
    void appendArea(const Area& area);
    // The highest-numbered area whose (normalised, borders included) rectangle holds the
    // point; 0 when none does.
    int areaAt(int x, int y) const;
    // Removes area n, renumbering the later ones; an emptied group stops being a group.
    void deleteArea(int n);
    // Drops the areas after `count` (the temporary records of a group selection).
    void truncateAreas(int count);
    void reserveAreas(int count) { areas_.reserve(size_t(count) + 1); }

private:
    std::vector<Area> areas_;
};

}  // namespace vexil
