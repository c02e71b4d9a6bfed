// Any text as keystroke notation: the parser must end, keep its limits, report a failure
// with a position inside the text and no strokes, and text escaped by escapeKeystrokes must
// always type itself back.
#include <QList>
#include <cstdint>
#include <cstdlib>

#include "commands/keystroke_parser.h"
#include "commands/player.h"
#include "platform/codepage.h"

using namespace vexil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QString text = decodeAnsi(std::string_view(reinterpret_cast<const char*>(data), size));
    const KeyParseResult r = parseKeystrokes(text);
    if (r.sequence.strokes.size() > size_t(kMaxStrokes)) std::abort();
    if (r.error == KeyParseError::None) {
        if (r.errorPosition != -1) std::abort();
    } else {
        if (!r.sequence.strokes.empty()) std::abort();
        if (r.errorPosition < 0 || r.errorPosition > text.size()) std::abort();
        if (keyParseErrorText(r.error).isEmpty()) std::abort();
    }

    // Escaped text types its characters one by one, without modifiers (line breaks and
    // tabs become their keys).
    QString plain = text;
    plain.remove(u'\r').remove(u'\n').remove(u'\t');
    if (plain.size() <= kMaxStrokes) {
        const KeyParseResult e = parseKeystrokes(escapeKeystrokes(plain));
        if (e.error != KeyParseError::None) std::abort();
        if (e.sequence.strokes.size() != size_t(plain.toUcs4().size())) std::abort();
        for (const KeyStroke& k : e.sequence.strokes)
            if (k.modifiers != 0 || k.key != NamedKey::None) std::abort();
    }
    if (keysDisplayText(text).size() > text.size()) std::abort();
    return 0;
}
