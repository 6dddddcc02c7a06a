#pragma once

#include <QString>

// Reads a configuration file's text item by item: an item ends at a comma or
// at a line end (CR, LF or CR LF), leading blanks are skipped, and a text in
// double quotes is one item.
class ConfigItemReader
{
public:
    explicit ConfigItemReader(QString text);

    bool atEnd() const { return m_pos >= m_text.size(); }
    // The next item; "" at the end.
    QString next();
    // The rest of the current line, leading blanks and TABs skipped, commas
    // and quotes kept (the comment block is free text whose continuation
    // lines start with TAB).
    QString nextLine();

private:
    void skipBlanks(bool tabs);
    // Consumes a line end at the current position; false when there is none.
    bool skipLineEnd();
    bool atLineEnd() const;

    QString m_text;
    qsizetype m_pos = 0;
};
