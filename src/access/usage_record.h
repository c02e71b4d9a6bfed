#pragma once
// The usage record: which area of which board was activated when, for the therapist who
// arranges the board. Kept only on this machine, one for each profile, in the user's data
// folder ("registre/<profile>.csv"), readable by the user alone, as CSV:
//   time,board,area,label
//   2026-12-08T16:10:00,/home/ana/plafons/MENJAR.VXL,5,aigua
// The file is capped: past kCapBytes it becomes "<profile>.1.csv" (replacing the older
// one) and a new file starts, so the record never holds more than twice the cap.
#include <QDateTime>
#include <QHash>
#include <QString>

namespace vexil {

class Session;

class UsageRecord {
public:
    static constexpr qint64 kCapBytes = 1 << 20;
    // The record of every profile together, as earlier versions kept it: never written
    // again, made private to the user when found, and cleared with the others.
    static inline const QString kSharedFileName = QStringLiteral("usage.csv");
    static inline const QString kSharedOlderFileName = QStringLiteral("usage.1.csv");

    // The record's file, and the older one, of the profile last loaded; empty without a
    // data folder.
    static QString pathFor(const Session& session);
    static QString olderPathFor(const Session& session);

    // Appends one activation when the profile asks for a record. A record that cannot be
    // written turns itself off for the rest of the run with one message; it never stops the
    // activation (it is written after it).
    void append(Session& session, const QString& board, int area, const QString& label,
                const QDateTime& when = QDateTime::currentDateTime());
    bool failed() const { return failed_; }
    qint64 capBytes = kCapBytes;

private:
    bool failed_ = false;
};

// Removes the profile's record (both files, and those of the shared record); false when one
// stays.
bool clearUsageRecord(const Session& session);

// Activations of each area of `board` in the record (both files), by area number.
QHash<int, int> usageCounts(const Session& session, const QString& board);

// The heat of each area for the overlay: its count over the largest count (0 to 1].
QHash<int, double> usageHeat(const QHash<int, int>& counts);

// One CSV field, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString& text);
// The fields of one CSV line.
QStringList csvFields(const QString& line);

}  // namespace vexil
