#include "settings/number_text.h"

#include <QLocale>
#include <cmath>

namespace vexil {
namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::optional<double> leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
        ++i;
    QString number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) number += text[i++];
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) number += text[i++], ++digits;
    if (i < n && text[i] == u'.') {
        number += text[i++];
        while (i < n && isDigit(text[i])) number += text[i++], ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("E");
        if (j < n && (text[j] == u'+' || text[j] == u'-')) exponent += text[j++];
        const qsizetype firstDigit = j;
        while (j < n && isDigit(text[j])) exponent += text[j++];
        if (j > firstDigit) number += exponent;
    }
    if (number.endsWith(u'.')) number += u'0';
    if (number.startsWith(u'.') || number.startsWith(u"-.") || number.startsWith(u"+."))
        number.insert(number.indexOf(u'.'), u'0');
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;  // beyond the double range
    return value;
}

std::optional<std::int16_t> roundToInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);  // the default rounding: halves to even
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return std::int16_t(r);
}

QString numberText(double value) {
    QString text;
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        text = QString::number(static_cast<long long>(value));
    } else {
        // Fifteen significant digits, as the program has always written; all seventeen when
        // fifteen would read back as another number (a hand-edited colour of 20 digits).
        text = QString::number(value, 'G', 15);
        if (text.toDouble() != value) text = QString::number(value, 'G', 17);
        // ".5" rather than "0.5", as the program has always written fractions.
        if (text.startsWith(u"0.")) text.remove(0, 1);
        if (text.startsWith(u"-0.")) text.remove(1, 1);
    }
    return value < 0 ? text : u' ' + text;
}

}  // namespace vexil
