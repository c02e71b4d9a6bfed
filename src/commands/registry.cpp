#include "commands/registry.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>

#include "commands/registry_text.h"
#include "platform/codepage.h"

// The store keeps keys in a text file of the user's folder:
//
//     [HKEY_LOCAL_MACHINE\SOFTWARE\UPC\UPCTTSEngine]
//     @=1:566578696c
//     Color=4:ff000000
//
// Key paths and value names are percent-encoded where they hold "[", "]", "=", "%" or line
// breaks; "@" is the default value; data is the type number and the bytes in hexadecimal.
// The file is replaced whole and atomically on every change.
namespace vexil {

namespace {

const QStringList kRoots = {QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("HKEY_LOCAL_MACHINE"),
                            QStringLiteral("HKEY_USERS"), QStringLiteral("HKEY_CURRENT_CONFIG")};

// "ROOT\key\path" with the root upper-cased, blank components and outer backslashes
// dropped; empty for an unknown root.
QString keyId(const QString& rootName, const QString& keyPath) {
    const QString root = rootName.toUpper();
    if (!kRoots.contains(root)) return {};
    QStringList parts{root};
    for (const QString& p : keyPath.split(u'\\'))
        if (!p.isEmpty()) parts << p;
    return parts.join(u'\\');
}

QString encodeName(const QString& s) {
    return QString::fromLatin1(QUrl::toPercentEncoding(s, " \\!#$&'()*+,/:;?@^_`{|}~\"<>-."));
}
QString decodeName(const QString& s) { return QUrl::fromPercentEncoding(s.toLatin1()); }

}  // namespace

RegistryStore::RegistryStore(QString filePath) : filePath_(std::move(filePath)) { load(); }

bool RegistryStore::load() {
    if (filePath_.isEmpty()) return false;
    QFile f(filePath_);
    if (!f.open(QIODevice::ReadOnly)) return false;
    KeyData* current = nullptr;
    for (const QString& raw : QString::fromUtf8(f.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = decodeName(line.mid(1, line.size() - 2));
            const int slash = name.indexOf(u'\\');
            const QString id = keyId(name.left(slash < 0 ? name.size() : slash),
                                     slash < 0 ? QString() : name.mid(slash + 1));
            current = id.isEmpty() ? nullptr : &keys_[id.toUpper()];
            if (current) current->name = id;
            continue;
        }
        const int eq = line.indexOf(u'=');
        const int colon = line.indexOf(u':', eq + 1);
        if (!current || eq < 0 || colon < 0) continue;
        const QString valueName = line.left(eq) == u'@' ? QString() : decodeName(line.left(eq));
        RegistryValue v;
        v.type = line.mid(eq + 1, colon - eq - 1).toUInt();
        v.data = QByteArray::fromHex(line.mid(colon + 1).toLatin1());
        current->values[valueName.toUpper()] = v;
        current->valueNames[valueName.toUpper()] = valueName;
    }
    return true;
}

bool RegistryStore::save() const {
    if (filePath_.isEmpty()) return true;
    QString text;
    for (const KeyData& k : keys_) {
        text += u'[' + encodeName(k.name) + QStringLiteral("]\n");
        for (auto it = k.values.begin(); it != k.values.end(); ++it) {
            const QString& name = k.valueNames.value(it.key());
            text += (name.isEmpty() ? QStringLiteral("@") : encodeName(name)) + u'=' +
                    QString::number(it->type) + u':' + QString::fromLatin1(it->data.toHex()) + u'\n';
        }
    }
    QSaveFile f(filePath_);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(text.toUtf8());
    return f.commit();
}

QString RegistryStore::listSubkeys(const QString& rootName, const QString& keyPath) const {
    const QString id = keyId(rootName, keyPath).toUpper();
    if (id.isEmpty() || !keys_.contains(id)) return {};
    QString out;
    const QString prefix = id + u'\\';
    for (auto it = keys_.lowerBound(prefix); it != keys_.end() && it.key().startsWith(prefix); ++it) {
        if (it.key().indexOf(u'\\', prefix.size()) >= 0) continue;  // not a direct subkey
        out += it->name.mid(prefix.size()) + u'\r';
    }
    return out;
}

void RegistryStore::setValue(const QString& rootName, const QString& keyPath,
                             const QString& valueName, const RegistryValue& value) {
    const QString id = keyId(rootName, keyPath);
    if (id.isEmpty()) return;
    // The key and every parent exist, as a created registry key's parents do.
    const QStringList parts = id.split(u'\\');
    for (int n = 2; n <= parts.size(); ++n) {
        const QString partial = QStringList(parts.mid(0, n)).join(u'\\');
        KeyData& k = keys_[partial.toUpper()];
        if (k.name.isEmpty()) k.name = partial;
    }
    KeyData& key = keys_[id.toUpper()];
    key.values[valueName.toUpper()] = value;
    key.valueNames[valueName.toUpper()] = valueName;
    save();
}

void RegistryStore::removeKey(const QString& rootName, const QString& keyPath) {
    const QString id = keyId(rootName, keyPath).toUpper();
    if (id.isEmpty() || id.indexOf(u'\\') < 0) return;  // a root itself stays
    const QString prefix = id + u'\\';
    bool changed = keys_.remove(id) > 0;
    for (auto it = keys_.lowerBound(prefix); it != keys_.end() && it.key().startsWith(prefix);) {
        it = keys_.erase(it);
        changed = true;
    }
    if (changed) save();
}

bool RegistryStore::writeRegistryValue(const QString& rootName, const QString& keyPath,
                                       const QString& valueName, const QString& valueText) {
    const QString id = keyId(rootName, keyPath);
    if (id.isEmpty()) return false;
    auto value = decodeRegistryValueText(valueText);
    if (!value) return false;
    if (valueName.isEmpty()) {
        value->type = 1;  // the default value is always set as text
        setValue(rootName, keyPath, QString(), *value);
        return true;
    }
    // A named value goes only into a key that exists already.
    if (!keys_.contains(id.toUpper()) || id.indexOf(u'\\') < 0) return false;
    setValue(rootName, keyPath, valueName, *value);
    return true;
}

QString RegistryStore::readDefaultValue(const QString& rootName, const QString& keyPath) const {
    const auto key = keys_.find(keyId(rootName, keyPath).toUpper());
    if (key == keys_.end()) return {};
    const auto value = key->values.find(QString());
    if (value == key->values.end()) return {};
    QByteArray bytes = value->data;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0) bytes.truncate(nul);
    return decodeAnsi(bytes) + QChar(0);
}

QString RegistryStore::localServerPath(const QString& classProgramName) const {
    QString clsid = readDefaultValue(QStringLiteral("HKEY_LOCAL_MACHINE"),
                                     QStringLiteral("SOFTWARE\\Classes\\") + classProgramName +
                                         QStringLiteral("\\CLSID"));
    if (!clsid.isEmpty()) clsid.chop(1);
    clsid = clsid.trimmed();
    if (clsid.isEmpty()) return {};
    QString server = readDefaultValue(QStringLiteral("HKEY_LOCAL_MACHINE"),
                                      QStringLiteral("SOFTWARE\\Classes\\CLSID\\") + clsid +
                                          QStringLiteral("\\LocalServer32"))
                         .toUpper();
    if (!server.isEmpty()) server.chop(1);
    while (server.contains(u'"')) server = server.replace(server.indexOf(u'"'), 1, u' ').trimmed();
    const int exe = server.indexOf(QLatin1String(".EXE"));
    return exe >= 0 ? server.left(exe + 4) : server.left(3);
}

}  // namespace vexil
