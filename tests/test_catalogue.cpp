#include "catalogue.h"
#include "fakemessageservice.h"
#include "localeguard.h"
#include "tempfile.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const char *kHeader = "Name\tHigh\tLow\tId\tDescription\tDefault\tSection\tPages\tMin\tMax\r\n";
const QString kCorrupted = QStringLiteral("'Ramlist.ini' file NOT FOUND or CORRUPTED");

class CatalogueTest : public ::testing::Test
{
protected:
    // Writes a list with the given data lines (CR LF added) and loads it.
    bool load(const QStringList &lines)
    {
        QByteArray bytes = kHeader;
        for (const QString &l : lines)
            bytes += l.toLatin1() + "\r\n";
        return catalogue.LoadRamList(folder.write("Ramlist.ini", bytes));
    }

    TempFolder folder;
    FakeMessageService messages;
    Catalogue catalogue{&messages};
};

QString line(const QString &name, const QString &high, const QString &low, const QString &rest = {})
{
    return name + '\t' + high + '\t' + low + '\t' + rest;
}

} // namespace

TEST_F(CatalogueTest, HeaderOnlyGivesAnEmptyCatalogue)
{
    EXPECT_TRUE(load({}));
    EXPECT_EQ(catalogue.VarCount, 1);
    EXPECT_EQ(catalogue.entry(1), nullptr);
    EXPECT_TRUE(messages.shown.isEmpty());
    // loaded, but nothing can be worked with
    EXPECT_FALSE(catalogue.usable());
    EXPECT_EQ(catalogue.listProblem(), folder.path("Ramlist.ini") + ": no variables");
    EXPECT_TRUE(load({line("a", "1", "0")}));
    EXPECT_TRUE(catalogue.usable());
    EXPECT_EQ(catalogue.refusalText(), QString());
}

TEST_F(CatalogueTest, MissingOrEmptyFileFails)
{
    EXPECT_FALSE(catalogue.LoadRamList(folder.path("nothing-here.ini")));
    EXPECT_EQ(catalogue.VarCount, 0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, kCorrupted);
    EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::Ok);

    EXPECT_EQ(catalogue.refusalText(),
              "Variable list missing or corrupt: " + folder.path("nothing-here.ini") + ": not found");

    EXPECT_FALSE(catalogue.LoadRamList(folder.write("empty.ini", "")));
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(catalogue.listProblem(), folder.path("empty.ini") + ": is empty");
}

TEST_F(CatalogueTest, TwoHundredFiftyLinesFitButNotOneMore)
{
    QStringList lines;
    for (int i = 1; i <= 250; ++i)
        lines << line(QStringLiteral("V%1").arg(i), QString::number(i, 16), "00", "\tdesc\t7");
    ASSERT_TRUE(load(lines));
    EXPECT_EQ(catalogue.VarCount, 251);
    EXPECT_EQ(catalogue.data(250)->Name, "V250");
    EXPECT_EQ(catalogue.data(250)->VarID, 250);
    EXPECT_EQ(catalogue.data(250)->KrvDisplayValueE2, 7);

    lines << line("V251", "FF", "00");
    EXPECT_FALSE(load(lines));
    EXPECT_EQ(catalogue.VarCount, 0);
    EXPECT_EQ(catalogue.entry(1), nullptr);
    EXPECT_EQ(messages.lastText(), kCorrupted);
    EXPECT_EQ(catalogue.listProblem(), folder.path("Ramlist.ini") + ", line 252: more than 250 variables");
    EXPECT_FALSE(catalogue.usable());
}

TEST_F(CatalogueTest, AddressColumns)
{
    ASSERT_TRUE(load({line("a", "12", "3"), line("b", "0x123456", "0x78"), line("c", "", ""),
                      line("d", "0x0012", "0x34"), line("e", "ab", "cD")}));
    EXPECT_EQ(catalogue.data(1)->Address, 0x001203);
    EXPECT_EQ(catalogue.data(2)->Address, 0x345678); // only the last four high digits remain
    EXPECT_EQ(catalogue.data(3)->Address, 0);
    EXPECT_EQ(catalogue.data(4)->Address, 4660);
    EXPECT_EQ(catalogue.data(5)->Address, 0x00ABCD);
}

