#include "krvctl.h"

#include "catalogue.h"
#include "clicommentpage.h"
#include "clipageset.h"
#include "configcompare.h"
#include "consolemessageservice.h"
#include "consolewaitwindow.h"
#include "cvardata.h"
#include "servicehistory.h"
#include "session.h"
#include "stopsignals.h"
#include "stringeval.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

const char *const Overview =
    "Usage: krvctl COMMAND [options]\n"
    "Commands:\n"
    "  read     --port N -o FILE          read every parameter and save a configuration file\n"
    "  write    --port N FILE [--verify]  load a configuration file and write it into the unit\n"
    "  compare  --port N FILE | FILE1 FILE2   list the differences\n"
    "  monitor  --port N [--interval MS] [--count K] -o FILE.csv   log the live values\n"
    "  eval     FORMULA X                 evaluate a variable-list formula\n"
    "  list                               print the variable catalogue\n"
    "  reset    --port N --yes            send the LOAD command\n"
    "  key      --port N read | write KEY --yes | lock --yes   the unit's key\n"
    "  peek     --port N ADDR             read one controller word\n"
    "  poke     --port N ADDR VALUE --yes write one controller word\n"
    "  history  [--unit N] [--since DATE] [--csv]   print the service history of writes\n"
    "Every command takes --help; krvctl --version prints the version.\n"
    "A port is a COM number or a device path.\n";

// The exit code for a configuration file that was not read.
int fileExit(const ConfigFileReader::Result &result)
{
    return result.status == ConfigFileReader::Status::Unreadable ? Krvctl::FileError : Krvctl::BadFile;
}

} // namespace

Krvctl::Krvctl(IDeviceLinkFactory *links, QTextStream &out, QTextStream &err)
    : m_links(links), m_out(out), m_err(err)
{
}

Krvctl::~Krvctl() = default;

int Krvctl::run(const QStringList &arguments)
{
    const QString command = arguments.value(1);
    const QStringList args = arguments.mid(1);
    using Handler = int (Krvctl::*)(const QStringList &);
    const QMap<QString, Handler> commands = {
        {QStringLiteral("read"), &Krvctl::read},       {QStringLiteral("write"), &Krvctl::write},
        {QStringLiteral("compare"), &Krvctl::compare}, {QStringLiteral("monitor"), &Krvctl::monitor},
        {QStringLiteral("eval"), &Krvctl::eval},       {QStringLiteral("list"), &Krvctl::list},
        {QStringLiteral("reset"), &Krvctl::reset},     {QStringLiteral("peek"), &Krvctl::peek},
        {QStringLiteral("poke"), &Krvctl::poke},       {QStringLiteral("key"), &Krvctl::key},
        {QStringLiteral("history"), &Krvctl::history}};
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        m_out << Overview << Qt::flush;
        return Success;
    }
    const auto handler = commands.value(command);
    if (!handler) {
        m_err << (command.isEmpty() ? QStringLiteral("krvctl: no command given")
                                    : QStringLiteral("krvctl: unknown command ") + command)
              << '\n' << Overview << Qt::flush;
        return UsageError;
    }
    const int code = (this->*handler)(args);
    m_out.flush();
    m_err.flush();
    // the link goes with the session, before the component library could
    if (m_session)
        m_session->rs232.Disconnect();
    return code;
}

bool Krvctl::parse(QCommandLineParser &parser, const QStringList &args, const QString &synopsis, int minPositional,
                   int maxPositional, int &code)
{
    parser.setApplicationDescription(synopsis);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    parser.addOption(help);
    // A negative number is a value, not an option: "poke ADDR -1", "eval X*2 -5".
    QStringList masked = args;
    static const QRegularExpression negative(QStringLiteral("^-[0-9.]"));
    for (int i = 1; i < masked.size(); ++i)
        if (negative.match(masked[i]).hasMatch())
            masked[i].prepend(NegativeMark);
    const QString command = args.value(0);
    const auto helpText = [&parser, &command] {
        // the first line names the program by its path: name the command instead
        QString text = parser.helpText();
        text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: krvctl ") + command);
        return text;
    };
    if (!parser.parse(masked)) {
        code = fail(UsageError, parser.errorText());
        return false;
    }
    if (parser.isSet(help)) {
        m_out << helpText() << Qt::flush;
        code = Success;
        return false;
    }
    const int n = int(parser.positionalArguments().size());
    if (n < minPositional || n > maxPositional) {
        code = fail(UsageError, QStringLiteral("wrong number of arguments\n") + helpText());
        return false;
    }
    return true;
}

