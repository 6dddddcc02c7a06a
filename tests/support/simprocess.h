#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// krv-sim, the virtual controller, started for one test: on a fresh
// pseudo-terminal, with its EEPROM in a temporary file, and KRV_COM<n>
// pointing at it so that COM n reaches it. Settings (faults, held joysticks)
// go through its control file and take effect at the next request.
//
//   SimProcess sim;                      // COM 1, shipped variable list, no pacing
//   ASSERT_TRUE(sim.start()) << sim.errorText().toStdString();
//   link.ComPort = 1; rs232.Connect();   // now talks to the simulator
//   sim.set("silent", "1");              // the controller stops answering
class SimProcess
{
public:
    struct Options
    {
        int comPort = 1;
        QString ramList;            // empty: the shipped res/ini/Ramlist.ini
        QString eepromFile;         // empty: a new temporary file
        bool pacing = false;        // true: bytes at the pace of 9600 baud
        bool blocks = true;         // false: a controller without block commands
        QStringList extraArguments;
    };

    SimProcess();
    explicit SimProcess(Options options);
    // The default options, with or without block commands.
    static Options withBlocks(bool blocks)
    {
        Options o;
        o.blocks = blocks;
        return o;
    }
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts the simulator and waits for its device; false with errorText() when it fails.
    bool start();
    // Stops it (SIGTERM) and waits; the pseudo-terminal goes away.
    void stop();
    // A restart is a power cycle that keeps the EEPROM file.
    bool restart();
    bool isRunning() const;
    // Waits for the simulator to end on its own (e.g. after hanging up).
    bool waitForExit(int milliseconds);
    int exitCode() const;

    QString devicePath() const { return m_device; }
    QString eepromPath() const { return m_eeprom; }
    QString controlPath() const { return m_control; }
    int comPort() const { return m_options.comPort; }
    // What the simulator wrote on stderr so far (its summary comes at stop).
    QString errorText();

    // The simulator's running counts, which it prints on SIGUSR1; false when
    // no fresh report came within two seconds.
    struct Counts
    {
        long requests = 0;
        long replies = 0;
        long bytesIn = 0;
        long bytesOut = 0;
    };
    bool counts(Counts &out);

    // One control-file setting ("silent", "delay", "fault.KRV_ERROR_CODE", "joy.0", ...).
    void set(const QString &key, const QString &value);
    void unset(const QString &key);
    void clearSettings();
    // Power off and on without a restart (the reset marker goes, RAM restarts).
    void powerCycle();

    static QString programPath();

private:
    void writeControl();

    Options m_options;
    QTemporaryDir m_dir;
    QString m_eeprom;
    QString m_control;
    QString m_device;
    QString m_stderr;
    QMap<QString, QString> m_settings;
    int m_powerCycles = 0;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_envName;
    QByteArray m_savedEnv;
    bool m_hadEnv = false;
};
