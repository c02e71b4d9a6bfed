#include "obf/obf_export.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QtEndian>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "commands/player.h"
#include "editor/cover_composer.h"
#include "editor/editor_context.h"
#include "files/template_reader.h"
#include "i18n/texts.h"
#include "obf/obf_error.h"
#include "obf/obf_format.h"
#include "obf/zip_archive.h"
#include "platform/fake/fake_platform.h"
#include "platform/picture_files.h"
#include "session/session.h"
#include "template/board_paths.h"

namespace vexil::obf {
namespace {

// Boards larger than this are not packed: nothing a person made comes near it.
constexpr qint64 kMaxPackedFile = qint64(64) * 1024 * 1024;

struct Board {
    QString realPath;  // the board file on this machine
    QString id;
    Template tmpl;
    QByteArray bytes;  // the board file as it is
    // Files the board names by relative names that exist: real path of each.
    QStringList files;
    // For each area number: the board id a CARREGA of its keys opens, or empty.
    QHash<int, QString> links;
    QString coverPath;                // real path of the cover picture, when it exists
    QHash<int, QString> iconPaths;    // area -> real path of its picture
    QHash<int, QString> soundPaths;   // area -> real path of its wave sound
};

QString folderOf(const QString& realPath) {
    return QFileInfo(realPath).absolutePath();
}

// The deepest folder holding every path.
QString commonFolder(const QStringList& paths) {
    QStringList common;
    bool first = true;
    for (const QString& p : paths) {
        const QStringList parts = QDir::cleanPath(p).split(u'/');
        if (first) {
            common = parts;
            first = false;
            continue;
        }
        qsizetype n = 0;
        while (n < common.size() && n < parts.size() && common[n] == parts[n]) ++n;
        common = common.mid(0, n);
    }
    const QString joined = common.join(u'/');
    return joined.isEmpty() ? QStringLiteral("/") : joined;
}

bool isPictureName(const QString& name) {
    const QString upper = name.toUpper();
    for (const char* ext : {".BMP", ".GIF", ".JPG", ".JPEG", ".PNG", ".DIB", ".ICO", ".CUR"})
        if (upper.endsWith(QLatin1String(ext))) return true;
    return false;
}

// A wave sound's length in whole seconds (at least 1), from its format and data chunks.
int waveSeconds(const QByteArray& wav) {
    auto u32 = [&](qsizetype at) {
        return at + 4 <= wav.size() ? qFromLittleEndian<quint32>(wav.constData() + at) : 0u;
    };
    quint32 byteRate = 0;
    qint64 data = 0;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (id == "fmt ") byteRate = u32(at + 16);
        else if (id == "data") data = std::min<qint64>(size, wav.size() - at - 8);
        at += 8 + qsizetype(size) + (size & 1);
    }
    if (byteRate == 0) return 1;
    return int(std::max<qint64>(1, (data + byteRate - 1) / byteRate));
}

// What readers of the format do for an area's keys, when they are one of the actions the
// format names: a blank, Backspace, Enter, Tab, or plain letters ("+abc"). The texts of
// LLEGIR commands are the vocalization, not an action.
QJsonArray actionsOf(const QString& keys) {
    const QString typed = withVocalization(keys, {});
    static const QHash<QString, QString> named{
        {QStringLiteral(" "), QStringLiteral(":space")},
        {QStringLiteral("{BACKSPACE}"), QStringLiteral(":backspace")},
        {QStringLiteral("{BS}"), QStringLiteral(":backspace")},
        {QStringLiteral("{BKSP}"), QStringLiteral(":backspace")},
        {QStringLiteral("{BK}"), QStringLiteral(":backspace")},
        {QStringLiteral("{ENTER}"), QStringLiteral(":enter")},
        {QStringLiteral("~"), QStringLiteral(":enter")},
        {QStringLiteral("{TAB}"), QStringLiteral(":tab")},
    };
    if (named.contains(typed.toUpper())) return QJsonArray{named.value(typed.toUpper())};
    static const QString special = QStringLiteral("+^%~(){}[]");
    if (typed.trimmed().isEmpty()) return {};
    for (QChar c : typed)
        if (special.contains(c) || c.unicode() < 0x20) return {};
    return QJsonArray{u'+' + typed};
}

class Exporter {
public:
    Exporter(const DriveMap& drives) {
        Folders folders;
        folders.programFolder = scratch_.path();
        folders.userFolder = scratch_.path();
        folders.drives = drives;
        session_ = std::make_unique<Session>(fake_.platform, folders);
        session_->currentDirectory = QDir::currentPath();
    }

