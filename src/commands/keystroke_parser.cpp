#include "commands/keystroke_parser.h"

#include <QList>
#include <array>
#include <utility>
#include <vector>

namespace vexil {

namespace {

struct NameEntry {
    const char* name;
    NamedKey key;
};

// The Windows key names, the ones the editor's auxiliary keyboard inserts ({BK},
// {SCROLLOCK}) and a few common variants.
constexpr NameEntry kNames[] = {
    {"BACKSPACE", NamedKey::Backspace}, {"BS", NamedKey::Backspace},
    {"BKSP", NamedKey::Backspace},      {"BK", NamedKey::Backspace},
    {"BREAK", NamedKey::Break},         {"PAUSE", NamedKey::Break},
    {"CAPSLOCK", NamedKey::CapsLock},   {"DELETE", NamedKey::Delete},
    {"DEL", NamedKey::Delete},          {"DOWN", NamedKey::Down},
    {"END", NamedKey::End},             {"ENTER", NamedKey::Enter},
    {"RETURN", NamedKey::Enter},        {"ESC", NamedKey::Escape},
    {"ESCAPE", NamedKey::Escape},       {"HELP", NamedKey::Help},
    {"HOME", NamedKey::Home},           {"INSERT", NamedKey::Insert},
    {"INS", NamedKey::Insert},          {"LEFT", NamedKey::Left},
    {"NUMLOCK", NamedKey::NumLock},     {"PGDN", NamedKey::PageDown},
    {"PAGEDOWN", NamedKey::PageDown},   {"PGUP", NamedKey::PageUp},
    {"PAGEUP", NamedKey::PageUp},       {"PRTSC", NamedKey::PrintScreen},
    {"PRINTSCREEN", NamedKey::PrintScreen}, {"RIGHT", NamedKey::Right},
    {"SCROLLLOCK", NamedKey::ScrollLock},   {"SCROLLOCK", NamedKey::ScrollLock},
    {"TAB", NamedKey::Tab},             {"UP", NamedKey::Up},
    {"ADD", NamedKey::Add},             {"SUBTRACT", NamedKey::Subtract},
    {"MULTIPLY", NamedKey::Multiply},   {"DIVIDE", NamedKey::Divide},
};

class Parser {
public:
    explicit Parser(const QString& text) : s_(text) { r_.sequence.notation = text; }

    KeyParseResult run() {
        const int n = int(s_.size());
        while (i_ < n && r_.error == KeyParseError::None) step(n);
        if (r_.error == KeyParseError::None) {
            if (pending_) fail(KeyParseError::ModifierWithoutKey, pendingPos_);
            else if (!groups_.empty()) fail(KeyParseError::UnbalancedParenthesis, groupPos_.back());
        }
        if (r_.error != KeyParseError::None) r_.sequence.strokes.clear();
        return std::move(r_);
    }

private:
    void step(int n) {
        const QChar c = s_[i_];
        switch (c.unicode()) {
            case '+': hold(ModShift); return;
            case '^': hold(ModControl); return;
            case '%': hold(ModAlt); return;
            case '(':
                if (int(groups_.size()) >= kMaxGroupDepth) return fail(KeyParseError::TooDeep, i_);
                groups_.push_back(mods());
                groupPos_.push_back(i_);
                pending_ = 0;
                ++i_;
                return;
            case ')':
                if (pending_) return fail(KeyParseError::ModifierWithoutKey, pendingPos_);
                if (groups_.empty()) return fail(KeyParseError::UnbalancedParenthesis, i_);
                groups_.pop_back();
                groupPos_.pop_back();
                ++i_;
                return;
            case '~': ++i_; return addStroke(NamedKey::Enter, 0, 1);
            case '{': return braced(n);
            case '}': return fail(KeyParseError::StrayClosingBrace, i_);
            case '\r':
                // A line break typed from a text: CR LF is one Enter.
                ++i_;
                if (i_ < n && s_[i_] == u'\n') ++i_;
                return addStroke(NamedKey::Enter, 0, 1);
            case '\n': ++i_; return addStroke(NamedKey::Enter, 0, 1);
            case '\t': ++i_; return addStroke(NamedKey::Tab, 0, 1);
            default: break;
        }
        const char32_t ch = codePointAt(i_);
        i_ += ch > 0xFFFF ? 2 : 1;
        addStroke(NamedKey::None, ch, 1);
    }

