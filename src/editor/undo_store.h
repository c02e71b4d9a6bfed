#pragma once
// The editor's undo store. Each snapshot is the board in its file form, written to the
// undo file "tmp.bin" as `copia_seguretat` does and kept in memory too, so that "Desfer"
// can step back through the last 50 and "Refer" forward again. Every step restores through
// `copia_seguretat` (mode 2), which keeps the board's file name and caption: the first
// "Desfer" after a snapshot is exactly the one-level restore.
#include <QByteArray>
#include <deque>

namespace vexil {

class Session;

class UndoStore {
public:
    static constexpr int kDepth = 50;

    explicit UndoStore(Session& session) : session_(session) {}

    // Takes a snapshot of the board as it is now.
    void snapshot();
    // Back to the last snapshot; false when there is none.
    bool undo();
    // Forward again; false when nothing was undone since the last change.
    bool redo();

    int undoDepth() const { return int(undo_.size()); }
    int redoDepth() const { return int(redo_.size()); }

private:
    void restore(const QByteArray& bytes);
    bool writeSnapshotFile(const QByteArray& bytes);
    // The undo file was written by someone else ("&Nou" takes a snapshot of the new board):
    // the steps kept belong to another board, and the file's snapshot is the only one.
    void followUndoFile();

    Session& session_;
    std::deque<QByteArray> undo_;
    std::deque<QByteArray> redo_;
    // The board as the last undo or redo left it: a snapshot of that same state (a click
    // that selects an area) keeps the redo steps.
    QByteArray restored_;
    // What this store last wrote to the undo file.
    QByteArray written_;
};

}  // namespace vexil
