#include "diagnosticlist.h"
#include "fakemessageservice.h"
#include "tempfile.h"

#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kCorrupted = QStringLiteral("'Diagnostic.ini' file NOT FOUND or CORRUPTED");

class DiagnosticListTest : public ::testing::Test
{
protected:
    bool load(const QStringList &lines)
    {
        QByteArray bytes = "Row\tBit\tNumber\tCode\tWord\tError ID\tDescription\tRemedy\r\n";
        for (const QString &l : lines)
            bytes += l.toLatin1() + "\r\n";
        return list.Load(folder.write("DiagnosticList.ini", bytes));
    }
    void expectFailed()
    {
        EXPECT_EQ(list.rowCount(), 0);
        for (int r = 0; r < DiagnosticList::RowSlots; ++r)
            for (int b = 0; b < DiagnosticList::BitSlots; ++b)
                EXPECT_EQ(list.cell(r, b), nullptr) << r << "," << b;
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, kCorrupted);
        EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::Ok);
    }

    TempFolder folder;
    FakeMessageService messages;
    DiagnosticList list{&messages};
};

} // namespace

TEST(DiagnosticDataTest, LoadFillsTheTextsThatAreThere)
{
    struct Case
    {
        QString aux;
        QStringList expected; // Code, DescrLine1 .. DescrLine4
    };
    const Case cases[] = {
        {"", {"", "", "", "", ""}},
        {"Code", {"Code", "", "", "", ""}},
        {"Code\t", {"Code", "", "", "", ""}},
        {"Code\tOne\tTwo", {"Code", "One", "Two", "", ""}},
        {"\t\tTwo", {"", "", "Two", "", ""}},
        {"C\t1\t2\t3\t4\tfive\tsix", {"C", "1", "2", "3", "4"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.aux.toStdString());
        CDiagnosticData d;
        d.DescrLine4 = "old";
        d.Load(c.aux);
        EXPECT_EQ((QStringList{d.Code, d.DescrLine1, d.DescrLine2, d.DescrLine3, d.DescrLine4}), c.expected);
    }
}

TEST_F(DiagnosticListTest, HeaderOnlyGivesNoRowsAndNoMessage)
{
    EXPECT_TRUE(load({}));
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.distinctRows(), 0);
    EXPECT_EQ(list.cell(0, 0), nullptr);
    EXPECT_EQ(list.code(0, 0), QString());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DiagnosticListTest, MissingOrEmptyFileFails)
{
    EXPECT_FALSE(list.Load(folder.path("absent.ini")));
    expectFailed();
    messages.shown.clear();
    EXPECT_FALSE(list.Load(folder.write("empty.ini", "")));
    expectFailed();
}

TEST_F(DiagnosticListTest, EntriesGoToTheirCells)
{
    const QByteArray bytes = "header\r\n"
                             "0\t0\t100\tEEPROM\tController\tE100\tChecksum wrong\tWrite again\r\n"
                             "0\t7\t107\tHot\tController\tE107\tAbove 85 \xb0"
                             "C\r\n"
                             "3\t8\t408\tLast bit\r\n";
    ASSERT_TRUE(list.Load(folder.write("DiagnosticList.ini", bytes)));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.distinctRows(), 2);

    const CDiagnosticData *first = list.cell(0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->EntryNumber, 100);
    EXPECT_EQ(first->Code, "EEPROM");
    EXPECT_EQ(first->DescrLine1, "Controller");
    EXPECT_EQ(first->DescrLine2, "E100");
    EXPECT_EQ(first->DescrLine3, "Checksum wrong");
    EXPECT_EQ(first->DescrLine4, "Write again");

    const CDiagnosticData *hot = list.cell(0, 7);
    ASSERT_NE(hot, nullptr);
    EXPECT_EQ(hot->DescrLine3, QString::fromUtf8("Above 85 \u00b0C"));
    EXPECT_EQ(hot->DescrLine4, QString());

    EXPECT_EQ(list.code(3, 8), "Last bit");
    EXPECT_EQ(list.cell(3, 8)->DescrLine1, QString());
    EXPECT_EQ(list.cell(1, 0), nullptr);
    EXPECT_EQ(list.code(1, 0), QString());
    // outside the table
    for (auto rb : {std::pair{-1, 0}, {11, 0}, {0, -1}, {0, 9}})
        EXPECT_EQ(list.cell(rb.first, rb.second), nullptr);
}

TEST_F(DiagnosticListTest, RowCountFollowsTheHighestRow)
{
    // rows out of order still all show: the count is not taken from the last line
    ASSERT_TRUE(load({"2\t0\t1\tA", "10\t0\t2\tB", "2\t1\t3\tC", "0\t0\t4\tD"}));
    EXPECT_EQ(list.rowCount(), 11);
    EXPECT_EQ(list.distinctRows(), 3);
    EXPECT_EQ(list.code(10, 0), "B");
    EXPECT_EQ(list.code(2, 1), "C");
}

