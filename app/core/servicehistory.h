#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The record of every write to a control unit, kept in an SQLite file that
// the program and krvctl share and may append to at the same time. History
// is a witness, never a gate: a file that cannot be opened, is damaged or
// refuses an append turns the history off for the rest of the run, says so
// once through the notice, and every write goes on as before.
class ServiceHistory
{
public:
    // One row; the time is UTC, ISO 8601 with milliseconds.
    struct Row
    {
        QString time;
        QString program;
        QString user;
        QString port;
        QString production;
        QString serial;
        QString action;
        QString parameter;
        QString oldValue;
        QString newValue;
        QString sourceFile;
        QString result;

        QStringList fields() const;
    };

    // Empty members take every row. `unit` matches the serial or the
    // production number (as shown, or as a number in decimal or 0x hex);
    // the dates are UTC days, both inclusive; `parameter` is a part of the name.
    struct Filter
    {
        QString unit;
        QDate from;
        QDate to;
        QString parameter;
    };

    static const QString Done;          // "done"
    static const QString Failed;        // "failed"
    static const QString StoppedMidway; // "stopped midway"

    explicit ServiceHistory(QString path);
    ~ServiceHistory();
    ServiceHistory(const ServiceHistory &) = delete;
    ServiceHistory &operator=(const ServiceHistory &) = delete;

    // The file both programs share: the studio's folder in the user's data place.
    static QString defaultPath();
    // The name of the user running the program.
    static QString userName();
    // The column titles in the order of Row::fields().
    static QStringList titles();
    // The rows as CSV text with a header line, lines ended with LF.
    static QString csv(const QList<Row> &rows);

    const QString &path() const { return m_path; }

    // Told once, when the history turns off, why it did.
    void setOffNotice(std::function<void(const QString &)> notice) { m_notice = std::move(notice); }
    bool hasOffNotice() const { return bool(m_notice); }
    // Opens the file on first use; false when the history is off.
    bool open();
    bool isOff() const { return !m_offReason.isEmpty(); }
    // "Service history is off: file is not a database (<path>)", or "" while it works.
    QString offText() const;

    // Appends the rows as one transaction; false (history now off) when it failed.
    bool append(const QList<Row> &rows);
    // Newest first; none when the history is off.
    QList<Row> rows(const Filter &filter = {});

private:
    bool turnOff(const QString &reason);
    QString checkSchema();

    QString m_path;
    QString m_connection;
    bool m_opened = false;
    QString m_offReason;
    std::function<void(const QString &)> m_notice;
};
