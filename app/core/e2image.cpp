#include "e2image.h"

#include "devlink.h"
#include "messageservice.h"
#include "pageset.h"
#include "pagewindow.h"
#include "session.h"
#include "vbnumber.h"
#include "waitwindow.h"

#include <algorithm>

const QString E2Image::Failed = QStringLiteral("FAILED!");

namespace {

const QString Reading = QStringLiteral("Reading...");
const QString Writing = QStringLiteral("Writing...");
const QString Cr = QStringLiteral("\r");

// Masks and page domains are bit sets; compare them without sign extension.
uint16_t bits(int16_t value)
{
    return static_cast<uint16_t>(value);
}

} // namespace

E2Image::E2Image(Session &session) : m_session(session) {}

bool E2Image::linkOpen() const
{
    return m_session.devLink.LinkState == DevLink::State::Open;
}

bool E2Image::qualifiesForTransfer(int index) const
{
    const CVarDataS *d = m_session.catalogue.data(index);
    if (!d)
        return false;
    const CVarDataS *sections = m_session.catalogue.data(KRV_NUM_PROP_REG);
    // a list without a section count has nothing that depends on it
    return !sections || d->TbxTypeID < sections->QelValueE2;
}

bool E2Image::readSelects(int16_t mask, int index) const
{
    const CVarDataS *d = m_session.catalogue.data(index);
    return d && (bits(d->KRVPageDomain) & bits(mask)) != 0;
}

bool E2Image::writeSelects(int16_t mask, int index) const
{
    const CVarDataS *d = m_session.catalogue.data(index);
    if (!d)
        return false;
    const uint16_t domain = bits(d->KRVPageDomain);
    return (domain & 1u) != 0 && (domain & bits(mask)) == domain;
}

QString E2Image::Stop::text() const
{
    if (!writing)
        return QStringLiteral("Read stopped at %1 (%2 of %3 read): the values from before the read are kept.")
            .arg(name)
            .arg(done)
            .arg(total);
    // a stop asked for before the first access has changed nothing
    if (requested && done == 0)
        return QStringLiteral("Write stopped before %1: nothing was written.").arg(name);
    return QStringLiteral("Write stopped at %1 (%2 of %3 written): the control unit now holds a mix of old and new "
                          "values.")
        .arg(name)
        .arg(done)
        .arg(total);
}

void E2Image::stopAt(bool writing, bool requested, int index, int done, int16_t mask, const QList<int> &lost)
{
    // the entries still to go, as the section count now decides, complete the total
    int total = done;
    for (int i = index; i < m_session.catalogue.VarCount; ++i) {
        const bool selected = writing ? writeSelects(mask, i) : readSelects(mask, i);
        total += selected && qualifiesForTransfer(i) ? 1 : 0;
    }
    m_stop = Stop{writing, requested, m_session.catalogue.data(index)->Name, done, total, lost};
    m_session.StatusText = m_stop->text();
    m_session.draw.UpdateStatusBar(m_session.StatusText);
}

QString E2Image::transferEntries(int16_t mask, bool writing, const std::function<void(int, int32_t)> &record)
{
    const Catalogue &cat = m_session.catalogue;
    const QString &text = writing ? Writing : Reading;
    const int total = CountPageVars(mask);
    const int sectionIndex = cat.index(KRV_NUM_PROP_REG);
    QList<int> selected;
    for (int i = 1; i < cat.VarCount; ++i) {
        if (writing ? writeSelects(mask, i) : readSelects(mask, i))
            selected.append(i);
    }
    int counter = 0;
    int done = 0;
    int k = 0;
    while (k < selected.size()) {
        // the section count decides which later entries take part: plan no
        // run past it before it has been moved
        int end = k;
        while (end < selected.size() && selected[end] != sectionIndex)
            ++end;
        end = std::min(static_cast<int>(selected.size()), end + 1);
        QList<int> positions; // of the entries that take part, within `selected`
        QList<int32_t> addresses;
        for (int p = k; p < end; ++p) {
            if (qualifiesForTransfer(selected[p])) {
                positions.append(p);
                addresses.append(cat.data(selected[p])->Address);
            }
        }
        for (const BlockRun &run : m_session.rs232.planRuns(addresses, !writing)) {
            const int first = positions[run.first];
            const int last = positions[run.first + run.entries - 1];
            for (; k < first; ++k)
                step(++counter, total, text); // entries that take no part
            if (stopRequested()) {
                stopAt(writing, true, selected[first], done, mask);
                return Failed;
            }
            const QString error = moveRun(writing, addresses, run, positions, selected, record);
            if (!error.isEmpty()) {
                step(++counter, total, text);
                QList<int> lost;
                for (int r = run.first; r < run.first + run.entries; ++r)
                    lost.append(selected[positions[r]]);
                stopAt(writing, false, selected[first], done, mask, lost);
                return error;
            }
            done += run.entries;
            counter += last + 1 - k;
            k = last + 1;
            step(counter, total, text);
        }
        for (; k < end; ++k)
            step(++counter, total, text);
    }
    return QString();
}