TEST_F(CatalogueTest, InvalidAddressFailsTheLoad)
{
    EXPECT_FALSE(load({line("a", "1", "2"), line("b", "0X12", "00")}));
    EXPECT_EQ(catalogue.VarCount, 0);
    EXPECT_EQ(messages.lastText(), kCorrupted);
    EXPECT_EQ(catalogue.listProblem(), folder.path("Ramlist.ini") + ", line 3: column 2 is not a hexadecimal address");
    EXPECT_FALSE(load({line("a", "12G", "00")}));
    EXPECT_FALSE(load({line("a", "-1", "00")}));
    EXPECT_FALSE(load({line("a", "1", "0G")}));
    EXPECT_EQ(catalogue.listProblem(), folder.path("Ramlist.ini") + ", line 2: column 3 is not a hexadecimal address");

    // a blank line or stray text is no variable at address 0
    EXPECT_FALSE(load({line("a", "1", "2"), "", line("b", "3", "4")}));
    EXPECT_EQ(catalogue.listProblem(), folder.path("Ramlist.ini") + ", line 3: no address columns");
    EXPECT_FALSE(load({line("a", "1", "2"), "a,b,c,d"}));
    EXPECT_EQ(catalogue.VarCount, 0);

    // the list's bytes from memory read alike, under the name they are given
    const QByteArray bytes = kHeader + line("a", "1", "2").toLatin1() + "\r\n" + line("b", "0X12", "00").toLatin1();
    EXPECT_FALSE(catalogue.LoadRamListBytes(bytes, QStringLiteral("list in memory")));
    EXPECT_EQ(catalogue.listProblem(), "list in memory, line 3: column 2 is not a hexadecimal address");
    EXPECT_TRUE(catalogue.LoadRamListBytes(kHeader + line("a", "1", "2").toLatin1(), QStringLiteral("list in memory")));
    EXPECT_EQ(catalogue.VarCount, 2);
}

TEST_F(CatalogueTest, NumericColumns)
{
    ASSERT_TRUE(load({
        line("a", "1", "0", "\td\t12\t1\t11\t5\t20"),
        line("b", "2", "0", "\td\t2.5\t&H3\t&H8000\t-3.5\t1000.7mA"),
        line("c", "3", "0", "\td\t3.5\t\t\t\t"),
        line("d", "4", "0", "\td\t\t\t\t\tabc"),
    }));
    const CVarDataS *a = catalogue.data(1);
    EXPECT_EQ(a->QelValueDefault, 12);
    EXPECT_EQ(a->TbxTypeID, 1);
    EXPECT_EQ(a->KRVPageDomain, 11);
    EXPECT_EQ(a->QelValE2Min, 5);
    EXPECT_EQ(a->QelValE2Max, 20);
    const CVarDataS *b = catalogue.data(2);
    EXPECT_EQ(b->QelValueDefault, 2);           // halves to even
    EXPECT_EQ(b->TbxTypeID, 3);
    EXPECT_EQ(b->KRVPageDomain, -32768);        // &H8000 is a signed word
    EXPECT_EQ(b->QelValE2Min, -4);
    EXPECT_EQ(b->QelValE2Max, 1001);            // lenient: the leading number
    const CVarDataS *c = catalogue.data(3);
    EXPECT_EQ(c->QelValueDefault, 4);
    EXPECT_EQ(c->QelValE2Min, 0);               // empty columns keep the new-record limits
    EXPECT_EQ(c->QelValE2Max, 65535);
    EXPECT_EQ(catalogue.data(4)->QelValE2Max, 0); // no number at all
}

TEST_F(CatalogueTest, NumericColumnsOutOfRangeOrNotNumbersFail)
{
    EXPECT_FALSE(load({line("a", "1", "0", "\td\t32768")}));
    EXPECT_FALSE(load({line("a", "1", "0", "\td\t1\t-32769")}));
    EXPECT_FALSE(load({line("a", "1", "0", "\td\t1\t0\tx")}));
    EXPECT_FALSE(load({line("a", "1", "0", "\td\t1\t0\t1\t&H")}));
    EXPECT_FALSE(load({line("a", "1", "0", "\td\t1\t0\t1\t0\t99999999999")}));
    EXPECT_EQ(catalogue.listProblem(), folder.path("Ramlist.ini") + ", line 2: column 10 does not fit a 32-bit number");
    EXPECT_FALSE(load({line("a", "1", "0"), line("b", "2", "0", "\td\t1\t0\tx")}));
    EXPECT_EQ(catalogue.listProblem(),
              folder.path("Ramlist.ini") + ", line 3: column 8 is not a whole number from -32768 to 32767");
    EXPECT_TRUE(load({line("a", "1", "0", "\td\t32767\t-32768")}));
}

