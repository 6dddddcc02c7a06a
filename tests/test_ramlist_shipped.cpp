// The variable list shipped in res/ini: complete, loadable, and coherent with
// how the pages, the transfers and the configuration files use it.
#include "catalogue.h"
#include "fakemessageservice.h"
#include "localeguard.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr int ReadAllMask = 10010;   // OR of every page's read mask
constexpr int WriteAllMask = 10011;  // OR of every page's write mask
constexpr int ConfigDomain = 11;
constexpr int ServiceDomain = 10001;
constexpr int VersionDomain = 10;

struct Range
{
    int32_t first;
    int32_t last;
    bool holds(int32_t a) const { return a >= first && a <= last; }
};

constexpr Range EepromArea{0x002000, 0x0023FF};
constexpr Range RamArea{0x004000, 0x0043FF};
// Addressed by the program directly: key and production number (32 bits each),
// the LOAD command (32 bits) and the five reset-marker words.
constexpr Range Reserved[] = {{88, 95}, {1024, 1027}, {0xFDEA00, 0xFDF201}};

bool isEeprom(const CVarDataS &d) { return (d.KRVPageDomain & ReadAllMask) != 0; }

// Write-all's selection: an EEPROM parameter whose page bits all lie within the mask.
bool writtenBy(const CVarDataS &d, int mask)
{
    return (d.KRVPageDomain & 1) && (d.KRVPageDomain & mask) == d.KRVPageDomain;
}

KrvId id(int i) { return static_cast<KrvId>(i); }

KrvId named(const QString &name)
{
    for (int i = 0; i < KRV_ID_COUNT; ++i)
        if (name == QLatin1String(krvIdName(id(i))))
            return id(i);
    return KRV_ID_COUNT;
}

// Section of an identifier that belongs to one coil or one section, else -1.
int sectionOf(KrvId v)
{
    static const QRegularExpression perCoil(
        QStringLiteral("^KRV_(RAMP_TRISE_|RAMP_TFALL_|I)(\\d)(_MIN|_MAX|_SDM_MIN|_SDM_MAX)?$"));
    static const QRegularExpression perSection(QStringLiteral(
        "^KRV_(RAMP_INV_MODE_(\\d)|JOY_(\\d)_\\w+|SP_(\\d)_MACRO|JOY(\\d)_\\w+|I(\\d)_MEASURE_400"
        "|SP(\\d)_ERROR)$"));
    static const QRegularExpression countedFromOne(
        QStringLiteral("^KRV_(ERROR_SEC_|FLOAT_CURRENT_)(\\d)$"));
    const QString name = QLatin1String(krvIdName(v));
    QRegularExpressionMatch m = perCoil.match(name);
    if (m.hasMatch() && !(m.captured(1) == QLatin1String("I") && m.captured(3).isEmpty()))
        return m.captured(2).toInt() / 2;
    m = perSection.match(name);
    if (m.hasMatch())
        for (int g = 2; g <= m.lastCapturedIndex(); ++g)
            if (!m.captured(g).isEmpty())
                return m.captured(g).toInt();
    m = countedFromOne.match(name);
    if (m.hasMatch())
        return m.captured(2).toInt() - 1;
    return -1;
}

class ShippedRamList : public ::testing::Test
{
protected:
    void SetUp() override { load(); }

    void load()
    {
        catalogue = std::make_unique<Catalogue>(&messages);
        ASSERT_TRUE(catalogue->LoadRamList(Catalogue::defaultRamListPath()))
            << messages.lastText().toStdString();
    }

    QList<QByteArray> rawLines() const
    {
        QFile f(Catalogue::defaultRamListPath());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeLast(); // after the final line end
        return lines;
    }

    int count() const { return catalogue->VarCount - 1; }
    CVarDataS &at(int i) const { return *catalogue->data(i); }
    CVarDataS &of(KrvId v) const { return *catalogue->data(v); }

    FakeMessageService messages;
    std::unique_ptr<Catalogue> catalogue;
};

TEST_F(ShippedRamList, carriesEveryIdentifierOnceAndFitsTheCatalogue)
{
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_GE(count(), KRV_ID_COUNT);
    EXPECT_LE(count(), Catalogue::MaxEntries);
    for (int i = 0; i < KRV_ID_COUNT; ++i)
        EXPECT_NE(catalogue->index(id(i)), 0) << krvIdName(id(i));

    // a misspelt identifier would be dropped without a word, a repeated one
    // would hide the earlier line
    QSet<QString> seen;
    const QList<QByteArray> lines = rawLines();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString ident = QString::fromLatin1(lines[i].split('\t').value(3));
        if (ident.isEmpty())
            continue;
        EXPECT_NE(named(ident), KRV_ID_COUNT) << ident.toStdString();
        EXPECT_FALSE(seen.contains(ident)) << ident.toStdString();
        seen.insert(ident);
    }
    EXPECT_EQ(seen.size(), KRV_ID_COUNT);
}