QStringList Krvctl::positional(const QCommandLineParser &parser)
{
    QStringList values = parser.positionalArguments();
    for (QString &value : values)
        if (value.startsWith(NegativeMark))
            value.remove(0, 1);
    return values;
}

void Krvctl::addPortOption(QCommandLineParser &parser)
{
    parser.addOption({{QStringLiteral("p"), QStringLiteral("port")},
                      QStringLiteral("COM number (KRV_COM<n> or /dev/ttyS<n-1>) or device path."),
                      QStringLiteral("port")});
}

void Krvctl::addYesOption(QCommandLineParser &parser)
{
    parser.addOption({{QStringLiteral("y"), QStringLiteral("yes")}, QStringLiteral("Confirm: answer Yes.")});
}

int Krvctl::fail(int code, const QString &text)
{
    QString line = text;
    if (code == NoAnswer && m_session) {
        const LinkFailure &failure = m_session->devLink.lastFailure();
        if (failure.refused())
            code = Refused;
        if (!failure.cause.isEmpty())
            line += QStringLiteral(": ") + failure.cause;
    }
    m_err << "krvctl: " << line << Qt::endl;
    return code;
}

std::unique_ptr<ServiceHistory> Krvctl::openHistory()
{
    auto store = std::make_unique<ServiceHistory>(m_historyPath.isEmpty() ? ServiceHistory::defaultPath()
                                                                         : m_historyPath);
    store->setOffNotice([this](const QString &text) {
        m_err << "krvctl: " << text << "; writes go on without being recorded" << Qt::endl;
    });
    return store;
}

bool Krvctl::newSession()
{
    m_messages = std::make_unique<ConsoleMessageService>(m_err);
    m_wait = std::make_unique<ConsoleWaitWindow>(m_err);
    m_wait->enabled = m_progress;
    m_pages = std::make_unique<CliPageSet>();
    m_comment = std::make_unique<CliCommentPage>();
    m_session = std::make_unique<Session>(m_links, m_messages.get());
    // every write is recorded; a history that cannot be kept never stops one
    m_history = openHistory();
    m_session->history.setStore(m_history.get());
    m_session->history.setProgram(QStringLiteral("krvctl"));
    m_session->pages = m_pages.get();
    m_session->waitWindow = m_wait.get();
    m_session->commentPage = m_comment.get();
    m_session->catalogue.LoadRamList(m_ramList.isEmpty() ? Catalogue::defaultRamListPath() : m_ramList);
    // nothing is read, written or saved without the list: say which file and line
    if (!m_session->catalogue.usable()) {
        fail(NoCatalogue, m_session->catalogue.refusalText());
        return false;
    }
    m_session->e2Image.CountAllPageVars();
    return true;
}

int Krvctl::connect(const QString &port)
{
    if (port.isEmpty())
        return fail(UsageError, QStringLiteral("no port given (--port N or --port DEVICE)"));
    bool number = false;
    const int com = port.toInt(&number);
    if (number && (com < 1 || com >= DevicePathPort))
        return fail(UsageError, QStringLiteral("COM number out of range: ") + port);
    if (!number) {
        // a device path reaches the link through the same mapping as a COM
        // number, and is called by its path
        qputenv("KRV_COM" + QByteArray::number(DevicePathPort), port.toLocal8Bit());
        m_session->devLink.PortName = port;
    }
    m_session->devLink.ComPort = int16_t(number ? com : DevicePathPort);
    // the link says which port failed and why
    return m_session->rs232.Connect() ? Success : NoSuchPort;
}

int Krvctl::readAll()
{
    const int before = m_messages->shownCount();
    const QString error = m_session->e2Image.ReadE2All(m_session->e2Image.AllPagesMask());
    if (m_wait->enabled)
        m_wait->DrawWaitBar(100);
    if (!error.isEmpty())
        return failTransfer(NoAnswer, QStringLiteral("read failed (") + error + QLatin1Char(')'));
    // the range check has put defaults in place of the listed values
    if (m_messages->shownCount() != before)
        return OutOfRange;
    return Success;
}