    ExportReport run(const QString& boardPath, const QString& outPath) {
        const bool single = outPath.endsWith(QLatin1String(".obf"), Qt::CaseInsensitive);
        if (!single && !outPath.endsWith(QLatin1String(".obz"), Qt::CaseInsensitive))
            throw ObfError(QStringLiteral("%1: the name must end in .obz or .obf").arg(outPath));
        collect(QFileInfo(boardPath).absoluteFilePath());
        QStringList everything;
        for (const Board& b : boards_) {
            everything << folderOf(b.realPath);
            for (const QString& f : b.files) everything << folderOf(f);
        }
        root_ = commonFolder(everything);
        if (single) writeSingle(outPath);
        else writePackage(outPath);
        report_.boards = single ? 1 : int(boards_.size());
        return report_;
    }

private:
    QString relative(const QString& realPath) const {
        return QDir(root_).relativeFilePath(realPath);
    }

    void collect(const QString& first) {
        std::vector<QString> queue{first};
        QHash<QString, QString> idOf;  // canonical path -> id
        auto idFor = [&](const QString& path) {
            const QString key = QFileInfo(path).canonicalFilePath();
            auto it = idOf.find(key);
            if (it != idOf.end()) return *it;
            const QString id = QStringLiteral("board-%1").arg(idOf.size() + 1);
            idOf.insert(key, id);
            queue.push_back(path);
            return id;
        };
        if (!QFileInfo(first).isFile())
            throw ObfError(QStringLiteral("%1: no such board file").arg(first));
        idOf.insert(QFileInfo(first).canonicalFilePath(), QStringLiteral("board-1"));
        for (size_t i = 0;;) {
            for (; i < queue.size(); ++i) collectOne(queue[i], idOf, idFor);
            // The boards beside the first that open a board of the package belong to its
            // set though none of its boards opens them (an imported set often has such
            // boards, with a key back home): they are packed too, with what they open.
            if (!addBoardsOpeningThePackage(folderOf(first), idOf, idFor)) break;
        }
    }

    template <class IdFor>
    bool addBoardsOpeningThePackage(const QString& folder, const QHash<QString, QString>& idOf, IdFor& idFor) {
        bool added = false;
        const QStringList boards = QDir(folder).entryList(QDir::Files, QDir::Name);
        for (const QString& name : boards) {
            if (!name.endsWith(QLatin1String(".VXL"), Qt::CaseInsensitive)) continue;
            const QString path = QDir(folder).filePath(name);
            if (idOf.contains(QFileInfo(path).canonicalFilePath())) continue;
            QFile f(path);
            if (f.size() > kMaxPackedFile) continue;
            fake_.recorder.clear();
            loadTemplate(*session_, path);
            bool broken = false;
            for (const auto& e : fake_.recorder.eventsOf(QStringLiteral("message")))
                if (!e.value(QStringLiteral("text")).toString().startsWith(messageText(15))) broken = true;
            if (broken) continue;  // not a board this export could read: left where it is
            session_->currentDirectory = folder;
            const Template t = session_->tmpl;
            bool opens = false;
            for (int n = 1; n <= t.areaCount() && !opens; ++n)
                for (const EmbeddedCommand& c : embeddedCommands(t.area(n).keys))
                    if ((c.keyword == u"CARREGA" || c.keyword == u"CARGA") &&
                        idOf.contains(QFileInfo(session_->realPath(c.argument)).canonicalFilePath())) {
                        opens = true;
                        break;
                    }
            if (opens) {
                idFor(path);
                added = true;
            }
        }
        return added;
    }

