#pragma once

#include "configfilereader.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QTextStream>
#include <functional>

class Catalogue;
class Session;

// Compares two parameter sets entry by entry: a configuration file as it
// stands, the values a unit holds, the values the program holds, or what a
// write would send against what the unit held at its last read. Nothing is
// loaded into the catalogue and no range correction is made.
class ConfigCompare
{
public:
    struct Side
    {
        QString label;
        QMap<int, int32_t> values;   // raw value by catalogue index
        QSet<int> outOfRange;        // entries whose value the range check would replace
    };

    // One side of a differing entry.
    struct Value
    {
        bool present = false;
        int32_t display = 0;         // the display value
        bool outOfRange = false;
        // "(missing)", else the display value with the unit (when given) and
        // " (out of range)" when marked.
        QString shown(const QString &unit = QString()) const;
    };

    // One differing entry, as the text report and the tables show it.
    struct Row
    {
        int index = 0;
        QString name;
        Value a;
        Value b;
        QString unit;
    };

    using Progress = std::function<void(int done, int total)>;

    explicit ConfigCompare(const Catalogue &catalogue) : m_catalogue(catalogue) {}

    // The values of a file, read and checked as Load does; nothing on a bad file.
    ConfigFileReader::Result readFile(const QString &path, Side &side) const;
    // The values the unit holds for the entries a file of it would hold (the
    // unit's own section count decides), read over the open link run by run;
    // out-of-range values are kept and marked. The catalogue is not touched.
    // `error` is the link's error text when a read failed; `progress` hears
    // of every value that arrived.
    static Side fromUnit(Session &session, const QString &label, QString &error, const Progress &progress = {});
    // The values the program holds, as Save would write them.
    static Side fromProgram(const Session &session, const QString &label);

    // What the unit held at its last read or write (first; an entry not read
    // since the link opened is missing) next to what a write of the mask sends
    // (second): the entries the write steps over and that take part, the
    // section count it sends deciding the entries after it.
    struct WriteSet
    {
        Side unit;
        Side sent;
    };
    static WriteSet forWrite(const Session &session, int16_t mask);

    // The entries that differ, in catalogue order: present on one side only,
    // out of range on either side, or of another 16-bit value.
    QList<Row> rows(const Side &a, const Side &b) const;

    // One line per difference (name, both values with unit); the number of differences.
    int report(const Side &a, const Side &b, QTextStream &out) const;

private:
    Value value(const Side &side, int index) const;

    const Catalogue &m_catalogue;
};
