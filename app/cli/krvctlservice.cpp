// krvctl's service commands and the live-value log.
#include "krvctl.h"

#include "consolemessageservice.h"
#include "keycommands.h"
#include "monitorlogger.h"
#include "session.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>

bool Krvctl::parseAddress(const QString &text, int32_t &address)
{
    QString t = text.trimmed();
    bool ok = false;
    qlonglong value = 0;
    if (t.contains(QLatin1Char('.'))) {
        // as a configuration file writes it: 0012.34
        value = t.remove(QLatin1Char('.')).toLongLong(&ok, 16);
    } else if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        value = t.mid(2).toLongLong(&ok, 16);
    } else {
        value = t.toLongLong(&ok, 0);
    }
    if (!ok || value < 0 || value > 0xFFFFFF)
        return false;
    address = int32_t(value);
    return true;
}

bool Krvctl::parseWord(const QString &text, int32_t &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    const qlonglong v = t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16)
                                                                                  : t.toLongLong(&ok, 0);
    if (!ok || v < -32768 || v > 65535)
        return false;
    value = int32_t(v);
    return true;
}

int Krvctl::reset(const QStringList &args)
{
    QCommandLineParser parser;
    addPortOption(parser);
    addYesOption(parser);
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl reset --port N --yes: sends the LOAD command; the unit takes "
                                             "its defaults at the next power-up."),
               0, 0, code))
        return code;
    if (!parser.isSet(QStringLiteral("yes")))
        return fail(NotConfirmed, QStringLiteral("reset not confirmed (add --yes)"));
    if (!newSession())
        return NoCatalogue;
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;
    if (m_session->e2Image.SendLoadCommand() != QLatin1String("0"))
        return fail(NoAnswer, QStringLiteral("the LOAD command failed"));
    m_messages->show(QStringLiteral("Switch OFF and then switch ON power supply!"), MessageService::Buttons::Ok,
                     MessageService::Icon::Warning, QString());
    return Success;
}

int Krvctl::peek(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("Controller address: decimal, 0x.., &H.. or as in files (0012.34)."),
                                 QStringLiteral("ADDR"));
    addPortOption(parser);
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl peek --port N ADDR: reads one controller word (ADDR decimal, "
                                             "0x.., &H.. or 0012.34)."),
               1, 1, code))
        return code;
    int32_t address = 0;
    if (!parseAddress(positional(parser).first(), address))
        return fail(UsageError, QStringLiteral("bad address ") + positional(parser).first());
    if (!newSession())
        return NoCatalogue;
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;
    int32_t value = 0;
    if (!m_session->rs232.ReadVar(address, value).isEmpty())
        return fail(NoAnswer, QStringLiteral("cannot read ") + File::formatAddress(address));
    m_out << value << "\t0x" << QString::number(uint16_t(value), 16).toUpper().rightJustified(4, QLatin1Char('0'))
          << Qt::endl;
    return Success;
}

int Krvctl::poke(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("Controller address: decimal, 0x.., &H.. or as in files (0012.34)."),
                                 QStringLiteral("ADDR"));
    parser.addPositionalArgument(QStringLiteral("value"), QStringLiteral("The word to write, -32768 to 65535."),
                                 QStringLiteral("VALUE"));
    addPortOption(parser);
    addYesOption(parser);
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl poke --port N ADDR VALUE --yes: writes one controller word."), 2,
               2, code))
        return code;
    int32_t address = 0;
    int32_t value = 0;
    if (!parseAddress(positional(parser).at(0), address))
        return fail(UsageError, QStringLiteral("bad address ") + positional(parser).at(0));
    if (!parseWord(positional(parser).at(1), value))
        return fail(OutOfRange, QStringLiteral("value out of range for a word: ") + positional(parser).at(1));
    if (!parser.isSet(QStringLiteral("yes")))
        return fail(NotConfirmed, QStringLiteral("write not confirmed (add --yes)"));
    if (!newSession())
        return NoCatalogue;
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;
    const bool written = m_session->rs232.WriteVar(address, value).isEmpty();
    m_session->history.recordWord(QStringLiteral("Poke"), address, value, written);
    if (!written)
        return fail(NoAnswer, QStringLiteral("cannot write ") + File::formatAddress(address));
    return Success;
}

