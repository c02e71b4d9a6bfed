#pragma once
// A registry with the Windows root names and key paths, kept in a per-user file. The REG
// command writes it, the speech start-up lists it, and the catalogue finds class servers
// in it.
#include <QByteArray>
#include <QString>
#include <QStringList>  // users of the value texts split them
#include <cstdint>
#include <memory>
#include <vector>

namespace vexil {

struct RegistryValue {
    std::uint32_t type = 1;  // 1 string, 3 binary, 4 32-bit number
    QByteArray data;
    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

class RegistryStore {
public:
    // An empty path keeps the store in memory only; otherwise the file is read now and
    // written again after each change.
    explicit RegistryStore(QString filePath = QString());
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // Names of the key's direct subkeys in name order without regard to case (the order the
    // registry enumerates them in), each followed by a carriage return; empty when the key
    // does not exist.
    QString listSubkeys(const QString& rootName, const QString& keyPath) const;
    // Writes a value given as plain text, "HEX:0a,ff" or "DWORD:0000001f"; true on success.
    // An empty value name sets the key's default value (making the key); a named value
    // needs an existing key.
    bool writeRegistryValue(const QString& rootName, const QString& keyPath,
                            const QString& valueName, const QString& valueText);
    // The key's unnamed value including its terminating zero character; empty when none.
    QString readDefaultValue(const QString& rootName, const QString& keyPath) const;
    // The program file of a COM class's local server, or empty.
    QString localServerPath(const QString& classProgramName) const;

    // Creates a key (with its parents) and sets a value directly; used to mirror facts of
    // this machine, such as an installed speech engine. Saved like any write.
    void setValue(const QString& rootName, const QString& keyPath, const QString& valueName,
                  const RegistryValue& value);
    void removeKey(const QString& rootName, const QString& keyPath);
    // The value as stored, or nothing.
    const RegistryValue* value(const QString& rootName, const QString& keyPath,
                               const QString& valueName) const;

    // The store as the text of its file.
    QByteArray toText() const;
    // False when the file could not be written after the last change.
    bool lastSaveSucceeded() const { return saved_; }

    struct Key;

private:
    Key* root(const QString& rootName) const;
    Key* find(const QString& rootName, const QString& keyPath) const;
    Key* make(const QString& rootName, const QString& keyPath);
    void load();
    bool save();

    QString filePath_;
    std::vector<std::unique_ptr<Key>> roots_;
    bool saved_ = true;
    bool keepOldFile_ = false;  // the file held lines this store could not read
};

}  // namespace vexil
