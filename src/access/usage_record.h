#pragma once
// The usage record: which area of which board was activated when, for the therapist who
// arranges the board. Kept only on this machine, in the user's data folder, as CSV:
//   time,board,area,label
//   2026-12-08T16:10:00,/home/ana/plafons/MENJAR.VXL,5,aigua
// The file is capped: past kCapBytes it becomes usage.1.csv (replacing the older one)
// and a new file starts, so the record never holds more than twice the cap.
#include <QDateTime>
#include <QHash>
#include <QString>

namespace vexil {

class Session;

class UsageRecord {
public:
    static constexpr qint64 kCapBytes = 1 << 20;
    static inline const QString kFileName = QStringLiteral("usage.csv");
    static inline const QString kOlderFileName = QStringLiteral("usage.1.csv");

    // The record's file for the session's folders.
    static QString pathFor(const Session& session);

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

// Activations of each area of `board` in the record (both files), by area number.
QHash<int, int> usageCounts(const Session& session, const QString& board);

// The heat of each area for the overlay: its count over the largest count (0 to 1].
QHash<int, double> usageHeat(const QHash<int, int>& counts);

// One CSV field, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString& text);
// The fields of one CSV line.
QStringList csvFields(const QString& line);

}  // namespace vexil
