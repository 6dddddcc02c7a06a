#pragma once

#include <QString>
#include <QVector>

// The manual's source: an order file naming one chapter per line with the page
// it must start on, and one HTML file per chapter whose first <h1> is its title.
//
//   # comment
//   @contents          1     the generated contents page
//   introduction.html  -     "-": right after the chapter before
//   configuration.html 10
class ManualSource
{
public:
    struct Chapter
    {
        QString file;      // empty for the contents page
        QString title;
        QString html;
        int fixedStart = 0;
        bool isContents = false;
    };

    // False with error() set when the order file or a chapter is missing or malformed.
    bool load(const QString &folder, const QString &orderFile = QStringLiteral("chapters.txt"));

    const QVector<Chapter> &chapters() const { return m_chapters; }
    QString error() const { return m_error; }

    // The text of the first <h1> of a chapter, tags and entities resolved.
    static QString titleOf(const QString &html);

private:
    bool fail(const QString &message);

    QVector<Chapter> m_chapters;
    QString m_error;
};
