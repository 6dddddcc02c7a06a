#include "pagekeeper.h"

#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rows and paragraphs taller than this share of a page are left to break.
constexpr double MovableShare = 0.5;
// Rounds of mending before giving up (each mends one fault).
constexpr int MaxRounds = 400;

bool isCode(const QTextBlock &block, int positionInBlock)
{
    const int at = block.position() + positionInBlock;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (at < f.position() || at >= f.position() + f.length())
            continue;
        const QTextCharFormat format = f.charFormat();
        if (format.fontFixedPitch())
            return true;
        const QStringList families = format.fontFamilies().toStringList();
        return std::any_of(families.begin(), families.end(),
                           [](const QString &family) { return family.contains(QLatin1String("Mono")); });
    }
    return false;
}

// Where a block's lines are in the document, from the top of the first to the
// foot of the last. (Its bounding rectangle starts where the block starts,
// even when the layout moved its first line on to the next page.)
struct Extent
{
    double top = 0;
    double bottom = 0;
};
Extent extentOf(const QTextBlock &block)
{
    const QRectF rect = block.document()->documentLayout()->blockBoundingRect(block);
    const QTextLayout *lines = block.layout();
    if (!lines || lines->lineCount() == 0)
        return {rect.top(), rect.bottom()};
    const QTextLine last = lines->lineAt(lines->lineCount() - 1);
    return {rect.top() + lines->lineAt(0).y(), rect.top() + last.y() + last.height()};
}

void collectTables(QTextFrame *frame, QVector<QTextTable *> &out)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *table = qobject_cast<QTextTable *>(child))
            out.append(table);
        collectTables(child, out);
    }
}

} // namespace

PageKeeper::PageKeeper(Builder build) : m_build(std::move(build)) {}

PageKeeper::~PageKeeper() = default;

int PageKeeper::pageOf(double y) const
{
    return static_cast<int>(std::floor(y / m_pageHeight));
}

std::unique_ptr<QTextDocument> PageKeeper::keep(const QString &html)
{
    m_done.clear();
    m_mends.clear();
    QString text = html;
    m_doc = m_build(text);
    if (!m_doc)
        return nullptr;
    m_pageHeight = m_doc->pageSize().height();
    for (int round = 0; round < MaxRounds; ++round) {
        m_doc->documentLayout()->documentSize(); // the whole document laid out anew
        QVector<Fault> found = faults();
        std::stable_sort(found.begin(), found.end(), [](const Fault &a, const Fault &b) { return a.y < b.y; });
        const QString before = text;
        const auto first = std::find_if(found.begin(), found.end(), [&](const Fault &f) { return mend(f, text); });
        if (first == found.end())
            break;
        if (text != before) {
            m_doc = m_build(text);
            if (!m_doc)
                return nullptr;
            for (const Mend &m : std::as_const(m_done))
                apply(m);
        }
    }
    return std::move(m_doc);
}

// ---- finding --------------------------------------------------------------

QVector<QTextTable *> PageKeeper::tables() const
{
    QVector<QTextTable *> out;
    collectTables(m_doc->rootFrame(), out);
    return out;
}

void PageKeeper::rowExtent(QTextTable *table, int row, double *top, double *bottom) const
{
    for (int column = 0; column < table->columns(); ++column) {
        const QTextTableCell cell = table->cellAt(row, column);
        if (cell.row() != row || cell.column() != column)
            continue; // spanned from another cell
        for (QTextBlock b = m_doc->findBlock(cell.firstPosition()); b.isValid() && table->cellAt(b.position()) == cell;
             b = b.next()) {
            const Extent e = extentOf(b);
            *top = std::min(*top, e.top);
            *bottom = std::max(*bottom, e.bottom);
        }
    }
}

QVector<PageKeeper::Fault> PageKeeper::faults() const
{
    QVector<Fault> out;
    findTableFaults(out);
    findBlockFaults(out);
    return out;
}

