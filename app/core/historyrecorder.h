#pragma once

#include "servicehistory.h"

#include <QList>
#include <QMetaObject>
#include <QPair>
#include <QString>
#include <cstdint>
#include <optional>

class Session;

// Turns the writes to a control unit into service history rows: who, where,
// which unit, what changed from what. A row's old value is what the unit is
// known to hold (the session's unit words), not a value loaded from a file
// meanwhile, and every write it records updates those words. Without a store
// nothing is recorded; the unit's numbers are forgotten when the link closes.
class HistoryRecorder
{
public:
    static const QString WriteAction;      // "Write"
    static const QString WriteAllAction;   // "Write All"
    static const QString ResetAction;      // "Reset"
    static const QString KeyWriteAction;   // "Key Write"
    static const QString LockAction;       // "Lock"

    enum class Outcome { Done, Failed, StoppedMidway };

    explicit HistoryRecorder(Session &session);
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder &) = delete;
    HistoryRecorder &operator=(const HistoryRecorder &) = delete;

    // nullptr: nothing is recorded. A store that tells nobody when it turns
    // off tells the user through the session's message box.
    void setStore(ServiceHistory *store);
    ServiceHistory *store() const { return m_store; }
    void setProgram(const QString &program) { m_program = program; }
    // The configuration file the values came from ("" after a read of the unit);
    // named on the rows of whole-set writes, whose values it gave.
    void setSourceFile(const QString &path) { m_sourceFile = path; }

    void productionNumberRead(int32_t value) { m_production = value; }
    // The link closed: the next unit may be another one.
    void forgetUnit();

    // A whole-set write: `sent` are the entries (catalogue index, value) that
    // arrived, `lost` those of the access that failed. One row per entry whose
    // value differs from what the unit held, then one row for the command.
    void recordSetWrite(const QString &action, const QList<QPair<int, int32_t>> &sent, const QList<int> &lost,
                        Outcome outcome, int done, int total);
    // One word written at an address: the row names the variable there, if any.
    void recordWord(const QString &action, int32_t address, int32_t value, bool done);
    // Anything else written (key, LOAD command), with its texts.
    void recordValue(const QString &action, const QString &parameter, const QString &oldValue,
                     const QString &newValue, bool done);

    // Whether a row would be kept now: a store that is not off.
    bool recording() const;

private:
    struct Unit
    {
        QString production;
        QString serial;
    };
    // The unit's numbers; read from it when not known and the link answers.
    Unit identify(bool linkAnswers);
    // The value as the program shows the variable at the address.
    QString valueText(int index, int32_t raw) const;
    // What the unit held at the address before the write; "" when not known.
    QString oldText(int index, int32_t address) const;
    QString portName() const;
    // A row of this program, user, port and unit at the time given.
    ServiceHistory::Row row(const QString &time, const Unit &unit, const QString &action) const;
    void append(const QList<ServiceHistory::Row> &rows);

    Session &m_session;
    ServiceHistory *m_store = nullptr;
    QString m_program;
    QString m_sourceFile;
    std::optional<int32_t> m_production;
    bool m_identityTried = false;
    QMetaObject::Connection m_linkClosed;
};
