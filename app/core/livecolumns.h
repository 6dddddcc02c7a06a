#pragma once

#include "krvid.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Catalogue;

// The live values the on-line monitor polls, as columns of a log: error word,
// power outputs, digital inputs, the four joystick inputs, the four coil
// currents and the supply, in display units. The monitor log of krvctl and
// the trend recorder share these columns, their captions and their time stamps.
class LiveColumns
{
public:
    LiveColumns() = default;
    // The columns the catalogue holds; the others are named by missingNames().
    explicit LiveColumns(const Catalogue &catalogue);

    int count() const { return int(m_indices.size()); }
    // Catalogue index of a column.
    int index(int column) const { return m_indices[column]; }
    // Column of a catalogue index, -1 when it is not a live value.
    int columnOfIndex(int catalogueIndex) const { return int(m_indices.indexOf(catalogueIndex)); }
    KrvId id(int column) const { return m_ids[column]; }
    // Column of a well-known value, -1 when the catalogue lacks it.
    int columnOf(KrvId id) const { return int(m_ids.indexOf(id)); }
    // The short name the monitor page shows ("Joy 1"), else the name.
    QString label(int column) const { return m_labels[column]; }
    // "Name [unit]", or the name alone when the value has no unit.
    QString caption(int column) const { return m_captions[column]; }
    QString unit(int column) const { return m_units[column]; }
    QStringList missingNames() const { return m_missing; }

    // "time" and the captions, as one CSV line without line end.
    QString header() const;

    // ISO 8601, UTC, milliseconds: 2026-12-09T23:10:04.250Z.
    static QString timeStamp(const QDateTime &time);
    // A display value as the log writes it.
    static QString number(double value);

    bool operator==(const LiveColumns &other) const { return m_indices == other.m_indices; }
    bool operator!=(const LiveColumns &other) const { return !(*this == other); }

private:
    QList<int> m_indices;
    QList<KrvId> m_ids;
    QStringList m_labels;
    QStringList m_captions;
    QStringList m_units;
    QStringList m_missing;
};
