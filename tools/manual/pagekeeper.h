#pragma once

#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class QTextBlock;
class QTextDocument;
class QTextTable;

// The typesetting rules a paged QTextDocument does not keep by itself:
//  - a table row is never split over two pages: the table ends above it and
//    goes on, with its heading row, on the next page;
//  - a heading is never the last thing on its page;
//  - a paragraph never leaves a single line alone at the foot or the top of
//    a page (it goes over whole, with the headings right before it);
//  - a line never breaks inside a code token such as --verify: the token
//    starts the next line.
// Faults are mended first one first, each mend moving only what follows it,
// until none is left or what is left cannot be mended (a row, paragraph or
// token too large to move). A table is split in the HTML, so the document is
// then made anew and the mends before the split are done again.
class PageKeeper
{
public:
    // Makes a laid-out document (page size set) from the chapter's HTML.
    using Builder = std::function<std::unique_ptr<QTextDocument>(const QString &html)>;

    explicit PageKeeper(Builder build);
    ~PageKeeper();

    // The chapter laid out with every fault mended that can be; null when the
    // builder fails.
    std::unique_ptr<QTextDocument> keep(const QString &html);

    // What the mends did, for the generator's report.
    const QStringList &mends() const { return m_mends; }

    // `html` with the table (0-based, in document order) ended before the
    // row (0-based, its heading rows counted) and started again, its heading
    // rows first, on a new page; unchanged when there is no such row.
    static QString splitTable(const QString &html, int table, int row);

private:
    struct Fault
    {
        enum class Kind { TableRow, Heading, Lines, CodeToken };
        Kind kind = Kind::Lines;
        double y = 0;     // where it is, to take the first one first
        int block = -1;   // Heading, Lines: the block's number
        int position = 0; // CodeToken: where the token starts in the document
        int table = -1;   // TableRow: the table's number and the row
        int row = 0;
    };
    // A mend made in the document, done again when it is made anew.
    struct Mend
    {
        enum class Kind { BlockBreak, TableBreak, LineBreak };
        Kind kind;
        int at; // block number, table number or document position
    };

    QVector<Fault> faults() const;
    // True when the fault was mended; `html` changes for a table split.
    bool mend(const Fault &fault, QString &html);
    void apply(const Mend &mend);

    QVector<QTextTable *> tables() const;
    void rowExtent(QTextTable *table, int row, double *top, double *bottom) const;
    void findTableFaults(QVector<Fault> &out) const;
    void findBlockFaults(QVector<Fault> &out) const;
    void findCodeTokenFaults(const QTextBlock &block, QVector<Fault> &out) const;

    // The block where a page break keeps `block` with the headings before it;
    // invalid when that block already starts its page.
    QTextBlock breakPoint(const QTextBlock &block) const;
    int pageOf(double y) const;

    Builder m_build;
    std::unique_ptr<QTextDocument> m_doc;
    double m_pageHeight = 0;
    QVector<Mend> m_done;
    QStringList m_mends;
};