    template <class IdFor>
    // One board of the queue (by value: reaching more boards grows the queue).
    void collectOne(const QString boardPath, const QHash<QString, QString>& idOf, IdFor& idFor) {
        Board b = load(boardPath);
        b.id = idOf.value(QFileInfo(b.realPath).canonicalFilePath());
        // The boards its CARREGA commands open, each once, in the order they appear.
        for (int n = 1; n <= b.tmpl.areaCount(); ++n)
            for (const EmbeddedCommand& c : embeddedCommands(b.tmpl.area(n).keys)) {
                if (c.keyword != u"CARREGA" && c.keyword != u"CARGA") continue;
                const QString target = session_->realPath(c.argument);
                if (!target.endsWith(QLatin1String(".VXL"), Qt::CaseInsensitive)) {
                    report_.notices << QStringLiteral("%1: area %2 opens %3, which is no board")
                                           .arg(b.realPath)
                                           .arg(n)
                                           .arg(c.argument);
                    continue;
                }
                if (!QFileInfo(target).isFile()) {
                    report_.notices << QStringLiteral("%1: area %2 opens %3, which does not exist")
                                           .arg(b.realPath)
                                           .arg(n)
                                           .arg(c.argument);
                    continue;
                }
                session_->currentDirectory = folderOf(b.realPath);
                const QString id = idFor(target);
                if (!b.links.contains(n)) b.links.insert(n, id);
            }
        boards_.push_back(std::move(b));
    }

    // Loads one board the way the program does, and finds the files it names.
    Board load(const QString& realPath) {
        Board b;
        b.realPath = realPath;
        QFile f(realPath);
        if (f.size() > kMaxPackedFile || !f.open(QIODevice::ReadOnly))
            throw ObfError(QStringLiteral("%1 cannot be read").arg(realPath));
        b.bytes = f.readAll();
        fake_.recorder.clear();
        loadTemplate(*session_, realPath);
        for (const auto& e : fake_.recorder.eventsOf(QStringLiteral("message"))) {
            const QString text = e.value(QStringLiteral("text")).toString();
            if (text.startsWith(messageText(15)))
                report_.notices << QStringLiteral("%1: %2").arg(realPath, text);
            else
                throw ObfError(QStringLiteral("%1 cannot be read: %2")
                                   .arg(realPath, QString(text).replace(u'\r', u' ')));
        }
        b.tmpl = session_->tmpl;
        session_->currentDirectory = folderOf(realPath);
        const TemplateSettings& st = b.tmpl.settings;
        b.coverPath = existing(st.pictureFile);
        for (const QString& name : {st.pictureFile, st.templateClipFile, st.docFile})
            pack(b, name);
        for (int n = 1; n <= b.tmpl.areaCount(); ++n) {
            const Area& a = b.tmpl.area(n);
            for (const QString& name : {a.clipFile, a.soundFile, a.iconFile}) pack(b, name);
            if (isPictureName(a.iconFile) && !existing(a.iconFile).isEmpty())
                b.iconPaths.insert(n, existing(a.iconFile));
            if (a.soundFile.toUpper().contains(QLatin1String(".WAV")) &&
                !existing(a.soundFile.trimmed()).isEmpty())
                b.soundPaths.insert(n, existing(a.soundFile.trimmed()));
            for (const EmbeddedCommand& c : embeddedCommands(a.keys)) {
                if (c.keyword == u"SONA" || c.keyword == u"SUENA" || c.keyword == u"ENGANXA" ||
                    c.keyword == u"ENGANCHA")
                    pack(b, c.argument);
                else if ((c.keyword == u"LLEGEIX" || c.keyword == u"LEE") &&
                         c.argument.contains(QLatin1String("/F:"), Qt::CaseInsensitive))
                    pack(b, c.argument.mid(c.argument.indexOf(QLatin1String("/F:"), 0,
                                                              Qt::CaseInsensitive) +
                                           3)
                                .trimmed());
            }
        }
        for (const EmbeddedCommand& c : embeddedCommands(st.startKeys))
            if (c.keyword == u"SONA" || c.keyword == u"SUENA" || c.keyword == u"ENGANXA")
                pack(b, c.argument);
        return b;
    }

