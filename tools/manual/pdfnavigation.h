#pragma once

#include <QRectF>
#include <QString>
#include <QVector>

// Bookmarks (the outline a viewer shows beside the pages) and links, added to
// a printed PDF with qpdf: Qt's PDF writer can write neither. The file is
// read with `qpdf --json` and rewritten with `qpdf --update-from-json`.
// Positions are in points from the top left corner of the page.
class PdfNavigation
{
public:
    struct Destination
    {
        int page = 0;     // 1-based
        double top = 0;   // the viewer shows the page from here down
    };
    struct Bookmark
    {
        QString title;
        Destination target;
        QVector<Bookmark> children; // shown closed
    };
    struct Link
    {
        int page = 0;
        QRectF area;
        Destination target;
    };

    void addBookmark(const Bookmark &bookmark) { m_bookmarks.append(bookmark); }
    void addLink(const Link &link) { m_links.append(link); }
    const QVector<Bookmark> &bookmarks() const { return m_bookmarks; }
    const QVector<Link> &links() const { return m_links; }

    // Rewrites the file with the bookmarks and links; false with error() set
    // when qpdf is missing or fails, or a destination names no page.
    bool apply(const QString &pdfPath);
    QString error() const { return m_error; }

private:
    QVector<Bookmark> m_bookmarks;
    QVector<Link> m_links;
    QString m_error;
};
