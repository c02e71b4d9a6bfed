#include "obf/obf_import.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

#include "commands/keystroke_parser.h"
#include "commands/trust_gate.h"
#include "editor/cover_composer.h"
#include "editor/editor_context.h"
#include "files/template_reader.h"
#include "obf/obf_error.h"
#include "obf/obf_format.h"
#include "platform/fake/fake_platform.h"
#include "session/session.h"
#include "template/template_writer.h"

namespace vexil::obf {
namespace {

constexpr qint64 kMaxSingleBoard = qint64(64) * 1024 * 1024;
constexpr int kMaxBoards = 2000;
constexpr int kMaxGridSide = 200;
constexpr int kIconSide = 256;  // imported pictures are kept at most this large

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
                const QString link = button.value(QStringLiteral("load_board")).toObject()
                                         .value(QStringLiteral("path")).toString();
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

    const SourceBoard* boardAt(const QString& path, const QString& id) const {
        for (const SourceBoard& b : boards_)
            if ((!path.isEmpty() && b.path == path) || (path.isEmpty() && !id.isEmpty() && b.id == id))
                return &b;
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
        } else {
            const QJsonObject files = boards_.front().json.value(QStringLiteral("ext_vexil_files")).toObject();
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
        for (const QString& id : order) {
            const QJsonObject button = b.buttons.value(id);
            const QJsonValue area = button.value(QStringLiteral("ext_vexil_area"));
            const QString link = idText(button.value(QStringLiteral("load_board")).toObject()
                                            .value(QStringLiteral("id")));
            if (!link.isEmpty() && boardAt(QString(), link)) links_.insert(b.id, link);
            if (area.isObject()) {
                t.appendArea(areaFromJson(area.toObject(), QStringLiteral("%1, button \"%2\"").arg(where, id)));
            } else {
                // A button added by another program: placed where it was put.
                report_.notices << QStringLiteral("%1: button \"%2\" came from another program; "
                                                  "it types its label")
                                       .arg(where, id);
                Area a;
                a.level = 1;
                if (!placeAbsolute(button, t.area(1), a)) continue;
                a.keys = typedKeys(b, button);
                a.iconFile = button.value(QStringLiteral("label")).toString();
                t.appendArea(a);
            }
        }
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

    // What a button of another program does in Vexil: it opens the board it links to, or
    // types its action's letters, what it says, or its label.
    QString typedKeys(const SourceBoard& b, const QJsonObject& button) {
        const QJsonObject link = button.value(QStringLiteral("load_board")).toObject();
        if (!link.isEmpty()) {
            const QString path = link.value(QStringLiteral("path")).toString();
            const SourceBoard* target = boardAt(path, path.isEmpty() ? idText(link.value(QStringLiteral("id"))) : QString());
            if (target) {
                links_.insert(b.id, target->id);
                return QStringLiteral("{|Carrega %1}").arg(relativeTo(b.fileName, target->fileName));
            }
            report_.notices << QStringLiteral("board \"%1\", button \"%2\" opens a board the package "
                                              "does not hold; it types its label")
                                   .arg(b.id, idText(button.value(QStringLiteral("id"))));
        }
        const QString action = button.value(QStringLiteral("action")).toString();
        if (action.startsWith(u'+') && action.size() > 1) return escapeKeystrokes(action.mid(1));
        if (action == u":space") return QStringLiteral(" ");
        if (action == u":backspace") return QStringLiteral("{BACKSPACE}");
        if (action == u":home" && !boards_.empty() && boards_.front().id != b.id) {
            links_.insert(b.id, boards_.front().id);
            return QStringLiteral("{|Carrega %1}").arg(relativeTo(b.fileName, boards_.front().fileName));
        }
        QString text = button.value(QStringLiteral("vocalization")).toString();
        if (text.isEmpty()) text = button.value(QStringLiteral("label")).toString();
        return escapeKeystrokes(text);
    }

    // A board name as a board in `from`'s folder names `to` (backslash separated).
    static QString relativeTo(const QString& from, const QString& to) {
        const QString rel = QDir(QStringLiteral("/x/") + QFileInfo(from).path())
                                .relativeFilePath(QStringLiteral("/x/") + to);
        return QString(rel).replace(u'/', u'\\');
    }

    // An image of another program's board as a bitmap beside it; empty when it has none.
    QString iconFor(const SourceBoard& b, const QString& imageId) {
        const QString key = b.id + u'\n' + imageId;
        if (auto it = icons_.constFind(key); it != icons_.constEnd()) return *it;
        const QJsonObject image = b.images.value(imageId);
        const QString where = QStringLiteral("board \"%1\", image \"%2\"").arg(b.id, imageId);
        if (image.isEmpty()) {
            report_.notices << QStringLiteral("%1 is not in the board's list of images").arg(where);
            return {};
        }
        QByteArray bytes;
        const QString data = image.value(QStringLiteral("data")).toString();
        const QString path = image.value(QStringLiteral("path")).toString();
        if (!data.isEmpty()) {
            bytes = decodeDataUri(data);
            if (bytes.isEmpty()) throw ObfError(QStringLiteral("%1: its data is not base64 data").arg(where));
        } else if (!path.isEmpty() && zip_) {
            bytes = entry(path, QStringLiteral("the image"));
        } else {
            report_.notices << QStringLiteral("%1 is not in the package (only on the web or in a "
                                              "symbol set); the button shows its label")
                                   .arg(where);
            return {};
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        QImage picture = reader.read();
        if (picture.isNull())
            throw ObfError(QStringLiteral("%1 does not decode as a picture (%2)").arg(where, reader.errorString()));
        if (picture.width() > kIconSide || picture.height() > kIconSide)
            picture = picture.scaled(kIconSide, kIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        // Transparent parts of a symbol lie on white, as on a printed board.
        QImage flat(picture.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        {
            QPainter painter(&flat);
            painter.drawImage(0, 0, picture);
        }
        QByteArray bmp;
        QBuffer out(&bmp);
        out.open(QIODevice::WriteOnly);
        flat.save(&out, "BMP");
        const QString name = QStringLiteral("%1_ICONES/I%2.BMP")
                                 .arg(QFileInfo(b.fileName).completeBaseName())
                                 .arg(icons_.size() + 1, 4, 10, QChar(u'0'));
        writeFile(QFileInfo(b.fileName).path() == u"." ? name : QFileInfo(b.fileName).path() + u'/' + name, bmp);
        icons_.insert(key, name);
        return name;
    }

    QString soundFor(const SourceBoard& b, const QString& soundId) {
        const QJsonObject sound = b.sounds.value(soundId);
        const QString where = QStringLiteral("board \"%1\", sound \"%2\"").arg(b.id, soundId);
        if (sound.isEmpty()) return {};
        QByteArray bytes;
        const QString data = sound.value(QStringLiteral("data")).toString();
        const QString path = sound.value(QStringLiteral("path")).toString();
        if (!data.isEmpty()) bytes = decodeDataUri(data);
        else if (!path.isEmpty() && zip_) bytes = entry(path, QStringLiteral("the sound"));
        if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
            report_.notices << QStringLiteral("%1 is not a wave sound in the package; it is left out").arg(where);
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
        // all, in rows of their own.
        QStringList rest;
        for (const QString& id : order)
            if (!id.isEmpty() && !cells.contains(id) &&
                !b.buttons.value(id).value(QStringLiteral("hidden")).toBool())
                rest << id;
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
        for (const QString& id : order) {
            const QJsonObject button = b.buttons.value(id);
            Area a;
            a.level = 1;
            if (cells.contains(id)) {
                const QRect r = cells.value(id);
                a.x0 = std::int16_t(r.left());
                a.y0 = std::int16_t(r.top());
                a.x1 = std::int16_t(r.right());
                a.y1 = std::int16_t(r.bottom());
            } else if (button.value(QStringLiteral("hidden")).toBool() || !placeAbsolute(button, t.area(1), a)) {
                continue;
            }
            a.keys = typedKeys(b, button);
            const QString imageId = idText(button.value(QStringLiteral("image_id")));
            if (!imageId.isEmpty()) a.iconFile = iconFor(b, imageId);
            // Without a picture the area shows its label.
            if (a.iconFile.isEmpty()) a.iconFile = button.value(QStringLiteral("label")).toString();
            const QString soundId = idText(button.value(QStringLiteral("sound_id")));
            if (!soundId.isEmpty()) a.soundFile = soundFor(b, soundId);
            t.appendArea(a);
        }
        noteGuardedActions(b.fileName, t);
        writeFile(b.fileName, templateFileBytes(t));
        if (options_.drawCovers) writeCover(b, t);
    }

    void writeCover(const SourceBoard& b, const Template& t) {
        FakePlatform fake;
        Folders folders;
        folders.programFolder = folders.userFolder = staging_;
        Session s(fake.platform, folders);
        const QString file = QDir(staging_).filePath(b.fileName);
        s.tmpl = t;
        s.tmpl.templatePath = file;
        s.tmpl.templateFolder = s.currentDirectory = QFileInfo(file).absolutePath();
        EditorContext context(s);
        const QImage cover = CoverComposer(context).composeCover();
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
