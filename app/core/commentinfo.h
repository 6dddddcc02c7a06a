#pragma once

#include <QString>
#include <QStringList>

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

    // The fields of a comment text as the loader hands it over: the field
    // lines and then the comments lines (without their leading TAB), every
    // line followed by CR LF.
    static CommentInfo ExtractInfo(const QString &AuxStr);

    static const QString Separator;   // ";" and 43 hyphens
    // "Author:" to "Additional Comments:", the block's lines in their order.
    static const QStringList FieldCaptions;

    bool operator==(const CommentInfo &other) const;
    bool operator!=(const CommentInfo &other) const { return !(*this == other); }
};