void PageKeeper::findTableFaults(QVector<Fault> &out) const
{
    const QVector<QTextTable *> all = tables();
    for (int t = 0; t < all.size(); ++t) {
        QTextTable *table = all.at(t);
        for (int row = table->format().headerRowCount(); row < table->rows(); ++row) {
            double top = std::numeric_limits<double>::max();
            double bottom = std::numeric_limits<double>::lowest();
            rowExtent(table, row, &top, &bottom);
            if (top < bottom && pageOf(top) != pageOf(bottom - 0.5)) {
                Fault f;
                f.kind = Fault::Kind::TableRow;
                f.y = top;
                f.table = t;
                f.row = row;
                out.append(f);
            }
        }
    }
}

void PageKeeper::findBlockFaults(QVector<Fault> &out) const
{
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        findCodeTokenFaults(b, out);
        if (m_doc->frameAt(b.position()) != m_doc->rootFrame() || !b.layout())
            continue; // inside a table: its rows are kept whole
        const Extent extent = extentOf(b);
        Fault f;
        f.block = b.blockNumber();
        f.y = extent.top;
        if (b.blockFormat().headingLevel() > 0) {
            // what follows it, possibly the first cell of a table
            QTextBlock next = b.next();
            while (next.isValid() && next.text().isEmpty())
                next = next.next();
            if (next.isValid() && pageOf(extentOf(next).top + 0.5) > pageOf(extent.bottom - 0.5)) {
                f.kind = Fault::Kind::Heading;
                out.append(f);
            }
            continue;
        }
        const QTextLayout *lines = b.layout();
        if (lines->lineCount() < 2)
            continue;
        const double origin = m_doc->documentLayout()->blockBoundingRect(b).top();
        QVector<int> pages;
        for (int i = 0; i < lines->lineCount(); ++i)
            pages << pageOf(origin + lines->lineAt(i).y() + 0.5);
        if (pages.first() != pages.last() && (pages.count(pages.first()) == 1 || pages.count(pages.last()) == 1)) {
            f.kind = Fault::Kind::Lines;
            out.append(f);
        }
    }
}

void PageKeeper::findCodeTokenFaults(const QTextBlock &block, QVector<Fault> &out) const
{
    const QTextLayout *lines = block.layout();
    if (!lines || lines->lineCount() < 2)
        return;
    const QString text = block.text();
    const double top = m_doc->documentLayout()->blockBoundingRect(block).top();
    for (int i = 0; i + 1 < lines->lineCount(); ++i) {
        const QTextLine line = lines->lineAt(i);
        const int end = line.textStart() + line.textLength();
        if (end <= 0 || end >= text.size() || text.at(end - 1).isSpace() || text.at(end).isSpace())
            continue;
        if (!isCode(block, end - 1) || !isCode(block, end))
            continue;
        int start = end - 1;
        while (start > 0 && !text.at(start - 1).isSpace())
            --start;
        if (start <= line.textStart())
            continue; // the token alone is wider than the line
        Fault f;
        f.kind = Fault::Kind::CodeToken;
        f.y = top + line.y();
        f.position = block.position() + start;
        out.append(f);
    }
}

// ---- mending --------------------------------------------------------------

QTextBlock PageKeeper::breakPoint(const QTextBlock &block) const
{
    QTextBlock start = block;
    for (QTextBlock previous = start.previous();
         previous.isValid() && m_doc->frameAt(previous.position()) == m_doc->rootFrame()
         && previous.blockFormat().headingLevel() > 0;
         previous = previous.previous())
        start = previous;
    const double top = extentOf(start).top;
    if (top - pageOf(top) * m_pageHeight <= start.blockFormat().topMargin() + 2)
        return {}; // already starts its page
    return start;
}

