// The user manual: placing chapters on their pages, reading the sources,
// printing (rows, headings and code tokens kept whole), and the generated
// HX0MAN01E.pdf beside the program, checked through its extracted text and
// its bookmarks and links as qpdf reads them.
#include "manuallayout.h"
#include "manualprinter.h"
#include "manualsource.h"
#include "tempfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// ---- pdf text through poppler's tools ----

QString runTool(const QString &tool, const QStringList &args, bool *ok)
{
    *ok = false;
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty())
        return QStringLiteral("%1 not found: install poppler-utils (tools/install-deps.sh)").arg(tool);
    QProcess p;
    p.start(path, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(tool, QString::fromLocal8Bit(p.readAllStandardError()));
    *ok = true;
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPageCount(const QString &pdf, QString *error)
{
    bool ok = false;
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf}, &ok);
    if (!ok) {
        *error = info;
        return -1;
    }
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                         QRegularExpression::MultilineOption)
                                          .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The non-empty lines of one page, trimmed; ligatures the fonts print
// ("fi" as one glyph) are read back as their letters.
QStringList pageLines(const QString &pdf, int page, QString *error)
{
    bool ok = false;
    const QString n = QString::number(page);
    const QString text = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-layout"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf,
                                  QStringLiteral("-")},
                                 &ok);
    if (!ok) {
        *error = text;
        return {};
    }
    QStringList lines;
    for (const QString &l : text.split(QLatin1Char('\n'))) {
        const QString t = l.normalized(QString::NormalizationForm_KC).simplified();
        if (!t.isEmpty() && t != QLatin1String("\f"))
            lines << t;
    }
    return lines;
}

QString footerOf(int page) { return QStringLiteral("Page %1").arg(page); }

// The last line of a page's text before its footer.
QString lastTextLine(const QStringList &lines) { return lines.size() >= 2 ? lines.at(lines.size() - 2) : QString(); }

// A PDF's outline and objects as qpdf reads them.
struct PdfStructure
{
    QJsonArray outlines;
    QStringList pages;  // page object references, in page order
    QJsonObject objects;

    QJsonObject object(const QString &reference) const
    {
        return objects.value(QStringLiteral("obj:") + reference).toObject().value(QStringLiteral("value")).toObject();
    }
    // The pages (1-based) the link annotations of a page lead to.
    QList<int> linkTargets(int page) const
    {
        QJsonValue annots = object(pages.value(page - 1)).value(QStringLiteral("/Annots"));
        if (annots.isString())
            annots = objects.value(QStringLiteral("obj:") + annots.toString()).toObject().value(QStringLiteral("value"));
        QList<int> targets;
        for (const QJsonValue &a : annots.toArray()) {
            const QJsonObject annot = object(a.toString());
            if (annot.value(QStringLiteral("/Subtype")).toString() == QLatin1String("/Link"))
                targets << static_cast<int>(pages.indexOf(annot.value(QStringLiteral("/Dest")).toArray().at(0).toString())) + 1;
        }
        return targets;
    }
};

PdfStructure readStructure(const QString &pdf, QString *error)
{
    bool ok = false;
    const QString json = runTool(QStringLiteral("qpdf"),
                                 {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), QStringLiteral("--json-key=pages"),
                                  QStringLiteral("--json-key=qpdf"), pdf},
                                 &ok);
    if (!ok) {
        *error = json;
        return {};
    }
    const QJsonObject file = QJsonDocument::fromJson(json.toUtf8()).object();
    PdfStructure out;
    out.outlines = file.value(QStringLiteral("outlines")).toArray();
    for (const QJsonValue &page : file.value(QStringLiteral("pages")).toArray())
        out.pages << page.toObject().value(QStringLiteral("object")).toString();
    out.objects = file.value(QStringLiteral("qpdf")).toArray().at(1).toObject();
    return out;
}

QString titleOf(const QJsonValue &outline) { return outline.toObject().value(QStringLiteral("title")).toString(); }
int pageOf(const QJsonValue &outline) { return outline.toObject().value(QStringLiteral("destpageposfrom1")).toInt(); }

// ---- small manuals for the printer ----

ManualSource::Chapter chapter(const QString &title, const QString &body, int fixedStart = 0)
{
    ManualSource::Chapter c;
    c.file = title + QStringLiteral(".html");
    c.title = title;
    c.html = QStringLiteral("<h1>%1</h1>%2").arg(title, body);
    c.fixedStart = fixedStart;
    return c;
}

