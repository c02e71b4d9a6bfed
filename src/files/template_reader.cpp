#include "files/template_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <algorithm>
#include <new>
#include <vector>

#include "files/catalogue_loader.h"
#include "i18n/runtime_error.h"
#include "i18n/texts.h"
#include "platform/codepage.h"
#include "platform/picture_files.h"
#include "session/session.h"
#include "template/board_paths.h"
#include "template/board_values.h"

namespace vexil {
namespace {

// One load: each step that fails is reported once per error number, and the load goes on
// with the next step.
class BoardLoad {
public:
    BoardLoad(Session& session, QString path, QString namesFolder)
        : s_(session),
          t_(session.tmpl),
          path_(std::move(path)),
          namesFolder_(std::move(namesFolder)) {}

    void run();

private:
    template <class F>
    bool step(F&& f) {
        try {
            f();
            return true;
        } catch (const RuntimeError& e) {
            report(e.number());
        } catch (const std::bad_alloc&) {
            report(errnum::OutOfMemory);
        }
        return false;
    }
    void report(int number);
    bool openFile();
    void readHeader();
    void readAreas(int count);
    void loadCover();
    void selectMacroSet();

    template <class T>
    void readInto(T& target) {
        step([&] { target = reader_->readInt(); });
    }
    void readTextInto(QString& target) {
        step([&] { target = unquoteStored(reader_->readText()); });
    }
    // The picture name fills its line and is read as it stands, commas and all: boards
    // have always stored it bare. Only a quoted one (written so because a bare line could
    // not hold it) has its quotes stored as "¶".
    void readPictureInto(QString& target) {
        step([&] {
            bool quoted = false;
            QString v = reader_->readLine(&quoted);
            target = quoted ? unquoteStored(std::move(v)) : std::move(v);
        });
    }

