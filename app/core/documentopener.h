#pragma once

#include <QString>
#include <QStringList>

// Opens a document in the desktop's viewer. The caller describes it the way
// the program always has: a reader program and its parameter text, e.g.
//   /A "page=26&pagemode=bookmarks&zoom=100"  "<folder>\HX0MAN01E.pdf
// The document and the page are taken from that text. The desktop's default
// PDF application comes first (at the page, when it is a viewer that can be
// told one); then the first installed PDF viewer that can jump to a page;
// then the desktop's opener.
class DocumentOpener
{
public:
    struct Launch
    {
        QString program;
        QStringList arguments;
    };

    // The document path named in the parameters (backslashes turned into
    // slashes), or `filePath` itself when the parameters name none.
    static QString documentPath(const QString &filePath, const QString &parameters);
    // The page asked for with "page=<n>", or 0.
    static int page(const QString &parameters);

    // The desktop entry file of the default PDF application, as
    // `xdg-mime query default application/pdf` names it; empty when there is none.
    static QString defaultPdfApplication();
    // What a desktop entry's Exec line starts for the document, at the page
    // when its program is a viewer that takes one; an empty program when the
    // entry has no Exec line or its program is not installed.
    static Launch fromDesktopEntry(const QString &desktopFile, const QString &document, int page);

    // What would be started; an empty program when nothing can open it.
    static Launch plan(const QString &filePath, const QString &parameters);
    static bool open(const QString &filePath, const QString &parameters);
};