    QString existing(const QString& name) const {
        if (name.trimmed().isEmpty()) return {};
        const QString path = session_->realPath(name.trimmed());
        return QFileInfo(path).isFile() ? QFileInfo(path).absoluteFilePath() : QString();
    }

    // A file named relatively travels with the boards; one named absolutely stays behind.
    void pack(Board& b, const QString& name) {
        const QString path = existing(name);
        if (path.isEmpty()) return;
        if (isAbsoluteName(name.trimmed())) {
            report_.notices << QStringLiteral("%1: %2 is named by an absolute path; it is not packed")
                                   .arg(b.realPath, name.trimmed());
            return;
        }
        if (QFileInfo(path).size() > kMaxPackedFile) {
            report_.notices << QStringLiteral("%1: %2 is larger than %3 bytes; it is not packed")
                                   .arg(b.realPath, name.trimmed())
                                   .arg(kMaxPackedFile);
            return;
        }
        if (!b.files.contains(path)) b.files << path;
    }

    // Appends the resource once to the board's list.
    static void appendOnce(QJsonArray& list, const QJsonObject& entry) {
        for (const QJsonValue& v : list)
            if (v.toObject().value(QStringLiteral("id")) == entry.value(QStringLiteral("id"))) return;
        list.append(entry);
    }

    // A picture as an OBF image (PNG), or an empty id when it does not decode here.
    QString imageFor(const QString& realPath, QJsonArray& images, bool inline_) {
        if (!images_.contains(realPath)) {
            const QImage image = readPicture(realPath);
            if (image.isNull())
                report_.notices << QStringLiteral("%1: the picture does not decode here; it is left out")
                                       .arg(realPath);
            return pictureFor(realPath, image, images, inline_);
        }
        return pictureFor(realPath, QImage(), images, inline_);
    }

    // The image `picture` under `key` (made once), added to the board's list; its id.
    QString pictureFor(const QString& key, const QImage& picture, QJsonArray& images, bool inline_) {
        auto it = images_.find(key);
        if (it == images_.end()) {
            QJsonObject entry;
            if (!picture.isNull()) {
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                picture.save(&buffer, "PNG");
                const QString id = QStringLiteral("image-%1").arg(images_.size() + 1);
                pngs_.insert(id, png);
                entry = QJsonObject{{QStringLiteral("id"), id},
                                    {QStringLiteral("width"), picture.width()},
                                    {QStringLiteral("height"), picture.height()},
                                    {QStringLiteral("content_type"), QStringLiteral("image/png")}};
                if (inline_) {
                    entry.insert(QStringLiteral("data"), dataUri(QStringLiteral("image/png"), png));
                } else {
                    const QString path = QStringLiteral("images/%1.png").arg(id);
                    zip_.add(path, png);
                    entry.insert(QStringLiteral("path"), path);
                    manifestImages_.insert(id, path);
                }
            }
            it = images_.insert(key, entry);
        }
        if (it->isEmpty()) return {};
        appendOnce(images, *it);
        return it->value(QStringLiteral("id")).toString();
    }

    // The board as it shows: its cover picture, or the cover drawn from its areas when it
    // has none (the picture the areas' images are cut from).
    QImage shownCover(const Board& b) {
        if (!b.coverPath.isEmpty()) {
            const QImage cover = readPicture(b.coverPath);
            if (!cover.isNull()) return cover;
        }
        session_->tmpl = b.tmpl;
        session_->tmpl.templatePath = b.realPath;
        session_->tmpl.templateFolder = session_->currentDirectory = folderOf(b.realPath);
        EditorContext context(*session_);
        return CoverComposer(context).composeCover();
    }

