#include "settings/registry.h"

#include <algorithm>

#include <QFile>
#include <QSaveFile>

#include "platform/codepage.h"

namespace vexil {

struct RegistryStore::Key {
    QString name;
    std::vector<std::unique_ptr<Key>> subkeys;              // in the order they were made
    std::vector<std::pair<QString, RegistryValue>> values;  // "" is the default value

    Key* child(const QString& n) const {
        for (const auto& k : subkeys)
            if (k->name.compare(n, Qt::CaseInsensitive) == 0) return k.get();
        return nullptr;
    }
    RegistryValue* valueNamed(const QString& n) {
        for (auto& [valueName, v] : values)
            if (valueName.compare(n, Qt::CaseInsensitive) == 0) return &v;
        return nullptr;
    }
    void set(const QString& n, const RegistryValue& v) {
        if (RegistryValue* old = valueNamed(n))
            *old = v;  // the name keeps the spelling it was first written with
        else
            values.emplace_back(n, v);
    }
};

namespace {

const char* const kRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                  "HKEY_CURRENT_CONFIG"};

QStringList pathParts(const QString& keyPath) {
    return keyPath.split(u'\\', Qt::SkipEmptyParts);
}

// Spaces only, as the program's own trimming does.
QString trimSpaces(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ') ++from;
    while (to > from && text[to - 1] == u' ') --to;
    return text.mid(from, to - from);
}

// The value text forms of the REG command; nothing for a form that writes nothing.
std::optional<RegistryValue> decodeValueText(const QString& text) {
    const QString upper = text.toUpper();
    if (upper.startsWith(u"HEX:")) {
        RegistryValue v{3, {}};
        for (const QString& item : text.mid(4).split(u',')) {
            const QString digits = item.trimmed();
            if (digits.isEmpty()) continue;  // "0a,,ff" and a trailing comma
            bool ok = false;
            const uint byte = digits.toUInt(&ok, 16);
            if (!ok || byte > 0xff || digits.startsWith(u'+') || digits.startsWith(u'-'))
                return std::nullopt;
            v.data.append(char(byte));
        }
        return v;
    }
    if (upper.startsWith(u"DWORD:")) {
        const QString digits = text.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        RegistryValue v{4, {}};
        for (int i = 0; i < 4; ++i) v.data.append(char((number >> (8 * i)) & 0xff));
        return v;
    }
    if (text.contains(u':')) return std::nullopt;
    return RegistryValue{1, encodeAnsi(text)};
}

// --- the file ---------------------------------------------------------------------------
// Key paths and value names escape "%", the double quote and control characters as %XX;
// see docs/settings-files.md for the whole format.

QString escaped(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (c == u'%' || c == u'"' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size()) {
            bool ok = false;
            const uint code = text.mid(i + 1, 2).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QString hexList(const QByteArray& data) {
    QStringList items;
    for (char b : data) items << QStringLiteral("%1").arg(uchar(b), 2, 16, QLatin1Char('0'));
    return items.join(u',');
}

QString valueText(const RegistryValue& v) {
    if (v.type == 4 && v.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = (n << 8) | uchar(v.data[i]);
        return QStringLiteral("dword:%1").arg(n, 8, 16, QLatin1Char('0'));
    }
    if (v.type == 3) return QStringLiteral("hex:") + hexList(v.data);
    if (v.type == 1 &&
        std::all_of(v.data.begin(), v.data.end(), [](char c) { return c >= 0x20 && c < 0x7f; }))
        return u'"' + QString::fromLatin1(v.data) + u'"';
    return QStringLiteral("hex(%1):").arg(v.type) + hexList(v.data);
}

std::optional<QByteArray> parseHexList(const QString& text) {
    QByteArray out;
    if (text.isEmpty()) return out;
    for (const QString& item : text.split(u',')) {
        bool ok = false;
        const uint b = item.toUInt(&ok, 16);
        if (!ok || b > 0xff) return std::nullopt;
        out.append(char(b));
    }
    return out;
}

std::optional<RegistryValue> parseValue(const QString& text) {
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return RegistryValue{1, text.mid(1, text.size() - 2).toLatin1()};
    if (text.startsWith(u"dword:")) {
        bool ok = false;
        const uint n = text.mid(6).toUInt(&ok, 16);
        if (!ok) return std::nullopt;
        RegistryValue v{4, {}};
        for (int i = 0; i < 4; ++i) v.data.append(char((n >> (8 * i)) & 0xff));
        return v;
    }
    std::uint32_t type = 3;
    QString list;
    if (text.startsWith(u"hex:")) {
        list = text.mid(4);
    } else if (text.startsWith(u"hex(")) {
        const qsizetype close = text.indexOf(u"):");
        bool ok = false;
        type = text.mid(4, close - 4).toUInt(&ok);
        if (close < 0 || !ok) return std::nullopt;
        list = text.mid(close + 2);
    } else {
        return std::nullopt;
    }
    const auto data = parseHexList(list);
    if (!data) return std::nullopt;
    return RegistryValue{type, *data};
}

void writeKey(QString& out, const QString& path, const RegistryStore::Key& key) {
    out += u'[' + escaped(path) + QStringLiteral("]\n");
    for (const auto& [name, v] : key.values)
        out += (name.isEmpty() ? QStringLiteral("@") : u'"' + escaped(name) + u'"') + u'=' +
               valueText(v) + u'\n';
    for (const auto& sub : key.subkeys) writeKey(out, path + u'\\' + sub->name, *sub);
}

}  // namespace

RegistryStore::RegistryStore(QString filePath) : filePath_(std::move(filePath)) {
    for (const char* name : kRootNames) {
        roots_.push_back(std::make_unique<Key>());
        roots_.back()->name = QLatin1String(name);
    }
    load();
}

RegistryStore::~RegistryStore() = default;

RegistryStore::Key* RegistryStore::root(const QString& rootName) const {
    const QString upper = rootName.toUpper();
    for (const auto& r : roots_)
        if (r->name == upper) return r.get();
    return nullptr;
}

RegistryStore::Key* RegistryStore::find(const QString& rootName, const QString& keyPath) const {
    Key* key = root(rootName);
    for (const QString& part : pathParts(keyPath)) {
        if (!key) break;
        key = key->child(part);
    }
    return key;
}

RegistryStore::Key* RegistryStore::make(const QString& rootName, const QString& keyPath) {
    Key* key = root(rootName);
    if (!key) return nullptr;
    for (const QString& part : pathParts(keyPath)) {
        Key* next = key->child(part);
        if (!next) {
            key->subkeys.push_back(std::make_unique<Key>());
            next = key->subkeys.back().get();
            next->name = part;
        }
        key = next;
    }
    return key;
}

QString RegistryStore::listSubkeys(const QString& rootName, const QString& keyPath) const {
    const Key* key = find(rootName, keyPath);
    if (!key) return {};
    // The registry enumerates subkeys in name order, without regard to case.
    QStringList names;
    for (const auto& sub : key->subkeys) names << sub->name;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QString out;
    for (const QString& name : names) out += name + u'\r';
    return out;
}

bool RegistryStore::writeRegistryValue(const QString& rootName, const QString& keyPath,
                                       const QString& valueName, const QString& valueText) {
    if (!root(rootName)) return false;
    const std::optional<RegistryValue> decoded = decodeValueText(valueText);
    if (!decoded) return false;
    Key* key = nullptr;
    RegistryValue v = *decoded;
    if (valueName.isEmpty()) {
        // The default value is always a string, kept with its terminating zero.
        key = make(rootName, keyPath);
        const qsizetype zero = v.data.indexOf('\0');
        v = RegistryValue{1, (zero < 0 ? v.data : v.data.left(zero)) + QByteArray(1, '\0')};
    } else {
        key = find(rootName, keyPath);
        if (!key) return false;
    }
    key->set(valueName, v);
    return save();
}

QString RegistryStore::readDefaultValue(const QString& rootName, const QString& keyPath) const {
    Key* key = find(rootName, keyPath);
    const RegistryValue* v = key ? key->valueNamed(QString()) : nullptr;
    if (!v) return QString();
    const qsizetype zero = v->data.indexOf('\0');
    return decodeAnsi(zero < 0 ? v->data : v->data.left(zero)) + QChar(u'\0');
}

QString RegistryStore::localServerPath(const QString& classProgramName) const {
    const QString lm = QStringLiteral("HKEY_LOCAL_MACHINE");
    const QString clsid = trimSpaces(readDefaultValue(
        lm, QStringLiteral("SOFTWARE\\Classes\\") + classProgramName + QStringLiteral("\\CLSID")));
    if (clsid.isEmpty()) return QString();
    const QString id = clsid.chopped(1);
    QString server = readDefaultValue(lm, QStringLiteral("SOFTWARE\\Classes\\CLSID\\") + id +
                                              QStringLiteral("\\LocalServer32"))
                         .toUpper();
    if (server.isEmpty()) return QString();
    server.chop(1);
    while (server.contains(u'"')) {
        server[server.indexOf(u'"')] = u' ';
        server = trimSpaces(server);
    }
    const qsizetype exe = server.indexOf(u".EXE");
    if (exe >= 0) return server.left(exe + 4);
    // A server without ".EXE" (a program of this system): its command line up to the first
    // blank names the program.
    const qsizetype blank = server.indexOf(u' ');
    return blank < 0 ? server : server.left(blank);
}

void RegistryStore::setValue(const QString& rootName, const QString& keyPath,
                             const QString& valueName, const RegistryValue& value) {
    Key* key = make(rootName, keyPath);
    if (!key) return;
    key->set(valueName, value);
    save();
}

void RegistryStore::removeKey(const QString& rootName, const QString& keyPath) {
    const QStringList parts = pathParts(keyPath);
    if (parts.isEmpty()) return;
    Key* parent = find(rootName, QStringList(parts.mid(0, parts.size() - 1)).join(u'\\'));
    if (!parent) return;
    auto& subs = parent->subkeys;
    for (auto it = subs.begin(); it != subs.end(); ++it) {
        if ((*it)->name.compare(parts.last(), Qt::CaseInsensitive) == 0) {
            subs.erase(it);
            save();
            return;
        }
    }
}

const RegistryValue* RegistryStore::value(const QString& rootName, const QString& keyPath,
                                          const QString& valueName) const {
    Key* key = find(rootName, keyPath);
    return key ? key->valueNamed(valueName) : nullptr;
}

QByteArray RegistryStore::toText() const {
    QString out = QStringLiteral(
        "; Vexil registry store. Keys in the order they were made, each followed by its\n"
        "; values: @ is the default value; \"text\", dword:0000001f, hex:0a,ff or\n"
        "; hex(TYPE):bytes. %XX stands for \"%\", a double quote or a control character.\n");
    for (const auto& r : roots_)
        if (!r->values.empty() || !r->subkeys.empty()) writeKey(out, r->name, *r);
    return out.toUtf8();
}

void RegistryStore::load() {
    if (filePath_.isEmpty()) return;
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly)) return;
    Key* current = nullptr;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        QString line = QString::fromUtf8(raw);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString path = unescaped(line.mid(1, line.size() - 2));
            const qsizetype cut = path.indexOf(u'\\');
            current = make(path.left(cut < 0 ? path.size() : cut),
                           cut < 0 ? QString() : path.mid(cut + 1));
            if (!current) keepOldFile_ = true;
            continue;
        }
        QString name;
        qsizetype eq = -1;
        if (line.startsWith(u"@=")) {
            eq = 1;
        } else if (line.startsWith(u'"')) {
            const qsizetype close = line.indexOf(u"\"=", 1);
            if (close > 0) {
                name = unescaped(line.mid(1, close - 1));
                eq = close + 1;
            }
        }
        const std::optional<RegistryValue> v = eq > 0 ? parseValue(line.mid(eq + 1)) : std::nullopt;
        if (!current || !v) {
            keepOldFile_ = true;
            continue;
        }
        current->set(name, *v);
    }
}

bool RegistryStore::save() {
    if (filePath_.isEmpty()) return saved_ = true;
    if (keepOldFile_) {
        // Lines this store could not read would be lost: keep the file they were in.
        QFile::remove(filePath_ + QStringLiteral(".old"));
        QFile::copy(filePath_, filePath_ + QStringLiteral(".old"));
        keepOldFile_ = false;
    }
    const QByteArray text = toText();
    // Unchanged: no write, and no sync to the disk.
    QFile current(filePath_);
    if (current.open(QIODevice::ReadOnly) && current.size() == text.size() &&
        current.readAll() == text)
        return saved_ = true;
    current.close();
    QSaveFile file(filePath_);
    saved_ = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
    return saved_;
}

}  // namespace vexil
