// Any bytes as a user profile (.USR): reading must not crash or hang; the profile written
// back over the file reads back the same; a profile written into an empty file reads back
// the same too (it needs nothing else of the file); writing twice changes nothing more; and
// every key the program does not write (sections it does not know, such as one added by a
// newer version, and unknown keys of its own section) keeps its value.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>

#include "files/profile_files.h"
#include "fuzz_support.h"
#include "settings/adapt_settings.h"
#include "settings/ini_file.h"

using namespace vexil;

namespace {

struct Read {
    UserProfile profile;
    ProgramSettings settings;
    bool operator==(const Read& o) const {
        return profile == o.profile && settings.Interval == o.settings.Interval &&
               settings.So == o.settings.So;
    }
};

// The profile as a new session reads it from `path`.
Read readProfile(const QString& folder, const QString& path) {
    fuzz::FuzzSession s(folder);
    resetUserProfile(s.session);
    readUserProfile(s.session, path);
    return {s.session.profile, s.session.programSettings};
}

// Writes the profile read from `from` into `to`.
void copyProfile(const QString& folder, const QString& from, const QString& to) {
    fuzz::FuzzSession s(folder);
    resetUserProfile(s.session);
    readUserProfile(s.session, from);
    if (writeUserProfile(s.session, to) != 0) std::abort();
}

using Key = std::pair<QString, QString>;  // case-folded section and key

std::set<Key> keysOf(const IniFile& ini) {
    std::set<Key> out;
    for (const QString& section : ini.sectionNames())
        for (const QString& key : ini.keyNames(section))
            out.insert({section.toCaseFolded(), key.toCaseFolded()});
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const fuzz::InputFolder folder;
    const QByteArray original = fuzz::bytesOf(data, size);
    const QString path = folder.write(QStringLiteral("P.USR"), original);
    const QString empty = folder.file("E.USR");

    const Read first = readProfile(folder.path, path);

    // Written into an empty file: only the program's own keys, and the whole profile.
    copyProfile(folder.path, path, empty);
    if (!(readProfile(folder.path, empty) == first)) std::abort();
    std::set<Key> written = keysOf(IniFile(folder.read(QStringLiteral("E.USR"))));
    // The adaptation section is written only where it is on or already there, so its keys
    // are the program's own even when the empty file did not get them.
    for (const AdaptKey& k : adaptKeys())
        written.insert({kAdaptSection.toCaseFolded(), QString::fromLatin1(k.key).toCaseFolded()});
    written.insert({kAdaptSection.toCaseFolded(), QStringLiteral("GuiaSortida").toCaseFolded()});

    // Written over the file itself: the same profile, and the rest of the file kept.
    copyProfile(folder.path, path, path);
    const QByteArray once = folder.read(QStringLiteral("P.USR"));
    if (!(readProfile(folder.path, path) == first)) std::abort();
    const IniFile before(original), after(once);
    for (const QString& section : before.sectionNames()) {
        for (const QString& key : before.keyNames(section)) {
            if (written.count({section.toCaseFolded(), key.toCaseFolded()})) continue;
            if (after.hasKey(section, key) != before.hasKey(section, key) ||
                after.value(section, key, {}, INT_MAX) != before.value(section, key, {}, INT_MAX))
                std::abort();
        }
    }

    // A second write finds nothing to change.
    copyProfile(folder.path, path, path);
    if (folder.read(QStringLiteral("P.USR")) != once) std::abort();
    return 0;
}
