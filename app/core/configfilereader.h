#pragma once

#include <QList>
#include <QString>
#include <cstdint>

class Catalogue;

// A configuration file read whole and checked before anything takes it over.
struct StagedConfig
{
    struct Value
    {
        int index;       // catalogue index
        int32_t value;   // raw value as the file holds it
    };

    // The comment lines as the comment page takes them: every line followed by
    // CR LF, each comments line without the TAB the block puts before it.
    QString commentText;
    QList<Value> values;   // in file order; a later line for the same entry wins
};

// Reads a configuration file into a StagedConfig. A file is good when it
// starts with the comment block, has the column header and at least one value
// line, every value line names an entry of the catalogue by its address and
// carries a whole 32-bit number, and it ends as the writer ends it: with an
// empty line after the last value line. Anything else is refused with the
// number of the first bad line and why.
class ConfigFileReader
{
public:
    enum class Status { Good, Unreadable, Bad };
    struct Result
    {
        Status status = Status::Good;
        // Unreadable: why the file cannot be read; Bad: "line N: why".
        QString reason;
        bool good() const { return status == Status::Good; }
    };

    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
    static const QString ColumnHeader;   // "Variable Name" TAB "Address" TAB "Value"

    explicit ConfigFileReader(const Catalogue &catalogue) : m_catalogue(catalogue) {}

    // Only a regular file of at most MaxFileSize bytes is read.
    Result readFile(const QString &path, StagedConfig &staged) const;
    // The file's bytes as they came, in the data files' code page.
    Result readBytes(const QByteArray &bytes, StagedConfig &staged) const;
    Result readText(const QString &text, StagedConfig &staged) const;

private:
    // "" for a value line taken or a line without a value to take; else the reason.
    QString readValueLine(const QString &line, StagedConfig &staged) const;

    const Catalogue &m_catalogue;
};