    QString soundFor(const QString& realPath, QJsonArray& sounds, bool inline_) {
        auto it = sounds_.find(realPath);
        if (it == sounds_.end()) {
            QFile f(realPath);
            QJsonObject entry;
            if (f.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = f.readAll();
                const QString id = QStringLiteral("sound-%1").arg(sounds_.size() + 1);
                entry = QJsonObject{{QStringLiteral("id"), id},
                                    {QStringLiteral("duration"), waveSeconds(bytes)},
                                    {QStringLiteral("content_type"), QStringLiteral("audio/wav")}};
                if (inline_) {
                    entry.insert(QStringLiteral("data"), dataUri(QStringLiteral("audio/wav"), bytes));
                } else {
                    const QString path = QStringLiteral("sounds/%1.wav").arg(id);
                    zip_.add(path, bytes);
                    entry.insert(QStringLiteral("path"), path);
                    manifestSounds_.insert(id, path);
                }
            }
            it = sounds_.insert(realPath, entry);
        }
        if (it->isEmpty()) return {};
        appendOnce(sounds, *it);
        return it->value(QStringLiteral("id")).toString();
    }

    const Board* boardById(const QString& id) const {
        for (const Board& b : boards_)
            if (b.id == id) return &b;
        return nullptr;
    }

    QString boardName(const Board& b) const {
        const QString description = b.tmpl.settings.description.trimmed();
        return description.isEmpty() ? QFileInfo(b.realPath).completeBaseName() : description;
    }