TEST_F(CatalogueTest, TenColumnsLeaveUnitNameAndFormulasEmpty)
{
    ASSERT_TRUE(load({line("a", "1", "0", "KRV_I0_MIN\tdesc\t300\t0\t11\t0\t1000")}));
    const CVarDataS *d = catalogue.data(1);
    EXPECT_TRUE(d->Unit.isEmpty());
    EXPECT_TRUE(d->MonitorName.isEmpty());
    EXPECT_TRUE(d->F_DownloadToDisplay.isEmpty());
    EXPECT_TRUE(d->F_DisplayToDownload.isEmpty());
    EXPECT_EQ(d->KrvDisplayValueE2, 300);
    EXPECT_EQ(d->KrvDownloadValueE2, 300);
    EXPECT_EQ(d->QelValueE2, 300);
    EXPECT_TRUE(d->MonitorEnable);
    EXPECT_EQ(d->CurrentTBXSystem, 2);
    EXPECT_EQ(catalogue.index(KRV_I0_MIN), 1);

    catalogue.entry(1)->ReadRAMFromQEL(77);
    EXPECT_DOUBLE_EQ(d->KrvDisplayValueRAM, 77.0);
}

TEST_F(CatalogueTest, FormulaAlternativesSelectTheRamDisplay)
{
    ASSERT_TRUE(load({line("a", "1", "0", "\td\t400\t0\t11\t0\t1000\tmA\tI\tX/10|X/20|X/40\tX*10")}));
    CVarData *e = catalogue.entry(1);
    EXPECT_EQ(e->Data->Unit, "mA");
    EXPECT_EQ(e->Data->MonitorName, "I");
    // the EEPROM display uses the whole text: "|" is an operator without meaning
    EXPECT_EQ(e->Data->KrvDisplayValueE2, 0);
    e->ReadRAMFromQEL(400);
    EXPECT_DOUBLE_EQ(e->Data->KrvDisplayValueRAM, 20.0);
    e->Data->CurrentTBXSystem = 0;
    e->ReadRAMFromQEL(400);
    EXPECT_DOUBLE_EQ(e->Data->KrvDisplayValueRAM, 0.0);
    e->Data->CurrentTBXSystem = 4;
    e->ReadRAMFromQEL(400);
    EXPECT_DOUBLE_EQ(e->Data->KrvDisplayValueRAM, 0.0);
    e->Data->CurrentTBXSystem = 3;
    e->ReadRAMFromQEL(400);
    EXPECT_DOUBLE_EQ(e->Data->KrvDisplayValueRAM, 10.0);
}

TEST_F(CatalogueTest, ConversionsBetweenRawAndDisplay)
{
    ASSERT_TRUE(load({line("a", "1", "0", "\td\t25\t0\t11\t0\t1000\tms\t\tX*4\tX/4")}));
    CVarData *e = catalogue.entry(1);
    EXPECT_EQ(e->Data->KrvDisplayValueE2, 100);
    EXPECT_TRUE(catalogue.ConfigSaved);

    e->KRVSetVar(202.5); // nearest whole, halves to even: 202 -> 50.5 -> 50
    EXPECT_EQ(e->Data->KrvDisplayValueE2, 202);
    EXPECT_EQ(e->Data->KrvDownloadValueE2, 50);
    EXPECT_EQ(e->Data->QelValueE2, 25);
    EXPECT_FALSE(catalogue.ConfigSaved);

    e->WriteE2inQEL();
    EXPECT_EQ(e->Data->QelValueE2, 50);

    e->LoadFromFile(30);
    EXPECT_EQ(e->Data->KrvDownloadValueE2, 30);
    EXPECT_EQ(e->Data->KrvDisplayValueE2, 120);
    EXPECT_EQ(e->Data->QelValueE2, 50);

    e->Data->KrvDownloadValueRAM = 9;
    e->WriteRAMinQEL();
    EXPECT_EQ(e->Data->QelValueRAM, 9);
}

