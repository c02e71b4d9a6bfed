#pragma once
// A registry with the Windows root names and key paths, kept in a per-user file. The REG
// command writes it, the speech start-up lists it, and the catalogue finds class servers
// in it.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <cstdint>

namespace vexil {

struct RegistryValue {
    std::uint32_t type = 1;  // 1 string, 3 binary, 4 32-bit number
    QByteArray data;
    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

class RegistryStore {
public:
    // An empty path keeps the store in memory only.
    explicit RegistryStore(QString filePath = QString());

    // Names of the key's direct subkeys, each followed by a carriage return; empty when the
    // key cannot be opened.
    QString listSubkeys(const QString& rootName, const QString& keyPath) const;
    // Writes a value given as plain text, "HEX:0a,ff" or "DWORD:0000001f"; true on success.
    bool writeRegistryValue(const QString& rootName, const QString& keyPath,
                            const QString& valueName, const QString& valueText);
    // The key's unnamed value including its terminating zero character; empty when none.
    QString readDefaultValue(const QString& rootName, const QString& keyPath) const;
    // The program file of a COM class's local server, or empty.
    QString localServerPath(const QString& classProgramName) const;

    // Creates a key (with its parents) and sets a value directly; used to mirror facts of
    // this machine, such as an installed speech engine.
    void setValue(const QString& rootName, const QString& keyPath, const QString& valueName,
                  const RegistryValue& value);
    void removeKey(const QString& rootName, const QString& keyPath);

private:
    struct Key;
    bool load();
    bool save() const;
    QString filePath_;
    // Map of normalised "ROOT\key\path" (original case kept for listing) to values.
    struct KeyData {
        QString name;  // path as first written, for enumeration
        QMap<QString, RegistryValue> values;  // by upper-cased value name; "" = default
        QMap<QString, QString> valueNames;
    };
    QMap<QString, KeyData> keys_;
};

}  // namespace vexil
