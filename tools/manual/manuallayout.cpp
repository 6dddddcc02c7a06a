#include "manuallayout.h"

#include <algorithm>

bool ManualLayout::place(const QVector<Chapter> &chapters)
{
    m_placements.clear();
    m_total = 0;
    m_error.clear();

    int next = 1; // first free page
    for (int i = 0; i < chapters.size(); ++i) {
        const Chapter &c = chapters.at(i);
        Placement p;
        if (c.fixedStart > 0) {
            if (next > c.fixedStart) {
                const QString previous = i > 0 ? chapters.at(i - 1).title : QString();
                m_error = QStringLiteral("\"%1\" must start on page %2, but \"%3\" already runs to page %4: "
                                         "shorten the chapters before it")
                              .arg(c.title)
                              .arg(c.fixedStart)
                              .arg(previous)
                              .arg(next - 1);
                m_placements.clear();
                return false;
            }
            p.blanksBefore = c.fixedStart - next;
            next = c.fixedStart;
        }
        p.startPage = next;
        next += std::max(1, c.pageCount);
        m_placements.append(p);
    }
    m_total = next - 1;
    return true;
}
