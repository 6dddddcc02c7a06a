#include "manualprinter.h"

#include "pagekeeper.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace {

// Page geometry in points of 1/96 inch (the writer's resolution).
constexpr int Dpi = 96;
constexpr double MarginLeft = 68;
constexpr double MarginRight = 68;
constexpr double MarginTop = 60;
constexpr double MarginBottom = 76;
constexpr double FooterGap = 22;
// PDF points per device pixel
constexpr double PointsPerPixel = 72.0 / Dpi;

// Marks the start of a reference to a chapter's first page: <!--@page file.html-->
const char *const PageReference = "<!--@page ";

const char *const StyleSheet = R"(
body { font-family: 'DejaVu Sans'; font-size: 9.5pt; color: #202020; }
h1 { font-size: 19pt; color: #1c3d5e; margin-top: 0px; margin-bottom: 10px; }
h2 { font-size: 12.5pt; color: #1c3d5e; margin-top: 16px; margin-bottom: 5px; }
h3 { font-size: 10.5pt; margin-top: 10px; margin-bottom: 3px; }
p { margin-top: 3px; margin-bottom: 5px; }
li { margin-bottom: 2px; }
table { border-collapse: collapse; border-color: #9aa6b2; margin-top: 4px; margin-bottom: 8px; }
th { background-color: #e3e9ef; text-align: left; }
td, th { padding: 3px; }
td.f { padding-top: 6px; padding-bottom: 6px; }
code, .ui { font-family: 'DejaVu Sans Mono'; font-size: 8.5pt; }
.msg { font-family: 'DejaVu Sans Mono'; font-size: 8.5pt; color: #6a1010; }
.caption { font-size: 8.5pt; color: #505050; }
.note { background-color: #f1f4e6; }
.toc { font-size: 11pt; padding-top: 6px; padding-bottom: 6px; }
)";

QString escaped(const QString &s) { return s.toHtmlEscaped(); }

} // namespace

ManualPrinter::ManualPrinter(QVector<ManualSource::Chapter> chapters, QHash<QString, QImage> images,
                             QHash<QString, QString> snippets)
    : m_chapters(std::move(chapters)), m_images(std::move(images)), m_snippets(std::move(snippets))
{
}

ManualPrinter::~ManualPrinter() = default;

std::unique_ptr<QTextDocument> ManualPrinter::makeDocument(const QString &html, QPagedPaintDevice &device)
{
    const double width = m_pageWidth - MarginLeft - MarginRight;
    QString text = html;
    static const QRegularExpression snippet(QStringLiteral("<!--@([a-z0-9_-]+)-->"));
    for (QRegularExpressionMatchIterator it = snippet.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m_snippets.contains(m.captured(1))) {
            m_error = QStringLiteral("no table \"%1\" for the manual").arg(m.captured(1));
            return nullptr;
        }
        text.replace(m.captured(0), m_snippets.value(m.captured(1)));
    }

    // A table's heading row is repeated at the top of every page it runs onto.
    static const QRegularExpression headed(QStringLiteral("(<table[^>]*>)\\s*(<tr>\\s*<th.*?</tr>)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    text.replace(headed, QStringLiteral("\\1<thead>\\2</thead>"));

    // Pictures: registered by name, scaled down to the text width when wider.
    QHash<QString, QImage> pictures;
    const QString withTables = text;
    static const QRegularExpression shot(QStringLiteral("<img\\s+src=\"shot:([a-z0-9_-]+)\"([^>]*)>"));
    QRegularExpressionMatchIterator it = shot.globalMatch(withTables);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(1);
        if (!m_images.contains(name)) {
            m_error = QStringLiteral("no picture \"%1\" for the manual").arg(name);
            return nullptr;
        }
        const QImage &image = m_images.value(name);
        pictures.insert(name, image);
        if (m.captured(2).contains(QLatin1String("width")))
            continue;
        const double scale = std::min(1.0, width / image.width());
        text.replace(m.captured(0), QStringLiteral("<img src=\"shot:%1\" width=\"%2\" height=\"%3\"%4>")
                                        .arg(name)
                                        .arg(qRound(image.width() * scale))
                                        .arg(qRound(image.height() * scale))
                                        .arg(m.captured(2)));
    }

    PageKeeper keeper([&](const QString &source) {
        auto doc = std::make_unique<QTextDocument>();
        doc->documentLayout()->setPaintDevice(&device);
        doc->setDocumentMargin(0);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(9.5);
        doc->setDefaultFont(font);
        doc->setDefaultStyleSheet(QString::fromLatin1(StyleSheet));
        doc->setPageSize(QSizeF(width, m_pageHeight - MarginTop - MarginBottom));
        for (auto p = pictures.cbegin(); p != pictures.cend(); ++p)
            doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("shot:") + p.key()), p.value());
        doc->setHtml(source);
        return doc;
    });
    std::unique_ptr<QTextDocument> doc = keeper.keep(text);
    m_mends += keeper.mends();
    return doc;
}

bool ManualPrinter::resolvePageReferences(const QString &html, bool withPages, QString *out)
{
    static const QRegularExpression reference(QStringLiteral("<!--@page ([A-Za-z0-9_.-]+)-->"));
    *out = html;
    for (QRegularExpressionMatchIterator it = reference.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        int target = -1;
        for (int i = 0; i < m_chapters.size() && target < 0; ++i)
            if (m_chapters.at(i).file == m.captured(1))
                target = i;
        if (target < 0) {
            m_error = QStringLiteral("page reference to \"%1\", which is no chapter").arg(m.captured(1));
            return false;
        }
        // Two digits stand in for the number until the layout is known.
        const QString page = withPages ? QString::number(m_layout.placements().at(target).startPage)
                                       : QStringLiteral("00");
        out->replace(m.captured(0), page);
    }
    return true;
}

QString ManualPrinter::contentsHtml() const
{
    QString html = QStringLiteral("<h1>Contents</h1>"
                                  "<p>KRV Studio for TBX400C &#8211; user manual for service technicians. "
                                  "Pressing F1 in a window of the program opens this manual at the page "
                                  "of that window.</p>"
                                  "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"1\">");
    for (const ContentsEntry &e : m_contents) {
        const QString page = e.page > 0 ? QString::number(e.page) : QStringLiteral("00");
        html += QStringLiteral("<tr><td class=\"toc\">%1</td><td class=\"toc\" align=\"right\">%2</td></tr>")
                    .arg(escaped(e.title), page);
    }
    html += QStringLiteral("</table>");
    return html;
}

PdfNavigation::Destination ManualPrinter::destination(int chapter, double y) const
{
    const double height = m_pageHeight - MarginTop - MarginBottom;
    const int pageInDoc = std::max(0, static_cast<int>(y / height));
    return {m_layout.placements().at(chapter).startPage + pageInDoc,
            (MarginTop + y - pageInDoc * height) * PointsPerPixel};
}

void ManualPrinter::addNavigation(int chapter, QTextDocument *doc, bool isContents)
{
    PdfNavigation::Bookmark bookmark{m_chapters.at(chapter).title, destination(chapter, 0), {}};
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    if (isContents) {
        // each entry, the whole width of its row, leads to its chapter
        QTextTable *table = nullptr;
        for (QTextFrame *frame : doc->rootFrame()->childFrames())
            table = table ? table : qobject_cast<QTextTable *>(frame);
        for (int row = 0; table && row < table->rows() && row < m_contents.size(); ++row) {
            QRectF area;
            for (int column = 0; column < table->columns(); ++column)
                area |= layout->blockBoundingRect(doc->findBlock(table->cellAt(row, column).firstPosition()));
            const PdfNavigation::Destination at = destination(chapter, area.top());
            const double height = (area.height() + 6) * PointsPerPixel;
            m_navigation.addLink({at.page,
                                  QRectF(MarginLeft * PointsPerPixel, at.top - 3 * PointsPerPixel,
                                         (m_pageWidth - MarginLeft - MarginRight) * PointsPerPixel, height),
                                  {m_contents.at(row).page, MarginTop * PointsPerPixel}});
        }
    } else {
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() == 2)
                bookmark.children.append({b.text().simplified(), destination(chapter, layout->blockBoundingRect(b).top()), {}});
        }
    }
    m_navigation.addBookmark(bookmark);
}

void ManualPrinter::drawPage(QPainter &painter, QTextDocument *doc, int pageInDoc, int pageNumber)
{
    const double width = m_pageWidth - MarginLeft - MarginRight;
    const double height = m_pageHeight - MarginTop - MarginBottom;
    painter.save();
    if (doc) {
        painter.translate(MarginLeft, MarginTop - pageInDoc * height);
        const QRectF page(0, pageInDoc * height, width, height);
        painter.setClipRect(page);
        // A line that the layout moved to the next page starts exactly on this
        // page's lower edge: a hair narrower, the layout leaves it out instead
        // of printing it hidden by the clip (where text search would still find it).
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = page.adjusted(0, 0.5, 0, -0.5);
        doc->documentLayout()->draw(&painter, ctx);
    } else {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(10);
        font.setItalic(true);
        painter.setFont(font);
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawText(QRectF(MarginLeft, MarginTop, width, height), Qt::AlignCenter, blankPageText());
    }
    painter.restore();

    // Footer: a rule, the manual's name and the page number.
    const double y = m_pageHeight - MarginBottom + FooterGap;
    painter.save();
    painter.setPen(QPen(QColor(0x9a, 0xa6, 0xb2), 0.8));
    painter.drawLine(QPointF(MarginLeft, y), QPointF(m_pageWidth - MarginRight, y));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    const QRectF line(MarginLeft, y + 4, width, 16);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KRV Studio \u2013 User Manual HX0MAN01E"));
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1").arg(pageNumber));
    painter.restore();
}

bool ManualPrinter::print(const QString &pdfPath)
{
    m_error.clear();
    m_navigation = PdfNavigation();
    m_mends.clear();
    QPdfWriter writer(pdfPath);
    writer.setResolution(Dpi);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("KRV Studio User Manual"));
    writer.setCreator(QStringLiteral("KRV Studio manual generator"));
    m_pageWidth = writer.width();
    m_pageHeight = writer.height();

    // Lay out every chapter to learn its length, page references still blank.
    std::vector<std::unique_ptr<QTextDocument>> docs;
    QVector<ManualLayout::Chapter> &lengths = m_lengths;
    lengths.clear();
    int contentsIndex = -1;
    for (int i = 0; i < m_chapters.size(); ++i) {
        const ManualSource::Chapter &c = m_chapters.at(i);
        if (c.isContents) {
            contentsIndex = i;
            docs.push_back(nullptr);
            lengths.append({c.title, 1, c.fixedStart});
            continue;
        }
        QString html;
        if (!resolvePageReferences(c.html, false, &html))
            return false;
        docs.push_back(makeDocument(html, writer));
        if (!docs.back())
            return false;
        lengths.append({c.title, docs.back()->pageCount(), c.fixedStart});
    }

    // The contents page lists every chapter and section; its length is known
    // before the page numbers are, and must not change with them.
    auto buildContents = [&](bool withPages) {
        m_contents.clear();
        for (int i = 0; i < m_chapters.size(); ++i) {
            if (i == contentsIndex)
                continue;
            const int start = withPages ? m_layout.placements().at(i).startPage : 0;
            m_contents.append({m_chapters.at(i).title, start});
        }
    };
    if (contentsIndex >= 0) {
        buildContents(false);
        docs[static_cast<size_t>(contentsIndex)] = makeDocument(contentsHtml(), writer);
        lengths[contentsIndex].pageCount = docs[static_cast<size_t>(contentsIndex)]->pageCount();
    }
    if (!m_layout.place(lengths)) {
        m_error = m_layout.error();
        return false;
    }
    // Now the page numbers are known; filling them in must not change any length.
    for (int i = 0; i < m_chapters.size(); ++i) {
        QString html;
        if (i == contentsIndex) {
            buildContents(true);
            html = contentsHtml();
        } else if (!m_chapters.at(i).html.contains(QLatin1String(PageReference))) {
            continue;
        } else if (!resolvePageReferences(m_chapters.at(i).html, true, &html)) {
            return false;
        }
        docs[static_cast<size_t>(i)] = makeDocument(html, writer);
        if (!docs[static_cast<size_t>(i)])
            return false;
        if (docs[static_cast<size_t>(i)]->pageCount() != lengths[i].pageCount) {
            m_error = QStringLiteral("\"%1\" changed length once page numbers were filled in").arg(lengths[i].title);
            return false;
        }
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        m_error = QStringLiteral("cannot write %1").arg(pdfPath);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    int page = 0;
    auto newPage = [&] {
        if (page > 0)
            writer.newPage();
        ++page;
    };
    for (int i = 0; i < m_chapters.size(); ++i) {
        const ManualLayout::Placement &p = m_layout.placements().at(i);
        for (int b = 0; b < p.blanksBefore; ++b) {
            newPage();
            drawPage(painter, nullptr, 0, page);
        }
        QTextDocument *doc = docs[static_cast<size_t>(i)].get();
        for (int k = 0; k < doc->pageCount(); ++k) {
            newPage();
            drawPage(painter, doc, k, page);
        }
        addNavigation(i, doc, i == contentsIndex);
    }
    painter.end();
    if (page != m_layout.totalPages()) {
        m_error = QStringLiteral("printed %1 pages of %2").arg(page).arg(m_layout.totalPages());
        return false;
    }
    if (!m_navigation.apply(pdfPath)) {
        m_error = m_navigation.error();
        return false;
    }
    return true;
}