TEST_F(ShippedRamList, fileIsTabSeparatedWithCrLfLineEnds)
{
    QFile f(Catalogue::defaultRamListPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }

    static const QRegularExpression high(QStringLiteral("^0x[0-9A-F]{4}$"));
    static const QRegularExpression low(QStringLiteral("^0x[0-9A-F]{2}$"));
    const QList<QByteArray> lines = rawLines();
    ASSERT_EQ(lines.size() - 1, count());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> cols = lines[i].chopped(1).split('\t');
        EXPECT_EQ(cols.size(), 14) << "line " << i + 1;
        if (i == 0)
            continue;
        EXPECT_TRUE(high.match(QString::fromLatin1(cols.value(1))).hasMatch()) << "line " << i + 1;
        EXPECT_TRUE(low.match(QString::fromLatin1(cols.value(2))).hasMatch()) << "line " << i + 1;
    }
}

TEST_F(ShippedRamList, addressesAreDistinctWordsInTheirAreaAndClearOfReservedOnes)
{
    std::set<int32_t> used;
    for (int i = 1; i <= count(); ++i) {
        const CVarDataS &d = at(i);
        const std::string name = d.Name.toStdString();
        EXPECT_TRUE(used.insert(d.Address).second) << name;
        // words sit on even addresses, so no two of them overlap
        EXPECT_EQ(d.Address % 2, 0) << name;
        for (const Range &r : Reserved)
            EXPECT_FALSE(r.holds(d.Address) || r.holds(d.Address + 1)) << name;
        EXPECT_TRUE(isEeprom(d) ? EepromArea.holds(d.Address) : RamArea.holds(d.Address)) << name;
    }
}

TEST_F(ShippedRamList, textsAreSafeForConfigurationFiles)
{
    QSet<QString> names;
    QSet<QString> descriptions;
    for (int i = 1; i <= count(); ++i) {
        const CVarDataS &d = at(i);
        const std::string name = d.Name.toStdString();
        EXPECT_FALSE(d.Name.isEmpty()) << "entry " << i;
        EXPECT_FALSE(names.contains(d.Name)) << name;
        names.insert(d.Name);
        // a configuration file splits its lines at commas, ignores lines whose
        // description is empty or holds "---", and reads quoted text as one item
        EXPECT_FALSE(d.TooltipDecription.isEmpty()) << name;
        EXPECT_FALSE(d.TooltipDecription.contains(QLatin1Char(','))) << name;
        EXPECT_FALSE(d.TooltipDecription.contains(QLatin1String("---"))) << name;
        EXPECT_FALSE(d.TooltipDecription.contains(QLatin1Char('"'))) << name;
        EXPECT_FALSE(descriptions.contains(d.TooltipDecription)) << name;
        descriptions.insert(d.TooltipDecription);
        // monitor controls and diagnostic rows are captioned with it
        EXPECT_FALSE(d.MonitorName.isEmpty()) << name;
    }
}

TEST_F(ShippedRamList, defaultsLieInRangesThatWordsCanReach)
{
    for (int i = 1; i <= count(); ++i) {
        const CVarDataS &d = at(i);
        const std::string name = d.Name.toStdString();
        // words arrive sign-reduced; a maximum past 32767 (65535 above all,
        // which silences the read fault) could never be told apart
        EXPECT_GE(d.QelValE2Min, -32768) << name;
        EXPECT_LE(d.QelValE2Max, 32767) << name;
        EXPECT_LE(d.QelValE2Min, d.QelValueDefault) << name;
        EXPECT_LE(d.QelValueDefault, d.QelValE2Max) << name;
    }
}

TEST_F(ShippedRamList, pageDomainsSelectTheRightTransfers)
{
    EXPECT_EQ(of(KRV_PROG_VERS).KRVPageDomain, VersionDomain);
    for (KrvId v : {KRV_SERIAL_NUMBER, KRV_SERVICE_WEEK, KRV_SERVICE_YEAR, KRV_PROD_NUM})
        EXPECT_EQ(of(v).KRVPageDomain, ServiceDomain) << krvIdName(v);
    for (int v = KRV_FLOAT_CURRENT; v <= KRV_SYSTEM_TYPE; ++v)
        EXPECT_EQ(of(id(v)).KRVPageDomain, ConfigDomain) << krvIdName(id(v));
    for (int v = KRV_JOY0_VALUE; v <= KRV_FLOAT_MONITOR; ++v)
        EXPECT_EQ(of(id(v)).KRVPageDomain & (ReadAllMask | 1), 0) << krvIdName(id(v));

    for (int i = 1; i <= count(); ++i) {
        const CVarDataS &d = at(i);
        const std::string name = d.Name.toStdString();
        const bool version = i == catalogue->index(KRV_PROG_VERS);
        const bool service = d.KRVPageDomain == ServiceDomain;
        EXPECT_TRUE(!isEeprom(d) || version || service || d.KRVPageDomain == ConfigDomain)
            << name;
        EXPECT_EQ(writtenBy(d, WriteAllMask), isEeprom(d) && !version) << name;
        EXPECT_EQ(writtenBy(d, 11), isEeprom(d) && !version && !service) << name;
        EXPECT_EQ(writtenBy(d, 10001), service) << name;
        EXPECT_FALSE(writtenBy(d, 0)) << name;
    }
}

