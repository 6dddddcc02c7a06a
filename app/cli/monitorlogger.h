#pragma once

#include "livecolumns.h"

#include <QList>
#include <QString>
#include <QStringList>

class Session;

// The live values the monitor page polls (LiveColumns), read as one CSV row each time.
class MonitorLogger
{
public:
    explicit MonitorLogger(Session &session);

    // Names of live values this catalogue lacks (their columns are left out).
    QStringList missingNames() const { return m_columns.missingNames(); }
    // Reads the section count so RAM values use the right formula; false when the unit does not answer.
    bool prepare();
    // "time" and one "Name [unit]" column per value.
    QString header() const;
    // A row: ISO 8601 time stamp (UTC, milliseconds) and the values; false when a read fails.
    bool poll(QString &row);

private:
    Session &m_session;
    LiveColumns m_columns;
};