TEST_F(CatalogueTest, FormulaDecimalPointsFollowTheLocale)
{
    LocaleGuard italian(QLocale::Italian, QLocale::Italy);
    ASSERT_TRUE(load({line("a", "1", "0", "\td\t10\t0\t11\t0\t1000\tV\t\tX*1.5\tX/1.5")}));
    const CVarDataS *d = catalogue.data(1);
    EXPECT_EQ(d->F_DownloadToDisplay, "X*1,5");
    EXPECT_EQ(d->F_DisplayToDownload, "X/1,5");
    EXPECT_EQ(d->KrvDisplayValueE2, 15);
}

TEST_F(CatalogueTest, IdentifierTable)
{
    ASSERT_TRUE(load({line("a", "1", "0", "KRV_NUM_PROP_REG"), line("b", "2", "0", "KRV_NUM_PROP_REG"),
                      line("c", "3", "0", "krv_prog_vers"), line("d", "4", "0", "KRV_PROG_VERS")}));
    EXPECT_EQ(catalogue.index(KRV_NUM_PROP_REG), 2); // the later line wins
    EXPECT_EQ(catalogue.index(KRV_PROG_VERS), 4);    // names are case-sensitive
    EXPECT_EQ(catalogue.data(KRV_PROG_VERS)->Name, "d");
    EXPECT_EQ(catalogue.data(KRV_I7_SDM_MAX), nullptr);

    // a reload without the name keeps its old slot; ClearVarList leaves the table alone
    catalogue.ClearVarList();
    EXPECT_EQ(catalogue.VarCount, 0);
    EXPECT_EQ(catalogue.index(KRV_PROG_VERS), 4);
    ASSERT_TRUE(load({line("a", "1", "0", "KRV_NUM_PROP_REG")}));
    EXPECT_EQ(catalogue.index(KRV_NUM_PROP_REG), 1);
    EXPECT_EQ(catalogue.index(KRV_PROG_VERS), 4);
    EXPECT_EQ(catalogue.data(KRV_PROG_VERS), nullptr); // a stale slot never reaches a released entry
}

TEST_F(CatalogueTest, IdentifierNamesAreTheTableOrder)
{
    EXPECT_STREQ(krvIdName(KRV_PROG_VERS), "KRV_PROG_VERS");
    EXPECT_STREQ(krvIdName(KRV_RAMP_TFALL_7), "KRV_RAMP_TFALL_7");
    EXPECT_STREQ(krvIdName(KRV_I7_MAX), "KRV_I7_MAX");
    EXPECT_STREQ(krvIdName(KRV_I0_SDM_MIN), "KRV_I0_SDM_MIN");
    EXPECT_STREQ(krvIdName(KRV_FLOAT_MONITOR), "KRV_FLOAT_MONITOR");
    EXPECT_EQ(KRV_I0_SDM_MIN, KRV_I7_MAX + 1);
    EXPECT_EQ(KRV_NUM_PROP_REG, KRV_I7_SDM_MAX + 1);
}

TEST_F(CatalogueTest, Windows1252TextAndLineEnds)
{
    QByteArray bytes = "header\r\n";
    bytes += "Temp \xB0""C\t1\t0\t\tPressure \x80 limit\t1\r\n"; // degree sign and euro sign
    bytes += "LF only\t2\t0\n";
    bytes += "CR only\t3\t0\r";
    bytes += "no end\t4\t0";
    ASSERT_TRUE(catalogue.LoadRamList(folder.write("Ramlist.ini", bytes)));
    EXPECT_EQ(catalogue.VarCount, 5);
    EXPECT_EQ(catalogue.data(1)->Name, QString::fromUtf8("Temp °C"));
    EXPECT_EQ(catalogue.data(1)->TooltipDecription, QString::fromUtf8("Pressure € limit"));
    EXPECT_EQ(catalogue.data(4)->Name, "no end");
    EXPECT_EQ(catalogue.data(4)->Address, 0x400);
}

TEST_F(CatalogueTest, ColumnsBeyondFourteenAreIgnored)
{
    ASSERT_TRUE(load({line("a", "1", "0", "\td\t5\t0\t11\t0\t10\tu\tm\tX*2\tX/2\textra\tmore")}));
    EXPECT_EQ(catalogue.data(1)->F_DisplayToDownload, "X/2");
    EXPECT_EQ(catalogue.data(1)->KrvDisplayValueE2, 10);
}
