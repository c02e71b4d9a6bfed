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

QJsonObject areaToJson(const Area& a) {
    return QJsonObject{
        {QStringLiteral("x0"), a.x0},
        {QStringLiteral("y0"), a.y0},
        {QStringLiteral("x1"), a.x1},
        {QStringLiteral("y1"), a.y1},
        {QStringLiteral("level"), a.level},
        {QStringLiteral("clip_kind"), a.clipKind},
        {QStringLiteral("clip_file"), a.clipFile},
        {QStringLiteral("sound_file"), a.soundFile},
        {QStringLiteral("keys"), a.keys},
        {QStringLiteral("icon_file"), a.iconFile},
        {QStringLiteral("repeat_reading"), a.repeatReading},
        {QStringLiteral("is_group"), a.isGroup},
    };
}

Area areaFromJson(const QJsonObject& o, const QString& where) {
    Area a;
    a.x0 = intField(o, "x0", where);
    a.y0 = intField(o, "y0", where);
    a.x1 = intField(o, "x1", where);
    a.y1 = intField(o, "y1", where);
    a.level = intField(o, "level", where);
    a.clipKind = intField(o, "clip_kind", where);
    a.clipFile = textField(o, "clip_file", where);
    a.soundFile = textField(o, "sound_file", where);
    a.keys = textField(o, "keys", where);
    a.iconFile = textField(o, "icon_file", where);
    a.repeatReading = intField(o, "repeat_reading", where);
    a.isGroup = intField(o, "is_group", where);
    return a;
}

QJsonObject settingsToJson(const TemplateSettings& s) {
    return QJsonObject{
        {QStringLiteral("format_version"), s.formatVersion},
        {QStringLiteral("format_variant"), s.formatVariant},
        {QStringLiteral("picture_file"), s.pictureFile},
        {QStringLiteral("start_program"), s.startProgram},
        {QStringLiteral("template_clip_kind"), s.templateClipKind},
        {QStringLiteral("template_clip_file"), s.templateClipFile},
        {QStringLiteral("start_keys"), s.startKeys},
        {QStringLiteral("doc_file"), s.docFile},
        {QStringLiteral("target_app"), s.targetApp},
        {QStringLiteral("description"), s.description},
        {QStringLiteral("properties_on_new"), s.propertiesOnNew},
        {QStringLiteral("sound_on"), s.soundOn},
        {QStringLiteral("auto_cover"), s.autoCover},
        {QStringLiteral("voice_language"), s.voiceLanguage},
        {QStringLiteral("voice_speaker"), s.voiceSpeaker},
        {QStringLiteral("voice_speed"), s.voiceSpeed},
    };
}

TemplateSettings settingsFromJson(const QJsonObject& o, const QString& where) {
    TemplateSettings s;
    s.formatVersion = intField(o, "format_version", where);
    s.formatVariant = intField(o, "format_variant", where);
    s.pictureFile = textField(o, "picture_file", where);
    s.startProgram = textField(o, "start_program", where);
    s.templateClipKind = intField(o, "template_clip_kind", where);
    s.templateClipFile = textField(o, "template_clip_file", where);
    s.startKeys = textField(o, "start_keys", where);
    s.docFile = textField(o, "doc_file", where);
    s.targetApp = textField(o, "target_app", where);
    s.description = textField(o, "description", where);
    s.propertiesOnNew = intField(o, "properties_on_new", where);
    s.soundOn = intField(o, "sound_on", where);
    s.autoCover = intField(o, "auto_cover", where);
    s.voiceLanguage = intField(o, "voice_language", where);
    s.voiceSpeaker = intField(o, "voice_speaker", where);
    s.voiceSpeed = intField(o, "voice_speed", where);
    return s;
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
