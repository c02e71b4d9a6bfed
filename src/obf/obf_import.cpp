#include "obf/obf_import.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

#include "commands/keystroke_parser.h"
#include "commands/player.h"
#include "commands/trust_gate.h"
#include "editor/cover_composer.h"
#include "editor/editor_context.h"
#include "files/template_reader.h"
#include "obf/obf_error.h"
#include "obf/obf_format.h"
#include "platform/codepage.h"
#include "platform/fake/fake_platform.h"
#include "platform/picture_files.h"
#include "session/session.h"
#include "template/template_writer.h"

namespace vexil::obf {
namespace {

constexpr qint64 kMaxSingleBoard = qint64(64) * 1024 * 1024;
constexpr int kMaxBoards = 2000;
constexpr int kMaxGridSide = 200;
constexpr int kIconSide = 256;  // imported pictures are kept at most this large
constexpr int kCoverSide = 4096;  // and covers
// A picture is decoded whole at most this large (4 bytes a pixel), then scaled to what the
// board needs: an 8000 x 6000 photo loads, a picture that claims a billion pixels does not.
constexpr qint64 kMaxPicturePixels = qint64(64) * 1000 * 1000;

// A picture's bytes as an image at most `maxSide` pixels on its longer side (0: as it is);
// a null image, with the reason in `why`, when it does not decode. SVG pictures are drawn
// at that size.
QImage decodePicture(QByteArray bytes, int maxSide, QString* why) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid()) {
        if (qint64(size.width()) * size.height() > kMaxPicturePixels) {
            *why = QStringLiteral("%1 x %2 pixels, more than %3 million")
                       .arg(size.width())
                       .arg(size.height())
                       .arg(kMaxPicturePixels / 1000000);
            return {};
        }
        if (maxSide > 0 && (size.width() > maxSide || size.height() > maxSide))
            reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    }
    // Readers that cannot scale while decoding hold the whole picture first: Qt's own limit
    // (128 MB) is raised to the bound above for this one read.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(std::max(limit, int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1));
    QImage image = reader.read();
    QImageReader::setAllocationLimit(limit);
    if (image.isNull()) *why = reader.errorString();
    else if (maxSide > 0 && (image.width() > maxSide || image.height() > maxSide))
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

// The picture on white (transparent parts of a symbol lie on white, as on a printed board),
// in the format a file name's extension asks for when Qt writes it, else as PNG (pictures
// are read by their content, whatever their name).
QByteArray pictureFileBytes(const QImage& picture, const QString& name, const QColor& ground = Qt::white) {
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(ground);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }
    const QString upper = name.toUpper();
    const char* format = "PNG";
    if (upper.endsWith(QLatin1String(".BMP")) || upper.endsWith(QLatin1String(".DIB"))) format = "BMP";
    else if (upper.endsWith(QLatin1String(".JPG")) || upper.endsWith(QLatin1String(".JPEG"))) format = "JPEG";
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    flat.save(&buffer, format);
    return out;
}

// A colour as the format writes it ("rgb(r, g, b)", "rgba(...)", "#rrggbb", a name).
QColor colourOf(const QJsonValue& v) {
    const QString text = v.toString().trimmed();
    if (text.isEmpty()) return {};
    static const QRegularExpression rgb(
        QStringLiteral("^rgba?\\(\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*(?:,\\s*([0-9.]+)\\s*)?\\)$"));
    const QRegularExpressionMatch m = rgb.match(text);
    if (m.hasMatch()) {
        QColor c(std::min(255, m.captured(1).toInt()), std::min(255, m.captured(2).toInt()),
                 std::min(255, m.captured(3).toInt()));
        if (!m.captured(4).isEmpty()) c.setAlphaF(float(std::clamp(m.captured(4).toDouble(), 0.0, 1.0)));
        return c;
    }
    return QColor::fromString(text);
}

// A text spoken by the board's speech command: braces would end the command.
QString speechCommand(QString text) {
    text.replace(u'{', u'(').replace(u'}', u')');
    return QStringLiteral("{|Llegir %1}").arg(text.simplified());
}

// A relative file name of a board (backslashes, folders above it) as a path below the
// import's folder, or empty when it leaves it.
QString fileBeside(const QString& boardFile, const QString& name) {
    QString n = name.trimmed();
    n.replace(u'\\', u'/');
    if (n.isEmpty() || n.startsWith(u'/') || (n.size() > 1 && n[1] == u':')) return {};
    const QString dir = QFileInfo(boardFile).path();
    const QString joined = QDir::cleanPath(dir == u"." ? n : dir + u'/' + n);
    return isSafeRelativePath(joined) ? joined : QString();
}

// An id as the format's readers take it: numbers become text.
QString idText(const QJsonValue& v) {
    if (v.isString()) return v.toString();
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (d == std::floor(d) && std::abs(d) < 1e15) return QString::number(qint64(d));
        return QString::number(d);
    }
    return {};
}

QJsonObject parseObject(const QByteArray& bytes, const QString& where) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw ObfError(QStringLiteral("%1 is not valid JSON: %2 at byte %3")
                           .arg(where, error.errorString())
                           .arg(error.offset));
    if (!doc.isObject()) throw ObfError(QStringLiteral("%1 is not a JSON object").arg(where));
    return doc.object();
}

// A board as read from the package.
struct SourceBoard {
    QString path;  // in the package ("" for a single .obf)
    QString id;
    QJsonObject json;
    QHash<QString, QJsonObject> buttons;  // by id
    QHash<QString, QJsonObject> images;
    QHash<QString, QJsonObject> sounds;
    QString fileName;  // the .VXL it becomes, relative to the output folder
    bool vexil = false;
};

// A name fit for a board file: upper-case letters, digits and "_".
QString plainName(const QString& text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.isLetterOrNumber() && c.unicode() < 128) out += c.toUpper();
        else if ((c.isSpace() || c == u'-' || c == u'_') && !out.endsWith(u'_')) out += u'_';
        if (out.size() >= 24) break;
    }
    while (out.endsWith(u'_')) out.chop(1);
    while (out.startsWith(u'_')) out.remove(0, 1);
    return out.isEmpty() ? QStringLiteral("PLAFO") : out;
}

