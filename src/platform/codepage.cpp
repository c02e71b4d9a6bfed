#include "platform/codepage.h"

#include <iconv.h>

#include <array>
#include <unordered_map>

namespace vexil {
namespace {

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char16_t, char> fromUnicode;
};

// The tables are made once by asking the system's converter about each byte.
const Tables& tables() {
    static const Tables t = [] {
        Tables made;
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1252");
        for (int b = 0; b < 256; ++b) {
            char16_t out = char16_t(b);  // undefined bytes keep their own number
            if (cd != iconv_t(-1)) {
                char in = char(b);
                char* inPtr = &in;
                size_t inLeft = 1;
                char16_t buf[2] = {0, 0};
                char* outPtr = reinterpret_cast<char*>(buf);
                size_t outLeft = sizeof buf;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0)
                    out = buf[0];
            }
            made.toUnicode[size_t(b)] = out;
        }
        if (cd != iconv_t(-1)) iconv_close(cd);
        for (int b = 255; b >= 0; --b) made.fromUnicode[made.toUnicode[size_t(b)]] = char(b);
        return made;
    }();
    return t;
}

}  // namespace

QString decodeAnsi(std::string_view bytes) {
    const auto& map = tables().toUnicode;
    QString out(qsizetype(bytes.size()), Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (unsigned char c : bytes) *dst++ = c < 0x80 ? char16_t(c) : map[c];
    return out;
}

QByteArray encodeAnsi(const QString& text) {
    const auto& map = tables().fromUnicode;
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        // A character beyond the basic plane is one "?", not one per half.
        if (qc.isLowSurrogate()) continue;
        if (c < 0x80) {
            *dst++ = char(c);
            continue;
        }
        auto it = map.find(c);
        *dst++ = it == map.end() ? '?' : it->second;
    }
    out.truncate(dst - out.data());
    return out;
}

bool fitsAnsi(const QString& text) {
    const auto& map = tables().fromUnicode;
    for (QChar qc : text)
        if (qc.unicode() >= 0x80 && !map.count(qc.unicode())) return false;
    return true;
}

}  // namespace vexil
