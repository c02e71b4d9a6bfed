#include "obf/obf_format.h"

#include <QFile>
#include <QJsonValue>
#include <sys/stat.h>
#include <algorithm>
#include <cmath>
#include <limits>

#include "obf/obf_error.h"

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