int Krvctl::read(const QStringList &args)
{
    QCommandLineParser parser;
    addPortOption(parser);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Configuration file to write."), QStringLiteral("file"));
    const QCommandLineOption author(QStringLiteral("author"), QStringLiteral("Author field."), QStringLiteral("text"));
    const QCommandLineOption date(QStringLiteral("date"), QStringLiteral("Date field."), QStringLiteral("text"));
    const QCommandLineOption revision(QStringLiteral("revision"), QStringLiteral("Revision field."), QStringLiteral("text"));
    const QCommandLineOption company(QStringLiteral("company"), QStringLiteral("Company field."), QStringLiteral("text"));
    const QCommandLineOption comments(QStringLiteral("comments"), QStringLiteral("Additional comments."), QStringLiteral("text"));
    parser.addOptions({output, author, date, revision, company, comments});
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl read --port N -o FILE: reads every parameter (with the range "
                                             "check) and saves them as KRV Studio saves a configuration."),
               0, 0, code))
        return code;
    if (!parser.isSet(output))
        return fail(UsageError, QStringLiteral("no output file given (-o FILE)"));
    if (!newSession())
        return NoCatalogue;
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;
    const int readCode = readAll();
    if (readCode != Success && readCode != OutOfRange)
        return readCode;
    m_comment->info.author = parser.value(author);
    m_comment->info.date = parser.value(date);
    m_comment->info.revision = parser.value(revision);
    m_comment->info.company = parser.value(company);
    m_comment->info.comments = parser.value(comments);
    if (!m_session->file.SaveConfig(parser.value(output)))
        return fail(FileError, QStringLiteral("cannot write ") + parser.value(output));
    if (readCode == OutOfRange)
        return fail(OutOfRange, QStringLiteral("values out of range were saved as their defaults"));
    return Success;
}

int Krvctl::write(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Configuration file to write into the unit."),
                                 QStringLiteral("FILE"));
    addPortOption(parser);
    const QCommandLineOption verify(QStringLiteral("verify"), QStringLiteral("Read back and compare every value written."));
    parser.addOption(verify);
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl write --port N FILE [--verify]: loads a configuration file and "
                                             "writes all its parameters into the unit."),
               1, 1, code))
        return code;
    if (!newSession())
        return NoCatalogue;
    // the whole file is read and checked before the port is opened
    const QString path = positional(parser).first();
    StagedConfig staged;
    const ConfigFileReader::Result file = m_session->file.ReadConfig(path, staged);
    if (!file.good())
        return fail(fileExit(file), path + QStringLiteral(": ") + file.reason + QStringLiteral("; nothing written"));
    if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
        return code;
    // the unit's own values first, as the program's connect does: a file
    // that lacks a variable leaves the unit's value, not a default
    code = readAll();
    // values out of range are the file's to replace; a failed read ends it
    if (code != Success && code != OutOfRange)
        return code;

    const int before = m_messages->shownCount();
    m_session->file.CommitConfig(staged, QFileInfo(path).fileName());
    m_session->history.setSourceFile(QFileInfo(path).absoluteFilePath());
    // the range check has put defaults in: a file with bad values is not written at all
    if (m_messages->shownCount() != before)
        return fail(OutOfRange, QStringLiteral("values out of range in ") + path + QStringLiteral("; nothing written"));

    E2Image &e2 = m_session->e2Image;
    const int16_t mask = e2.AllPagesWriteMask();
    if ((code = writeAll(mask)) != Success)
        return code;
    if (!parser.isSet(verify))
        return Success;

    // every entry write-all sent, read back word by word
    int wrong = 0;
    Catalogue &cat = m_session->catalogue;
    for (int i = 1; i < cat.VarCount; ++i) {
        if (!e2.writeSelects(mask, i) || !e2.qualifiesForTransfer(i))
            continue;
        const CVarDataS *d = cat.data(i);
        int32_t value = 0;
        const QString readError = m_session->rs232.ReadVar(d->Address, value);
        if (!readError.isEmpty())
            return fail(NoAnswer, QStringLiteral("no answer while verifying ") + d->Name);
        if (uint16_t(value) == uint16_t(d->KrvDownloadValueE2))
            continue;
        ++wrong;
        const CVarData *entry = cat.entry(i);
        m_out << d->Name << "\twritten " << entry->DisplayFromRaw(d->KrvDownloadValueE2) << ' ' << d->Unit
              << "\tunit holds " << entry->DisplayFromRaw(value) << ' ' << d->Unit << '\n';
    }
    if (wrong)
        return fail(Different, QString::number(wrong) + QStringLiteral(" values not taken by the unit"));
    return Success;
}

