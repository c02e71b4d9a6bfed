#include "platform/qt/file_filter.h"

namespace vexil {

QString caseBlindPattern(const QString& pattern) {
    if (pattern == u"*.*") return QStringLiteral("*");
    QString out;
    for (QChar c : pattern) {
        const QChar lower = c.toLower(), upper = c.toUpper();
        if (lower != upper) out += u'[' + QString(lower) + QString(upper) + u']';
        else out += c;
    }
    return out;
}

QStringList qtFileFilters(const QString& windowsFilter) {
    QStringList out;
    const QStringList parts = windowsFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (!t.isEmpty()) patterns << caseBlindPattern(t);
        }
        if (patterns.isEmpty()) continue;
        out << (description.isEmpty() ? QString() : description + u' ') + u'(' +
                   patterns.join(u' ') + u')';
    }
    return out;
}

}  // namespace vexil
