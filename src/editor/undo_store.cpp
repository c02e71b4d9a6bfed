#include "editor/undo_store.h"

#include <QDir>
#include <QSaveFile>

#include "editor/file_commands.h"
#include "session/session.h"
#include "template/template_writer.h"

namespace vexil {

namespace {

QString undoFile(const Session& session) {
    const QString& userFolder = session.folders.userFolder;
    if (userFolder.isEmpty()) return QString();
    return QDir(userFolder).filePath(QStringLiteral("tmp.bin"));
}

}  // namespace

bool UndoStore::writeSnapshotFile(const QByteArray& bytes) {
    const QString path = undoFile(session_);
    if (path.isEmpty()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    if (!file.commit()) return false;
    written_ = bytes;
    return true;
}

void UndoStore::followUndoFile() {
    const QString path = undoFile(session_);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    if (bytes == written_) return;
    undo_.assign(1, bytes);
    redo_.clear();
    restored_.clear();
    written_ = bytes;
}

void UndoStore::snapshot() {
    // The bytes copia_seguretat would write (mode 1), made once for the file and the
    // memory: on a board of thousands of areas every click takes a snapshot.
    QByteArray bytes = templateFileBytes(session_.tmpl);
    writeSnapshotFile(bytes);
    // Clicking from area to area takes the same snapshot again and again.
    if (!undo_.empty() && undo_.back() == bytes) return;
    if (bytes != restored_) redo_.clear();
    restored_.clear();
    undo_.push_back(std::move(bytes));
    while (int(undo_.size()) > kDepth) undo_.pop_front();
}

void UndoStore::restore(const QByteArray& bytes) {
    // The restore reads the undo file, as the one-level undo always did.
    if (!writeSnapshotFile(bytes)) return;
    copia_seguretat(session_, 2);
    restored_ = bytes;
}

bool UndoStore::undo() {
    followUndoFile();
    if (undo_.empty()) return false;
    QByteArray target = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(templateFileBytes(session_.tmpl));
    while (int(redo_.size()) > kDepth) redo_.pop_front();
    restore(target);
    return true;
}

bool UndoStore::redo() {
    followUndoFile();
    if (redo_.empty()) return false;
    QByteArray target = std::move(redo_.back());
    redo_.pop_back();
    QByteArray now = templateFileBytes(session_.tmpl);
    if (undo_.empty() || undo_.back() != now) undo_.push_back(std::move(now));
    while (int(undo_.size()) > kDepth) undo_.pop_front();
    restore(target);
    return true;
}

}  // namespace vexil
