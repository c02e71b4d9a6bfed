#pragma once
// Texts in test failures as readable UTF-8.
#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toUtf8().constData() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toPercentEncoding(" !#$&'()*+,-./:;<=>?@[]^_`{|}~").constData() << '"';
}
