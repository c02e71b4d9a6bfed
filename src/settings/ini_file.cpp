#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "i18n/runtime_error.h"
#include "platform/codepage.h"

namespace vexil {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

QString trimmed(QStringView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from])) ++from;
    while (to > from && isBlank(text[to - 1])) --to;
    return text.mid(from, to - from).toString();
}

QString withoutTrailingBlanks(const QString& text) {
    qsizetype to = text.size();
    while (to > 0 && isBlank(text[to - 1])) --to;
    return text.left(to);
}

QString cut(const QString& text, int bufferSize) {
    if (bufferSize <= 0) return QString();
    return text.size() > bufferSize - 1 ? text.left(bufferSize - 1) : text;
}

QString folded(const QString& name) {
    return name.toCaseFolded();
}

}  // namespace

IniFile::IniFile(const QByteArray& bytes) {
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        Line line;
        if (lf < 0) {
            line.raw = bytes.mid(start);
            start = bytes.size();
        } else {
            qsizetype end = lf;
            if (end > start && bytes.at(end - 1) == '\r') --end;
            line.raw = bytes.mid(start, end - start);
            line.ending = bytes.mid(end, lf + 1 - end);
            start = lf + 1;
        }
        lines_.push_back(std::move(line));
    }
    index();
}

IniFile IniFile::read(const QString& path, bool* found) {
    QFile file(path);
    const bool ok = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    if (found) *found = ok;
    return ok ? IniFile(file.readAll()) : IniFile();
}

void IniFile::index() {
    sections_.clear();
    sectionByName_.clear();
    int current = -1;
    for (int i = 0; i < int(lines_.size()); ++i) {
        const QString text = trimmed(decodeAnsi(lines_[size_t(i)].raw));
        if (text.isEmpty()) continue;
        if (text.startsWith(u'[')) {
            qsizetype close = text.lastIndexOf(u']');
            if (close < 0) close = text.size();
            const QString name = trimmed(QStringView(text).mid(1, close - 1));
            sections_.push_back(Section{i, name, i, {}});
            current = int(sections_.size()) - 1;
            if (!sectionByName_.contains(folded(name)))
                sectionByName_.insert(folded(name), current);
            continue;
        }
        // Lines before the first section belong to none; comments are no keys.
        if (current < 0 || text.startsWith(u';')) continue;
        Section& sec = sections_[size_t(current)];
        sec.lastKey = i;
        const qsizetype eq = text.indexOf(u'=');
        Entry entry;
        entry.line = i;
        entry.hasValue = eq >= 0;
        entry.name = eq >= 0 ? trimmed(QStringView(text).left(eq)) : text;
        if (eq >= 0) entry.value = trimmed(QStringView(text).mid(eq + 1));
        const QString key = folded(entry.name);
        if (!sec.keys.contains(key)) sec.keys.insert(key, entry);
    }
}

const IniFile::Entry* IniFile::find(const QString& section, const QString& key) const {
    const auto s = sectionByName_.constFind(folded(section));
    if (s == sectionByName_.cend()) return nullptr;
    const Section& sec = sections_[size_t(*s)];
    const auto k = sec.keys.constFind(folded(key));
    return k == sec.keys.cend() ? nullptr : &*k;
}

QString IniFile::value(const QString& section, const QString& key, const QString& defaultValue,
                       int bufferSize) const {
    const Entry* e = find(section, key);
    if (!e || !e->hasValue) return cut(withoutTrailingBlanks(defaultValue), bufferSize);
    QString v = e->value;
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return cut(v, bufferSize);
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    const Entry* e = find(section, key);
    return e && e->hasValue;
}

QStringList IniFile::sectionNames() const {
    QStringList out;
    for (int i = 0; i < int(sections_.size()); ++i)
        if (sectionByName_.value(folded(sections_[size_t(i)].name), -1) == i)
            out << sections_[size_t(i)].name;
    return out;
}

QStringList IniFile::keyNames(const QString& section) const {
    const auto s = sectionByName_.constFind(folded(section));
    if (s == sectionByName_.cend()) return {};
    std::vector<const Entry*> entries;
    for (const Entry& e : sections_[size_t(*s)].keys) entries.push_back(&e);
    std::sort(entries.begin(), entries.end(),
              [](const Entry* a, const Entry* b) { return a->line < b->line; });
    QStringList out;
    for (const Entry* e : entries) out << e->name;
    return out;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& text) {
    const auto s = sectionByName_.constFind(folded(section));
    if (s != sectionByName_.cend()) {
        const Section& sec = sections_[size_t(*s)];
        const auto k = sec.keys.constFind(folded(key));
        if (k != sec.keys.cend()) {
            lines_[size_t(k->line)].raw = encodeAnsi(k->name + u'=' + text);
        } else {
            const size_t at = size_t(sec.lastKey) + 1;
            if (lines_[at - 1].ending.isEmpty()) lines_[at - 1].ending = "\r\n";
            lines_.insert(lines_.begin() + qsizetype(at),
                          Line{encodeAnsi(key + u'=' + text), "\r\n"});
        }
    } else {
        if (!lines_.empty()) {
            if (lines_.back().ending.isEmpty()) lines_.back().ending = "\r\n";
            if (!trimmed(decodeAnsi(lines_.back().raw)).isEmpty())
                lines_.push_back(Line{QByteArray(), "\r\n"});
        }
        lines_.push_back(Line{encodeAnsi(u'[' + section + u']'), "\r\n"});
        lines_.push_back(Line{encodeAnsi(key + u'=' + text), "\r\n"});
    }
    index();
}

QByteArray IniFile::bytes() const {
    QByteArray out;
    for (const Line& line : lines_) out += line.raw + line.ending;
    return out;
}

int IniFile::save(const QString& path) const {
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir()) return errnum::PathNotFound;
    if (info.isDir()) return errnum::PathFileAccess;
    const QByteArray data = bytes();
    // A file that already holds these bytes is left alone: writing it again would cost a
    // sync to the disk (at every start, for the remembered profile) and change nothing.
    if (info.isFile() && info.size() == data.size() && info.isWritable()) {
        QFile current(path);
        if (current.open(QIODevice::ReadOnly) && current.readAll() == data) return 0;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return info.exists() && !info.isWritable() ? errnum::PermissionDenied
                                                   : errnum::PathFileAccess;
    }
    if (file.write(data) != data.size()) return errnum::DiskFull;
    return file.commit() ? 0 : errnum::PathFileAccess;
}

}  // namespace vexil
