#pragma once

#include "configfilereader.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextStream>

class Catalogue;
class Session;

// Compares two configurations entry by entry: a configuration file as it
// stands or the values a unit holds, both without range correction and
// without loading anything into the catalogue.
class ConfigCompare
{
public:
    struct Side
    {
        QString label;
        QMap<int, int32_t> values;   // raw value by catalogue index
        QSet<int> outOfRange;        // entries whose value the range check would replace
    };

    explicit ConfigCompare(const Catalogue &catalogue) : m_catalogue(catalogue) {}

    // The values of a file, read and checked as Load does; nothing on a bad file.
    ConfigFileReader::Result readFile(const QString &path, Side &side) const;
    // The values the unit holds, read word by word over the open link, for the
    // entries Save would write; out-of-range values are kept and marked.
    // `error` is the link's error text when a read failed.
    static Side fromUnit(Session &session, const QString &label, QString &error);

    // One line per difference (name, both display values with unit, or
    // "(missing)" on the side that lacks it; an out-of-range value is marked
    // "(out of range)" and always counts); the number of differences.
    int report(const Side &a, const Side &b, QTextStream &out) const;

private:
    QString displayText(int index, int32_t raw) const;
    // The display value of one side, "(missing)" or marked "(out of range)".
    QString sideText(const Side &side, int index) const;

    const Catalogue &m_catalogue;
};