    QJsonObject boardJson(const Board& b, bool inline_) {
        const Template& t = b.tmpl;
        QJsonArray buttons, images, sounds;
        QJsonObject out{{QStringLiteral("format"), kFormat},
                        {QStringLiteral("id"), b.id},
                        {QStringLiteral("locale"), t.settings.voiceLanguage == 1
                                                       ? QStringLiteral("es")
                                                       : QStringLiteral("ca")},
                        {QStringLiteral("name"), boardName(b)}};
        // Readers that show a description find one: the board's, else its name.
        out.insert(QStringLiteral("description_html"),
                   (t.settings.description.isEmpty() ? boardName(b) : t.settings.description).toHtmlEscaped());
        // The board's frame: area 1, where the cover lies; positions are fractions of it.
        const Area* frame = t.areaCount() >= 1 ? &t.area(1) : nullptr;
        int fx = 0, fy = 0;
        if (frame) {
            if (std::abs(frame->x1 - frame->x0) > 0 && std::abs(frame->y1 - frame->y0) > 0) {
                fx = std::min(frame->x0, frame->x1);
                fy = std::min(frame->y0, frame->y1);
            }
            out.insert(QStringLiteral("ext_vexil_frame"), areaToJson(*frame));
        }
        if (!b.coverPath.isEmpty()) {
            const QString id = imageFor(b.coverPath, images, inline_);
            if (!id.isEmpty()) {
                // The cover by id, and inline for readers that take a background as a URL.
                // The format defines no background: it is Vexil's own field.
                QJsonObject background{
                    {QStringLiteral("image_id"), id},
                    {QStringLiteral("image_url"), dataUri(QStringLiteral("image/png"), pngs_.value(id))}};
                out.insert(QStringLiteral("ext_vexil_background"), background);
            }
        }
        // Every button has a picture: its own, else the part of the cover it lies over, so
        // that readers that only know grids show what the board shows.
        const QImage cover = shownCover(b);
        std::vector<int> gridAreas;
        for (int n = 2; n <= t.areaCount(); ++n) {
            const Area& a = t.area(n);
            const QString id = QStringLiteral("%1-area-%2").arg(b.id).arg(n);
            QString label = areaLabel(a);
            const QString spoken = areaVocalization(a);
            const Fractions f = areaFractions(a, frame);
            QJsonObject button{{QStringLiteral("id"), id},
                               {QStringLiteral("left"), f.left},
                               {QStringLiteral("top"), f.top},
                               {QStringLiteral("width"), f.width},
                               {QStringLiteral("height"), f.height},
                               {QStringLiteral("border_color"), QStringLiteral("rgb(0, 0, 0)")},
                               {QStringLiteral("ext_vexil_area"), areaToJson(a)}};
            if (!spoken.isEmpty()) button.insert(QStringLiteral("vocalization"), spoken);
            const QJsonArray actions = actionsOf(a.keys);
            if (!actions.isEmpty()) button.insert(QStringLiteral("actions"), actions);
            QString image;
            if (b.iconPaths.contains(n)) image = imageFor(b.iconPaths.value(n), images, inline_);
            if (image.isEmpty() && !cover.isNull()) {
                const QRect r = QRect(QPoint(std::min(a.x0, a.x1) - fx, std::min(a.y0, a.y1) - fy),
                                      QPoint(std::max(a.x0, a.x1) - fx - 1, std::max(a.y0, a.y1) - fy - 1))
                                    .intersected(cover.rect());
                if (!r.isEmpty())
                    image = pictureFor(QStringLiteral("%1\n%2").arg(b.realPath).arg(n), cover.copy(r), images,
                                       inline_);
                // Not the area's icon: the import makes no icon file of it.
                if (!image.isEmpty()) button.insert(QStringLiteral("ext_vexil_cover_part"), true);
            }
            if (!image.isEmpty()) button.insert(QStringLiteral("image_id"), image);
            if (b.soundPaths.contains(n)) {
                const QString sound = soundFor(b.soundPaths.value(n), sounds, inline_);
                if (!sound.isEmpty()) button.insert(QStringLiteral("sound_id"), sound);
            }
            if (b.links.contains(n)) {
                const Board* target = boardById(b.links.value(n));
                if (target) {
                    if (label.isEmpty()) label = boardName(*target);
                    QJsonObject link{{QStringLiteral("id"), target->id},
                                     {QStringLiteral("name"), boardName(*target)}};
                    if (!inline_)
                        link.insert(QStringLiteral("path"),
                                    QStringLiteral("boards/%1.obf").arg(target->id));
                    button.insert(QStringLiteral("load_board"), link);
                }
            }
            if (label.isEmpty() && !spoken.isEmpty()) label = spoken;
            button.insert(QStringLiteral("label"), label);
            gridAreas.push_back(n);
            buttons.append(button);
        }
        // The grid: every area (groups too: readers want every button placed), in reading
        // order, one grid row per row of areas.
        const auto rows = readingRows(t, gridAreas);
        int columns = 0;
        for (const auto& r : rows) columns = std::max(columns, int(r.size()));
        QJsonArray order;
        for (const auto& r : rows) {
            QJsonArray row;
            for (int n : r) row.append(QStringLiteral("%1-area-%2").arg(b.id).arg(n));
            while (row.size() < columns) row.append(QJsonValue::Null);
            order.append(row);
        }
        if (order.isEmpty()) {
            // A board with no area but its frame: one button, the whole cover, so that the
            // grid has a cell. Vexil leaves it out when it imports the board.
            const QString id = QStringLiteral("%1-cover").arg(b.id);
            QJsonObject button{{QStringLiteral("id"), id},
                               {QStringLiteral("label"), boardName(b)},
                               {QStringLiteral("left"), 0},
                               {QStringLiteral("top"), 0},
                               {QStringLiteral("width"), 1},
                               {QStringLiteral("height"), 1},
                               {QStringLiteral("ext_vexil_cover"), true}};
            const QString image = cover.isNull() ? QString()
                                                 : pictureFor(b.realPath + QStringLiteral("\ncover"), cover,
                                                              images, inline_);
            if (!image.isEmpty()) button.insert(QStringLiteral("image_id"), image);
            buttons.append(button);
            order.append(QJsonArray{id});
            columns = 1;
        }
        out.insert(QStringLiteral("grid"), QJsonObject{{QStringLiteral("rows"), int(order.size())},
                                                       {QStringLiteral("columns"), columns},
                                                       {QStringLiteral("order"), order}});
        out.insert(QStringLiteral("buttons"), buttons);
        out.insert(QStringLiteral("images"), images);
        out.insert(QStringLiteral("sounds"), sounds);
        out.insert(QStringLiteral("ext_vexil_template"), settingsToJson(t.settings));
        out.insert(QStringLiteral("ext_vexil_board"), relative(b.realPath));
        return out;
    }

