#pragma once

#include "manuallayout.h"
#include "manualsource.h"
#include "pdfnavigation.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QVector>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

// Lays the chapters out on A4 pages and prints them to PDF: the contents page
// with the start page of every chapter (each entry a link to it), blank pages
// where a fixed chapter needs padding, a footer with the page number on every
// page, and a bookmark for every chapter with its sections below it. Rows,
// headings, short paragraphs and code tokens are kept whole (PageKeeper).
// Pictures named "shot:<name>" in the chapters come from the images given,
// a comment <!--@name--> is replaced by the snippet of that name, and
// <!--@page file.html--> by the page that chapter starts on.
class ManualPrinter
{
public:
    struct ContentsEntry
    {
        QString title;
        int page = 0;
    };

    ManualPrinter(QVector<ManualSource::Chapter> chapters, QHash<QString, QImage> images,
                  QHash<QString, QString> snippets = {});
    ~ManualPrinter();

    // False with error() set when a picture, snippet or referenced chapter is missing
    // or a chapter overflows.
    bool print(const QString &pdfPath);

    QString error() const { return m_error; }
    const ManualLayout &layout() const { return m_layout; }
    const QVector<ContentsEntry> &contents() const { return m_contents; }
    // Pages each chapter needs, known once print() has laid them out.
    const QVector<ManualLayout::Chapter> &chapterLengths() const { return m_lengths; }
    // The bookmarks and contents links print() added.
    const PdfNavigation &navigation() const { return m_navigation; }
    // What the layout moved to keep rows, headings, paragraphs and tokens whole.
    const QStringList &mends() const { return m_mends; }

    static QString blankPageText() { return QStringLiteral("This page is intentionally left blank."); }

private:
    std::unique_ptr<QTextDocument> makeDocument(const QString &html, QPagedPaintDevice &device);
    QString contentsHtml() const;
    // The chapter's text with its page references filled in ("00" before the layout).
    bool resolvePageReferences(const QString &html, bool withPages, QString *out);
    void drawPage(QPainter &painter, QTextDocument *doc, int pageInDoc, int pageNumber);
    // Bookmarks for chapter i and its sections; links on the contents pages.
    void addNavigation(int chapter, QTextDocument *doc, bool isContents);
    // A point of a chapter's document, as page and points from the page's top.
    PdfNavigation::Destination destination(int chapter, double y) const;

    QVector<ManualSource::Chapter> m_chapters;
    QHash<QString, QImage> m_images;
    QHash<QString, QString> m_snippets;
    ManualLayout m_layout;
    QVector<ManualLayout::Chapter> m_lengths;
    QVector<ContentsEntry> m_contents;
    PdfNavigation m_navigation;
    QStringList m_mends;
    QString m_error;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
};
