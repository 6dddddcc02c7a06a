#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class Session;
class CVarDataS;
struct BlockRun;

// Whole-set transfers between the controller's EEPROM and the catalogue:
// read-all, write-all, the range check after a read, the reset-marker test,
// the LOAD command and the per-page counts behind the progress display.
// Page masks use the coding of KRVPageDomain.
class E2Image
{
public:
    explicit E2Image(Session &session);

    static const QString Failed;   // "FAILED!"

    // Reads every entry that shares a bit with the mask; "" or the link's error
    // text. A read that stops midway puts back what the entries held before it.
    QString ReadE2All(int16_t mask);
    // Writes every EEPROM parameter whose page bits lie within the mask; "" or
    // "FAILED!". Only the entries sent are recorded as the controller's values.
    QString WriteE2All(int16_t mask);

    // Where a transfer stopped short of its end.
    struct Stop
    {
        bool writing = false;
        bool requested = false; // asked to stop, not a failed access
        QString name;           // the entry it stopped at
        int done = 0;           // entries transferred before it
        int total = 0;          // entries it was to transfer
        QList<int> lost;        // a failed access: its entries (a write may have arrived)
        // "Read stopped at ..." / "Write stopped at ...", what the user is told.
        QString text() const;
    };
    // The last transfer's stop; empty when it ran to its end or never began.
    const std::optional<Stop> &lastStop() const { return m_stop; }
    // Asked between accesses: true ends the running transfer once the access
    // in flight is done, as if that access had been its last.
    void setStopRequest(std::function<bool()> request) { m_stopRequest = std::move(request); }

    // " - Name" CR when the entry was out of range (it now holds its default), else "".
    QString CheckRange(int index);
    // "READ FAULT:" CR and the list of entries of the mask reset to their default, or "".
    QString CheckAllRanges(int16_t mask);
    // The same check over the given entries whatever their section (values
    // loaded from a file); the section count first, listed last.
    QString CheckRanges(const QList<int> &indices);

    // "" or the error text; `isSet` is true when the controller holds the RESET marker.
    QString ReadResetMarker(bool &isSet);
    // The LOAD command: "0" on success, "1" on failure.
    QString SendLoadCommand();

    // OR of the ReadKey (WriteKey) of every open page.
    int16_t AllPagesMask() const;
    int16_t AllPagesWriteMask() const;
    // Sum of PageVarNum over the open pages whose ReadKey is set and lies within the mask.
    int CountPageVars(int16_t mask) const;
    // Sets every open page's PageVarNum from the catalogue.
    void CountAllPageVars();

    static bool IsTrue(int16_t value) { return value == -1; }

    // An entry takes part in transfers while its TbxTypeID is below the
    // controller's section count.
    bool qualifiesForTransfer(int index) const;
    // Whether a raw value lies within the entry's range.
    static bool inRange(const CVarDataS &d, int32_t value);

    // The entries a read-all (write-all) of the mask steps over.
    bool readSelects(int16_t mask, int index) const;
    bool writeSelects(int16_t mask, int index) const;

private:
    bool stopRequested() const { return m_stopRequest && m_stopRequest(); }
    // Steps over the entries the mask selects and moves those that take part,
    // a run of consecutive addresses at a time; `record` takes each entry of a
    // run that arrived (index, value read or written). Progress advances by the
    // entries of each run. Ends at the first failed run, at its first entry, or
    // at an asked-for stop (recorded in lastStop) with its text, else "".
    QString transferEntries(int16_t mask, bool writing, const std::function<void(int, int32_t)> &record);
    // One run of a transfer: addresses[r] is the entry selected[positions[r]].
    QString moveRun(bool writing, const QList<int32_t> &addresses, const BlockRun &run, const QList<int> &positions,
                    const QList<int> &selected, const std::function<void(int, int32_t)> &record);
    // Records where a transfer stopped; the status text says it.
    void stopAt(bool writing, bool requested, int index, int done, int16_t mask, const QList<int> &lost = {});
    // The service history of a write-all that sent `sent` (index, value).
    void recordWrite(int16_t mask, const QList<QPair<int, int32_t>> &sent, const QString &error);
    // Resets an out-of-range entry to its default; true when it was out of range.
    bool resetIfOutOfRange(int index);
    // The " - Name" CR lines of CheckAllRanges.
    QString rangeFaultList(int16_t mask);
    QString faultMessage(const QString &list, const QString &sectionFault) const;
    // One transferred (or skipped) entry: progress, status bar, wait window.
    void step(int counter, int total, const QString &text);
    void showProgress(const QString &text);
    void refreshCurrentPage();
    bool linkOpen() const;

    Session &m_session;
    std::optional<Stop> m_stop;
    std::function<bool()> m_stopRequest;
};