    // The board file and the files it names that no earlier board carries, inline in the
    // board (`ext_vexil_files`): the format's readers keep a board's own fields, and list
    // no file of a package that is not a board, an image or a sound.
    QJsonObject ownFiles(const Board& b, QSet<QString>& carried) const {
        QJsonObject files;
        QStringList own{b.realPath};
        own << b.files;
        for (const QString& f : own) {
            const QString name = relative(f);
            if (carried.contains(name)) continue;
            QFile in(f);
            if (!in.open(QIODevice::ReadOnly))
                throw ObfError(QStringLiteral("%1 cannot be read").arg(f));
            files.insert(name, dataUri(QStringLiteral("application/octet-stream"), in.readAll()));
            carried.insert(name);
        }
        return files;
    }

    void writePackage(const QString& outPath) {
        QJsonObject boardPaths;
        QSet<QString> carried;
        for (const Board& b : boards_) {
            const QString path = QStringLiteral("boards/%1.obf").arg(b.id);
            QJsonObject board = boardJson(b, false);
            board.insert(QStringLiteral("ext_vexil_files"), ownFiles(b, carried));
            zip_.add(path, QJsonDocument(board).toJson(QJsonDocument::Indented));
            boardPaths.insert(b.id, path);
        }
        QJsonObject images, sounds;
        for (auto it = manifestImages_.begin(); it != manifestImages_.end(); ++it)
            images.insert(it.key(), it.value());
        for (auto it = manifestSounds_.begin(); it != manifestSounds_.end(); ++it)
            sounds.insert(it.key(), it.value());
        const QJsonObject manifest{
            {QStringLiteral("format"), kFormat},
            {QStringLiteral("root"), QStringLiteral("boards/%1.obf").arg(boards_.front().id)},
            {QStringLiteral("paths"), QJsonObject{{QStringLiteral("boards"), boardPaths},
                                                  {QStringLiteral("images"), images},
                                                  {QStringLiteral("sounds"), sounds}}}};
        zip_.add(kManifest, QJsonDocument(manifest).toJson(QJsonDocument::Indented));
        zip_.writeTo(outPath);
    }

    void writeSingle(const QString& outPath) {
        const Board& b = boards_.front();
        QJsonObject board = boardJson(b, true);
        // The board file and the files it names, inline, so that the board comes back whole.
        QSet<QString> carried;
        board.insert(QStringLiteral("ext_vexil_files"), ownFiles(b, carried));
        if (boards_.size() > 1)
            report_.notices << QStringLiteral("an .obf holds one board: the %1 boards it opens are left out")
                                   .arg(boards_.size() - 1);
        QSaveFile out(outPath);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(QJsonDocument(board).toJson(QJsonDocument::Indented)) < 0 || !out.commit())
            throw ObfError(QStringLiteral("%1 cannot be written: %2").arg(outPath, out.errorString()));
    }

    QTemporaryDir scratch_;
    FakePlatform fake_;
    std::unique_ptr<Session> session_;
    std::vector<Board> boards_;
    QString root_;
    ZipWriter zip_;
    QHash<QString, QJsonObject> images_, sounds_;
    QHash<QString, QByteArray> pngs_;  // image id -> its PNG bytes
    QMap<QString, QString> manifestImages_, manifestSounds_;
    ExportReport report_;
};

}  // namespace

ExportReport exportBoards(const QString& boardPath, const QString& outPath, const DriveMap& drives) {
    Exporter exporter(drives);
    return exporter.run(boardPath, outPath);
}

}  // namespace vexil::obf
