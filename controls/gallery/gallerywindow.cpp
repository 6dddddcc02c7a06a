#include "gallerywindow.h"

#include "csection.h"
#include "diagnosticerror.h"
#include "joymonitor.h"
#include "vbcolor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

GalleryWindow::GalleryWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Tessera Gallery"));
    m_simulate = new QCheckBox(QStringLiteral("Simulate readings"), this);
    m_recordView = new QLabel(QStringLiteral("Edit a current to see its record."), this);
    m_recordView->setTextFormat(Qt::PlainText);
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(200);
    m_log->setFixedHeight(90);
    m_timer = new QTimer(this);
    m_timer->setInterval(100);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(buildSections());
    top->addWidget(buildMonitors(), 1);
    layout->addLayout(top);
    layout->addWidget(buildDiagnostics());
    layout->addWidget(m_simulate);
    layout->addWidget(m_log);

    connect(m_simulate, &QCheckBox::toggled, m_timer, [this](bool on) { on ? m_timer->start() : m_timer->stop(); });
    connect(m_timer, &QTimer::timeout, this, [this] { showReadings(++m_step); });
    showReadings(0);
    m_log->clear(); // start with the events of the user's own trials
}

CVarDataS &GalleryWindow::newRecord(const QString &name, qint16 id, const QString &unit)
{
    CVarDataS &r = m_records.emplace_back();
    r.Name = name;
    r.VarID = id;
    r.Unit = unit;
    r.MonitorName = name;
    r.TooltipDecription = QStringLiteral("KRV Value - ") + name;
    r.MonitorEnable = true;
    return r;
}

QWidget *GalleryWindow::buildSections()
{
    auto *box = new QGroupBox(QStringLiteral("CSection"), this);
    auto *grid = new QGridLayout(box);
    const QString names[] = {QStringLiteral("1A"), QStringLiteral("1B"), QStringLiteral("2A"),
                             QStringLiteral("2B")};
    const quint32 back[] = {VbColor::rgb(255, 255, 160), VbColor::rgb(160, 210, 255)};
    const quint32 text[] = {VbColor::rgb(0, 0, 0), VbColor::rgb(0, 0, 128)};
    for (int coil = 0; coil < 4; ++coil) {
        CVarDataS &low = newRecord(QStringLiteral("I%1 Min").arg(coil), qint16(60 + 2 * coil), QStringLiteral("mA"));
        CVarDataS &high = newRecord(QStringLiteral("I%1 Max").arg(coil), qint16(61 + 2 * coil), QStringLiteral("mA"));
        low.KrvDisplayValueE2 = low.QelValueE2 = 300 + 50 * coil;
        high.KrvDisplayValueE2 = high.QelValueE2 = 900 + 50 * coil;
        low.F_DisplayToDownload = high.F_DisplayToDownload = QStringLiteral("X*4"); // raw counts

        auto *section = new CSection(box);
        section->setObjectName(QStringLiteral("MagA_%1").arg(coil));
        section->setSectionName(names[coil]);
        section->setBackColor(back[coil / 2]);
        section->setFontColor(text[coil / 2]);
        section->setMin(0);
        section->setMax(1500);
        section->setCaricaMin(&low);
        section->setCaricaMax(&high);
        connect(section, &CSection::VarMinChange, this, [this, section] {
            showRecord(*section->CaricaMin());
        });
        connect(section, &CSection::VarMaxChange, this, [this, section] {
            showRecord(*section->CaricaMax());
        });
        grid->addWidget(section, coil / 2, coil % 2);
    }
    grid->addWidget(m_recordView, 2, 0, 1, 2);
    return box;
}

