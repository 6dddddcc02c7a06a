#include "remotecontrol.h"

#include "frmmain.h"
#include "maincommands.h"
#include "session.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTabBar>
#include <QTimer>
#include <unistd.h>

bool RemoteControl::enabledByEnvironment()
{
    return qEnvironmentVariable("KRV_REMOTE") == QLatin1String("1");
}

RemoteControl::RemoteControl(FrmMain &main, int inputFd, std::FILE *output, QObject *parent)
    : QObject(parent), m_main(main), m_fd(inputFd), m_out(output)
{
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &RemoteControl::readInput);
    }
    QTimer::singleShot(0, this, [this] { answer(QStringLiteral("shown")); });
}

void RemoteControl::readInput()
{
    char buffer[256];
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n <= 0) {
        // the other end went away: stop listening, the program goes on
        m_notifier->setEnabled(false);
        return;
    }
    m_pending.append(buffer, static_cast<int>(n));
    int end;
    while ((end = static_cast<int>(m_pending.indexOf('\n'))) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!line.isEmpty())
            execute(line);
    }
}

QString RemoteControl::execute(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString command = words.value(0);
    Session &session = m_main.session();
    QString reply;
    if (command == QLatin1String("connect") && words.size() == 1) {
        if (session.IsConnectObj.value() == ConnectionState::NotConnected)
            m_main.commands().ConnectCommand();
        reply = session.IsConnectObj.value() == ConnectionState::NotConnected ? QStringLiteral("not connected")
                                                                               : QStringLiteral("connected");
    } else if (command == QLatin1String("page") && words.size() == 2) {
        bool ok = false;
        const int tab = words[1].toInt(&ok);
        if (ok && tab >= 1 && tab <= m_main.TabMain()->count()) {
            m_main.selectTab(tab);
            reply = QStringLiteral("page ") + QString::number(tab);
        }
    } else if (command == QLatin1String("state") && words.size() == 1) {
        reply = QStringLiteral("state ") + QString::number(session.IsConnectObj.value());
    } else if (command == QLatin1String("quit") && words.size() == 1) {
        reply = QStringLiteral("bye");
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
    if (reply.isEmpty())
        reply = QStringLiteral("unknown ") + line;
    answer(reply);
    return reply;
}

void RemoteControl::answer(const QString &text)
{
    if (!m_out)
        return;
    std::fprintf(m_out, "%s\n", text.toUtf8().constData());
    std::fflush(m_out);
}
