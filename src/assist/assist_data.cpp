#include "assist/assist_data.h"

#include <algorithm>

#include <QDir>
#include <QFile>

#include "commands/command_scan.h"
#include "platform/codepage.h"

namespace vexil {

Coordinates splitCoordinates(const QString& value) {
    const qsizetype blank = value.indexOf(u' ');
    if (blank < 0) return {value, QString()};
    return {value.left(blank), value.mid(blank + 1)};
}

QString joinCoordinates(const QString& x, const QString& y) {
    return x + u' ' + y;
}

QStringList listItems(const QString& value) {
    QString inner = value;
    if (inner.startsWith(u'[')) inner.remove(0, 1);
    if (inner.endsWith(u']')) inner.chop(1);
    if (inner.isEmpty()) return {};
    return inner.split(u'#');
}

QStringList typedListItems(const QString& text) {
    QStringList items;
    for (const QString& item : text.split(u'#'))
        if (!item.isEmpty()) items << item;
    return items;
}

std::optional<QString> joinList(const QStringList& items) {
    QStringList kept;
    for (const QString& item : items)
        if (!item.isEmpty()) kept << item;
    if (kept.isEmpty()) return std::nullopt;
    return u'[' + kept.join(u'#') + u']';
}

QStringList dataFileKinds() {
    return {QStringLiteral("Fitxer gràfic"), QStringLiteral("Fitxer text"),
            QStringLiteral("Fitxer so"), QStringLiteral("Fitxer exe")};
}

int dataFileKind(int index) {
    static constexpr int kinds[] = {5, 3, 1, 0};
    return index >= 0 && index < 4 ? kinds[index] : -1;
}

QString dataFileCommand(int index, const QString& file) {
    if (file.isEmpty() || index < 0 || index > 3) return {};
    // The catalogue rows of the four kinds: the picture, the file pasted, the sound, the program.
    static constexpr int rows[] = {2, 3, 4, 5};
    const QString opening = commandCatalogue(rows[index], 1);
    if (opening.contains(QLatin1String("_VALOR_")))
        return QString(opening).replace(QLatin1String("_VALOR_"), file);
    return opening + file + u'}';
}

ConditionValue splitConditionValue(const QString& parameter) {
    const ConditionParts parts = splitCondition(parameter);
    return {parts.word, parts.ifEqual, parts.ifDifferent};
}

QString joinConditionValue(const ConditionValue& v) {
    QString word = v.word;
    if (!word.endsWith(u' ')) word += u' ';
    return word + u'{' + v.ifEqual + QStringLiteral("}{") + v.ifDifferent + u'}';
}

QString conditionParameter(const QString& original, const ConditionValue& edited) {
    if (splitConditionValue(original) == edited) return original;
    return joinConditionValue(edited);
}

AssistTarget assistTarget(const QString& tag) {
    if (tag == QStringView(kTagArea)) return AssistTarget::KeysField;
    if (tag == QStringView(kTagParameter)) return AssistTarget::ParentRow;
    if (tag == QStringView(kTagIfEqual)) return AssistTarget::IfEqual;
    if (tag == QStringView(kTagIfDifferent)) return AssistTarget::IfDifferent;
    return AssistTarget::DataText;
}

void AssistContext::push(const QString& tag) {
    contextStack.prepend(contextTag + u'|');
    contextTag = tag;
}

void AssistContext::pop() {
    const qsizetype bar = contextStack.indexOf(u'|');
    if (bar < 0) {
        contextTag.clear();
        return;
    }
    contextTag = contextStack.left(bar);
    contextStack.remove(0, bar + 1);
}

void appendCaptionLog(const QString& folder, const QString& windowCaption,
                      const QStringList& captions) {
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(QString::fromUtf16(kCaptionLogName)));
    if (!file.open(QIODevice::ReadWrite)) return;
    // The list keeps one line per window and index: a window opened again rewrites its
    // lines in place instead of adding them once more.
    QStringList lines = decodeAnsi(file.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (int i = 0; i < captions.size(); ++i) {
        const QString key = windowCaption + QStringLiteral(", ") + QString::number(i) + u',';
        const QString line = key + u'"' + captions[i] + u'"';
        const auto same = std::find_if(lines.begin(), lines.end(),
                                       [&](const QString& l) { return l.startsWith(key + u'"'); });
        if (same != lines.end()) *same = line;
        else lines << line;
    }
    const QByteArray bytes = encodeAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    if (file.seek(0) && file.write(bytes) == bytes.size()) file.resize(bytes.size());
}

}  // namespace vexil
