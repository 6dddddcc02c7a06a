#include "simprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <csignal>

SimProcess::SimProcess() : SimProcess(Options()) {}

SimProcess::SimProcess(Options options) : m_options(std::move(options))
{
    m_eeprom = m_options.eepromFile.isEmpty() ? m_dir.filePath(QStringLiteral("eeprom.txt")) : m_options.eepromFile;
    m_control = m_dir.filePath(QStringLiteral("control.txt"));
    m_envName = "KRV_COM" + QByteArray::number(m_options.comPort);
    m_hadEnv = qEnvironmentVariableIsSet(m_envName.constData());
    m_savedEnv = qgetenv(m_envName.constData());
    writeControl();
}

SimProcess::~SimProcess()
{
    stop();
    if (m_hadEnv)
        qputenv(m_envName.constData(), m_savedEnv);
    else
        qunsetenv(m_envName.constData());
}

QString SimProcess::programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/krv-sim");
}

bool SimProcess::start()
{
    stop();
    m_stderr.clear();
    m_process = std::make_unique<QProcess>();
    QStringList args{QStringLiteral("--eeprom"), m_eeprom, QStringLiteral("--control"), m_control,
                     QStringLiteral("--exit-with-parent")};
    if (!m_options.ramList.isEmpty())
        args << QStringLiteral("--ramlist") << m_options.ramList;
    if (!m_options.pacing)
        args << QStringLiteral("--no-pacing");
    if (!m_options.blocks)
        args << QStringLiteral("--no-blocks");
    args << m_options.extraArguments;
    m_process->start(programPath(), args);
    if (!m_process->waitForStarted(5000)) {
        m_stderr = QStringLiteral("cannot start ") + programPath();
        return false;
    }
    QDeadlineTimer deadline(10000);
    while (!m_process->canReadLine() && !deadline.hasExpired()
           && m_process->state() == QProcess::Running)
        m_process->waitForReadyRead(100);
    m_device = QString::fromLocal8Bit(m_process->readLine()).trimmed();
    if (m_device.isEmpty() || !QFileInfo::exists(m_device)) {
        errorText();
        stop();
        return false;
    }
    qputenv(m_envName.constData(), m_device.toLocal8Bit());
    return true;
}

void SimProcess::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    errorText();
}

bool SimProcess::restart()
{
    stop();
    return start();
}

bool SimProcess::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

bool SimProcess::waitForExit(int milliseconds)
{
    return !m_process || m_process->state() == QProcess::NotRunning || m_process->waitForFinished(milliseconds);
}

int SimProcess::exitCode() const
{
    return m_process ? m_process->exitCode() : -1;
}

QString SimProcess::errorText()
{
    if (m_process)
        m_stderr += QString::fromLocal8Bit(m_process->readAllStandardError());
    return m_stderr;
}

bool SimProcess::counts(Counts &out)
{
    const QRegularExpression line(
        QStringLiteral("(\\d+) requests, (\\d+) replies, (\\d+) bytes in, (\\d+) bytes out\n"));
    if (!isRunning())
        return false;
    const auto reports = [this, &line] { return errorText().count(line); };
    const int before = reports();
    ::kill(static_cast<pid_t>(m_process->processId()), SIGUSR1);
    QDeadlineTimer deadline(2000);
    while (reports() == before && !deadline.hasExpired() && isRunning())
        m_process->waitForReadyRead(20);
    QRegularExpressionMatch last;
    for (const QRegularExpressionMatch &m : line.globalMatch(m_stderr))
        last = m;
    if (reports() == before || !last.hasMatch())
        return false;
    out.requests = last.captured(1).toLong();
    out.replies = last.captured(2).toLong();
    out.bytesIn = last.captured(3).toLong();
    out.bytesOut = last.captured(4).toLong();
    return true;
}

void SimProcess::set(const QString &key, const QString &value)
{
    m_settings[key] = value;
    writeControl();
}

void SimProcess::unset(const QString &key)
{
    m_settings.remove(key);
    writeControl();
}

void SimProcess::clearSettings()
{
    m_settings.clear();
    writeControl();
}

void SimProcess::powerCycle()
{
    ++m_powerCycles;
    writeControl();
}

void SimProcess::writeControl()
{
    QString text;
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it)
        text += it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n');
    text += QStringLiteral("power-cycle=") + QString::number(m_powerCycles) + QLatin1Char('\n');
    QSaveFile f(m_control);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(text.toUtf8());
        f.commit();
    }
}
