#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

class Catalogue;
class Session;

// Compares two configurations entry by entry: a configuration file as it
// stands (no range correction, nothing loaded into the catalogue) or the
// values a unit would save.
class ConfigCompare
{
public:
    struct Side
    {
        QString label;
        QMap<int, int32_t> values;   // raw value by catalogue index
        QStringList unknown;         // address texts of lines no entry has
    };

    explicit ConfigCompare(const Catalogue &catalogue) : m_catalogue(catalogue) {}

    // The value lines of a file; false when it cannot be read.
    bool readFile(const QString &path, Side &side) const;
    // The download values the program would save (same entries as Save).
    static Side fromSession(Session &session, const QString &label);

    // One line per difference (name, both display values with unit, or
    // "(missing)" on the side that lacks it); the number of differences.
    int report(const Side &a, const Side &b, QTextStream &out) const;

private:
    QString displayText(int index, int32_t raw) const;

    const Catalogue &m_catalogue;
};
