#include "pdfnavigation.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

namespace {

QString ref(int object) { return QStringLiteral("%1 0 R").arg(object); }
QString key(const QString &reference) { return QStringLiteral("obj:") + reference; }

bool runQpdf(const QStringList &arguments, QByteArray *output, QString *error)
{
    const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
    if (qpdf.isEmpty()) {
        *error = QStringLiteral("qpdf not found: it adds the manual's bookmarks (tools/install-deps.sh installs it)");
        return false;
    }
    QProcess p;
    p.start(qpdf, arguments);
    // exit code 3: done, with warnings
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || (p.exitCode() != 0 && p.exitCode() != 3)) {
        *error = QStringLiteral("qpdf %1 failed: %2").arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(p.readAllStandardError()));
        return false;
    }
    if (output)
        *output = p.readAllStandardOutput();
    return true;
}

// The objects qpdf adds, numbered on from the file's highest.
class NewObjects
{
public:
    explicit NewObjects(int maxObject) : m_next(maxObject + 1) {}
    int reserve() { return m_next++; }
    int highest() const { return m_next - 1; }

private:
    int m_next;
};

} // namespace

bool PdfNavigation::apply(const QString &pdfPath)
{
    m_error.clear();
    QByteArray json;
    if (!runQpdf({QStringLiteral("--json"), QStringLiteral("--json-key=pages"), QStringLiteral("--json-key=qpdf"), pdfPath},
                 &json, &m_error))
        return false;
    const QJsonObject file = QJsonDocument::fromJson(json).object();
    const QJsonArray qpdf = file.value(QStringLiteral("qpdf")).toArray();
    const QJsonObject objects = qpdf.at(1).toObject();
    const QString root = objects.value(QStringLiteral("trailer")).toObject().value(QStringLiteral("value")).toObject().value(QStringLiteral("/Root")).toString();
    QStringList pages;
    for (const QJsonValue &page : file.value(QStringLiteral("pages")).toArray())
        pages << page.toObject().value(QStringLiteral("object")).toString();
    if (root.isEmpty() || pages.isEmpty()) {
        m_error = QStringLiteral("qpdf could not read %1").arg(pdfPath);
        return false;
    }
    auto pageObject = [&](const QString &reference) {
        return objects.value(key(reference)).toObject().value(QStringLiteral("value")).toObject();
    };
    auto pageHeight = [&](int page) {
        const QJsonArray box = pageObject(pages.at(page - 1)).value(QStringLiteral("/MediaBox")).toArray();
        return box.size() == 4 ? box.at(3).toDouble() : 842.0;
    };
    auto destination = [&](const Destination &d, QJsonArray *out) {
        if (d.page < 1 || d.page > pages.size()) {
            m_error = QStringLiteral("a bookmark or link leads to page %1 of %2").arg(d.page).arg(pages.size());
            return false;
        }
        *out = QJsonArray{pages.at(d.page - 1), QStringLiteral("/XYZ"), QJsonValue(), pageHeight(d.page) - d.top, QJsonValue()};
        return true;
    };

    NewObjects added(qpdf.at(0).toObject().value(QStringLiteral("maxobjectid")).toInt());
    QJsonObject update;

    // The outline: a chain of siblings under each parent, children closed.
    std::function<bool(const QVector<Bookmark> &, int, int *, int *)> chain =
        [&](const QVector<Bookmark> &items, int parent, int *first, int *last) {
            QVector<int> numbers;
            for (int i = 0; i < items.size(); ++i)
                numbers << added.reserve();
            for (int i = 0; i < items.size(); ++i) {
                QJsonArray dest;
                if (!destination(items.at(i).target, &dest))
                    return false;
                QJsonObject item{{QStringLiteral("/Title"), QStringLiteral("u:") + items.at(i).title},
                                 {QStringLiteral("/Parent"), ref(parent)},
                                 {QStringLiteral("/Dest"), dest}};
                if (i > 0)
                    item.insert(QStringLiteral("/Prev"), ref(numbers.at(i - 1)));
                if (i + 1 < items.size())
                    item.insert(QStringLiteral("/Next"), ref(numbers.at(i + 1)));
                if (!items.at(i).children.isEmpty()) {
                    int childFirst = 0;
                    int childLast = 0;
                    if (!chain(items.at(i).children, numbers.at(i), &childFirst, &childLast))
                        return false;
                    item.insert(QStringLiteral("/First"), ref(childFirst));
                    item.insert(QStringLiteral("/Last"), ref(childLast));
                    item.insert(QStringLiteral("/Count"), -static_cast<int>(items.at(i).children.size()));
                }
                update.insert(key(ref(numbers.at(i))), QJsonObject{{QStringLiteral("value"), item}});
            }
            *first = numbers.isEmpty() ? 0 : numbers.first();
            *last = numbers.isEmpty() ? 0 : numbers.last();
            return true;
        };
    QJsonObject catalog = objects.value(key(root)).toObject().value(QStringLiteral("value")).toObject();
    if (!m_bookmarks.isEmpty()) {
        const int outlines = added.reserve();
        int first = 0;
        int last = 0;
        if (!chain(m_bookmarks, outlines, &first, &last))
            return false;
        update.insert(key(ref(outlines)),
                      QJsonObject{{QStringLiteral("value"),
                                   QJsonObject{{QStringLiteral("/Type"), QStringLiteral("/Outlines")},
                                               {QStringLiteral("/First"), ref(first)},
                                               {QStringLiteral("/Last"), ref(last)},
                                               {QStringLiteral("/Count"), static_cast<int>(m_bookmarks.size())}}}});
        catalog.insert(QStringLiteral("/Outlines"), ref(outlines));
        catalog.insert(QStringLiteral("/PageMode"), QStringLiteral("/UseOutlines"));
        update.insert(key(root), QJsonObject{{QStringLiteral("value"), catalog}});
    }

    // Links: annotations added to each page's list (an object of its own, as
    // Qt writes it, or one in the page).
    QMap<int, QJsonArray> annotations;
    for (const Link &link : m_links) {
        QJsonArray dest;
        if (!destination(link.target, &dest))
            return false;
        if (link.page < 1 || link.page > pages.size()) {
            m_error = QStringLiteral("a link stands on page %1 of %2").arg(link.page).arg(pages.size());
            return false;
        }
        const double height = pageHeight(link.page);
        const int number = added.reserve();
        const QJsonArray rect{link.area.left(), height - link.area.bottom(), link.area.right(), height - link.area.top()};
        update.insert(key(ref(number)),
                      QJsonObject{{QStringLiteral("value"),
                                   QJsonObject{{QStringLiteral("/Type"), QStringLiteral("/Annot")},
                                               {QStringLiteral("/Subtype"), QStringLiteral("/Link")},
                                               {QStringLiteral("/Rect"), rect},
                                               {QStringLiteral("/Border"), QJsonArray{0, 0, 0}},
                                               {QStringLiteral("/Dest"), dest}}}});
        annotations[link.page].append(ref(number));
    }
    for (auto it = annotations.cbegin(); it != annotations.cend(); ++it) {
        const QString page = pages.at(it.key() - 1);
        QJsonObject pageValue = pageObject(page);
        const QJsonValue own = pageValue.value(QStringLiteral("/Annots"));
        if (own.isString()) {
            QJsonArray list = objects.value(key(own.toString())).toObject().value(QStringLiteral("value")).toArray();
            for (const QJsonValue &a : it.value())
                list.append(a);
            update.insert(key(own.toString()), QJsonObject{{QStringLiteral("value"), list}});
        } else {
            QJsonArray list = own.toArray();
            for (const QJsonValue &a : it.value())
                list.append(a);
            pageValue.insert(QStringLiteral("/Annots"), list);
            update.insert(key(page), QJsonObject{{QStringLiteral("value"), pageValue}});
        }
    }

    QJsonObject header = qpdf.at(0).toObject();
    header.insert(QStringLiteral("maxobjectid"), added.highest());
    const QJsonObject document{{QStringLiteral("version"), 2}, {QStringLiteral("qpdf"), QJsonArray{header, update}}};
    QTemporaryDir scratch;
    const QString updateFile = scratch.filePath(QStringLiteral("navigation.json"));
    const QString outFile = scratch.filePath(QStringLiteral("out.pdf"));
    QFile out(updateFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(document).toJson()) < 0) {
        m_error = QStringLiteral("cannot write %1").arg(updateFile);
        return false;
    }
    out.close();
    if (!runQpdf({pdfPath, QStringLiteral("--update-from-json=") + updateFile, outFile}, nullptr, &m_error))
        return false;
    if (!QFile::remove(pdfPath) || !QFile::copy(outFile, pdfPath)) {
        m_error = QStringLiteral("cannot replace %1").arg(pdfPath);
        return false;
    }
    return true;
}
