#include "obf/obf_format.h"

#include <QFile>
#include <QHash>
#include <QJsonValue>
#include <sys/stat.h>
#include <algorithm>
#include <cmath>
#include <limits>

#include "obf/obf_error.h"
#include "platform/picture_files.h"

namespace vexil::obf {
namespace {

std::int16_t intField(const QJsonObject& o, const char* key, const QString& where) {
    const QJsonValue v = o.value(QLatin1String(key));
    const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
    if (!v.isDouble() || std::isnan(d) || d != std::floor(d) || d < -32768 || d > 32767)
        throw ObfError(QStringLiteral("%1: \"%2\" is not a whole number of 16 bits")
                           .arg(where, QLatin1String(key)));
    return std::int16_t(d);
}

QString textField(const QJsonObject& o, const char* key, const QString& where) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString())
        throw ObfError(QStringLiteral("%1: \"%2\" is not a text").arg(where, QLatin1String(key)));
    return v.toString();
}

}  // namespace

namespace {

// One field of a record and its name in the package: a whole number of 16 bits or a text.
template <class T>
struct Field {
    const char* key;
    std::int16_t T::*number = nullptr;
    QString T::*text = nullptr;
};

template <class T>
constexpr Field<T> number(const char* key, std::int16_t T::*member) {
    return {key, member, nullptr};
}
template <class T>
constexpr Field<T> text(const char* key, QString T::*member) {
    return {key, nullptr, member};
}

// The fields of an area, and of the board's settings, in both directions.
constexpr Field<Area> kAreaFields[] = {
    number("x0", &Area::x0),
    number("y0", &Area::y0),
    number("x1", &Area::x1),
    number("y1", &Area::y1),
    number("level", &Area::level),
    number("clip_kind", &Area::clipKind),
    text("clip_file", &Area::clipFile),
    text("sound_file", &Area::soundFile),
    text("keys", &Area::keys),
    text("icon_file", &Area::iconFile),
    number("repeat_reading", &Area::repeatReading),
    number("is_group", &Area::isGroup),
};

constexpr Field<TemplateSettings> kSettingsFields[] = {
    number("format_version", &TemplateSettings::formatVersion),
    number("format_variant", &TemplateSettings::formatVariant),
    text("picture_file", &TemplateSettings::pictureFile),
    text("start_program", &TemplateSettings::startProgram),
    number("template_clip_kind", &TemplateSettings::templateClipKind),
    text("template_clip_file", &TemplateSettings::templateClipFile),
    text("start_keys", &TemplateSettings::startKeys),
    text("doc_file", &TemplateSettings::docFile),
    text("target_app", &TemplateSettings::targetApp),
    text("description", &TemplateSettings::description),
    number("properties_on_new", &TemplateSettings::propertiesOnNew),
    number("sound_on", &TemplateSettings::soundOn),
    number("auto_cover", &TemplateSettings::autoCover),
    number("voice_language", &TemplateSettings::voiceLanguage),
    number("voice_speaker", &TemplateSettings::voiceSpeaker),
    number("voice_speed", &TemplateSettings::voiceSpeed),
};

template <class T, std::size_t N>
QJsonObject toJson(const T& record, const Field<T> (&fields)[N]) {
    QJsonObject o;
    for (const Field<T>& f : fields) {
        const QString key = QLatin1String(f.key);
        if (f.number) o.insert(key, record.*f.number);
        else o.insert(key, record.*f.text);
    }
    return o;
}

template <class T, std::size_t N>
T fromJson(const QJsonObject& o, const QString& where, const Field<T> (&fields)[N]) {
    T record;
    for (const Field<T>& f : fields) {
        if (f.number) record.*f.number = intField(o, f.key, where);
        else record.*f.text = textField(o, f.key, where);
    }
    return record;
}

}  // namespace

QJsonObject areaToJson(const Area& a) {
    return toJson(a, kAreaFields);
}

Area areaFromJson(const QJsonObject& o, const QString& where) {
    return fromJson(o, where, kAreaFields);
}

QJsonObject settingsToJson(const TemplateSettings& s) {
    return toJson(s, kSettingsFields);
}

TemplateSettings settingsFromJson(const QJsonObject& o, const QString& where) {
    return fromJson(o, where, kSettingsFields);
}