bool PageKeeper::mend(const Fault &fault, QString &html)
{
    QAbstractTextDocumentLayout *layout = m_doc->documentLayout();
    switch (fault.kind) {
    case Fault::Kind::TableRow: {
        QTextTable *table = tables().at(fault.table);
        double top = std::numeric_limits<double>::max();
        double bottom = std::numeric_limits<double>::lowest();
        rowExtent(table, fault.row, &top, &bottom);
        if (bottom - top > MovableShare * m_pageHeight)
            return false;
        if (fault.row > table->format().headerRowCount()) {
            const QString split = splitTable(html, fault.table, fault.row);
            if (split == html)
                return false;
            html = split;
            m_mends << QStringLiteral("table %1 goes on at row %2 on the next page").arg(fault.table + 1).arg(fault.row + 1);
            return true;
        }
        // its first row: the table goes over whole, with the headings before it
        QTextBlock before = table->firstCursorPosition().block().previous();
        while (before.isValid() && before.text().isEmpty() && before.blockFormat().headingLevel() == 0)
            before = before.previous();
        if (before.isValid() && before.blockFormat().headingLevel() > 0) {
            const QTextBlock start = breakPoint(before);
            if (!start.isValid())
                return false;
            m_done.append({Mend::Kind::BlockBreak, start.blockNumber()});
        } else {
            const double tableTop = layout->frameBoundingRect(table).top();
            if (tableTop - pageOf(tableTop) * m_pageHeight < 2)
                return false;
            m_done.append({Mend::Kind::TableBreak, fault.table});
        }
        m_mends << QStringLiteral("table %1 to the next page").arg(fault.table + 1);
        break;
    }
    case Fault::Kind::Heading:
    case Fault::Kind::Lines: {
        const QTextBlock block = m_doc->findBlockByNumber(fault.block);
        const Extent extent = extentOf(block);
        if (extent.bottom - extent.top > MovableShare * m_pageHeight)
            return false;
        const QTextBlock start = breakPoint(block);
        if (!start.isValid())
            return false;
        m_done.append({Mend::Kind::BlockBreak, start.blockNumber()});
        m_mends << QStringLiteral("new page before \"%1\"").arg(start.text().left(40));
        break;
    }
    case Fault::Kind::CodeToken: {
        const QTextBlock block = m_doc->findBlock(fault.position);
        m_done.append({Mend::Kind::LineBreak, fault.position});
        m_mends << QStringLiteral("\"%1\" to the next line")
                       .arg(block.text().mid(fault.position - block.position()).section(QLatin1Char(' '), 0, 0));
        break;
    }
    }
    apply(m_done.last());
    return true;
}

void PageKeeper::apply(const Mend &mend)
{
    switch (mend.kind) {
    case Mend::Kind::BlockBreak: {
        QTextBlockFormat format;
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(m_doc->findBlockByNumber(mend.at)).mergeBlockFormat(format);
        break;
    }
    case Mend::Kind::TableBreak: {
        QTextTable *table = tables().value(mend.at);
        if (!table)
            break;
        QTextTableFormat format = table->format();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        table->setFormat(format);
        break;
    }
    case Mend::Kind::LineBreak: {
        // the space before the token becomes the line break
        QTextCursor cursor(m_doc.get());
        cursor.setPosition(mend.at);
        if (m_doc->characterAt(mend.at - 1) == QLatin1Char(' '))
            cursor.setPosition(mend.at - 1, QTextCursor::KeepAnchor);
        cursor.insertText(QString(QChar::LineSeparator));
        break;
    }
    }
}

QString PageKeeper::splitTable(const QString &html, int table, int row)
{
    static const QRegularExpression open(QStringLiteral("<table\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rowStart(QStringLiteral("<tr\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression head(QStringLiteral("<thead>.*?</thead>"),
                                         QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatchIterator tablesFound = open.globalMatch(html);
    QRegularExpressionMatch start;
    for (int t = 0; t <= table; ++t) {
        if (!tablesFound.hasNext())
            return html;
        start = tablesFound.next();
    }
    const int end = static_cast<int>(html.indexOf(QLatin1String("</table>"), start.capturedEnd(), Qt::CaseInsensitive));
    const QString body = html.mid(start.capturedEnd(), end < 0 ? -1 : end - start.capturedEnd());
    QRegularExpressionMatchIterator rows = rowStart.globalMatch(body);
    QRegularExpressionMatch at;
    for (int r = 0; r <= row; ++r) {
        if (!rows.hasNext())
            return html;
        at = rows.next();
    }
    const QRegularExpressionMatch heading = head.match(body);
    QString reopened = start.captured(0);
    reopened.insert(reopened.size() - 1, QStringLiteral(" style=\"page-break-before: always\""));
    const QString repeated = heading.hasMatch() && heading.capturedStart() < at.capturedStart() ? heading.captured(0) : QString();
    QString out = html;
    out.insert(start.capturedEnd() + at.capturedStart(), QStringLiteral("</table>") + reopened + repeated);
    return out;
}