TEST_F(ShippedRamList, sectionDependencyFollowsTheCoilsAndSections)
{
    const CVarDataS &sections = of(KRV_NUM_PROP_REG);
    EXPECT_EQ(sections.QelValE2Min, 1);
    EXPECT_EQ(sections.QelValE2Max, 4);
    EXPECT_EQ(sections.TbxTypeID, 0);

    for (int v = 0; v < KRV_ID_COUNT; ++v) {
        const int expected = std::max(sectionOf(id(v)), 0);
        EXPECT_EQ(of(id(v)).TbxTypeID, expected) << krvIdName(id(v));
    }
    const int countIndex = catalogue->index(KRV_NUM_PROP_REG);
    for (int i = 1; i <= count(); ++i) {
        const CVarDataS &d = at(i);
        EXPECT_GE(d.TbxTypeID, 0) << d.Name.toStdString();
        EXPECT_LE(d.TbxTypeID, 3) << d.Name.toStdString();
        // read-all settles the section count before it decides on these
        if (d.TbxTypeID > 0) {
            EXPECT_LT(countIndex, i) << d.Name.toStdString();
        }
    }
}

// Display value at a raw value, then back to raw through the page's edit path
// and to display again: the number shown must not move, and the raw value that
// a write would send must stay in range.
void expectStablePair(CVarData &e, int32_t raw)
{
    const CVarDataS &d = *e.Data;
    const std::string where = d.Name.toStdString() + " at raw " + std::to_string(raw);
    e.ReadE2FromQEL(raw);
    const int32_t shown = d.KrvDisplayValueE2;
    e.KRVSetVar(shown);
    const int32_t sent = d.KrvDownloadValueE2;
    EXPECT_EQ(e.DisplayFromRaw(sent), shown) << where;
    EXPECT_GE(sent, d.QelValE2Min) << where;
    EXPECT_LE(sent, d.QelValE2Max) << where;
    // the debugger's EEPROM and RAM columns show the same engineering value
    for (int16_t sel = 1; sel <= 4; ++sel) {
        e.Data->CurrentTBXSystem = sel;
        e.ReadRAMFromQEL(raw);
        EXPECT_DOUBLE_EQ(std::nearbyint(d.KrvDisplayValueRAM), shown) << where << " selector " << sel;
    }
}

void expectFormulasSound(const Catalogue &catalogue)
{
    static const QRegularExpression formulaText(QStringLiteral("^[0-9X.,+*/()-]+$"));
    for (int i = 1; i < catalogue.VarCount; ++i) {
        CVarData &e = *catalogue.entry(i);
        const CVarDataS &d = *e.Data;
        const std::string name = d.Name.toStdString();
        // a one-way formula would send display values as raw ones
        ASSERT_EQ(d.F_DownloadToDisplay.isEmpty(), d.F_DisplayToDownload.isEmpty()) << name;
        if (d.F_DownloadToDisplay.isEmpty())
            continue;
        EXPECT_TRUE(formulaText.match(d.F_DownloadToDisplay).hasMatch()) << name;
        EXPECT_TRUE(formulaText.match(d.F_DisplayToDownload).hasMatch()) << name;
        // no unary minus: a negative X cannot be folded
        EXPECT_GE(d.QelValE2Min, 0) << name;
        for (int32_t raw : {d.QelValE2Min, d.QelValueDefault, d.QelValE2Max})
            expectStablePair(e, raw);
    }
}

TEST_F(ShippedRamList, formulaPairsAreStableAtMinDefaultAndMax)
{
    expectFormulasSound(*catalogue);
}

TEST_F(ShippedRamList, formulaPairsAreStableWithACommaDecimalLocale)
{
    LocaleGuard italian(QLocale::Italian, QLocale::Italy);
    load();
    expectFormulasSound(*catalogue);
}