ManualSource::Chapter contents()
{
    ManualSource::Chapter c;
    c.isContents = true;
    c.title = QStringLiteral("Contents");
    c.fixedStart = 1;
    return c;
}

// Enough paragraphs to fill about `pages` A4 pages.
QString longText(int pages)
{
    QString s;
    for (int i = 0; i < pages * 40; ++i)
        s += QStringLiteral("<p>Line %1 of a long chapter.</p>").arg(i);
    return s;
}

} // namespace

// ---------------------------------------------------------------------------
// Chapters on their pages

TEST(ManualLayout, ShortChaptersArePaddedUpToTheFixedPage)
{
    ManualLayout layout;
    ASSERT_TRUE(layout.place({{"Contents", 1, 1}, {"Intro", 2, 0}, {"Config", 3, 10}, {"After", 1, 0}}));
    const auto &p = layout.placements();
    EXPECT_EQ(p[0].startPage, 1);
    EXPECT_EQ(p[1].startPage, 2);
    EXPECT_EQ(p[2].startPage, 10);
    EXPECT_EQ(p[2].blanksBefore, 6); // pages 4 .. 9
    EXPECT_EQ(p[3].startPage, 13);
    EXPECT_EQ(p[3].blanksBefore, 0);
    EXPECT_EQ(layout.totalPages(), 13);
}

TEST(ManualLayout, ChapterEndingRightBeforeTheFixedPageNeedsNoPadding)
{
    ManualLayout layout;
    ASSERT_TRUE(layout.place({{"Contents", 1, 1}, {"Intro", 8, 0}, {"Config", 1, 10}}));
    EXPECT_EQ(layout.placements()[2].startPage, 10);
    EXPECT_EQ(layout.placements()[2].blanksBefore, 0);
    EXPECT_EQ(layout.totalPages(), 10);
}

TEST(ManualLayout, OverflowIntoAFixedPageIsAnErrorNamingBothChapters)
{
    ManualLayout layout;
    EXPECT_FALSE(layout.place({{"Contents", 1, 1}, {"Intro", 9, 0}, {"Config", 1, 10}}));
    EXPECT_TRUE(layout.error().contains("\"Config\" must start on page 10")) << layout.error().toStdString();
    EXPECT_TRUE(layout.error().contains("\"Intro\" already runs to page 10")) << layout.error().toStdString();
    EXPECT_TRUE(layout.placements().isEmpty());
    EXPECT_EQ(layout.totalPages(), 0);
}

TEST(ManualLayout, FixedChaptersInARowAndALeadingGap)
{
    ManualLayout layout;
    // Key page 32 and debugger page 33: one page each, no room to spare.
    ASSERT_TRUE(layout.place({{"Key", 1, 32}, {"Debugger", 1, 33}, {"Info", 0, 34}, {"Colours", 1, 36}}));
    EXPECT_EQ(layout.placements()[0].blanksBefore, 31);
    EXPECT_EQ(layout.placements()[1].blanksBefore, 0);
    EXPECT_EQ(layout.placements()[2].startPage, 34);
    EXPECT_EQ(layout.placements()[3].blanksBefore, 1); // an empty chapter still takes its page
    EXPECT_EQ(layout.totalPages(), 36);

    ManualLayout tooLong;
    EXPECT_FALSE(tooLong.place({{"Key", 2, 32}, {"Debugger", 1, 33}}));
}

// ---------------------------------------------------------------------------
// Sources

TEST(ManualSource, OrderFileGivesChaptersTitlesAndStartPages)
{
    TempFolder dir;
    dir.write("chapters.txt", "# comment\n@contents 1\n\nintro.html   -   # trailing comment\nconfig.html 10\n");
    dir.write("intro.html", "<h1 class=\"x\">Introduction &amp; <b>safety</b></h1><p>text</p>");
    dir.write("config.html", "<p>before</p><H1>The configuration page</H1><h1>second</h1>");
    ManualSource source;
    ASSERT_TRUE(source.load(dir.path(QString()))) << source.error().toStdString();
    const auto &c = source.chapters();
    ASSERT_EQ(c.size(), 3);
    EXPECT_TRUE(c[0].isContents);
    EXPECT_EQ(c[0].fixedStart, 1);
    EXPECT_EQ(c[1].title, "Introduction & safety");
    EXPECT_EQ(c[1].fixedStart, 0);
    EXPECT_EQ(c[2].title, "The configuration page");
    EXPECT_EQ(c[2].fixedStart, 10);
}