TEST_F(DiagnosticListTest, ALaterLineReplacesItsCell)
{
    ASSERT_TRUE(load({"1\t3\t1\tOld", "1\t3\t2\tNew\tWord"}));
    EXPECT_EQ(list.code(1, 3), "New");
    EXPECT_EQ(list.cell(1, 3)->EntryNumber, 2);
    EXPECT_EQ(list.distinctRows(), 1);
    EXPECT_EQ(list.rowCount(), 2);
}

TEST_F(DiagnosticListTest, BadLinesFailAndLeaveNoDescriptions)
{
    const QStringList bad{"11\t0\t1\tA", "-1\t0\t1\tA", "0\t9\t1\tA",    "0\t-1\t1\tA", "x\t0\t1\tA",
                          "0\t0\tE1\tA", "\t0\t1\tA",  "0\t0",         "0\t0\t70000\tA", "",
                          "0 1 2 A"};
    for (const QString &line : bad) {
        SCOPED_TRACE(line.toStdString());
        messages.shown.clear();
        EXPECT_FALSE(load({"0\t0\t1\tGood", line}));
        expectFailed();
    }
    // a good list loads again after a failed one
    messages.shown.clear();
    EXPECT_TRUE(load({"0\t0\t1\tGood"}));
    EXPECT_EQ(list.code(0, 0), "Good");
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DiagnosticListTest, NumbersInTheFileNotation)
{
    // hexadecimal and fractions as in the other list files; a fraction goes to
    // the nearest whole number, halves to the even one
    ASSERT_TRUE(load({"&H2\t&H8\t&H10\tHex", "0.5\t2.5\t-3\tHalves", " 4 \t 1 \t7\tSpaces"}));
    EXPECT_EQ(list.code(2, 8), "Hex");
    EXPECT_EQ(list.cell(2, 8)->EntryNumber, 16);
    EXPECT_EQ(list.code(0, 2), "Halves");
    EXPECT_EQ(list.cell(0, 2)->EntryNumber, -3);
    EXPECT_EQ(list.code(4, 1), "Spaces");
}

TEST_F(DiagnosticListTest, HugeLineIsReadWhole)
{
    const QString huge(300000, QLatin1Char('d'));
    ASSERT_TRUE(load({"5\t5\t1\tCode\t" + huge}));
    EXPECT_EQ(list.cell(5, 5)->DescrLine1.size(), huge.size());
}

TEST_F(DiagnosticListTest, ShippedListDescribesEveryErrorWord)
{
    ASSERT_TRUE(list.Load());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(list.rowCount(), DiagnosticList::RowSlots);
    EXPECT_EQ(list.distinctRows(), DiagnosticList::RowSlots);

    QSet<QString> words;
    QSet<int> numbers;
    for (int r = 0; r < DiagnosticList::RowSlots; ++r) {
        SCOPED_TRACE(r);
        ASSERT_NE(list.cell(r, 0), nullptr);
        const QString word = list.cell(r, 0)->DescrLine1;
        EXPECT_FALSE(words.contains(word)); // list items of different words never collide
        words.insert(word);
        for (int b = 0; b < DiagnosticList::BitSlots; ++b) {
            const CDiagnosticData *d = list.cell(r, b);
            if (!d)
                continue;
            SCOPED_TRACE(b);
            EXPECT_LT(b, 8); // the rows show eight bits
            EXPECT_FALSE(d->Code.isEmpty());
            EXPECT_LE(d->Code.size(), 18);
            if (r == 0 && b == 6) { // the ready bit: a caption on the row, never an error
                EXPECT_EQ(d->Code, "Ready");
                EXPECT_TRUE(d->DescrLine1.isEmpty());
                continue;
            }
            EXPECT_EQ(d->DescrLine1, word);
            EXPECT_FALSE(d->DescrLine2.isEmpty());
            EXPECT_FALSE(d->DescrLine3.isEmpty());
            EXPECT_FALSE(d->DescrLine4.isEmpty());
            EXPECT_FALSE(numbers.contains(d->EntryNumber));
            numbers.insert(d->EntryNumber);
        }
    }
    // the sections' rows describe both coils
    for (int r = 3; r <= 6; ++r)
        for (int b = 0; b < 8; ++b)
            EXPECT_NE(list.cell(r, b), nullptr) << r << "," << b;
    EXPECT_TRUE(list.cell(0, 7)->DescrLine3.contains(QChar(0x00B0)));
}