    void braced(int n) {
        const int open = i_;
        // "{}}" is the closing brace itself: when the closer follows the opener, it is the
        // name and the braces' own closer is searched after it.
        const bool closerFirst = open + 1 < n && s_[open + 1] == u'}';
        const int end = s_.indexOf(u'}', open + (closerFirst ? 2 : 1));
        if (end < 0)
            return fail(closerFirst ? KeyParseError::EmptyBraces : KeyParseError::UnclosedBrace, open);
        const QString body = s_.mid(open + 1, end - open - 1);
        if (body.isEmpty()) return fail(KeyParseError::EmptyBraces, open);
        i_ = end + 1;

        // The repeat count follows the name after a blank. The name is never empty: its
        // first character is taken whatever it is, so a blank names the blank key ("{ }",
        // and "{  3}" types three), while "{ 3}" names " 3", which is no key.
        QString name = body;
        int count = 1;
        const int blank = body.indexOf(u' ', 1);
        if (blank > 0) {
            name = body.left(blank);
            const QString digits = body.mid(blank + 1);
            if (digits.isEmpty() || digits.size() > 9) return fail(KeyParseError::BadRepeatCount, open);
            for (QChar d : digits)
                if (d < u'0' || d > u'9') return fail(KeyParseError::BadRepeatCount, open);
            count = digits.toInt();
            if (count > kMaxRepeat) return fail(KeyParseError::BadRepeatCount, open);
        }
        const bool oneChar = name.size() == 1 || (name.size() == 2 && name[0].isHighSurrogate() &&
                                                  name[1].isLowSurrogate());
        if (oneChar) return addStroke(NamedKey::None, name.toUcs4().value(0), count);
        const auto key = namedKeyFromName(name);
        if (!key) return fail(KeyParseError::UnknownKeyName, open);
        addStroke(*key, 0, count);
    }

    char32_t codePointAt(int i) const {
        const QChar c = s_[i];
        if (c.isHighSurrogate() && i + 1 < int(s_.size()) && s_[i + 1].isLowSurrogate())
            return QChar::surrogateToUcs4(c, s_[i + 1]);
        return c.unicode();
    }

    void hold(std::uint8_t modifier) {
        if (!pending_) pendingPos_ = i_;
        pending_ |= modifier;
        ++i_;
    }

    std::uint8_t mods() const { return std::uint8_t((groups_.empty() ? 0 : groups_.back()) | pending_); }

    void addStroke(NamedKey key, char32_t ch, int count) {
        if (int(r_.sequence.strokes.size()) + count > kMaxStrokes)
            return fail(KeyParseError::TooManyStrokes, i_);
        const KeyStroke stroke{mods(), key, ch};
        for (int k = 0; k < count; ++k) r_.sequence.strokes.push_back(stroke);
        pending_ = 0;
    }

    void fail(KeyParseError e, int position) {
        if (r_.error != KeyParseError::None) return;
        r_.error = e;
        r_.errorPosition = position;
    }

    const QString& s_;
    int i_ = 0;
    KeyParseResult r_;
    std::vector<std::uint8_t> groups_;  // modifiers held by each open group, outer included
    std::vector<int> groupPos_;
    std::uint8_t pending_ = 0;
    int pendingPos_ = -1;
};

}  // namespace

KeyParseResult parseKeystrokes(const QString& notation) { return Parser(notation).run(); }

std::optional<NamedKey> namedKeyFromName(const QString& name) {
    const QString upper = name.toUpper();
    for (const auto& e : kNames)
        if (upper == QLatin1String(e.name)) return e.key;
    // F1 .. F16
    if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == u'F') {
        bool ok = false;
        const int n = upper.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 16 && upper[1] != u'0')
            return NamedKey(int(NamedKey::F1) + n - 1);
    }
    return std::nullopt;
}

QString keyParseErrorText(KeyParseError error) {
    switch (error) {
        case KeyParseError::None: return {};
        case KeyParseError::UnknownKeyName: return QStringLiteral("Nombre de tecla desconocido");
        case KeyParseError::UnclosedBrace: return QStringLiteral("Falta la llave de cierre");
        case KeyParseError::UnbalancedParenthesis: return QStringLiteral("Paréntesis sin pareja");
        case KeyParseError::BadRepeatCount: return QStringLiteral("Número de repeticiones no válido");
        case KeyParseError::ModifierWithoutKey: return QStringLiteral("Modificador sin tecla");
        case KeyParseError::EmptyBraces: return QStringLiteral("Llaves vacías");
        case KeyParseError::TooManyStrokes: return QStringLiteral("Demasiadas pulsaciones");
        case KeyParseError::TooDeep: return QStringLiteral("Demasiados paréntesis anidados");
        case KeyParseError::StrayClosingBrace: return QStringLiteral("Llave de cierre sin pareja");
    }
    return {};
}

QString escapeKeystrokes(const QString& text) {
    static const QString special = QStringLiteral("+^%~(){}[]");
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (special.contains(c)) {
            out += u'{';
            out += c;
            out += u'}';
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace vexil
