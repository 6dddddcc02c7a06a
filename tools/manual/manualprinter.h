#pragma once

#include "manuallayout.h"
#include "manualsource.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QVector>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

// Lays the chapters out on A4 pages and prints them to PDF: the contents page
// with the start page of every chapter, blank pages where a fixed
// chapter needs padding, and a footer with the page number on every page.
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

    static QString blankPageText() { return QStringLiteral("This page is intentionally left blank."); }

private:
    std::unique_ptr<QTextDocument> makeDocument(const QString &html, QPagedPaintDevice &device);
    QString contentsHtml() const;
    // The chapter's text with its page references filled in ("00" before the layout).
    bool resolvePageReferences(const QString &html, bool withPages, QString *out);
    void drawPage(QPainter &painter, QTextDocument *doc, int pageInDoc, int pageNumber);

    QVector<ManualSource::Chapter> m_chapters;
    QHash<QString, QImage> m_images;
    QHash<QString, QString> m_snippets;
    ManualLayout m_layout;
    QVector<ManualLayout::Chapter> m_lengths;
    QVector<ContentsEntry> m_contents;
    QString m_error;
    double m_pageWidth = 0;
    double m_pageHeight = 0;
};