TEST(ManualSource, MalformedSourcesAreRefusedWithTheirLine)
{
    struct Case
    {
        const char *order;
        const char *expected;
    };
    const Case cases[] = {
        {"intro.html\n", "chapters.txt line 1: expected a file and a start page"},
        {"intro.html 0\n", "line 1: start page must be a number from 1"},
        {"\nintro.html ten\n", "line 2: start page must be a number from 1"},
        {"missing.html -\n", "cannot read missing.html"},
        {"untitled.html -\n", "untitled.html has no <h1> title"},
        {"# nothing\n", "names no chapter"},
    };
    for (const Case &k : cases) {
        TempFolder dir;
        dir.write("chapters.txt", k.order);
        dir.write("intro.html", "<h1>Intro</h1>");
        dir.write("untitled.html", "<h2>Only a section</h2>");
        ManualSource source;
        EXPECT_FALSE(source.load(dir.path(QString()))) << k.order;
        EXPECT_TRUE(source.error().contains(k.expected)) << source.error().toStdString();
        EXPECT_TRUE(source.chapters().isEmpty());
    }
    ManualSource none;
    EXPECT_FALSE(none.load(QStringLiteral("/nonexistent/folder")));
}

// ---------------------------------------------------------------------------
// Printing small manuals

TEST(ManualPrinter, ShortChapterIsPaddedWithBlankPagesAndContentsGivesStartPages)
{
    TempFolder dir;
    QImage picture(300, 120, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ManualPrinter printer({contents(), chapter("Intro", "<p>short</p><img src=\"shot:pic\">"),
                           chapter("Monitor", "<p>monitor</p>", 5), chapter("Tail", longText(2))},
                          {{"pic", picture}});
    const QString pdf = dir.path("m.pdf");
    ASSERT_TRUE(printer.print(pdf)) << printer.error().toStdString();

    QString error;
    const int pages = pdfPageCount(pdf, &error);
    ASSERT_GT(pages, 0) << error.toStdString();
    EXPECT_EQ(pages, printer.layout().totalPages());
    EXPECT_GE(pages, 7); // contents, intro, two blanks, monitor, two or more of tail

    for (int p = 3; p <= 4; ++p) {
        const QStringList lines = pageLines(pdf, p, &error);
        ASSERT_EQ(lines.size(), 2) << error.toStdString() << lines.join('|').toStdString();
        EXPECT_EQ(lines[0], ManualPrinter::blankPageText());
        EXPECT_TRUE(lines[1].endsWith(footerOf(p)));
    }
    EXPECT_EQ(pageLines(pdf, 5, &error).value(0).toStdString(), "Monitor");
    EXPECT_EQ(pageLines(pdf, 6, &error).value(0).toStdString(), "Tail");

    const QStringList toc = pageLines(pdf, 1, &error);
    EXPECT_TRUE(toc.contains("Intro 2")) << toc.join('|').toStdString();
    EXPECT_TRUE(toc.contains("Monitor 5"));
    EXPECT_TRUE(toc.contains("Tail 6"));
}

TEST(ManualPrinter, PageReferencesGiveTheStartPageOfTheirChapter)
{
    TempFolder dir;
    ManualPrinter printer({contents(), chapter("Intro", "<p>Colours: see page <!--@page Colours.html-->.</p>"),
                           chapter("Long", longText(3)), chapter("Colours", "<p>Back to page <!--@page Intro.html-->.</p>", 12)},
                          {});
    const QString pdf = dir.path("refs.pdf");
    ASSERT_TRUE(printer.print(pdf)) << printer.error().toStdString();
    QString error;
    EXPECT_TRUE(pageLines(pdf, 2, &error).contains("Colours: see page 12.")) << error.toStdString();
    EXPECT_TRUE(pageLines(pdf, 12, &error).contains("Back to page 2."));
}

TEST(ManualPrinter, OverflowAndMissingPicturesTablesOrChaptersFailThePrint)
{
    TempFolder dir;
    ManualPrinter overflow({contents(), chapter("Long", longText(3)), chapter("Fixed", "<p>x</p>", 3)}, {});
    EXPECT_FALSE(overflow.print(dir.path("a.pdf")));
    EXPECT_TRUE(overflow.error().contains("\"Fixed\" must start on page 3")) << overflow.error().toStdString();

    ManualPrinter picture({chapter("Pics", "<img src=\"shot:nothere\">")}, {});
    EXPECT_FALSE(picture.print(dir.path("b.pdf")));
    EXPECT_TRUE(picture.error().contains("no picture \"nothere\""));

    ManualPrinter table({chapter("Tables", "<!--@joysticks-->")}, {}, {{"diagnostics", "<p>x</p>"}});
    EXPECT_FALSE(table.print(dir.path("c.pdf")));
    EXPECT_TRUE(table.error().contains("no table \"joysticks\""));

    ManualPrinter reference({chapter("Refs", "<p>page <!--@page nowhere.html--></p>")}, {});
    EXPECT_FALSE(reference.print(dir.path("d.pdf")));
    EXPECT_TRUE(reference.error().contains("page reference to \"nowhere.html\", which is no chapter"))
        << reference.error().toStdString();
}

TEST(ManualPrinter, RowsHeadingsParagraphsAndCodeTokensAreKeptWhole)
{
    // A long table of three-line rows, sections of uneven length and
    // commands in a narrow column: left to the layout, rows and paragraphs
    // would run over page ends, headings end pages and tokens break.
    QString rows;
    for (int i = 1; i <= 45; ++i)
        rows += QStringLiteral("<tr><td>Row %1 first<br>Row %1 second<br>Row %1 third</td><td>x</td></tr>").arg(i);
    QString sections;
    for (int i = 1; i <= 40; ++i) {
        sections += QStringLiteral("<h2>Section %1</h2><p>").arg(i);
        for (int w = 0; w < 25 + (i * 37) % 90; ++w)
            sections += QStringLiteral("word ");
        sections += QStringLiteral("end%1.</p>").arg(i);
    }
    // the command line table as the manual has it
    QString commands = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                                      "<tr><th width=\"44%\">Command</th><th>Does</th></tr>");
    for (int i = 1; i <= 6; ++i)
        commands += QStringLiteral("<tr><td><code>krvctl write --port %1 reference.txt --verify</code></td><td>writes a file</td></tr>").arg(i);
    commands += QStringLiteral("</table>");
    TempFolder dir;
    ManualPrinter printer({chapter("Table", QStringLiteral("<table border=\"1\" width=\"100%\"><tr><th>Rows</th><th>Other</th></tr>")
                                                + rows + QStringLiteral("</table>")),
                           chapter("Sections", sections), chapter("Commands", commands)},
                          {});
    const QString pdf = dir.path("kept.pdf");
    ASSERT_TRUE(printer.print(pdf)) << printer.error().toStdString();
    const QString mends = printer.mends().join('\n');
    // each kind of fault did arise, and was mended
    EXPECT_TRUE(mends.contains("goes on at row")) << mends.toStdString();
    EXPECT_TRUE(mends.contains("new page before \"Section")) << mends.toStdString();
    EXPECT_TRUE(mends.contains("\"--verify\" to the next line")) << mends.toStdString();

    QString error;
    const int pages = pdfPageCount(pdf, &error);
    ASSERT_GT(pages, 3) << error.toStdString();
    QHash<QString, int> pageOfLine;
    for (int p = 1; p <= pages; ++p) {
        const QStringList lines = pageLines(pdf, p, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_FALSE(lastTextLine(lines).startsWith("Section ")) << "page " << p << " ends with a heading";
        for (const QString &line : lines) {
            pageOfLine.insert(line.section(' ', 0, 2), p);
            for (const QString &word : line.split(' '))
                EXPECT_NE(word, "--") << "page " << p << ": " << line.toStdString();
        }
        // no paragraph's last word alone at the top of a page
        if (lines.value(0).startsWith("word") || lines.value(0).startsWith("end")) {
            EXPECT_GT(lines.value(0).split(' ').size(), 1) << "page " << p << ": " << lines.value(0).toStdString();
        }
    }
    for (int i = 1; i <= 45; ++i) {
        const QString row = QStringLiteral("Row %1").arg(i);
        EXPECT_EQ(pageOfLine.value(row + " first"), pageOfLine.value(row + " third")) << row.toStdString() << " split";
    }
}

// ---------------------------------------------------------------------------
// The manual printed by the build

class ManualPdf : public ::testing::Test
{
protected:
    static QString pdf()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/HX0MAN01E.pdf");
    }
    QStringList lines(int page)
    {
        if (!m_pages.contains(page)) {
            m_pages.insert(page, pageLines(pdf(), page, &error));
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        }
        return m_pages.value(page);
    }
    QHash<int, QStringList> m_pages; // read once per test
    QString error;
};

