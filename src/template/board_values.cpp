#include "template/board_values.h"

#include <cmath>

#include "i18n/runtime_error.h"

namespace vexil {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool isLineEnd(char16_t c) {
    return c == u'\r' || c == u'\n';
}

}  // namespace

void BoardValueReader::skipToDelimiter() {
    // The rest of the line after a closing quote is dropped, up to a comma or the line end;
    // the delimiter itself is consumed (CR LF, LF or CR alone).
    const qsizetype n = text_.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text_.constData());
    while (pos_ < n && s[pos_] != u',' && !isLineEnd(s[pos_])) ++pos_;
    if (pos_ >= n) return;
    if (s[pos_] == u',') {
        ++pos_;
    } else if (s[pos_] == u'\r') {
        ++pos_;
        if (pos_ < n && s[pos_] == u'\n') ++pos_;
    } else {
        ++pos_;
    }
}

void BoardValueReader::skipToLineEnd() {
    const qsizetype n = text_.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text_.constData());
    while (pos_ < n && !isLineEnd(s[pos_])) ++pos_;
    if (pos_ >= n) return;
    if (s[pos_++] == u'\r' && pos_ < n && s[pos_] == u'\n') ++pos_;
}

void BoardValueReader::nextValue(qsizetype& begin, qsizetype& end, bool& quoted) {
    const qsizetype n = text_.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text_.constData());
    if (pos_ >= n) throw RuntimeError(errnum::InputPastEnd);
    while (pos_ < n && isBlank(s[pos_])) ++pos_;
    if (pos_ < n && s[pos_] == u'"') {
        // A quoted text runs to the next double quote, across line ends if need be.
        quoted = true;
        begin = ++pos_;
        while (pos_ < n && s[pos_] != u'"') ++pos_;
        end = pos_;
        if (pos_ < n) ++pos_;
        skipToDelimiter();
        return;
    }
    quoted = false;
    begin = pos_;
    while (pos_ < n && s[pos_] != u',' && !isLineEnd(s[pos_])) ++pos_;
    end = pos_;
    while (end > begin && isBlank(s[end - 1])) --end;
    skipToDelimiter();
}

QString BoardValueReader::readText(bool* wasQuoted) {
    qsizetype begin = 0, end = 0;
    bool quoted = false;
    nextValue(begin, end, quoted);
    if (wasQuoted) *wasQuoted = quoted;
    return text_.mid(begin, end - begin);
}

QString BoardValueReader::readLine(bool* wasQuoted) {
    const qsizetype n = text_.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text_.constData());
    if (pos_ >= n) throw RuntimeError(errnum::InputPastEnd);
    while (pos_ < n && isBlank(s[pos_])) ++pos_;
    const bool quoted = pos_ < n && s[pos_] == u'"';
    if (wasQuoted) *wasQuoted = quoted;
    qsizetype begin = pos_, end = pos_;
    if (quoted) {
        // Across line ends if need be, as any quoted text.
        begin = ++pos_;
        while (pos_ < n && s[pos_] != u'"') ++pos_;
        end = pos_;
        if (pos_ < n) ++pos_;
    } else {
        while (pos_ < n && !isLineEnd(s[pos_])) ++pos_;
        end = pos_;
        while (end > begin && isBlank(s[end - 1])) --end;
    }
    skipToLineEnd();
    return text_.mid(begin, end - begin);
}

std::int16_t BoardValueReader::readInt() {
    qsizetype begin = 0, end = 0;
    bool quoted = false;
    nextValue(begin, end, quoted);
    return parseBoardInt(QStringView(text_).mid(begin, end - begin));
}

std::int16_t parseBoardInt(QStringView value) {
    value = value.trimmed();
    if (value.isEmpty()) return 0;
    qsizetype i = 0;
    bool negative = false;
    if (value[i] == u'-' || value[i] == u'+') {
        negative = value[i] == u'-';
        ++i;
    }
    // Digits, an optional fraction: a number is rounded to the nearest integer, halves to
    // even. Long digit runs saturate, so a line of a million digits is an overflow, not a
    // wrapped number.
    double whole = 0;
    bool anyDigit = false;
    while (i < value.size() && value[i].isDigit() && value[i].unicode() < 128) {
        whole = std::min(whole * 10 + (value[i].unicode() - u'0'), 1e9);
        anyDigit = true;
        ++i;
    }
    double fraction = 0;
    if (i < value.size() && value[i] == u'.') {
        ++i;
        double scale = 0.1;
        while (i < value.size() && value[i].isDigit() && value[i].unicode() < 128) {
            fraction += (value[i].unicode() - u'0') * scale;
            scale /= 10;
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit || i != value.size()) throw RuntimeError(errnum::TypeMismatch);
    double number = std::nearbyint(whole + fraction);  // default rounding: halves to even
    if (negative) number = -number;
    if (number < -32768 || number > 32767) throw RuntimeError(errnum::Overflow);
    return std::int16_t(number);
}

void appendBoardInt(QString& out, int value) {
    if (value >= 0) out += u' ';
    out += QString::number(value);
}

void appendQuoted(QString& out, const QString& text) {
    out += u'"';
    const qsizetype start = out.size();
    out += text;
    for (qsizetype i = start; i < out.size(); ++i)
        if (out.at(i) == u'"') out[i] = QChar(kStoredQuote);
    out += u'"';
}

QString unquoteStored(QString text) {
    if (text.contains(QChar(kStoredQuote))) text.replace(QChar(kStoredQuote), QChar(u'"'));
    return text;
}

}  // namespace vexil
