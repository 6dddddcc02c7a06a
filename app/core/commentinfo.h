#pragma once

#include <QString>

// The five descriptive fields that travel with a saved configuration, and
// their comment block as the file holds it.
struct CommentInfo
{
    QString author;
    QString date;
    QString revision;
    QString company;
    QString comments;   // several lines

    // The block: separator line, one TAB-framed line per field, the comments
    // with every continuation line starting with TAB, separator line.
    QString BuildInfoStr() const;

    // The fields of a comment text as the loader hands it over (every comment
    // line followed by CR LF).
    static CommentInfo ExtractInfo(const QString &AuxStr);

    static const QString Separator;   // ";" and 43 hyphens

    bool operator==(const CommentInfo &other) const;
    bool operator!=(const CommentInfo &other) const { return !(*this == other); }
};