TEST_F(ManualPdf, EveryWindowsChapterStartsOnThePageItsHelpKeyOpens)
{
    ASSERT_TRUE(QFileInfo::exists(pdf())) << pdf().toStdString();
    const QList<QPair<int, QString>> fixed = {
        {1, "Contents"},
        {10, "The configuration page"},
        {18, "Dither settings"},
        {26, "The on-line monitor"},
        {29, "The diagnostics page"},
        {32, "Control-unit key and production number"},
        {33, "The electronic debugger"},
        {34, "File information"},
        {36, "Section colours"},
    };
    for (const auto &f : fixed) {
        const QStringList l = lines(f.first);
        ASSERT_FALSE(l.isEmpty()) << "page " << f.first;
        EXPECT_EQ(l.first().toStdString(), f.second.toStdString()) << "page " << f.first;
        EXPECT_TRUE(l.last().endsWith(footerOf(f.first))) << "page " << f.first << ": " << l.last().toStdString();
    }
}

TEST_F(ManualPdf, PageCountAndNumberingHoldThroughTheWholeDocument)
{
    bool ok = false;
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf()}, &ok);
    ASSERT_TRUE(ok) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts \\(A4\\)"))))
        << info.toStdString();

    const int pages = pdfPageCount(pdf(), &error);
    ASSERT_GT(pages, 36) << error.toStdString(); // the section colours and the chapters after them
    EXPECT_LT(pages, 80);
    for (int p = 1; p <= pages; ++p) {
        const QStringList l = lines(p);
        ASSERT_FALSE(l.isEmpty()) << "page " << p;
        EXPECT_TRUE(l.last().endsWith(footerOf(p))) << "page " << p << ": " << l.last().toStdString();
        // A padding page says so and nothing else.
        if (l.first() == ManualPrinter::blankPageText()) {
            EXPECT_EQ(l.size(), 2) << "page " << p;
        }
    }
    // No page past the last one.
    EXPECT_FALSE(pageLines(pdf(), pages + 1, &error).join(' ').contains(footerOf(pages + 1)));
}