QString E2Image::moveRun(bool writing, const QList<int32_t> &addresses, const BlockRun &run,
                         const QList<int> &positions, const QList<int> &selected,
                         const std::function<void(int, int32_t)> &record)
{
    QList<int32_t> values(addresses.size());
    const auto entry = [&](int r) { return selected[positions[r]]; };
    QString error;
    if (writing) {
        for (int r = run.first; r < run.first + run.entries; ++r)
            values[r] = m_session.catalogue.data(entry(r))->KrvDownloadValueE2;
        error = m_session.rs232.WriteRun(addresses, run, values);
    } else {
        error = m_session.rs232.ReadRun(addresses, run, values);
    }
    // only what arrived is recorded: a failed run records none of its entries
    if (error.isEmpty()) {
        for (int r = run.first; r < run.first + run.entries; ++r)
            record(entry(r), values[r]);
    }
    return error;
}

QString E2Image::ReadE2All(int16_t mask)
{
    m_stop.reset();
    if (mask == 0)
        return QString();
    // a closed link reads nothing: never let that pass for a read of zeros
    if (!linkOpen())
        return Failed;

    Catalogue &cat = m_session.catalogue;
    // a read that stops midway leaves no mix of the unit's and the old values
    const Catalogue::E2Snapshot before = cat.saveE2Values();
    QString sectionFault;
    const QString error = transferEntries(mask, false, [&](int i, int32_t value) {
        m_session.unitWords.holds(cat.data(i)->Address, value);
        cat.entry(i)->ReadE2FromQEL(value);
        // the section count decides which later entries take part
        if (i == cat.index(KRV_NUM_PROP_REG))
            sectionFault = CheckRange(i);
    });
    if (!error.isEmpty()) {
        cat.restoreE2Values(before);
        refreshCurrentPage();
        return error;
    }

    // the values are the unit's now, not a file's
    m_session.history.setSourceFile(QString());
    // a page's entries can be counted twice or not at all: a finished read shows 100
    m_session.ProgressPercent = 100;
    showProgress(Reading);

    // the section count's fault comes last, under the same heading
    const QString message = faultMessage(rangeFaultList(mask), sectionFault);
    if (!message.isEmpty() && m_session.messages)
        m_session.messages->show(message, MessageService::Buttons::Ok);
    refreshCurrentPage();
    return QString();
}

QString E2Image::WriteE2All(int16_t mask)
{
    m_stop.reset();
    if (mask == 0)
        return QString();
    // nothing can be written over a closed link: never record it as written
    if (!linkOpen())
        return Failed;

    // only a value that arrived is the controller's value
    QList<QPair<int, int32_t>> sent;
    const QString error = transferEntries(mask, true, [this, &sent](int i, int32_t value) {
        m_session.catalogue.entry(i)->WriteE2inQEL();
        sent.append({i, value});
    });
    recordWrite(mask, sent, error);
    if (!error.isEmpty())
        return error;

    m_session.ProgressPercent = 100;
    showProgress(Writing);
    refreshCurrentPage();
    return QString();
}

void E2Image::recordWrite(int16_t mask, const QList<QPair<int, int32_t>> &sent, const QString &error)
{
    using Outcome = HistoryRecorder::Outcome;
    // the page's Write and Write All take the same road: the mask tells them apart
    const QString &action =
        mask == AllPagesWriteMask() ? HistoryRecorder::WriteAllAction : HistoryRecorder::WriteAction;
    HistoryRecorder &history = m_session.history;
    if (error.isEmpty() || !m_stop)
        history.recordSetWrite(action, sent, {}, Outcome::Done, int(sent.size()), int(sent.size()));
    else
        history.recordSetWrite(action, sent, m_stop->lost, m_stop->requested ? Outcome::StoppedMidway : Outcome::Failed,
                               m_stop->done, m_stop->total);
}

bool E2Image::inRange(const CVarDataS &d, int32_t value)
{
    return value >= d.QelValE2Min && value <= d.QelValE2Max;
}

bool E2Image::resetIfOutOfRange(int index)
{
    CVarData *var = m_session.catalogue.entry(index);
    if (!var)
        return false;
    const CVarDataS &d = *var->Data;
    if (inRange(d, d.QelValueE2))
        return false;
    var->ReadE2FromQEL(d.QelValueDefault);
    return true;
}

QString E2Image::CheckRange(int index)
{
    if (!resetIfOutOfRange(index))
        return QString();
    return QStringLiteral(" - ") + m_session.catalogue.data(index)->Name + Cr;
}

QString E2Image::faultMessage(const QString &list, const QString &sectionFault) const
{
    if (list.isEmpty() && sectionFault.isEmpty())
        return QString();
    return QStringLiteral("READ FAULT:") + Cr + list + sectionFault;
}

QString E2Image::CheckAllRanges(int16_t mask)
{
    return faultMessage(rangeFaultList(mask), QString());
}