std::vector<EmbeddedCommand> embeddedCommands(const QString& keys) {
    std::vector<EmbeddedCommand> out;
    qsizetype at = 0;
    while ((at = keys.indexOf(QLatin1String("{|"), at)) >= 0) {
        // The command runs to its matching closing brace (arguments may hold references).
        int depth = 0;
        qsizetype end = -1;
        for (qsizetype i = at; i < keys.size(); ++i) {
            if (keys[i] == u'{') ++depth;
            else if (keys[i] == u'}' && --depth == 0) {
                end = i;
                break;
            }
        }
        if (end < 0) break;
        const QString body = keys.mid(at + 2, end - at - 2).trimmed();
        const qsizetype space = body.indexOf(u' ');
        EmbeddedCommand c;
        c.keyword = (space < 0 ? body : body.left(space)).toUpper();
        c.argument = space < 0 ? QString() : body.mid(space + 1).trimmed();
        out.push_back(c);
        at = end + 1;
    }
    return out;
}

namespace {

QString keyName(const QString& braced) {
    static const QHash<QString, QString> names{
        {QStringLiteral("BACKSPACE"), QStringLiteral("Backspace")}, {QStringLiteral("BS"), QStringLiteral("Backspace")},
        {QStringLiteral("BKSP"), QStringLiteral("Backspace")},      {QStringLiteral("BK"), QStringLiteral("Backspace")},
        {QStringLiteral("ENTER"), QStringLiteral("Enter")},         {QStringLiteral("RETURN"), QStringLiteral("Enter")},
        {QStringLiteral("ESC"), QStringLiteral("Esc")},             {QStringLiteral("ESCAPE"), QStringLiteral("Esc")},
        {QStringLiteral("DEL"), QStringLiteral("Delete")},          {QStringLiteral("DELETE"), QStringLiteral("Delete")},
        {QStringLiteral("INS"), QStringLiteral("Insert")},          {QStringLiteral("PGUP"), QStringLiteral("Page Up")},
        {QStringLiteral("PAGEUP"), QStringLiteral("Page Up")},      {QStringLiteral("PGDN"), QStringLiteral("Page Down")},
        {QStringLiteral("PAGEDOWN"), QStringLiteral("Page Down")},  {QStringLiteral("CAPSLOCK"), QStringLiteral("Caps Lock")},
    };
    const QString upper = braced.toUpper();
    if (names.contains(upper)) return names.value(upper);
    return upper.left(1) + upper.mid(1).toLower();
}

}  // namespace

QString areaLabel(const Area& a) {
    const QString icon = a.iconFile.trimmed();
    if (!icon.isEmpty() && !isPictureName(icon)) return icon;
    const QString& s = a.keys;
    QString text;
    QStringList names;
    QString held;  // the modifiers before the next key: "Alt+", "Ctrl+"
    bool shift = false;
    auto key = [&](const QString& typed, const QString& name) {
        if (!typed.isEmpty() && held.isEmpty()) {
            text += shift ? typed.toUpper() : typed;
            if (typed.trimmed().isEmpty()) names << QStringLiteral("Space");
        } else {
            names << held + (shift && !held.isEmpty() ? QStringLiteral("Shift+") : QString()) +
                         (typed.isEmpty() ? name : typed.toUpper());
        }
        held.clear();
        shift = false;
    };
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s[i];
        if (c == u'{' && i + 1 < s.size() && s[i + 1] == u'|') {
            int depth = 0;  // an embedded command, to its matching brace
            qsizetype j = i;
            for (; j < s.size(); ++j) {
                if (s[j] == u'{') ++depth;
                else if (s[j] == u'}' && --depth == 0) break;
            }
            i = j + 1;
        } else if (c == u'{') {
            // "{x}" is x; "{}}" is "}"; "{NAME n}" a named key.
            qsizetype close = s.indexOf(u'}', i + 2);
            if (close < 0) break;
            QString body = s.mid(i + 1, close - i - 1);
            const qsizetype blank = body.indexOf(u' ');
            if (blank > 0) body = body.left(blank);
            if (body.size() == 1) key(body, {});
            else key({}, keyName(body));
            i = close + 1;
        } else if (c == u'~') {
            key({}, QStringLiteral("Enter"));
            ++i;
        } else if (c == u'+') {
            shift = true;
            ++i;
        } else if (c == u'^' || c == u'%') {
            held += c == u'^' ? QStringLiteral("Ctrl+") : QStringLiteral("Alt+");
            ++i;
        } else if (c == u'(' || c == u')') {
            ++i;
        } else {
            key(QString(c), {});
            ++i;
        }
    }
    if (!text.trimmed().isEmpty()) return text.trimmed();
    return names.join(u' ');
}

QString areaVocalization(const Area& a) {
    QStringList spoken;
    for (const EmbeddedCommand& c : embeddedCommands(a.keys))
        if (c.keyword == u"LLEGIR" || c.keyword == u"LEER") spoken << c.argument;
    return spoken.join(u' ');
}

