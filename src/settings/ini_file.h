#pragma once
// INI files read and written by the rules of the Windows profile-string functions, so that
// settings files made on Windows read the same and keep their look when written:
// - section and key names are compared without regard to case; the first section and the
//   first key of that name win;
// - values are trimmed, and one pair of matching quotes around a value is taken off;
// - a missing key (or a key line without "=") gives the caller's default, without its
//   trailing blanks;
// - a value is read into a buffer of a given size, so it is cut at size - 1 characters;
// - a write changes only the line of its key (or adds the key after the last one of its
//   section, or the section at the end); every other byte of the file stays;
// - text is Windows-1252; lines end in CR LF when written, CR LF or LF when read.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace vexil {

class IniFile {
public:
    // The buffer size the program reads settings with.
    static constexpr int kBufferSize = 512;

    IniFile() = default;
    explicit IniFile(const QByteArray& bytes);
    // Reads the file at `path` (a real path of this machine). A missing or unreadable file
    // reads as an empty one; `found` tells which.
    static IniFile read(const QString& path, bool* found = nullptr);

    // The value of `key` in `section`, or `defaultValue` without its trailing blanks; in
    // both cases at most bufferSize - 1 characters.
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString(), int bufferSize = kBufferSize) const;
    // True when the section holds the key with an "=".
    bool hasKey(const QString& section, const QString& key) const;
    // The names of the sections, in file order, once each (the first of a name); and the
    // names of the keys of a section as written, in file order, once each.
    QStringList sectionNames() const;
    QStringList keyNames(const QString& section) const;

    // Sets `key` in `section` to `text`, written as it stands after the "=".
    void setValue(const QString& section, const QString& key, const QString& text);

    // The file's bytes as they would be written.
    QByteArray bytes() const;
    // Writes the file atomically (a temporary file renamed over the old one). Returns 0, or
    // the run-time error number of the failure.
    int save(const QString& path) const;

private:
    struct Line {
        QByteArray raw;     // the line's bytes without its ending
        QByteArray ending;  // "\r\n", "\n" or "" for a last line without one
    };
    struct Entry {
        int line = 0;
        bool hasValue = false;
        QString name;   // the key as written in the file
        QString value;  // trimmed, quotes still on
    };
    struct Section {
        int header = 0;              // line of "[name]"
        QString name;                // as written between the brackets
        int lastKey = 0;             // line after which a new key goes
        QHash<QString, Entry> keys;  // by case-folded name; the first line wins
    };

    void index();
    const Entry* find(const QString& section, const QString& key) const;

    std::vector<Line> lines_;
    std::vector<Section> sections_;
    QHash<QString, int> sectionByName_;  // case-folded name to the first such section
};

}  // namespace vexil
