#include "editor/undo_store.h"

#include <QDir>
#include <QSaveFile>

#include "app/session.h"
#include "template/file_commands.h"
#include "template/template_writer.h"

namespace vexil {

bool UndoStore::writeSnapshotFile(const QByteArray& bytes) const {
    const QString& userFolder = session_.folders.userFolder;
    if (userFolder.isEmpty()) return false;
    QSaveFile file(QDir(userFolder).filePath(QStringLiteral("tmp.bin")));
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes);
    return file.commit();
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
    if (undo_.empty()) return false;
    QByteArray target = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(templateFileBytes(session_.tmpl));
    while (int(redo_.size()) > kDepth) redo_.pop_front();
    restore(target);
    return true;
}

bool UndoStore::redo() {
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
