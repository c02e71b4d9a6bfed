#pragma once
// Trusted boards. A board may start programs, write the registry and open other boards;
// it does so on its own only when it is trusted: this program saved it for this user, the
// user said to trust it, or it was installed with the program. Anything else (a board
// downloaded, copied from elsewhere, imported, or changed outside the program) asks first.
//
// The record is a text file in the user's data folder, readable by the user alone: one
// line a board, the SHA-256 of the file's bytes in lower-case hex, a tab, and the board's
// canonical path. A board whose bytes changed matches its line no more.
#include <QByteArray>
#include <QString>
#include <set>

namespace vexil {

struct Folders;

// The SHA-256 of a board file's bytes, in lower-case hex.
QByteArray boardDigest(const QByteArray& bytes);

class TrustRecord {
public:
    // `file` empty: nothing is remembered, and nothing is trusted through the record.
    explicit TrustRecord(QString file);
    const QString& file() const { return file_; }
    bool holds(const QString& canonicalPath, const QByteArray& digest) const;
    // Records the board, replacing an older line of the same path. The file is written
    // whole through a temporary file and made private to the user (0600); false when it
    // could not be written.
    bool add(const QString& canonicalPath, const QByteArray& digest) const;

private:
    QString file_;
};

// The record of these folders: "trusted-boards" in the data folder (the user folder when
// there is no data folder of its own).
TrustRecord trustRecordOf(const Folders& folders);

// Whether the board file at `realPath`, holding `bytes`, is trusted: installed with the
// program (below Folders::installedBoards) or in the record with these very bytes.
bool isTrustedBoardFile(const Folders& folders, const QString& realPath, const QByteArray& bytes);
// The same, reading the file; false when it cannot be read.
bool isTrustedBoardFile(const Folders& folders, const QString& realPath);

// Records the board file at `realPath` as trusted with its present bytes. False, with
// `error` set, when the file cannot be read or the record cannot be written.
bool trustBoardFile(const Folders& folders, const QString& realPath, QString* error = nullptr);

enum class TrustLevel {
    Trusted,   // runs as it always has
    Unasked,   // the first guarded action asks
    Declined,  // the user chose to use it without its programs, registry writes and boards
};

// What the session knows about the board in use.
struct BoardTrust {
    TrustLevel level = TrustLevel::Trusted;  // a new board is the user's own work
    QString path;                            // canonical path of the file it was read from
    QByteArray digest;                       // of the bytes read
    // Contents the user chose to use without their actions, for as long as the program runs.
    std::set<QByteArray> declined;
    // Every board counts as trusted (vexil-tool play --trust).
    bool trustEveryBoard = false;
};

// The loader read the board in use from `realPath`: it is trusted, asks, or was declined
// before, by its bytes.
void noteBoardRead(BoardTrust& trust, const Folders& folders, const QString& realPath,
                   const QByteArray& bytes);
// The editor wrote the board in use to `realPath`: this program saved it, so it is trusted
// (and recorded so).
void noteBoardSaved(BoardTrust& trust, const Folders& folders, const QString& realPath);
// A new board, made here: trusted.
void noteNewBoard(BoardTrust& trust);

}  // namespace vexil