QWidget *GalleryWindow::buildMonitors()
{
    struct Sample
    {
        const char *name;
        const char *unit;
        int min, max, thMin, thMax;
        const char *format;
        bool bar;
        const char *displayFormula;
    };
    const Sample samples[] = {
        {"Joystick 1", "%", 0, 100, 0, 0, "####0", true, "X/10"},
        {"Current 1A", "mA", 0, 1200, 50, 50, "###0", true, "X"},
        {"Supply", "V", 0, 30, 0, 0, "####0.0", false, "X/100"},
        {"Input 1", "", 0, 100, 0, 0, "####0", true, "X&1"},
        {"Joystick 2", "%", 0, 100, 0, 0, "####0", true, "X/10"},
    };
    auto *box = new QGroupBox(QStringLiteral("JoyMonitor"), this);
    auto *column = new QVBoxLayout(box);
    qint16 id = 100;
    for (const Sample &s : samples) {
        CVarDataS &r = newRecord(QString::fromLatin1(s.name), id++, QString::fromLatin1(s.unit));
        r.F_DownloadToDisplay = QString::fromLatin1(s.displayFormula);
        auto *monitor = new JoyMonitor(box);
        monitor->setMin(s.min);
        monitor->setMax(s.max);
        monitor->setThMin(s.thMin);
        monitor->setThMax(s.thMax);
        monitor->setDataFormat(QString::fromLatin1(s.format));
        monitor->setActiveProgressBar(s.bar);
        monitor->setCarica(&r);
        const QString name = r.MonitorName;
        connect(monitor, &JoyMonitor::CheckEnabled, this,
                [this, name](qint16 &value) { log(QStringLiteral("%1: CheckEnabled %2").arg(name).arg(value)); });
        column->addWidget(monitor);
        m_monitors.append(monitor);
    }
    m_monitors.at(1)->setBackColor(VbColor::rgb(255, 255, 160));
    m_monitors.last()->setMonitorEnable(false);
    column->addStretch(1);
    return box;
}

QWidget *GalleryWindow::buildDiagnostics()
{
    const QStringList descriptions[] = {
        {"EEPROM", "Watchdog", "CAN bus off", "CAN time-out", "Supply low", "Supply high", "Over temperature",
         "Configuration"},
        {"Coil 1A open", "Coil 1A short", "Coil 1B open", "Coil 1B short", "Joystick range",
         "Joystick neutral", "Set-point", "Feedback"},
        {"Output 1", "Output 2", "Output 3", "Output 4", "Output 5", "Output 6", "Output 7", "Output 8"},
    };
    const char *titles[] = {"System Errors", "Section 1 Errors", "High-Side Outputs"};
    auto *box = new QGroupBox(QStringLiteral("DiagnosticError"), this);
    auto *column = new QVBoxLayout(box);
    for (int i = 0; i < 3; ++i) {
        CVarDataS &r = newRecord(QString::fromLatin1(titles[i]), qint16(200 + i), QString());
        auto *row = new DiagnosticError(box);
        row->setCarica(&r);
        for (qint16 bit = 0; bit < DiagnosticError::BitCount; ++bit)
            row->SetDecripion(bit, descriptions[i].at(bit));
        const QString title = r.MonitorName;
        connect(row, &DiagnosticError::UpdateErrorMessage, this, [this, title](qint16 &value, qint32 &changed) {
            log(QStringLiteral("%1: UpdateErrorMessage value %2, changed bits %3")
                    .arg(title)
                    .arg(value)
                    .arg(changed, 0, 2));
        });
        column->addWidget(row);
        m_rows.append(row);
    }
    m_rows.at(0)->setEnable(true);
    m_rows.at(1)->setEnable(true);
    m_rows.at(2)->setLongVar(true); // its bits are the word's high byte
    return box;
}

void GalleryWindow::showReadings(int step)
{
    const double phase = step / 10.0;
    const double readings[] = {50 + 50 * std::sin(phase), 600 + 700 * std::sin(phase / 2),
                               24.3 + std::sin(phase / 3), double((step / 10) % 2 == 0), 35};
    for (int i = 0; i < m_monitors.size(); ++i)
        m_monitors.at(i)->UpdateDisplay(readings[i]);
    qint32 system = step == 0 ? 0x14 : (1 << ((step / 20) % 8));
    qint32 section = step == 0 ? 0x03 : (step / 15) % 4;
    qint32 outputs = 0x0500;
    m_rows.at(0)->UpdateDisplay(system);
    m_rows.at(1)->UpdateDisplay(section);
    m_rows.at(2)->UpdateDisplay(outputs);
}

void GalleryWindow::log(const QString &line)
{
    m_log->appendPlainText(line);
}

void GalleryWindow::showRecord(const CVarDataS &record)
{
    m_recordView->setText(QStringLiteral("%1: display %2, download %3")
                              .arg(record.Name)
                              .arg(record.KrvDisplayValueE2)
                              .arg(record.KrvDownloadValueE2));
    log(QStringLiteral("%1 changed to %2").arg(record.Name).arg(record.KrvDisplayValueE2));
}
