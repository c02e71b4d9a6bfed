#pragma once
// The value syntax of board files: one value per line, read with the comma-and-line rules
// (a line holding a comma holds two values), written with a blank before non-negative
// numbers and texts in double quotes whose own double quotes are stored as "¶".
#include <QString>
#include <cstdint>

namespace vexil {

inline constexpr char16_t kStoredQuote = u'\u00B6';  // "¶", code 182 of the code page

// Reads values one after another from decoded text. Every read that fails throws
// RuntimeError and leaves the caller's target alone; the position still moves past the bad
// value, so the next read goes on with the next one.
class BoardValueReader {
public:
    explicit BoardValueReader(const QString& text) : text_(text) {}

    // The next value as text: quotes removed, plain values trimmed. Throws InputPastEnd
    // when nothing is left.
    QString readText(bool* wasQuoted = nullptr);
    // The next value when it fills its whole line: a plain value runs to the line end,
    // commas included (blanks around it removed); a quoted one runs to its closing quote,
    // and the rest of that line is dropped. Throws InputPastEnd when nothing is left.
    QString readLine(bool* wasQuoted = nullptr);
    // The next value as a 16-bit integer: TypeMismatch when it is no number, Overflow when
    // it does not fit. An empty value is 0.
    std::int16_t readInt();

    bool atEnd() const { return pos_ >= text_.size(); }
    qsizetype position() const { return pos_; }
    qsizetype size() const { return text_.size(); }

private:
    // Finds the next value; `quoted` tells whether it was in quotes.
    void nextValue(qsizetype& begin, qsizetype& end, bool& quoted);
    void skipToDelimiter();
    void skipToLineEnd();

    const QString& text_;
    qsizetype pos_ = 0;
};

// Parses a number the way values are read into integers. Throws like readInt.
std::int16_t parseBoardInt(QStringView value);

// " 5", "0" -> " 0", "-3": the written form of an integer.
void appendBoardInt(QString& out, int value);
// The text in double quotes, each double quote inside stored as "¶".
void appendQuoted(QString& out, const QString& text);
// Turns every stored "¶" back into a double quote.
QString unquoteStored(QString text);

}  // namespace vexil