int Krvctl::writeAll(int16_t mask)
{
    E2Image &e2 = m_session->e2Image;
    const StopSignals stopGuard;
    e2.setStopRequest([] { return StopSignals::received() != 0; });
    const QString error = e2.WriteE2All(mask);
    e2.setStopRequest({});
    if (error.isEmpty())
        return Success;
    const auto &stop = e2.lastStop();
    if (stop && stop->requested) {
        const int signal = StopSignals::received();
        return failTransfer(StopSignals::exitCode(signal), QStringLiteral("stopped by signal %1").arg(signal));
    }
    return failTransfer(NoAnswer, QStringLiteral("write failed (") + error + QLatin1Char(')'));
}

int Krvctl::failTransfer(int code, const QString &text)
{
    code = fail(code, text);
    if (const auto &stop = m_session->e2Image.lastStop())
        m_err << "krvctl: " << stop->text() << Qt::endl;
    return code;
}

int Krvctl::compare(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("With --port: the file to compare the unit with; else two files."),
                                 QStringLiteral("FILE [FILE2]"));
    addPortOption(parser);
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl compare --port N FILE | krvctl compare FILE1 FILE2: lists every "
                                             "difference; exit status 1 when they differ."),
               1, 2, code))
        return code;
    const QStringList files = positional(parser);
    const bool withUnit = parser.isSet(QStringLiteral("port"));
    if (withUnit == (files.size() == 2))
        return fail(UsageError, QStringLiteral("give --port N and one file, or two files"));
    if (!newSession())
        return NoCatalogue;

    ConfigCompare comparison(m_session->catalogue);
    ConfigCompare::Side first;
    ConfigCompare::Side second;
    second.label = files.last();
    const ConfigFileReader::Result secondFile = comparison.readFile(second.label, second);
    if (!secondFile.good())
        return fail(fileExit(secondFile), second.label + QStringLiteral(": ") + secondFile.reason);
    if (withUnit) {
        if ((code = connect(parser.value(QStringLiteral("port")))) != Success)
            return code;
        // the values as the unit holds them: no range check puts defaults in first
        QString error;
        first = ConfigCompare::fromUnit(*m_session, QStringLiteral("unit"), error);
        if (!error.isEmpty())
            return fail(NoAnswer, QStringLiteral("reading the unit failed (") + error + QLatin1Char(')'));
    } else {
        first.label = files.first();
        const ConfigFileReader::Result firstFile = comparison.readFile(first.label, first);
        if (!firstFile.good())
            return fail(fileExit(firstFile), first.label + QStringLiteral(": ") + firstFile.reason);
    }
    m_out << "Variable\t" << first.label << '\t' << second.label << '\n';
    const int differences = comparison.report(first, second, m_out);
    m_err << differences << (differences == 1 ? " difference" : " differences") << Qt::endl;
    return differences ? Different : Success;
}

int Krvctl::eval(const QStringList &args)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("formula"), QStringLiteral("A formula of the variable list, in x."),
                                 QStringLiteral("FORMULA"));
    parser.addPositionalArgument(QStringLiteral("x"), QStringLiteral("The whole number put in for x."), QStringLiteral("X"));
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl eval FORMULA X: the value the program's evaluator gives."), 2, 2,
               code))
        return code;
    bool ok = false;
    const int x = positional(parser).at(1).toInt(&ok);
    if (!ok)
        return fail(UsageError, QStringLiteral("X must be a whole number"));
    QString formula = positional(parser).at(0);
    m_out << QString::number(StringEval::EvaluateFormula(formula, x), 'g', 15) << Qt::endl;
    return Success;
}

int Krvctl::list(const QStringList &args)
{
    QCommandLineParser parser;
    int code = Success;
    if (!parse(parser, args, QStringLiteral("krvctl list: the catalogue (index, name, address, range, unit)."), 0, 0,
               code))
        return code;
    if (!newSession())
        return NoCatalogue;
    const Catalogue &cat = m_session->catalogue;
    for (int i = 1; i < cat.VarCount; ++i) {
        const CVarData *entry = cat.entry(i);
        const CVarDataS *d = entry->Data.get();
        m_out << i << '\t' << d->Name << '\t' << File::formatAddress(d->Address) << '\t'
              << entry->DisplayFromRaw(d->QelValE2Min) << ".."
              << (d->QelValE2Max == 65535 ? QStringLiteral("-") : QString::number(entry->DisplayFromRaw(d->QelValE2Max)))
              << '\t' << d->Unit << '\n';
    }
    m_out.flush();
    return Success;
}