QString E2Image::rangeFaultList(int16_t mask)
{
    Catalogue &cat = m_session.catalogue;
    QString list;
    for (int i = 1; i < cat.VarCount; ++i) {
        const CVarDataS *d = cat.data(i);
        if ((bits(d->KRVPageDomain) & bits(mask)) == 0 || !qualifiesForTransfer(i))
            continue;
        const bool declaredMax = d->QelValE2Max != 65535;
        if (resetIfOutOfRange(i) && declaredMax)
            list += QStringLiteral(" - ") + d->Name + Cr;
    }
    return list;
}

QString E2Image::CheckRanges(const QList<int> &indices)
{
    Catalogue &cat = m_session.catalogue;
    const int sectionIndex = cat.index(KRV_NUM_PROP_REG);
    QList<int> sorted = indices;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());

    QString sectionFault;
    if (sectionIndex != 0 && sorted.contains(sectionIndex))
        sectionFault = CheckRange(sectionIndex);
    QString list;
    for (int i : std::as_const(sorted)) {
        const CVarDataS *d = cat.data(i);
        if (!d || i == sectionIndex)
            continue;
        const bool declaredMax = d->QelValE2Max != 65535;
        if (resetIfOutOfRange(i) && declaredMax)
            list += QStringLiteral(" - ") + d->Name + Cr;
    }
    return faultMessage(list, sectionFault);
}

QString E2Image::ReadResetMarker(bool &isSet)
{
    static constexpr int32_t MarkerAddresses[] = {0xFDEA00, 0xFDEC00, 0xFDEE00, 0xFDF000, 0xFDF200};
    static constexpr int32_t Marker[] = {82, 69, 83, 69, 84}; // R E S E T
    if (!linkOpen())
        return Failed;
    bool all = true;
    for (size_t k = 0; k < std::size(MarkerAddresses); ++k) {
        int32_t word = 0;
        const QString error = m_session.rs232.ReadVar(MarkerAddresses[k], word);
        if (!error.isEmpty())
            return error;
        m_session.ProgressPercent = static_cast<int16_t>(std::min(100, m_session.ProgressPercent + 20));
        m_session.draw.UpdateStatusBar(Reading);
        all = all && word == Marker[k];
    }
    isSet = all;
    return QString();
}

QString E2Image::SendLoadCommand()
{
    // "LOAD" in the controller's byte order
    const double load = DevLink::HexTextToNumber(QStringLiteral("44414F4C"));
    const QString text = QString::number(static_cast<qint64>(load));
    const int result = m_session.devLink.WriteLong(1024, text);
    m_session.history.recordValue(HistoryRecorder::ResetAction, QString(), QString(),
                                  QStringLiteral("LOAD (defaults at the next power-up)"), result == 0);
    return QString::number(result);
}

int16_t E2Image::AllPagesMask() const
{
    uint16_t mask = 0;
    if (m_session.pages) {
        for (const PageWindow *page : m_session.pages->openPages())
            mask |= bits(page->ReadKey());
    }
    return static_cast<int16_t>(mask);
}

int16_t E2Image::AllPagesWriteMask() const
{
    uint16_t mask = 0;
    if (m_session.pages) {
        for (const PageWindow *page : m_session.pages->openPages())
            mask |= bits(page->WriteKey());
    }
    return static_cast<int16_t>(mask);
}

int E2Image::CountPageVars(int16_t mask) const
{
    int count = 0;
    if (!m_session.pages)
        return 0;
    for (const PageWindow *page : m_session.pages->openPages()) {
        const uint16_t key = bits(page->ReadKey());
        if (key != 0 && (key & bits(mask)) == key)
            count += page->PageVarNum;
    }
    return count;
}

void E2Image::CountAllPageVars()
{
    if (!m_session.pages)
        return;
    const Catalogue &cat = m_session.catalogue;
    for (PageWindow *page : m_session.pages->openPages()) {
        const uint16_t key = bits(page->ReadKey());
        int16_t count = 0;
        if (key != 0) {
            for (int i = 1; i < cat.VarCount; ++i) {
                if ((key & bits(cat.data(i)->KRVPageDomain)) == key)
                    ++count;
            }
        }
        page->PageVarNum = count;
    }
}

void E2Image::step(int counter, int total, const QString &text)
{
    m_session.IsConnectObj = ConnectionState::Busy;
    m_session.StatusText = text;
    // a mask that no page lies within still selects entries: show it as done
    const double percent = total > 0 ? VbNumber::roundHalfEven(counter * 100.0 / total) : 100.0;
    m_session.ProgressPercent = static_cast<int16_t>(std::min(100.0, percent));
    showProgress(text);
}

void E2Image::showProgress(const QString &text)
{
    m_session.draw.UpdateStatusBar(m_session.StatusText);
    if (m_session.waitWindow)
        m_session.waitWindow->DrawWaitBar(m_session.ProgressPercent, text);
}

void E2Image::refreshCurrentPage()
{
    if (!m_session.pages)
        return;
    if (PageWindow *page = m_session.pages->currentPage())
        page->RefreshObject();
}
