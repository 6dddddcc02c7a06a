#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <memory>

class IDeviceLinkFactory;
class QCommandLineParser;
class Session;
class CliCommentPage;
class CliPageSet;
class ConsoleMessageService;
class ConsoleWaitWindow;
class ServiceHistory;

// krvctl: the program's transfers, configuration files and service functions
// from the command line, one command per run. Every run works on a fresh
// session; window seams are console or no-op stand-ins.
class Krvctl
{
public:
    // Exit codes, one per kind of failure.
    enum Exit : int {
        Success = 0,
        Different = 1,      // compare found differences, or a verify found a value not taken
        UsageError = 2,
        NoSuchPort = 3,
        NoAnswer = 4,
        FileError = 5,      // a file that cannot be read or written, is no regular file or is over 16 MB
        BadFile = 6,        // a configuration file that is not whole and good (line and reason told)
        OutOfRange = 7,
        NoCatalogue = 8,
        NotConfirmed = 9,   // a command that changes the unit, without --yes
        Refused = 10,       // the control unit answered with an error reply
        Interrupted = 130,  // SIGINT: a write ended after the access in flight
        Terminated = 143,   // SIGTERM: the same
    };

    Krvctl(IDeviceLinkFactory *links, QTextStream &out, QTextStream &err);
    ~Krvctl();

    // arguments[0] is the program name.
    int run(const QStringList &arguments);

    void setProgressShown(bool shown) { m_progress = shown; }
    // Empty: the shipped variable list beside the program.
    void setRamListPath(const QString &path) { m_ramList = path; }
    // Empty: the service history the program shares with krvctl.
    void setHistoryPath(const QString &path) { m_historyPath = path; }
    // COM number taken for a port given as a device path.
    static constexpr int DevicePathPort = 255;

private:
    int read(const QStringList &args);
    int write(const QStringList &args);
    int compare(const QStringList &args);
    int monitor(const QStringList &args);
    int eval(const QStringList &args);
    int list(const QStringList &args);
    int reset(const QStringList &args);
    int key(const QStringList &args);
    int peek(const QStringList &args);
    int poke(const QStringList &args);
    int history(const QStringList &args);

    // Parses a command's options; false when the run ends here (help or usage error, code set).
    bool parse(QCommandLineParser &parser, const QStringList &args, const QString &synopsis, int minPositional,
               int maxPositional, int &code);
    void addPortOption(QCommandLineParser &parser);
    void addYesOption(QCommandLineParser &parser);
    // A fresh session with the catalogue loaded; false (message shown) when the list cannot be read.
    bool newSession();
    // The service history store, saying on stderr once when it is off.
    std::unique_ptr<ServiceHistory> openHistory();
    // Chooses the port and opens the link: Success or NoSuchPort/UsageError.
    int connect(const QString &port);
    // Read-all of every page as the program's connect does; Success, NoAnswer or OutOfRange.
    int readAll();
    // Write-all of every page, stopped by SIGINT or SIGTERM after the access in
    // flight; Success, NoAnswer, Interrupted or Terminated, and where it stopped.
    int writeAll(int16_t mask);
    // Prints the text; a failed access (NoAnswer) gets its cause added, and
    // becomes Refused when the control unit refused it.
    int fail(int code, const QString &text);
    // The positional arguments as given, negative numbers included.
    static QStringList positional(const QCommandLineParser &parser);
    // Put before a negative number so the parser takes it for a value.
    static constexpr QChar NegativeMark = QChar(0x1F);
    // fail() for a transfer, followed by where it stopped.
    int failTransfer(int code, const QString &text);
    static bool parseAddress(const QString &text, int32_t &address);
    static bool parseWord(const QString &text, int32_t &value);

    IDeviceLinkFactory *m_links;
    QTextStream &m_out;
    QTextStream &m_err;
    bool m_progress = false;
    QString m_ramList;
    QString m_historyPath;
    std::unique_ptr<ServiceHistory> m_history;
    std::unique_ptr<ConsoleMessageService> m_messages;
    std::unique_ptr<ConsoleWaitWindow> m_wait;
    std::unique_ptr<CliPageSet> m_pages;
    std::unique_ptr<CliCommentPage> m_comment;
    std::unique_ptr<Session> m_session;
};