int Krvctl::monitor(const QStringList &args)
{
    QCommandLineParser parser;
    addPortOption(parser);
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("A row every MS milliseconds, counted from the start of one row "
                                                     "to the next; a row that takes longer is followed at once (100)."),
                                      QStringLiteral("ms"), QStringLiteral("100"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Rows to log; 0 logs until stopped (0)."),
                                   QStringLiteral("k"), QStringLiteral("0"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("CSV file; - for standard output."), QStringLiteral("file"));
    parser.addOptions({interval, count, output});
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl monitor --port N [--interval MS] [--count K] -o FILE.csv: logs "
                                             "the live values of the monitor page.\n"
                                             "Columns: time (UTC, ISO 8601 with milliseconds), then one \"Name [unit]\" "
                                             "column per live value in display units: error word, power outputs, "
                                             "digital inputs, the four joystick inputs, the four coil currents, supply "
                                             "voltage. A value the variable list lacks has no column."),
               0, 0, code))
        return code;
    bool ok = false;
    const int ms = parser.value(interval).toInt(&ok);
    if (!ok || ms < 0)
        return fail(UsageError, QStringLiteral("bad interval ") + parser.value(interval));
    const int rows = parser.value(count).toInt(&ok);
    if (!ok || rows < 0)
        return fail(UsageError, QStringLiteral("bad count ") + parser.value(count));
    if (!parser.isSet(output))
        return fail(UsageError, QStringLiteral("no output file given (-o FILE.csv)"));
    if (!newSession())
        return NoCatalogue;

    QFile file;
    const QString path = parser.value(output);
    const bool opened = path == QLatin1String("-") ? file.open(stdout, QIODevice::WriteOnly)
                                                    : (file.setFileName(path), file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!opened)
        return fail(FileError, QStringLiteral("cannot write ") + path);
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;

    MonitorLogger logger(*m_session);
    for (const QString &missing : logger.missingNames())
        m_err << "krvctl: the catalogue has no " << missing << "; column left out" << Qt::endl;
    if (!logger.prepare())
        return fail(NoAnswer, QStringLiteral("cannot read the live values"));
    QTextStream csv(&file);
    csv << logger.header() << '\n';
    QElapsedTimer clock;
    clock.start();
    qint64 due = 0; // when the next row starts, in ms since the first
    for (int row = 0; rows == 0 || row < rows; ++row) {
        if (row > 0) {
            due += ms;
            // a row that ran late starts the count again instead of rushing to catch up
            if (clock.elapsed() > due)
                due = clock.elapsed();
            LinkScheduler::waitMs(double(due - clock.elapsed()));
        }
        QString line;
        if (!logger.poll(line))
            return fail(NoAnswer, QStringLiteral("the log stopped after ") + QString::number(row)
                                      + QStringLiteral(" rows"));
        // each row on disk at once, so a stopped log keeps what it had
        csv << line << '\n' << Qt::flush;
        if (m_progress)
            m_err << "\r" << row + 1 << " rows" << Qt::flush;
    }
    if (m_progress)
        m_err << "\r\033[K" << Qt::flush;
    return Success;
}

int Krvctl::key(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("action"), QStringLiteral("read, write KEY, or lock."),
                                 QStringLiteral("read | write KEY | lock"));
    addPortOption(parser);
    addYesOption(parser);
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl key read | write KEY --yes | lock --yes: the control unit's key "
                                             "and production number (KEY: eight hexadecimal digits, 0x optional)."),
               1, 2, code))
        return code;
    const QStringList words = positional(parser);
    const QString action = words.first();
    const bool writing = action == QLatin1String("write");
    if ((writing && words.size() != 2) || (!writing && words.size() != 1)
        || (action != QLatin1String("read") && !writing && action != QLatin1String("lock")))
        return fail(UsageError, QStringLiteral("use key read, key write KEY or key lock"));
    qint64 keyValue = 0;
    if (writing && !KeyCommands::parseKeyText(words.at(1), keyValue))
        return fail(UsageError, QStringLiteral("a key is eight hexadecimal digits, as 0x12345678"));
    if (action != QLatin1String("read") && !parser.isSet(QStringLiteral("yes")))
        return fail(NotConfirmed, QStringLiteral("key ") + action + QStringLiteral(" not confirmed (add --yes)"));
    if (!newSession())
        return NoCatalogue;
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;
    m_messages->assumeYes = true;
    KeyCommands keys(*m_session);
    if (writing)
        return keys.writeKey(words.at(1)) ? Success : fail(NoAnswer, QStringLiteral("the key was not written"));
    if (action == QLatin1String("lock"))
        return keys.lock() ? Success : fail(NoAnswer, QStringLiteral("the unit was not locked"));

    QString production;
    QString keyText;
    keys.readKey([&](KeyCommands::Field field, const QString &text) {
        (field == KeyCommands::Field::Key ? keyText : production) = text;
    });
    if (production.isEmpty() || keyText.isEmpty())
        return fail(NoAnswer, QStringLiteral("cannot read the key"));
    m_out << "Production number\t" << production << "\nKey\t" << keyText << Qt::endl;
    return Success;
}
