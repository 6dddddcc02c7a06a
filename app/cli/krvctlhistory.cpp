// krvctl history: the service history of the writes, as a table or CSV.
#include "krvctl.h"

#include "servicehistory.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// The rows in columns as wide as their widest text, two spaces apart.
QString alignedTable(const QList<ServiceHistory::Row> &rows)
{
    QList<QStringList> lines{ServiceHistory::titles()};
    for (const ServiceHistory::Row &row : rows)
        lines.append(row.fields());
    QList<int> widths(lines.first().size(), 0);
    for (const QStringList &fields : std::as_const(lines))
        for (int c = 0; c < fields.size(); ++c)
            widths[c] = std::max(widths[c], int(fields[c].size()));
    QString text;
    for (const QStringList &fields : std::as_const(lines)) {
        QString line;
        for (int c = 0; c < fields.size(); ++c)
            line += c + 1 < fields.size() ? fields[c].leftJustified(widths[c] + 2) : fields[c];
        text += line.trimmed() + QLatin1Char('\n');
    }
    return text;
}

} // namespace

int Krvctl::history(const QStringList &args)
{
    QCommandLineParser parser;
    const QCommandLineOption unit(QStringLiteral("unit"),
                                  QStringLiteral("Only the unit with this serial or production number (0x.. or the "
                                                 "digits the Key page shows)."),
                                  QStringLiteral("N"));
    const QCommandLineOption since(QStringLiteral("since"),
                                   QStringLiteral("Only rows of this UTC day (YYYY-MM-DD) and later."),
                                   QStringLiteral("date"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Comma-separated values with a header line."));
    parser.addOptions({unit, since, csv});
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl history [--unit N] [--since DATE] [--csv]: prints the service "
                                             "history of every write to a control unit by KRV Studio or krvctl, "
                                             "newest first: time (UTC), program, user, port, production and "
                                             "serial number, action, parameter, old and new value, source file, "
                                             "result (done, failed, stopped midway)."),
               0, 0, code))
        return code;
    ServiceHistory::Filter filter;
    filter.unit = parser.value(unit);
    if (parser.isSet(since)) {
        static const QRegularExpression day(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$"));
        const QString text = parser.value(since);
        filter.from = QDate::fromString(text, Qt::ISODate);
        if (!day.match(text).hasMatch() || !filter.from.isValid())
            return fail(UsageError, QStringLiteral("bad date ") + text + QStringLiteral(" (use YYYY-MM-DD)"));
    }
    m_history = openHistory();
    m_history->setOffNotice([this](const QString &text) { m_err << "krvctl: " << text << Qt::endl; });
    const QList<ServiceHistory::Row> rows = m_history->rows(filter);
    // the notice has said why
    if (m_history->isOff())
        return FileError;
    m_out << (parser.isSet(csv) ? ServiceHistory::csv(rows) : alignedTable(rows)) << Qt::flush;
    return Success;
}