TEST_F(ShippedRamList, valuesThePagesUseRawCarryNoFormula)
{
    // ramp, dither and joystick fields edit the raw value; the section count,
    // system type and input words are set through the display value from raw
    // numbers; the monitor scales its current bars with the raw maximum currents
    std::vector<KrvId> raw = {KRV_PROG_VERS, KRV_NUM_PROP_REG, KRV_SYSTEM_TYPE, KRV_SOL_TYPE,
                              KRV_DITHER_FREQ, KRV_DITHER_AMP, KRV_DITHER_AMP_PERC,
                              KRV_JOY_NODE_ID, KRV_JOY_TIMEOUT, KRV_FLOAT_MAG_SIDE,
                              KRV_FLOAT_CONFIG_1, KRV_FLOAT_CONFIG_2, KRV_SERIAL_NUMBER,
                              KRV_SERVICE_WEEK, KRV_SERVICE_YEAR, KRV_PROD_NUM};
    for (int v = KRV_RAMP_TRISE_0; v <= KRV_RAMP_INV_MODE_3; ++v)
        raw.push_back(id(v));
    for (int v = KRV_FLOAT_CURRENT_1; v <= KRV_FLOAT_CURRENT_4; ++v)
        raw.push_back(id(v));
    for (int v = KRV_DGT_CONFIG_1; v <= KRV_JOY_3_ID; ++v)
        raw.push_back(id(v));
    for (int v = KRV_JOY_0_INV; v <= KRV_I7_SDM_MAX; ++v)
        raw.push_back(id(v));
    for (KrvId v : raw) {
        EXPECT_TRUE(of(v).F_DownloadToDisplay.isEmpty()) << krvIdName(v);
        EXPECT_TRUE(of(v).F_DisplayToDownload.isEmpty()) << krvIdName(v);
    }
}

TEST_F(ShippedRamList, liveValuesMatchTheMonitorScales)
{
    auto ramDisplay = [this](KrvId v, int32_t value) {
        CVarData &e = *catalogue->entry(v);
        e.Data->CurrentTBXSystem = of(KRV_NUM_PROP_REG).QelValueDefault;
        e.ReadRAMFromQEL(value);
        return e.Data->KrvDisplayValueRAM;
    };
    for (int k = 0; k < 4; ++k) {
        const KrvId joy = id(KRV_JOY0_VALUE + k);
        // joystick bars run from 0 to 100 %
        EXPECT_DOUBLE_EQ(ramDisplay(joy, of(joy).QelValE2Min), 0.0) << krvIdName(joy);
        EXPECT_DOUBLE_EQ(ramDisplay(joy, of(joy).QelValE2Max), 100.0) << krvIdName(joy);
        // the current bar ends at the largest maximum current of the section
        const KrvId measured = id(KRV_I0_MEASURE_400 + k);
        for (KrvId max : {id(KRV_I0_MAX + 4 * k), id(KRV_I0_MAX + 4 * k + 2),
                          id(KRV_I0_SDM_MAX + 4 * k), id(KRV_I0_SDM_MAX + 4 * k + 2)})
            EXPECT_GE(ramDisplay(measured, of(measured).QelValE2Max), of(max).QelValE2Max)
                << krvIdName(measured) << " against " << krvIdName(max);
    }
    // the supply bar shows 0 to 30 V
    const double supply = ramDisplay(KRV_VBB_400, of(KRV_VBB_400).QelValueDefault);
    EXPECT_GT(supply, 0.0);
    EXPECT_LE(supply, 30.0);
}

TEST_F(ShippedRamList, defaultsAreACoherentConfiguration)
{
    for (int c = 0; c < 8; ++c) {
        // the section controls keep minimum below maximum
        EXPECT_LT(of(id(KRV_I0_MIN + 2 * c)).QelValueDefault,
                  of(id(KRV_I0_MAX + 2 * c)).QelValueDefault) << "coil " << c;
        EXPECT_LT(of(id(KRV_I0_SDM_MIN + 2 * c)).QelValueDefault,
                  of(id(KRV_I0_SDM_MAX + 2 * c)).QelValueDefault) << "coil " << c;
    }
    for (int k = 0; k < 4; ++k) {
        for (KrvId v : {id(KRV_RAMP_INV_MODE_0 + k), id(KRV_JOY_0_INV + k)}) {
            const int32_t mode = of(v).QelValueDefault;
            EXPECT_TRUE(mode == 85 || mode == 170) << krvIdName(v);
        }
        // the picture identifier follows from the channel word as the joystick
        // window derives it
        const int32_t word = of(id(KRV_JOY_0_CONFIG + k)).QelValueDefault;
        const int type = word & 15;
        const int axis = (word >> 4) & 15;
        const int picture = type == 0 ? 8 : type >= 2 ? 5 : axis == 0 ? 0 : axis == 1 ? 1 : 2;
        EXPECT_EQ(of(id(KRV_JOY_0_ID + k)).QelValueDefault, picture) << "input " << k;
    }
}

} // namespace