class Importer {
public:
    Importer(const QByteArray& bytes, bool single, const ImportOptions& options)
        : options_(options) {
        if (single) {
            if (bytes.size() > kMaxSingleBoard)
                throw ObfError(QStringLiteral("the board is larger than %1 bytes").arg(kMaxSingleBoard));
            singleJson_ = bytes;
        } else {
            zip_ = std::make_unique<ZipReader>(bytes, options.limits);
        }
    }

    ImportReport run(const QString& outFolder) {
        // "OUT/" and "OUT" are the same folder.
        const QString outDir = QDir::cleanPath(QFileInfo(outFolder).absoluteFilePath());
        const QFileInfo out(outDir);
        if (out.exists() && !out.isDir())
            throw ObfError(QStringLiteral("%1 exists and is not a folder").arg(outDir));
        if (out.isDir() && !QDir(outDir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            throw ObfError(QStringLiteral("%1 is not empty: choose a new or empty folder").arg(outDir));
        read();
        const QString parent = out.absolutePath();
        if (!QDir().mkpath(parent))
            throw ObfError(QStringLiteral("%1 cannot be made").arg(parent));
        QTemporaryDir staging(QDir(parent).filePath(QStringLiteral(".vexil-import-XXXXXX")));
        if (!staging.isValid())
            throw ObfError(QStringLiteral("no folder can be made in %1").arg(parent));
        staging_ = staging.path();
        write();
        // The finished folder takes its name in one step.
        if (out.isDir()) QDir().rmdir(out.absoluteFilePath());
        if (!QDir().rename(staging_, out.absoluteFilePath()))
            throw ObfError(QStringLiteral("%1 cannot be made").arg(outDir));
        staging.setAutoRemove(false);
        giveUsualPermissions(out.absoluteFilePath(), true);
        report_.boards = int(boards_.size());
        report_.rootBoard = QDir(out.absoluteFilePath()).filePath(boards_.front().fileName);
        return report_;
    }

private:
    // --- reading and checking -----------------------------------------------------------

    QByteArray entry(const QString& path, const QString& what) {
        if (!isSafeRelativePath(path))
            throw ObfError(QStringLiteral("%1 \"%2\" is not a plain name inside the package").arg(what, path));
        if (!zip_->contains(path))
            throw ObfError(QStringLiteral("%1 \"%2\" is missing from the package").arg(what, path));
        return zip_->read(path);
    }

    void read() {
        if (!zip_) {
            addBoard(QString(), parseObject(singleJson_, QStringLiteral("the board")));
            checkIds();
            name();
            return;
        }
        for (const QString& name : zip_->names()) {
            const QString plain = name.endsWith(u'/') ? name.chopped(1) : name;
            if (!isSafeRelativePath(plain))
                throw ObfError(QStringLiteral("the package entry \"%1\" climbs out of its folder "
                                              "or is not a plain relative name")
                                   .arg(name));
        }
        QStringList queue;
        if (zip_->contains(kManifest)) {
            manifest_ = parseObject(zip_->read(kManifest), kManifest);
            const QString root = manifest_.value(QStringLiteral("root")).toString();
            if (root.isEmpty()) throw ObfError(QStringLiteral("manifest.json names no root board"));
            queue << root;
            const QJsonObject listed = manifest_.value(QStringLiteral("paths")).toObject()
                                           .value(QStringLiteral("boards")).toObject();
            for (auto it = listed.begin(); it != listed.end(); ++it) {
                const QString p = it.value().toString();
                if (p.isEmpty())
                    throw ObfError(QStringLiteral("manifest.json: board \"%1\" has no path").arg(it.key()));
                if (!queue.contains(p)) queue << p;
            }
        } else {
            QStringList boards;
            for (const QString& name : zip_->names())
                if (name.endsWith(QLatin1String(".obf"), Qt::CaseInsensitive)) boards << name;
            if (boards.size() != 1)
                throw ObfError(QStringLiteral("the package has no manifest.json, which a package of "
                                              "%1 boards must have")
                                   .arg(boards.size()));
            report_.notices << QStringLiteral("the package has no manifest.json; its one board is read");
            queue << boards.front();
        }
        // Every listed board, then the boards their buttons open.
        for (qsizetype i = 0; i < queue.size(); ++i) {
            if (queue.size() > kMaxBoards)
                throw ObfError(QStringLiteral("the package holds more than %1 boards").arg(kMaxBoards));
            const QString path = queue[i];
            SourceBoard& b = addBoard(path, parseObject(entry(path, QStringLiteral("the board")), path));
            for (const QJsonObject& button : b.buttons) {
                const QJsonObject target = button.value(QStringLiteral("load_board")).toObject();
                QString link = target.value(QStringLiteral("path")).toString();
                if (link.isEmpty())  // a link by id alone: the manifest's path for it
                    link = manifest_.value(QStringLiteral("paths")).toObject().value(QStringLiteral("boards"))
                               .toObject().value(idText(target.value(QStringLiteral("id")))).toString();
                if (!link.isEmpty() && !queue.contains(link)) {
                    if (!zip_->contains(link)) continue;  // noted when the button is written
                    queue << link;
                }
            }
        }
        checkIds();
        name();
    }

    SourceBoard& addBoard(const QString& path, const QJsonObject& json) {
        SourceBoard b;
        b.path = path;
        b.json = json;
        const QString where = path.isEmpty() ? QStringLiteral("the board") : path;
        b.id = idText(json.value(QStringLiteral("id")));
        if (b.id.isEmpty()) throw ObfError(QStringLiteral("%1 has no id").arg(where));
        if (!json.value(QStringLiteral("buttons")).isArray())
            throw ObfError(QStringLiteral("%1 has no list of buttons").arg(where));
        auto collect = [&](const char* list, QHash<QString, QJsonObject>& into, const char* what) {
            for (const QJsonValue& v : json.value(QLatin1String(list)).toArray()) {
                const QJsonObject o = v.toObject();
                if (o.isEmpty() && v.isNull()) continue;  // a null placeholder
                const QString id = idText(o.value(QStringLiteral("id")));
                if (id.isEmpty())
                    throw ObfError(QStringLiteral("%1: a %2 has no id").arg(where, QLatin1String(what)));
                if (into.contains(id))
                    throw ObfError(QStringLiteral("%1: the %2 id \"%3\" repeats")
                                       .arg(where, QLatin1String(what), id));
                into.insert(id, o);
            }
        };
        collect("buttons", b.buttons, "button");
        collect("images", b.images, "image");
        collect("sounds", b.sounds, "sound");
        if (b.buttons.size() > kMaxAreas - 1)
            throw ObfError(QStringLiteral("%1 has more buttons than a board can hold").arg(where));
        b.vexil = json.value(QStringLiteral("ext_vexil_template")).isObject() &&
                  json.value(QStringLiteral("ext_vexil_board")).isString();
        buttonOrder_.push_back({});
        for (const QJsonValue& v : json.value(QStringLiteral("buttons")).toArray())
            buttonOrder_.back() << idText(v.toObject().value(QStringLiteral("id")));
        boards_.push_back(b);
        return boards_.back();
    }

    void checkIds() {
        QSet<QString> ids;
        for (const SourceBoard& b : boards_) {
            if (ids.contains(b.id))
                throw ObfError(QStringLiteral("the board id \"%1\" repeats").arg(b.id));
            ids.insert(b.id);
        }
    }

    // The board files: Vexil's own names, then new names for the others.
    void name() {
        for (SourceBoard& b : boards_) {
            if (!b.vexil) continue;
            const QString n = b.json.value(QStringLiteral("ext_vexil_board")).toString();
            if (!isSafeRelativePath(n) || !n.endsWith(QLatin1String(".VXL"), Qt::CaseInsensitive))
                throw ObfError(QStringLiteral("board \"%1\": \"%2\" is not a plain board file name")
                                   .arg(b.id, n));
            if (used_.contains(n.toUpper()))
                throw ObfError(QStringLiteral("two boards are named %1").arg(n));
            used_.insert(n.toUpper());
            b.fileName = n;
        }
        for (SourceBoard& b : boards_) {
            if (b.vexil) continue;
            const QString base = plainName(b.json.value(QStringLiteral("name")).toString(b.id));
            QString n = base + QStringLiteral(".VXL");
            for (int i = 2; used_.contains(n.toUpper()) || used_.contains((n.chopped(4) + QStringLiteral(".BMP")).toUpper()); ++i)
                n = base + QString::number(i) + QStringLiteral(".VXL");
            used_.insert(n.toUpper());
            used_.insert((n.chopped(4) + QStringLiteral(".BMP")).toUpper());
            b.fileName = n;
        }
    }

    // The board a link names: by its path, else by its id.
    const SourceBoard* boardAt(const QString& path, const QString& id) const {
        for (const SourceBoard& b : boards_)
            if (!path.isEmpty() && b.path == path) return &b;
        for (const SourceBoard& b : boards_)
            if (!id.isEmpty() && b.id == id) return &b;
        return nullptr;
    }

    // --- writing ----------------------------------------------------------------------------

    void writeFile(const QString& relative, const QByteArray& bytes) {
        if (!isSafeRelativePath(relative))
            throw ObfError(QStringLiteral("\"%1\" is not a plain name inside the folder").arg(relative));
        const QString path = QDir(staging_).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw ObfError(QStringLiteral("%1 cannot be written").arg(relative));
    }

    void write() {
        // The files of Vexil's own boards, as they were.
        if (zip_) {
            for (const QJsonValue& v : manifest_.value(QStringLiteral("ext_vexil_files")).toArray()) {
                const QString name = v.toString();
                if (!name.startsWith(QLatin1String("files/")))
                    throw ObfError(QStringLiteral("manifest.json: \"%1\" is not a packed file").arg(name));
                writeFile(name.mid(6), entry(name, QStringLiteral("the file")));
            }
        }
        // Each board's own files, inline (a single board, and packages since the files
        // travel in the boards).
        for (const SourceBoard& b : boards_) {
            if (!b.vexil) continue;
            const QJsonObject files = b.json.value(QStringLiteral("ext_vexil_files")).toObject();
            for (auto it = files.begin(); it != files.end(); ++it) {
                const QString uri = it.value().toString();
                const QByteArray bytes = decodeDataUri(uri);
                if (bytes.isEmpty() && !uri.endsWith(u','))
                    throw ObfError(QStringLiteral("the file \"%1\" is not base64 data").arg(it.key()));
                writeFile(it.key(), bytes);
            }
        }
        for (size_t i = 0; i < boards_.size(); ++i) {
            const SourceBoard& b = boards_[i];
            if (b.vexil) writeVexilBoard(b, buttonOrder_[i]);
            else writeForeignBoard(b, buttonOrder_[i]);
        }
        noteCycles();
    }

    void writeVexilBoard(const SourceBoard& b, const QStringList& order) {
        const QString where = QStringLiteral("board \"%1\"").arg(b.id);
        Template t;
        t.settings = settingsFromJson(b.json.value(QStringLiteral("ext_vexil_template")).toObject(), where);
        const QJsonValue frame = b.json.value(QStringLiteral("ext_vexil_frame"));
        if (frame.isObject()) t.appendArea(areaFromJson(frame.toObject(), where));
        else if (!order.isEmpty()) t.appendArea(defaultFrame());
        QStringList buttonOf{QString(), QString()};  // area number -> its button
        for (const QString& id : order) {
            const QJsonObject button = b.buttons.value(id);
            if (button.value(QStringLiteral("ext_vexil_cover")).toBool()) continue;  // the grid's stand-in
            const QJsonValue area = button.value(QStringLiteral("ext_vexil_area"));
            const QString link = idText(button.value(QStringLiteral("load_board")).toObject()
                                            .value(QStringLiteral("id")));
            if (!link.isEmpty() && boardAt(QString(), link)) links_.insert(b.id, link);
            if (area.isObject()) {
                t.appendArea(areaFromJson(area.toObject(), QStringLiteral("%1, button \"%2\"").arg(where, id)));
            } else {
                // A button added by another program: placed where it was put.
                report_.notices << QStringLiteral("%1: button \"%2\" came from another program; "
                                                  "it says its label")
                                       .arg(where, id);
                Area a;
                a.level = 1;
                if (!placeAbsolute(button, t.area(1), a)) continue;
                a.keys = typedKeys(b, button);
                a.iconFile = button.value(QStringLiteral("label")).toString();
                t.appendArea(a);
            }
            buttonOf << id;
        }
        takeEdits(b, t, buttonOf);
        QByteArray bytes = templateFileBytes(t);
        // The board file as it was packed, when it holds this very board.
        const QString packed = QDir(staging_).filePath(b.fileName);
        if (QFileInfo(packed).isFile()) {
            FakePlatform fake;
            Folders folders;
            folders.programFolder = folders.userFolder = staging_;
            Session s(fake.platform, folders);
            s.currentDirectory = QFileInfo(packed).absolutePath();
            loadTemplate(s, packed);
            if (s.tmpl.settings == t.settings && s.tmpl.areas() == t.areas()) {
                QFile f(packed);
                if (f.open(QIODevice::ReadOnly)) bytes = f.readAll();
            } else {
                report_.notices << QStringLiteral("%1 was changed after Vexil wrote it; it is written "
                                                  "from the board's fields")
                                       .arg(b.fileName);
            }
        }
        noteGuardedActions(b.fileName, t);
        writeFile(b.fileName, bytes);
        restoreFiles(b, t, buttonOf);
    }

    // What another program changed in the format's own fields (the board's name, a button's
    // label, vocalization or position) wins over the copy in `ext_vexil_*`.
    void takeEdits(const SourceBoard& b, Template& t, const QStringList& buttonOf) {
        QStringList taken;
        const QString name = b.json.value(QStringLiteral("name")).toString();
        const QString description = t.settings.description.trimmed();
        const QString shownName = description.isEmpty()
                                      ? QFileInfo(b.json.value(QStringLiteral("ext_vexil_board")).toString()).completeBaseName()
                                      : description;
        if (!name.isEmpty() && name != shownName) {
            t.settings.description = name;
            taken << QStringLiteral("the name");
        }
        int labels = 0, spoken = 0, moved = 0;
        QStringList pictureLabels;
        for (int n = 2; n <= t.areaCount() && n < buttonOf.size(); ++n) {
            const QJsonObject button = b.buttons.value(buttonOf[n]);
            if (!button.value(QStringLiteral("ext_vexil_area")).isObject()) continue;
            Area a = t.area(n);
            const Fractions f = areaFractions(a, &t.area(1));
            const double given[] = {button.value(QStringLiteral("left")).toDouble(f.left),
                                    button.value(QStringLiteral("top")).toDouble(f.top),
                                    button.value(QStringLiteral("width")).toDouble(f.width),
                                    button.value(QStringLiteral("height")).toDouble(f.height)};
            const double stored[] = {f.left, f.top, f.width, f.height};
            for (int i = 0; i < 4; ++i)
                if (std::abs(given[i] - stored[i]) > 0.001) {
                    Area placed = a;
                    if (placeAbsolute(button, t.area(1), placed)) {
                        a.x0 = placed.x0, a.y0 = placed.y0, a.x1 = placed.x1, a.y1 = placed.y1;
                        ++moved;
                    }
                    break;
                }
            // The label as the export wrote it (a link's board name or the spoken text
            // when the area shows nothing) counts as unchanged.
            const QString label = button.value(QStringLiteral("label")).toString();
            const QString shown = areaLabel(a);
            const QString vocalization = areaVocalization(a);
            // Packages of earlier versions wrote the icon's text or what keysDisplayText
            // shows ("F4}" for "%{F4}"): that is no edit either.
            QString earlier = CoverComposer::contentOf(a).label.trimmed();
            if (earlier.isEmpty()) earlier = keysDisplayText(a.keys).trimmed();
            const bool asWritten = label == shown || label == earlier ||
                                   ((shown.isEmpty() || earlier.isEmpty()) &&
                                    (label == vocalization || linkNames(button).contains(label)));
            if (button.value(QStringLiteral("label")).isString() && !asWritten) {
                if (isPictureName(a.iconFile.trimmed())) {
                    pictureLabels << label;
                } else {
                    a.iconFile = label;
                    ++labels;
                }
            }
            const QString said = button.value(QStringLiteral("vocalization")).toString();
            if (said != vocalization) {
                a.keys = withVocalization(a.keys, said);
                ++spoken;
            }
            t.setArea(n, a);
        }
        if (labels) taken << QStringLiteral("%1 labels").arg(labels);
        if (spoken) taken << QStringLiteral("%1 vocalizations").arg(spoken);
        if (moved) taken << QStringLiteral("%1 positions").arg(moved);
        if (!taken.isEmpty())
            report_.notices << QStringLiteral("%1 was edited in another program; it takes %2")
                                   .arg(b.fileName, taken.join(QStringLiteral(", ")));
        if (!pictureLabels.isEmpty())
            report_.notices << QStringLiteral("%1: the labels %2 are not kept: their areas show pictures")
                                   .arg(b.fileName, pictureLabels.join(QStringLiteral(", ")));
    }

    // The names a link's button may show: the linked board's name as the export wrote it,
    // and as the package now has it.
    QStringList linkNames(const QJsonObject& button) const {
        const QJsonObject link = button.value(QStringLiteral("load_board")).toObject();
        if (link.isEmpty()) return {};
        QStringList names{link.value(QStringLiteral("name")).toString()};
        if (const SourceBoard* to = boardAt(link.value(QStringLiteral("path")).toString(),
                                            idText(link.value(QStringLiteral("id"))))) {
            names << to->json.value(QStringLiteral("name")).toString();
            const QString description = to->json.value(QStringLiteral("ext_vexil_template")).toObject()
                                            .value(QStringLiteral("description")).toString().trimmed();
            names << (description.isEmpty()
                          ? QFileInfo(to->json.value(QStringLiteral("ext_vexil_board")).toString()).completeBaseName()
                          : description);
        }
        names.removeAll(QString());
        return names;
    }

    // Whether `relative` (below the import's folder) exists, in any case of its name.
    bool written(const QString& relative) const {
        if (QFileInfo::exists(QDir(staging_).filePath(relative))) return true;
        const QFileInfo info(QDir(staging_).filePath(relative));
        const QDir dir = info.absoluteDir();
        for (const QString& entry : dir.entryList(QDir::Files))
            if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0) return true;
        return false;
    }

    // The cover, pictures and sounds a board names that the package does not carry as
    // Vexil's own files (another program wrote the package again): made from the board's
    // background and its buttons' images and sounds.
    void restoreFiles(const SourceBoard& b, const Template& t, const QStringList& buttonOf) {
        QStringList missing;
        auto restorePicture = [&](const QString& fileName, const QImage& picture) {
            const QString path = fileBeside(b.fileName, fileName);
            if (path.isEmpty() || written(path)) return;
            if (picture.isNull()) {
                missing << fileName.trimmed();
                return;
            }
            writeFile(path, pictureFileBytes(picture, path));
        };
        const QString cover = t.settings.pictureFile.trimmed();
        if (!cover.isEmpty() && !fileBeside(b.fileName, cover).isEmpty() && !written(fileBeside(b.fileName, cover)))
            restorePicture(cover, backgroundPicture(b, kCoverSide));
        for (int n = 2; n <= t.areaCount() && n < buttonOf.size(); ++n) {
            const Area& a = t.area(n);
            const QJsonObject button = b.buttons.value(buttonOf[n]);
            const QString icon = a.iconFile.trimmed();
            if (isPictureName(icon)) {
                const QString path = fileBeside(b.fileName, icon);
                if (!path.isEmpty() && !written(path)) {
                    // A part of the cover stands for an icon the board named but did not have.
                    const QString imageId = button.value(QStringLiteral("ext_vexil_cover_part")).toBool()
                                                ? QString()
                                                : idText(button.value(QStringLiteral("image_id")));
                    QImage picture;
                    if (!imageId.isEmpty()) {
                        const QByteArray bytes = resourceBytes(b, "images", imageId,
                                                               QStringLiteral("board \"%1\", image \"%2\"").arg(b.id, imageId));
                        QString why;
                        if (!bytes.isEmpty()) picture = decodePicture(bytes, kCoverSide, &why);
                    }
                    restorePicture(icon, picture);
                }
            }
            const QString sound = a.soundFile.trimmed();
            if (sound.toUpper().endsWith(QLatin1String(".WAV"))) {
                const QString path = fileBeside(b.fileName, sound);
                if (path.isEmpty() || written(path)) continue;
                const QString soundId = idText(button.value(QStringLiteral("sound_id")));
                const QByteArray bytes = soundId.isEmpty() || !b.sounds.contains(soundId)
                                             ? QByteArray()
                                             : resourceBytes(b, "sounds", soundId,
                                                             QStringLiteral("board \"%1\", sound \"%2\"").arg(b.id, soundId));
                if (bytes.isEmpty()) missing << sound;
                else writeFile(path, bytes);
            }
        }
        // The other files it names (documents, clips, the sounds and files of its commands)
        // have no field of the format: only Vexil's own copies carry them.
        QStringList others{t.settings.docFile, t.settings.templateClipFile};
        QStringList keys{t.settings.startKeys};
        for (int n = 1; n <= t.areaCount(); ++n) {
            others << t.area(n).clipFile;
            keys << t.area(n).keys;
        }
        for (const QString& k : keys)
            for (const EmbeddedCommand& c : embeddedCommands(k))
                if (c.keyword == u"SONA" || c.keyword == u"SUENA" || c.keyword == u"ENGANXA" ||
                    c.keyword == u"ENGANCHA" || c.keyword == u"PEGA")
                    others << c.argument;
        for (const QString& name : others) {
            const QString path = fileBeside(b.fileName, name);
            if (!path.isEmpty() && !written(path)) missing << name.trimmed();
        }
        missing.removeDuplicates();
        if (!missing.isEmpty())
            report_.notices << QStringLiteral("%1 names files the package does not hold: %2")
                                   .arg(b.fileName, missing.join(QStringLiteral(", ")));
    }

    // Imported boards are untrusted, whatever the package says of them: the note names
    // those that will ask before they start programs or write the registry.
    void noteGuardedActions(const QString& fileName, const Template& t) {
        const BoardActions a = boardActions(t);
        QStringList parts;
        if (!a.programs.isEmpty())
            parts << QStringLiteral("start the programs %1").arg(a.programs.join(QStringLiteral(", ")));
        if (!a.registryKeys.isEmpty())
            parts << QStringLiteral("write the registry keys %1").arg(a.registryKeys.join(QStringLiteral(", ")));
        if (parts.isEmpty()) return;
        report_.notices << QStringLiteral("%1 would %2; it asks first, until it is trusted")
                               .arg(fileName, parts.join(QStringLiteral(" and ")));
    }

    static Area defaultFrame() {
        Area a;
        a.x1 = kBoardWidth;
        a.y1 = kBoardHeight;
        return a;
    }

    static bool placeAbsolute(const QJsonObject& button, const Area& frame, Area& a) {
        const char* keys[] = {"left", "top", "width", "height"};
        double v[4];
        for (int i = 0; i < 4; ++i) {
            const QJsonValue value = button.value(QLatin1String(keys[i]));
            if (!value.isDouble()) return false;
            v[i] = std::clamp(value.toDouble(), 0.0, 1.0);
            if (std::isnan(v[i])) return false;
        }
        const int fx = std::min(frame.x0, frame.x1), fy = std::min(frame.y0, frame.y1);
        const int fw = std::abs(frame.x1 - frame.x0), fh = std::abs(frame.y1 - frame.y0);
        a.x0 = std::int16_t(fx + std::lround(v[0] * fw));
        a.y0 = std::int16_t(fy + std::lround(v[1] * fh));
        a.x1 = std::int16_t(fx + std::lround(std::min(1.0, v[0] + v[2]) * fw));
        a.y1 = std::int16_t(fy + std::lround(std::min(1.0, v[1] + v[3]) * fh));
        return true;
    }

    // What a button of another program does in Vexil: it says its vocalization (its label
    // when it has neither actions nor a link), types what its actions type, and opens the
    // board it links to. Actions Vexil has no key for are named in `lost`.
    QString typedKeys(const SourceBoard& b, const QJsonObject& button, QStringList* lost = nullptr) {
        QString keys;
        const QString vocalization = button.value(QStringLiteral("vocalization")).toString();
        QStringList actions;
        for (const QJsonValue& v : button.value(QStringLiteral("actions")).toArray())
            if (v.isString()) actions << v.toString();
        const QString action = button.value(QStringLiteral("action")).toString();
        if (actions.isEmpty() && !action.isEmpty()) actions << action;
        QString link;
        const QJsonObject target = button.value(QStringLiteral("load_board")).toObject();
        if (!target.isEmpty()) {
            const QString path = target.value(QStringLiteral("path")).toString();
            const SourceBoard* to = boardAt(path, idText(target.value(QStringLiteral("id"))));
            if (to) {
                links_.insert(b.id, to->id);
                link = QStringLiteral("{|Carrega %1}").arg(relativeTo(b.fileName, to->fileName));
            } else {
                report_.notices << QStringLiteral("board \"%1\", button \"%2\" opens a board the package "
                                                  "does not hold; it says its label")
                                       .arg(b.id, idText(button.value(QStringLiteral("id"))));
            }
        }
        static const QHash<QString, QString> named{
            {QStringLiteral(":space"), QStringLiteral(" ")},
            {QStringLiteral(":backspace"), QStringLiteral("{BACKSPACE}")},
            {QStringLiteral(":enter"), QStringLiteral("{ENTER}")},
            {QStringLiteral(":tab"), QStringLiteral("{TAB}")},
            // The whole text of the target window selected, then deleted.
            {QStringLiteral(":clear"), QStringLiteral("^a{DEL}")},
        };
        QString typed;
        for (const QString& a : actions) {
            if (a.startsWith(u'+') && a.size() > 1) typed += escapeKeystrokes(a.mid(1));
            else if (named.contains(a)) typed += named.value(a);
            else if (a == u":home" && link.isEmpty() && !boards_.empty() && boards_.front().id != b.id) {
                links_.insert(b.id, boards_.front().id);
                link = QStringLiteral("{|Carrega %1}").arg(relativeTo(b.fileName, boards_.front().fileName));
            } else if (a != u":home" && lost && !lost->contains(a)) {
                *lost << a;
            }
        }
        if (!vocalization.trimmed().isEmpty()) keys += speechCommand(vocalization);
        else if (typed.isEmpty() && link.isEmpty() && actions.isEmpty()) {
            const QString label = button.value(QStringLiteral("label")).toString();
            if (!label.trimmed().isEmpty()) keys += speechCommand(label);
        }
        return keys + typed + link;
    }

    // A board name as a board in `from`'s folder names `to` (backslash separated).
    static QString relativeTo(const QString& from, const QString& to) {
        const QString rel = QDir(QStringLiteral("/x/") + QFileInfo(from).path())
                                .relativeFilePath(QStringLiteral("/x/") + to);
        return QString(rel).replace(u'/', u'\\');
    }

    // The bytes of an image or a sound of board `b`: its inline data, its file in the
    // package (its path, or the manifest's path for its id), or a data URI as its url.
    // Empty, with a note saying why, when the package does not hold it.
    // With `absent`, an id that names nothing of the board and a resource only on the web go
    // into that list instead of a note each (a board's note then names them all).
    QByteArray resourceBytes(const SourceBoard& b, const char* kind, const QString& id, const QString& where,
                             QStringList* absent = nullptr) {
        const QJsonObject res = (QLatin1String(kind) == QLatin1String("images") ? b.images : b.sounds).value(id);
        if (res.isEmpty()) {
            if (absent) *absent << id;
            else report_.notices << QStringLiteral("%1 is not in the board's list of %2").arg(where, QLatin1String(kind));
            return {};
        }
        const QString data = res.value(QStringLiteral("data")).toString();
        if (!data.isEmpty()) {
            const QByteArray bytes = decodeDataUri(data);
            if (bytes.isEmpty()) report_.notices << QStringLiteral("%1: its data is not base64 data; it is left out").arg(where);
            return bytes;
        }
        QString path = res.value(QStringLiteral("path")).toString();
        if (path.isEmpty())
            path = manifest_.value(QStringLiteral("paths")).toObject().value(QLatin1String(kind))
                       .toObject().value(id).toString();
        if (!path.isEmpty() && zip_) {
            if (isSafeRelativePath(path) && zip_->contains(path)) return zip_->read(path);
            report_.notices << QStringLiteral("%1: its file \"%2\" is missing from the package; it is left out")
                                   .arg(where, path);
            return {};
        }
        const QString url = res.value(QStringLiteral("url")).toString();
        if (url.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
            const QByteArray bytes = decodeDataUri(url);
            if (!bytes.isEmpty()) return bytes;
        }
        if (absent) *absent << id;
        else
            report_.notices << QStringLiteral("%1 is not in the package (only on the web or in a symbol set); "
                                              "it is left out")
                                   .arg(where);
        return {};
    }

    // The picture of a board's `background` (or the copy Vexil keeps in
    // `ext_vexil_background`): its image, or its picture's data URI. Null when it has none.
    QImage backgroundPicture(const SourceBoard& b, int maxSide) {
        for (const char* key : {"background", "ext_vexil_background"}) {
            const QJsonObject bg = b.json.value(QLatin1String(key)).toObject();
            if (bg.isEmpty()) continue;
            const QString where = QStringLiteral("board \"%1\", the background picture").arg(b.id);
            QByteArray bytes;
            const QString imageId = idText(bg.value(QStringLiteral("image_id")));
            for (const char* url : {"image_url", "url"}) {
                const QString u = bg.value(QLatin1String(url)).toString();
                if (bytes.isEmpty() && u.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                    bytes = decodeDataUri(u);
            }
            if (bytes.isEmpty() && !imageId.isEmpty()) bytes = resourceBytes(b, "images", imageId, where);
            if (bytes.isEmpty()) continue;
            QString why;
            const QImage picture = decodePicture(bytes, maxSide, &why);
            if (!picture.isNull()) return picture;
            report_.notices << QStringLiteral("%1 does not decode as a picture (%2); it is left out").arg(where, why);
        }
        return {};
    }

    // An image of a board as a bitmap beside it, on the button's colour, with its label
    // under the picture when it has one; empty when it has none or it cannot be read.
    QString iconFor(const SourceBoard& b, const QString& imageId, const QString& label = {},
                    const QColor& ground = Qt::white) {
        const QString key = b.id + u'\n' + imageId + u'\n' + label + u'\n' + ground.name();
        if (auto it = icons_.constFind(key); it != icons_.constEnd()) return *it;
        const QString where = QStringLiteral("board \"%1\", image \"%2\"").arg(b.id, imageId);
        QStringList& absent = absentPictures_[b.id];
        const QByteArray bytes = resourceBytes(b, "images", imageId, where, &absent);
        if (bytes.isEmpty()) return {};
        QString why;
        QImage picture = decodePicture(bytes, kIconSide, &why);
        if (picture.isNull()) {
            report_.notices << QStringLiteral("%1 does not decode as a picture (%2); the button shows its label")
                                   .arg(where, why);
            return {};
        }
        if (!label.trimmed().isEmpty()) {
            // The label under the picture, as boards of pictures show it.
            const int band = std::max(24, picture.height() / 5);
            QImage labelled(picture.width(), picture.height() + band, QImage::Format_ARGB32);
            labelled.fill(Qt::transparent);
            QPainter painter(&labelled);
            painter.drawImage(0, 0, picture);
            painter.setPen(Qt::black);
            painter.setFont(CoverComposer::labelFont(std::max(8, band / 2)));
            painter.drawText(QRect(0, picture.height(), picture.width(), band), Qt::AlignCenter,
                             label.trimmed());
            painter.end();
            picture = labelled;
        }
        const QString name = QStringLiteral("%1_ICONES/I%2.BMP")
                                 .arg(QFileInfo(b.fileName).completeBaseName())
                                 .arg(icons_.size() + 1, 4, 10, QChar(u'0'));
        writeFile(QFileInfo(b.fileName).path() == u"." ? name : QFileInfo(b.fileName).path() + u'/' + name,
                  pictureFileBytes(picture, name, ground.isValid() ? ground : QColor(Qt::white)));
        icons_.insert(key, name);
        return name;
    }

    QString soundFor(const SourceBoard& b, const QString& soundId) {
        const QString where = QStringLiteral("board \"%1\", sound \"%2\"").arg(b.id, soundId);
        if (!b.sounds.contains(soundId)) return {};
        const QByteArray bytes = resourceBytes(b, "sounds", soundId, where);
        if (bytes.isEmpty()) return {};
        if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
            report_.notices << QStringLiteral("%1 is not a wave sound; it is left out").arg(where);
            return {};
        }
        const QString name = QStringLiteral("%1_SONS/S%2.WAV")
                                 .arg(QFileInfo(b.fileName).completeBaseName())
                                 .arg(++soundCount_, 4, 10, QChar(u'0'));
        writeFile(QFileInfo(b.fileName).path() == u"." ? name : QFileInfo(b.fileName).path() + u'/' + name, bytes);
        return name;
    }

    void writeForeignBoard(const SourceBoard& b, const QStringList& order) {
        Template t;
        TemplateSettings& st = t.settings;
        st.pictureFile = QFileInfo(b.fileName).completeBaseName() + QStringLiteral(".BMP");
        st.description = b.json.value(QStringLiteral("name")).toString(b.id);
        st.autoCover = 1;
        st.soundOn = -1;
        st.voiceLanguage = b.json.value(QStringLiteral("locale")).toString().startsWith(QLatin1String("es")) ? 1 : 0;
        t.appendArea(defaultFrame());

        // Where each button goes: its first cell on the grid.
        QHash<QString, QRect> cells;
        const QJsonObject grid = b.json.value(QStringLiteral("grid")).toObject();
        const int rows = grid.value(QStringLiteral("rows")).toInt();
        const int columns = grid.value(QStringLiteral("columns")).toInt();
        const QJsonArray orderRows = grid.value(QStringLiteral("order")).toArray();
        if (rows > kMaxGridSide || columns > kMaxGridSide)
            throw ObfError(QStringLiteral("board \"%1\": a grid of %2 by %3 is too large")
                               .arg(b.id).arg(rows).arg(columns));
        auto cell = [&](int r, int c, int R, int C) {
            const int x0 = c * kBoardWidth / C, x1 = (c + 1) * kBoardWidth / C;
            const int y0 = r * kBoardHeight / R, y1 = (r + 1) * kBoardHeight / R;
            return QRect(QPoint(x0, y0), QPoint(x1, y1));
        };
        QStringList placed;
        if (rows > 0 && columns > 0) {
            for (int r = 0; r < rows && r < orderRows.size(); ++r) {
                const QJsonArray row = orderRows[r].toArray();
                for (int c = 0; c < columns && c < row.size(); ++c) {
                    const QString id = idText(row[c]);
                    if (id.isEmpty() || cells.contains(id)) continue;
                    if (!b.buttons.contains(id)) {
                        report_.notices << QStringLiteral("board \"%1\": the grid names \"%2\", which is "
                                                          "no button")
                                               .arg(b.id, id);
                        continue;
                    }
                    cells.insert(id, cell(r, c, rows, columns));
                    placed << id;
                }
            }
        }
        // Buttons on no grid cell: where they were put, or, on a board with no grid at
        // all, in rows of their own. Hidden buttons are left out: nobody picks them.
        auto hidden = [&](const QString& id) { return b.buttons.value(id).value(QStringLiteral("hidden")).toBool(); };
        QStringList rest;
        for (const QString& id : order)
            if (!id.isEmpty() && !cells.contains(id) && !hidden(id)) rest << id;
        if (placed.isEmpty() && !rest.isEmpty()) {
            QStringList loose;
            for (const QString& id : rest) {
                Area probe;
                if (!placeAbsolute(b.buttons.value(id), t.area(1), probe)) loose << id;
            }
            const int C = int(std::ceil(std::sqrt(double(loose.size()))));
            const int R = C > 0 ? int((loose.size() + C - 1) / C) : 0;
            for (int i = 0; i < loose.size(); ++i) cells.insert(loose[i], cell(i / C, i % C, R, C));
        }
        // What the board model cannot hold, said once for the board.
        int hiddenCount = 0, colouredLabels = 0;
        QStringList lostActions, unencodable;
        for (const QString& id : order) {
            const QJsonObject button = b.buttons.value(id);
            if (hidden(id)) {
                ++hiddenCount;
                continue;
            }
            Area a;
            a.level = 1;
            if (cells.contains(id)) {
                const QRect r = cells.value(id);
                a.x0 = std::int16_t(r.left());
                a.y0 = std::int16_t(r.top());
                a.x1 = std::int16_t(r.right());
                a.y1 = std::int16_t(r.bottom());
            } else if (!placeAbsolute(button, t.area(1), a)) {
                continue;
            }
            a.keys = typedKeys(b, button, &lostActions);
            const QString label = button.value(QStringLiteral("label")).toString();
            const QColor ground = colourOf(button.value(QStringLiteral("background_color")));
            const QString imageId = idText(button.value(QStringLiteral("image_id")));
            // A picture shows with its label under it, on the button's colour.
            if (!imageId.isEmpty()) a.iconFile = iconFor(b, imageId, label, ground);
            // Without a picture the area shows its label (drawn on white).
            if (a.iconFile.isEmpty()) {
                a.iconFile = label;
                if (ground.isValid() && ground != QColor(Qt::white)) ++colouredLabels;
            }
            for (const QString& text : {label, button.value(QStringLiteral("vocalization")).toString()})
                if (!fitsAnsi(text) && !unencodable.contains(text)) unencodable << text;
            const QString soundId = idText(button.value(QStringLiteral("sound_id")));
            if (!soundId.isEmpty()) a.soundFile = soundFor(b, soundId);
            t.appendArea(a);
        }
        QStringList lost;
        QStringList absent = absentPictures_.value(b.id);
        absent.removeDuplicates();
        if (!absent.isEmpty())
            lost << QStringLiteral("the pictures %1, which the package does not hold (on the web, in a symbol "
                                   "set, or no image of the board): their buttons show their labels")
                        .arg(u'"' + absent.join(QStringLiteral("\", \"")) + u'"');
        if (hiddenCount) lost << QStringLiteral("%1 hidden buttons (left out)").arg(hiddenCount);
        if (colouredLabels) lost << QStringLiteral("the colours of %1 buttons without pictures").arg(colouredLabels);
        if (!lostActions.isEmpty())
            lost << QStringLiteral("the actions %1 (no key does them)").arg(lostActions.join(QStringLiteral(", ")));
        if (!unencodable.isEmpty())
            lost << QStringLiteral("characters a board file cannot hold, shown as \"?\" (in %1)")
                        .arg(unencodable.join(QStringLiteral(", ")));
        if (!lost.isEmpty())
            report_.notices << QStringLiteral("board \"%1\" (%2) does not keep %3")
                                   .arg(b.id, b.fileName, lost.join(QStringLiteral("; ")));
        noteGuardedActions(b.fileName, t);
        // The board's background picture is its cover, the areas drawn over it; without one
        // the cover is drawn from the areas alone, and redrawn as they change.
        const QImage background = backgroundPicture(b, kCoverSide);
        if (!background.isNull()) st.autoCover = 0;
        writeFile(b.fileName, templateFileBytes(t));
        if (options_.drawCovers) writeCover(b, t, background);
    }

    void writeCover(const SourceBoard& b, const Template& t, const QImage& background) {
        FakePlatform fake;
        Folders folders;
        folders.programFolder = folders.userFolder = staging_;
        Session s(fake.platform, folders);
        const QString file = QDir(staging_).filePath(b.fileName);
        s.tmpl = t;
        s.tmpl.templatePath = file;
        s.tmpl.templateFolder = s.currentDirectory = QFileInfo(file).absolutePath();
        EditorContext context(s);
        CoverComposer composer(context);
        QImage cover = composer.composeCover();
        if (!background.isNull() && !cover.isNull()) {
            QImage under(cover.size(), QImage::Format_RGB32);
            under.fill(Qt::white);
            QPainter painter(&under);
            painter.drawImage(QRect(QPoint(0, 0), cover.size()), background);
            for (int n = 2; n <= t.areaCount(); ++n) composer.renderArea(painter, n);
            painter.end();
            cover = under;
        }
        QByteArray bmp;
        QBuffer out(&bmp);
        out.open(QIODevice::WriteOnly);
        if (cover.isNull() || !cover.save(&out, "BMP"))
            throw ObfError(QStringLiteral("the cover of %1 cannot be drawn").arg(b.fileName));
        const QString dir = QFileInfo(b.fileName).path();
        writeFile(dir == u"." ? t.settings.pictureFile : dir + u'/' + t.settings.pictureFile, bmp);
    }

    // Boards that open each other are usual (a "home" key on every board); each was read
    // once. The import says so, so that nobody looks for a missing copy.
    void noteCycles() {
        QHash<QString, QString> name;
        for (const SourceBoard& b : boards_) name.insert(b.id, b.fileName);
        QSet<QString> done, onPath;
        QStringList path;
        std::function<bool(const QString&)> visit = [&](const QString& id) {
            if (onPath.contains(id)) {
                QStringList cycle = path.mid(path.indexOf(id));
                cycle << id;
                for (QString& c : cycle) c = name.value(c);
                report_.cycles << QStringLiteral("the boards open one another in a cycle (%1); "
                                                  "each was imported once")
                                       .arg(cycle.join(QStringLiteral(" > ")));
                return true;
            }
            if (done.contains(id)) return false;
            done.insert(id);
            onPath.insert(id);
            path << id;
            for (const QString& next : links_.values(id))
                if (visit(next)) return true;
            path.removeLast();
            onPath.remove(id);
            return false;
        };
        if (!boards_.empty()) visit(boards_.front().id);
    }

    ImportOptions options_;
    QByteArray singleJson_;
    std::unique_ptr<ZipReader> zip_;
    QJsonObject manifest_;
    std::vector<SourceBoard> boards_;
    std::vector<QStringList> buttonOrder_;
    QSet<QString> used_;
    QString staging_;
    QHash<QString, QString> icons_;
    QHash<QString, QStringList> absentPictures_;  // board id -> image ids it does not hold
    int soundCount_ = 0;
    QMultiHash<QString, QString> links_;
    ImportReport report_;
};

}  // namespace

ImportReport importBytes(const QByteArray& bytes, bool single, const QString& outDir,
                         const ImportOptions& options) {
    Importer importer(bytes, single, options);
    return importer.run(outDir);
}

ImportReport importBoards(const QString& inPath, const QString& outDir, const ImportOptions& options) {
    QFile f(inPath);
    if (!f.open(QIODevice::ReadOnly))
        throw ObfError(QStringLiteral("%1 cannot be read: %2").arg(inPath, f.errorString()));
    if (f.size() > options.limits.maxTotalSize)
        throw ObfError(QStringLiteral("%1 is larger than %2 bytes").arg(inPath).arg(options.limits.maxTotalSize));
    const QByteArray bytes = f.readAll();
    // A single board is JSON; a package is a zip ("PK").
    const bool single = !bytes.startsWith("PK");
    if (single && inPath.endsWith(QLatin1String(".obz"), Qt::CaseInsensitive) && !bytes.trimmed().startsWith('{'))
        throw ObfError(QStringLiteral("%1 is not a zip package").arg(inPath));
    return importBytes(bytes, single, outDir, options);
}

}  // namespace vexil::obf
