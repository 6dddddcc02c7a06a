#pragma once

#include <QString>
#include <QVector>

// Places the manual's chapters on pages. Every chapter starts on a new page;
// a chapter with a fixed start page (the pages the program's help key opens)
// must begin exactly there: the pages before it are padded with blank pages,
// and a chapter that would push it further is an error, never a silent shift.
class ManualLayout
{
public:
    struct Chapter
    {
        QString title;
        int pageCount = 1;   // pages the chapter's own text needs, at least 1
        int fixedStart = 0;  // 0: follows on
    };

    struct Placement
    {
        int startPage = 0;   // 1-based
        int blanksBefore = 0; // padding pages right before it
    };

    // False with error() set when a chapter cannot start on its page.
    bool place(const QVector<Chapter> &chapters);

    const QVector<Placement> &placements() const { return m_placements; }
    int totalPages() const { return m_total; }
    QString error() const { return m_error; }

private:
    QVector<Placement> m_placements;
    int m_total = 0;
    QString m_error;
};