    Session& s_;
    Template& t_;
    QString path_;
    QString namesFolder_;
    QString realPath_;
    std::vector<int> reported_;
    bool sawEnd_ = false;
    QString text_;
    std::unique_ptr<BoardValueReader> reader_;
};

void BoardLoad::report(int number) {
    if (number == errnum::InputPastEnd) sawEnd_ = true;
    if (std::find(reported_.begin(), reported_.end(), number) != reported_.end()) return;
    reported_.push_back(number);
    s_.message(messageText(3) + path_ + QString::number(number) + u' ' +
               runtimeErrorDescription(number));
}

bool BoardLoad::openFile() {
    QFile file(realPath_);
    const QFileInfo info(realPath_);
    if (!info.exists()) throw RuntimeError(errnum::FileNotFound);
    // Only regular files: a folder, a pipe or a device named like a board is no board, and
    // reading a pipe would wait for ever.
    if (!info.isFile()) throw RuntimeError(errnum::PathFileAccess);
    if (info.size() > kMaxBoardFileSize) throw RuntimeError(errnum::OutOfMemory);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(file.error() == QFileDevice::PermissionsError ? errnum::PermissionDenied
                                                                         : errnum::PathFileAccess);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw RuntimeError(errnum::DeviceIo);
    text_ = decodeAnsi(bytes);
    noteBoardRead(s_.trust, s_.folders, realPath_, bytes);
    return true;
}

void BoardLoad::readAreas(int count) {
    // Reserve no more than the rest of the file could hold (a block is at least 24
    // characters), so that a lying count costs nothing.
    const qsizetype room = (reader_->size() - reader_->position()) / 24 + 1;
    if (count > 0) t_.reserveAreas(int(std::min<qsizetype>(count, room)));
    // The panel starts counting afresh: a board loaded after another big one must not
    // overflow the count of added areas.
    t_.addedAreaCount = 0;
    Area work;
    for (int i = 1; i <= count; ++i) {
        if (reader_->atEnd()) {
            // A short file: the end-of-file message once, and only the areas really read.
            report(errnum::InputPastEnd);
            return;
        }
        readInto(work.x0);
        readInto(work.y0);
        readInto(work.x1);
        readInto(work.y1);
        readInto(work.level);
        readInto(work.clipKind);
        readTextInto(work.clipFile);
        readTextInto(work.soundFile);
        readTextInto(work.keys);
        readTextInto(work.iconFile);
        readInto(work.repeatReading);
        readInto(work.isGroup);
        // The file ended inside this block: it is dropped, not filled from the last one.
        if (sawEnd_) return;
        if (!step([&] { t_.appendArea(work); })) return;
    }
}

void BoardLoad::readHeader() {
    TemplateSettings& st = t_.settings;
    readPictureInto(st.pictureFile);
    if (!st.pictureFile.isEmpty() && s_.fileExists(st.pictureFile)) {
        t_.pictureFileTime = fileTimeText(s_.realPath(st.pictureFile));
        t_.coverOutdated = false;
    }
    std::int16_t count = 0;
    readInto(count);
    readTextInto(st.startProgram);
    readInto(st.templateClipKind);
    readTextInto(st.templateClipFile);
    readTextInto(st.startKeys);
    readTextInto(st.docFile);
    readTextInto(st.targetApp);
    readTextInto(st.description);
    readInto(st.propertiesOnNew);
    readInto(st.soundOn);
    if (st.formatVersion > 1) {
        readInto(st.autoCover);
        readInto(st.voiceLanguage);
        readInto(st.voiceSpeaker);
        readInto(st.voiceSpeed);
    } else {
        st.autoCover = 0;
    }
    readAreas(count);
}

void BoardLoad::loadCover() {
    const QString& picture = t_.settings.pictureFile;
    if (picture.isEmpty()) {
        s_.view->setCover(QImage());
        return;
    }
    if (!s_.fileExists(picture)) {
        s_.message(messageText(15) + picture);
        s_.view->setCover(QImage());
        return;
    }
    step([&] {
        const QImage cover = readPicture(s_.realPath(picture));
        if (cover.isNull()) {
            s_.view->setCover(QImage());
            throw RuntimeError(errnum::InvalidPicture);
        }
        s_.view->setCover(cover);
    });
}

void BoardLoad::selectMacroSet() {
    const QString program = fileNamePart(t_.settings.startProgram).toUpper();
    const auto& programs = s_.catalogue.programs;
    for (size_t i = 1; i < programs.size(); ++i) {
        if (programs[i].file != program) continue;
        step([&] {
            loadMacros(s_, programs[i].section);
            s_.catalogue.macroSetCaption = programs[i].name;
            s_.view->setMacroMenuCaption(programs[i].name);
        });
        return;
    }
}

void BoardLoad::run() {
    if (path_.isEmpty()) return;
    if (!isAbsoluteName(path_)) {
        const QString base = t_.templateFolder.isEmpty() ? s_.currentDirectory : t_.templateFolder;
        path_ = joinName(base, path_);
    }
    realPath_ = s_.realPath(path_);
    const bool exists = QFileInfo(realPath_).isFile();

    // The folder of the file becomes the current directory, so that the board's relative
    // names resolve there.
    const QString folder = namesFolder_.isEmpty() ? folderPart(path_) : namesFolder_;
    if (!folder.isEmpty() && QFileInfo(s_.realPath(folder)).isDir()) {
        s_.currentDirectory = folder;
        t_.templateFolder = folder;
    }
    t_.clearTemplate();
    // Whatever can be read of a file that fails to load comes from nowhere trusted.
    s_.trust.level = TrustLevel::Unasked;
    s_.trust.path = QFileInfo(realPath_).canonicalFilePath();
    s_.trust.digest.clear();
    s_.view->setDrawingArmed(false);

    // An existing file passes whatever the case of its extension, as its upper-case short
    // name would; a missing one must be written ".VXL".
    const QString extension = path_.right(4);
    if (exists ? extension.compare(u".VXL", Qt::CaseInsensitive) != 0 : extension != u".VXL") {
        s_.message(messageText(2), MessageButtons::Ok, MessageIcon::Critical);
        return;
    }

    if (step([&] { openFile(); })) {
        reader_ = std::make_unique<BoardValueReader>(text_);
        readInto(t_.settings.formatVersion);
        readInto(t_.settings.formatVariant);
        if (t_.settings.formatVersion > 2 || t_.settings.formatVariant > 1) {
            s_.message(messageText(14));
            t_.settings.formatVersion = 2;
            t_.settings.formatVariant = 1;
            return;
        }
        readHeader();
        reader_.reset();
        text_.clear();
        text_.squeeze();
    }

    loadCover();
    s_.view->redrawBoard();
    s_.view->setSoundOnCheck(t_.settings.soundOn != 0);
    t_.templatePath = path_;
    step([&] {
        if (!QFileInfo::exists(realPath_)) throw RuntimeError(errnum::FileNotFound);
        t_.templateFileTime = fileTimeText(realPath_);
    });
    s_.view->setTitle(boardWindowTitle(t_.templatePath));
    t_.modified = false;
    s_.view->setKeysBoxCoversClip(t_.settings.formatVariant != 0);
    selectMacroSet();
}

}  // namespace

void loadTemplate(Session& session, const QString& path) {
    BoardLoad(session, path, QString()).run();
}

void loadTemplateInFolder(Session& session, const QString& path, const QString& namesFolder) {
    BoardLoad(session, path, namesFolder).run();
}

}  // namespace vexil