TEST_F(ManualPdf, ContentsPageNumbersLeadToTheirChapters)
{
    const int pages = pdfPageCount(pdf(), &error);
    ASSERT_GT(pages, 0) << error.toStdString();
    const QRegularExpression entry(QStringLiteral("^(.+) (\\d+)$"));
    int entries = 0;
    int previous = 1;
    for (const QString &line : lines(1)) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch() || line.startsWith(QLatin1String("KRV Studio")))
            continue;
        const int page = m.captured(2).toInt();
        ASSERT_GT(page, previous) << line.toStdString(); // in page order, none on the contents page
        ASSERT_LE(page, pages) << line.toStdString();
        EXPECT_EQ(lines(page).value(0).toStdString(), m.captured(1).toStdString()) << line.toStdString();
        previous = page;
        ++entries;
    }
    EXPECT_GE(entries, 9) << lines(1).join('|').toStdString();
}

TEST_F(ManualPdf, EveryChapterHasABookmarkAndEveryContentsEntryIsALink)
{
    const PdfStructure pdfFile = readStructure(pdf(), &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_GE(pdfFile.outlines.size(), 25);
    EXPECT_EQ(titleOf(pdfFile.outlines.at(0)).toStdString(), "Contents");
    QList<int> chapterPages;
    int sections = 0;
    for (const QJsonValue &chapter : pdfFile.outlines) {
        // a chapter's bookmark leads to its first page, a section's to the page it is on
        EXPECT_EQ(lines(pageOf(chapter)).value(0), titleOf(chapter));
        chapterPages << pageOf(chapter);
        for (const QJsonValue &section : chapter.toObject().value(QStringLiteral("kids")).toArray()) {
            const QStringList onPage = lines(pageOf(section));
            EXPECT_TRUE(onPage.contains(titleOf(section))) << titleOf(section).toStdString();
            EXPECT_NE(lastTextLine(onPage), titleOf(section)) << "a heading ends page " << pageOf(section);
            ++sections;
        }
    }
    EXPECT_GT(sections, 60);
    // the pages F1 opens are among them
    for (int f1 : {10, 18, 26, 29, 32, 33, 34, 36})
        EXPECT_TRUE(chapterPages.contains(f1)) << "page " << f1;
    // each contents entry leads to its chapter
    QList<int> contentsTargets = chapterPages.mid(1);
    QList<int> links = pdfFile.linkTargets(1);
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, contentsTargets);
}

TEST_F(ManualPdf, NoCodeTokenIsCutAtALineEnd)
{
    const int pages = pdfPageCount(pdf(), &error);
    ASSERT_GT(pages, 0) << error.toStdString();
    for (int p = 1; p <= pages; ++p) {
        for (const QString &line : lines(p)) {
            for (const QString &word : line.split(' '))
                EXPECT_NE(word, "--") << "page " << p << ": " << line.toStdString();
        }
    }
}
