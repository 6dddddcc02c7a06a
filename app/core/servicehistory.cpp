#include "servicehistory.h"

#include "csvtext.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <pwd.h>
#include <unistd.h>

const QString ServiceHistory::Done = QStringLiteral("done");
const QString ServiceHistory::Failed = QStringLiteral("failed");
const QString ServiceHistory::StoppedMidway = QStringLiteral("stopped midway");

namespace {

// The table's columns, in the order of Row::fields().
const char *const Columns[] = {"time",      "program",   "user",      "port",      "production",  "serial",
                               "action",    "parameter", "old_value", "new_value", "source_file", "result"};
constexpr int ColumnCount = int(std::size(Columns));
// Two programs append at once: a writer waits this long for the other.
constexpr int BusyTimeoutMs = 5000;

QString columnList()
{
    QStringList names;
    for (const char *name : Columns)
        names << QLatin1String(name);
    return names.join(QLatin1Char(','));
}

// The driver's own words ("file is not a database"), without its wrapping.
QString reasonOf(const QSqlError &error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

// SQLite turns a connection away at once, without waiting out the busy time-out, when
// two programs setting up the same new file would otherwise wait for each other.
bool isBusy(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 /* SQLITE_BUSY */ || code == 6 /* SQLITE_LOCKED */;
}

// Runs a statement, trying again while the other program holds the file, up to the time-out.
bool execWaiting(QSqlQuery &query, const QString &statement)
{
    const QDeadlineTimer deadline(BusyTimeoutMs);
    while (!query.exec(statement)) {
        if (!isBusy(query.lastError()) || deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

// A LIKE pattern that takes the text literally.
QString containsPattern(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + text + QLatin1Char('%');
}

} // namespace

QStringList ServiceHistory::Row::fields() const
{
    return {time, program, user, port, production, serial, action, parameter, oldValue, newValue, sourceFile, result};
}

ServiceHistory::ServiceHistory(QString path) : m_path(std::move(path))
{
    // one connection per store and thread: the driver's connections are not shared
    static std::atomic<int> count{0};
    m_connection = QStringLiteral("servicehistory-%1-%2")
                       .arg(++count)
                       .arg(reinterpret_cast<quintptr>(QThread::currentThread()), 0, 16);
}

ServiceHistory::~ServiceHistory()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QString ServiceHistory::defaultPath()
{
    // the studio's data folder, named here so that krvctl finds the same file
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/krvstudio/service-history.sqlite");
}

QString ServiceHistory::userName()
{
    for (const char *name : {"USER", "LOGNAME"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    const passwd *entry = ::getpwuid(::getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::getuid());
}

QStringList ServiceHistory::titles()
{
    return {QStringLiteral("Time (UTC)"),  QStringLiteral("Program"),    QStringLiteral("User"),
            QStringLiteral("Port"),        QStringLiteral("Production"), QStringLiteral("Serial"),
            QStringLiteral("Action"),      QStringLiteral("Parameter"),  QStringLiteral("Old Value"),
            QStringLiteral("New Value"),   QStringLiteral("Source File"), QStringLiteral("Result")};
}

QString ServiceHistory::csv(const QList<Row> &rows)
{
    QString text = CsvText::row(titles()) + QLatin1Char('\n');
    for (const Row &row : rows)
        text += CsvText::row(row.fields()) + QLatin1Char('\n');
    return text;
}

QString ServiceHistory::offText() const
{
    if (!isOff())
        return QString();
    return QStringLiteral("Service history is off: ") + m_offReason + QStringLiteral(" (") + m_path
           + QLatin1Char(')');
}

bool ServiceHistory::turnOff(const QString &reason)
{
    const bool first = !isOff();
    m_offReason = reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    m_opened = false;
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::database(m_connection, false).close();
    if (first && m_notice)
        m_notice(offText());
    return false;
}

QString ServiceHistory::checkSchema()
{
    const QSqlRecord record = QSqlDatabase::database(m_connection, false).record(QStringLiteral("history"));
    QStringList found;
    for (int i = 0; i < record.count(); ++i)
        found << record.fieldName(i);
    QStringList expected{QStringLiteral("id")};
    for (const char *name : Columns)
        expected << QLatin1String(name);
    if (found == expected)
        return QString();
    return QStringLiteral("the file's history table has other columns (") + found.join(QLatin1Char(','))
           + QStringLiteral(")");
}

bool ServiceHistory::open()
{
    if (m_opened)
        return true;
    if (isOff())
        return false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return turnOff(QStringLiteral("the SQLite driver of Qt SQL is not installed"));
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return turnOff(QStringLiteral("cannot make the folder ") + folder);

    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open())
        return turnOff(reasonOf(db.lastError()));
    QSqlQuery query(db);
    // readers never block the writer, and two writers wait for each other
    if (!execWaiting(query, QStringLiteral("PRAGMA journal_mode=WAL")))
        return turnOff(reasonOf(query.lastError()));
    if (!execWaiting(query, QStringLiteral("CREATE TABLE IF NOT EXISTS history (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                   "time TEXT NOT NULL, program TEXT, user TEXT, port TEXT, production TEXT, "
                                   "serial TEXT, action TEXT, parameter TEXT, old_value TEXT, new_value TEXT, "
                                   "source_file TEXT, result TEXT)")))
        return turnOff(reasonOf(query.lastError()));
    const QString schema = checkSchema();
    if (!schema.isEmpty())
        return turnOff(schema);
    m_opened = true;
    return true;
}

bool ServiceHistory::append(const QList<Row> &rows)
{
    if (rows.isEmpty())
        return !isOff();
    if (!open())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // the write lock is taken at once: a waiting writer is not turned away midway
    if (!execWaiting(query, QStringLiteral("BEGIN IMMEDIATE")))
        return turnOff(reasonOf(query.lastError()));
    QString marks = QStringLiteral("?");
    for (int i = 1; i < ColumnCount; ++i)
        marks += QStringLiteral(",?");
    QSqlQuery insert(db);
    bool ok = insert.prepare(QStringLiteral("INSERT INTO history (%1) VALUES (%2)").arg(columnList(), marks));
    for (int r = 0; ok && r < rows.size(); ++r) {
        const QStringList fields = rows[r].fields();
        for (int c = 0; c < ColumnCount; ++c)
            insert.bindValue(c, fields[c].isNull() ? QString(QLatin1String("")) : fields[c]);
        ok = insert.exec();
    }
    if (!ok) {
        const QString reason = reasonOf(insert.lastError());
        query.exec(QStringLiteral("ROLLBACK"));
        return turnOff(reason);
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const QString reason = reasonOf(query.lastError());
        query.exec(QStringLiteral("ROLLBACK"));
        return turnOff(reason);
    }
    return true;
}

QList<ServiceHistory::Row> ServiceHistory::rows(const Filter &filter)
{
    QList<Row> result;
    if (!open())
        return result;
    QStringList where;
    QVariantList values;
    const QString unit = filter.unit.trimmed();
    if (!unit.isEmpty()) {
        // as shown, as typed hex digits without 0x, or as a number
        QStringList serials{unit};
        QStringList productions{unit.toUpper(), QStringLiteral("0X") + unit.toUpper()};
        bool ok = false;
        const qulonglong number = unit.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                      ? unit.mid(2).toULongLong(&ok, 16)
                                      : unit.toULongLong(&ok, 10);
        if (ok) {
            serials << QString::number(number);
            productions << QStringLiteral("0X") + QString::number(number, 16).toUpper();
        }
        QStringList tests;
        for (const QString &s : std::as_const(serials)) {
            tests << QStringLiteral("serial = ?");
            values << s;
        }
        for (const QString &p : std::as_const(productions)) {
            tests << QStringLiteral("upper(production) = ?");
            values << p;
        }
        where << QLatin1Char('(') + tests.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    if (filter.from.isValid()) {
        where << QStringLiteral("time >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("time < ?");
        values << filter.to.addDays(1).toString(Qt::ISODate);
    }
    if (!filter.parameter.trimmed().isEmpty()) {
        where << QStringLiteral("parameter LIKE ? ESCAPE '\\'");
        values << containsPattern(filter.parameter.trimmed());
    }
    QString sql = QStringLiteral("SELECT %1 FROM history").arg(columnList());
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY time DESC, id DESC");
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    bool ok = query.prepare(sql);
    for (int i = 0; ok && i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!ok || !query.exec()) {
        turnOff(reasonOf(query.lastError()));
        return result;
    }
    while (query.next()) {
        QStringList f;
        for (int c = 0; c < ColumnCount; ++c)
            f << query.value(c).toString();
        result.append(Row{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11]});
    }
    return result;
}
