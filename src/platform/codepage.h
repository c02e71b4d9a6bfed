#pragma once
// Text in every file the program reads or writes is in the Windows-1252 code page.
#include <QByteArray>
#include <QString>
#include <string_view>

namespace vexil {

// Every byte maps to one character. The five bytes the code page leaves undefined map to
// the control characters of the same number, as Windows does, so that reading and writing
// a file again gives back the same bytes.
QString decodeAnsi(std::string_view bytes);
inline QString decodeAnsi(const QByteArray& bytes) {
    return decodeAnsi(std::string_view(bytes.constData(), size_t(bytes.size())));
}

// Characters the code page cannot hold become "?", as the Windows conversion does.
QByteArray encodeAnsi(const QString& text);

// True when every character of `text` has a byte in the code page.
bool fitsAnsi(const QString& text);

}  // namespace vexil