QString withVocalization(const QString& keys, const QString& text) {
    QString out;
    for (qsizetype i = 0; i < keys.size();) {
        if (keys.mid(i, 2) == u"{|") {
            int depth = 0;
            qsizetype j = i;
            for (; j < keys.size(); ++j) {
                if (keys[j] == u'{') ++depth;
                else if (keys[j] == u'}' && --depth == 0) break;
            }
            const QString body = keys.mid(i + 2, j - i - 2).trimmed();
            const QString word = body.section(u' ', 0, 0).toUpper();
            if (word != u"LLEGIR" && word != u"LEER") out += keys.mid(i, j - i + 1);
            i = j + 1;
        } else {
            out += keys[i++];
        }
    }
    if (text.trimmed().isEmpty()) return out;
    QString said = text.simplified();
    said.replace(u'{', u'(').replace(u'}', u')');
    return QStringLiteral("{|Llegir %1}").arg(said) + out;
}

Fractions areaFractions(const Area& a, const Area* frame) {
    int fx = 0, fy = 0, fw = kBoardWidth, fh = kBoardHeight;
    if (frame && std::abs(frame->x1 - frame->x0) > 0 && std::abs(frame->y1 - frame->y0) > 0) {
        fx = std::min(frame->x0, frame->x1);
        fy = std::min(frame->y0, frame->y1);
        fw = std::abs(frame->x1 - frame->x0);
        fh = std::abs(frame->y1 - frame->y0);
    }
    auto fraction = [](int v, int origin, int size) {
        const double f = double(v - origin) / size;
        return std::round(std::clamp(f, 0.0, 1.0) * 1e6) / 1e6;
    };
    const int x0 = std::min(a.x0, a.x1), x1 = std::max(a.x0, a.x1);
    const int y0 = std::min(a.y0, a.y1), y1 = std::max(a.y0, a.y1);
    Fractions f;
    f.left = fraction(x0, fx, fw);
    f.top = fraction(y0, fy, fh);
    f.width = fraction(x1, fx, fw) - f.left;
    f.height = fraction(y1, fy, fh) - f.top;
    return f;
}

std::vector<std::vector<int>> readingRows(const Template& tmpl, const std::vector<int>& numbers) {
    struct Box {
        int n, top, bottom, left;
    };
    std::vector<Box> boxes;
    for (int n : numbers) {
        const Area& a = tmpl.area(n);
        boxes.push_back({n, std::min(a.y0, a.y1), std::max(a.y0, a.y1), std::min(a.x0, a.x1)});
    }
    std::stable_sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    std::vector<std::vector<Box>> rows;
    for (const Box& b : boxes) {
        bool placed = false;
        if (!rows.empty()) {
            // The row's band: the extent of its first area.
            const Box& first = rows.back().front();
            const int overlap = std::min(first.bottom, b.bottom) - std::max(first.top, b.top);
            const int smaller = std::min(first.bottom - first.top, b.bottom - b.top);
            if (overlap > 0 && overlap * 2 >= smaller) {
                rows.back().push_back(b);
                placed = true;
            }
        }
        if (!placed) rows.push_back({b});
    }
    std::vector<std::vector<int>> out;
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(),
                         [](const Box& a, const Box& b) { return a.left < b.left; });
        std::vector<int> r;
        for (const Box& b : row) r.push_back(b.n);
        out.push_back(r);
    }
    return out;
}

bool isSafeRelativePath(const QString& path) {
    if (path.isEmpty() || path.size() > 1024 || path.startsWith(u'/')) return false;
    for (QChar c : path)
        if (c == u'\\' || c == u':' || c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    for (const QString& part : path.split(u'/'))
        if (part.isEmpty() || part == u"." || part == u"..") return false;
    return true;
}

void giveUsualPermissions(const QString& path, bool folder) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = (folder ? 0777 : 0666) & ~mask;
    ::chmod(QFile::encodeName(path).constData(), mode);
}

QByteArray decodeDataUri(const QString& uri, QString* mediaType) {
    if (!uri.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return {};
    const qsizetype comma = uri.indexOf(u',');
    if (comma < 0) return {};
    const QString head = uri.mid(5, comma - 5);
    if (!head.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)) return {};
    if (mediaType) *mediaType = head.left(head.size() - 7);
    const auto decoded = QByteArray::fromBase64Encoding(uri.mid(comma + 1).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

QString dataUri(const QString& mediaType, const QByteArray& bytes) {
    return QStringLiteral("data:") + mediaType + QStringLiteral(";base64,") +
           QString::fromLatin1(bytes.toBase64());
}

}  // namespace vexil::obf
