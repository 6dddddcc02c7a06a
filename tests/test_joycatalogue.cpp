#include "fakemessageservice.h"
#include "joycatalogue.h"
#include "tempfile.h"

#include <QDir>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kCorrupted = QStringLiteral("'JoyList.ini' file NOT FOUND or CORRUPTED");

// A record line: name, six fixed numbers' worth of fields and the axis pairs.
QString record(const QString &name, const QString &axisNum, const QString &id, const QStringList &pairs = {"1", "0"})
{
    QStringList f{name, "C-" + name, "d1", "d2", "d3", "d4", "1", axisNum, id};
    f += pairs;
    return f.join('\t');
}

class JoyCatalogueTest : public ::testing::Test
{
protected:
    // Writes a catalogue with a header and the given lines (CR LF ended) and loads it.
    bool load(const QStringList &lines)
    {
        QByteArray bytes = "Name\tCode\tD1\tD2\tD3\tD4\tAvail\tAxes\tID\tC1\tA1\r\n";
        for (const QString &l : lines)
            bytes += l.toLatin1() + "\r\n";
        return loadBytes(bytes);
    }
    bool loadBytes(const QByteArray &bytes)
    {
        return catalogue.LoadJoyCatalogue(folder.write("JoylistNew.ini", bytes), pictures());
    }
    QString pictures() const { return folder.path("joy"); }
    void writePicture(const QString &file, const QColor &colour) const
    {
        QDir().mkpath(pictures());
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(pictures() + '/' + file, "JPG"));
    }
    void expectFailed()
    {
        EXPECT_EQ(catalogue.JoyCount, 0);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, kCorrupted);
        EXPECT_EQ(messages.shown[0].buttons, MessageService::Buttons::Ok);
    }

    TempFolder folder;
    FakeMessageService messages;
    JoyCatalogue catalogue{&messages};
};

} // namespace

TEST_F(JoyCatalogueTest, HeaderOnlyGivesNoRecordsAndNoMessage)
{
    EXPECT_TRUE(load({}));
    EXPECT_EQ(catalogue.JoyCount, 0);
    EXPECT_EQ(catalogue.NotUsedJoyID, 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(JoyCatalogueTest, MissingOrEmptyFileFails)
{
    EXPECT_FALSE(catalogue.LoadJoyCatalogue(folder.path("absent.ini"), pictures()));
    expectFailed();
    messages.shown.clear();
    EXPECT_FALSE(loadBytes(""));
    expectFailed();
}

TEST_F(JoyCatalogueTest, FieldsOfARecord)
{
    const QByteArray line = "JA330\tKJ-A330\tAnalogue\tThree axes\tKnob \xb1"
                            "30\xb0\tEnd\t0\t3\t&H000A\t&H0001\t-5\t17\t2.5\t&HFFFF\t32767\r\n";
    ASSERT_TRUE(loadBytes("header\r\n" + line));
    ASSERT_EQ(catalogue.JoyCount, 1);
    const CJoyData *joy = catalogue.entry(0);
    ASSERT_NE(joy, nullptr);
    EXPECT_EQ(joy->JoyName, "JA330");
    EXPECT_EQ(joy->JoyCode, "KJ-A330");
    EXPECT_EQ(joy->Descr1, "Analogue");
    EXPECT_EQ(joy->Descr2, "Three axes");
    EXPECT_EQ(joy->Descr3, QString::fromUtf8("Knob \u00b130\u00b0"));
    EXPECT_EQ(joy->Descr4, "End");
    EXPECT_EQ(joy->Available, 0);
    EXPECT_EQ(joy->AxisNum, 3);
    EXPECT_EQ(joy->JoyID, 10);
    EXPECT_EQ(joy->AxisConfig1, 1);
    EXPECT_EQ(joy->AxisAux1, -5);
    EXPECT_EQ(joy->AxisConfig2, 17);
    EXPECT_EQ(joy->AxisAux2, 2); // half to the even number
    EXPECT_EQ(joy->AxisConfig3, -1);
    EXPECT_EQ(joy->AxisAux3, 32767);
    EXPECT_EQ(joy->AxisConfig4, 0);
    EXPECT_EQ(joy->AxisAux4, 0);
}

TEST_F(JoyCatalogueTest, AxisCountDecidesWhichPairsAreRead)
{
    // one axis: fields 12 and after are ignored, even when they are not numbers
    ASSERT_TRUE(load({record("ONE", "1", "4", {"1", "2", "junk", "9", "9"})}));
    const CJoyData *one = catalogue.entry(0);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->AxisConfig1, 1);
    EXPECT_EQ(one->AxisAux1, 2);
    EXPECT_EQ(one->AxisConfig2, 0);
    EXPECT_EQ(one->AxisAux2, 0);

    // two axes need fields 12 and 13
    EXPECT_FALSE(load({record("TWO", "2", "4", {"1", "2"})}));
    expectFailed();
    messages.shown.clear();

    // a count outside 1 to 4 reads all four pairs
    ASSERT_TRUE(load({record("ZERO", "0", "4", {"1", "2", "3", "4", "5", "6", "7", "8"})}));
    EXPECT_EQ(catalogue.entry(0)->AxisAux4, 8);
    EXPECT_FALSE(load({record("FIVE", "5", "4", {"1", "2", "3", "4", "5", "6"})}));
    expectFailed();
}

TEST_F(JoyCatalogueTest, FourAxesFillEveryPair)
{
    ASSERT_TRUE(load({record("FOUR", "4", "9", {"1", "2", "3", "4", "5", "6", "7", "8", "99"})}));
    const CJoyData *joy = catalogue.entry(0);
    ASSERT_NE(joy, nullptr);
    const int16_t got[] = {joy->AxisConfig1, joy->AxisAux1, joy->AxisConfig2, joy->AxisAux2,
                           joy->AxisConfig3, joy->AxisAux3, joy->AxisConfig4, joy->AxisAux4};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(got[i], i + 1);
}

TEST_F(JoyCatalogueTest, BadNumbersFailTheWholeLoad)
{
    const QStringList bad{record("A", "", "1"),           record("A", "x1", "1"),
                          record("A", "1", "32768"),      record("A", "1", "-32769"),
                          record("A", "1", "&HFFFFF"),    record("A", "1", "1", {"1"}),
                          record("A", "1", "1", {"", "0"}), "A\tB\tC",
                          QString(),                      QStringLiteral("\t\t\t\t\t\t\t\t\t\t")};
    for (const QString &line : bad) {
        SCOPED_TRACE(line.toStdString());
        messages.shown.clear();
        EXPECT_FALSE(load({record("GOOD", "1", "3"), line}));
        expectFailed();
        // the record before the failing line stays in its slot but counts as absent
        ASSERT_NE(catalogue.JoyList[0], nullptr);
        EXPECT_EQ(catalogue.JoyList[0]->JoyName, "GOOD");
        EXPECT_EQ(catalogue.entry(0), nullptr);
    }
    // bytes above 127 in a number are not a number either
    messages.shown.clear();
    EXPECT_FALSE(loadBytes("h\r\nA\tB\t\t\t\t\t1\t1\t\xb2\t1\t0\r\n"));
    expectFailed();
}

TEST_F(JoyCatalogueTest, SeventeenRecordsFitButNotEighteen)
{
    QStringList lines;
    for (int i = 0; i < 17; ++i)
        lines << record(QStringLiteral("J%1").arg(i), "1", QString::number(i));
    ASSERT_TRUE(load(lines));
    EXPECT_EQ(catalogue.JoyCount, 17);
    EXPECT_EQ(catalogue.entry(16)->JoyName, "J16");
    EXPECT_TRUE(messages.shown.isEmpty());

    lines << record("J17", "1", "17");
    EXPECT_FALSE(load(lines));
    expectFailed();
    EXPECT_EQ(catalogue.entry(0), nullptr);
}

TEST_F(JoyCatalogueTest, NotUsedRecordGivesItsIdentifier)
{
    ASSERT_TRUE(load({record("A", "1", "3"), record("B", "1", "4")}));
    EXPECT_EQ(catalogue.NotUsedJoyID, 0);

    ASSERT_TRUE(load({record("A", "1", "3"), record("NOTUSED", "1", "8"), record("B", "1", "4")}));
    EXPECT_EQ(catalogue.NotUsedJoyID, 8);

    // the later one wins; the name is matched exactly
    ASSERT_TRUE(load({record("NOTUSED", "1", "8"), record("notused", "1", "5"), record("NOTUSED", "1", "12")}));
    EXPECT_EQ(catalogue.NotUsedJoyID, 12);

    // a failed load counts no record, and so no "NOTUSED" either
    EXPECT_FALSE(load({record("NOTUSED", "1", "8"), record("BAD", "1", "")}));
    EXPECT_EQ(catalogue.NotUsedJoyID, 0);
}

TEST_F(JoyCatalogueTest, PicturesAreTakenWhenTheirFilesExist)
{
    writePicture("JA220.jpg", Qt::red);
    writePicture("JA220_X.jpg", Qt::blue);
    writePicture("JA220_W.jpg", Qt::green);
    ASSERT_TRUE(load({record("JA220", "2", "3", {"1", "0", "17", "0"})}));
    const CJoyData *joy = catalogue.entry(0);
    ASSERT_NE(joy, nullptr);
    EXPECT_FALSE(joy->Picture.isNull());
    EXPECT_GT(qRed(joy->Picture.pixel(4, 4)), 200);
    EXPECT_GT(qBlue(joy->PictureX.pixel(4, 4)), 200);
    EXPECT_FALSE(joy->PictureW.isNull());
    EXPECT_TRUE(joy->PictureD.isNull());
    EXPECT_TRUE(joy->PictureY.isNull());
    EXPECT_TRUE(joy->PictureZ.isNull());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(JoyCatalogueTest, UnreadablePictureOrForeignPathStaysEmpty)
{
    QDir().mkpath(pictures());
    folder.write("joy/BROKEN.jpg", "this is no picture");
    // a picture beside the picture folder must not be reachable through the name
    writePicture("../OUTSIDE.jpg", Qt::red);
    ASSERT_TRUE(load({record("BROKEN", "1", "1"), record("../OUTSIDE", "1", "2"), record("", "1", "3")}));
    EXPECT_EQ(catalogue.JoyCount, 3);
    EXPECT_TRUE(catalogue.entry(0)->Picture.isNull());
    EXPECT_TRUE(catalogue.entry(1)->Picture.isNull());
    EXPECT_TRUE(catalogue.entry(2)->Picture.isNull());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(JoyCatalogueTest, PictureOfAnIndexThatIsNoLoadedRecordIsEmpty)
{
    writePicture("A.jpg", Qt::red);
    ASSERT_TRUE(load({record("A", "1", "0"), record("B", "1", "1")}));
    EXPECT_FALSE(catalogue.picture(0).isNull());
    EXPECT_TRUE(catalogue.picture(1).isNull()); // loaded, but no picture file
    for (int index : {-1, 2, 16, 17, 32767, -32768})
        EXPECT_TRUE(catalogue.picture(index).isNull()) << index;
    EXPECT_EQ(catalogue.entry(2), nullptr);
}

TEST_F(JoyCatalogueTest, LongLinesAndStrayLineEnds)
{
    const QString huge(200000, QLatin1Char('x'));
    QStringList f{"BIG", huge, "d1", "d2", "d3", "d4", "1", "1", "7", "1", "0"};
    // a bare CR ends a line as well as CR LF; a last line without line end counts
    const QByteArray bytes = "h\r" + f.join('\t').toLatin1() + "\n" + record("LAST", "1", "8").toLatin1();
    ASSERT_TRUE(loadBytes(bytes));
    ASSERT_EQ(catalogue.JoyCount, 2);
    EXPECT_EQ(catalogue.entry(0)->JoyCode.size(), huge.size());
    EXPECT_EQ(catalogue.entry(1)->JoyID, 8);
}

TEST_F(JoyCatalogueTest, ShippedCatalogueLoadsCompletely)
{
    ASSERT_TRUE(catalogue.LoadJoyCatalogue());
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_EQ(catalogue.JoyCount, JoyCatalogue::MaxRecords);
    for (int i = 0; i < catalogue.JoyCount; ++i) {
        const CJoyData *joy = catalogue.entry(i);
        SCOPED_TRACE(joy->JoyName.toStdString());
        EXPECT_EQ(joy->JoyID, i);
        EXPECT_FALSE(joy->JoyCode.isEmpty());
        EXPECT_FALSE(joy->Descr1.isEmpty());
        EXPECT_FALSE(joy->Picture.isNull());
        EXPECT_FALSE(joy->PictureD.isNull());
        if (joy->JoyName == QLatin1String("NOTUSED"))
            continue;
        ASSERT_GE(joy->AxisNum, 1);
        ASSERT_LE(joy->AxisNum, 4);
        const QImage *axes[] = {&joy->PictureX, &joy->PictureY, &joy->PictureZ, &joy->PictureW};
        for (int a = 0; a < 4; ++a)
            EXPECT_EQ(axes[a]->isNull(), a >= joy->AxisNum) << "axis " << a;
    }
    // the identifiers the joystick window derives from a channel: proportional
    // X, Y or another word, digital, and "OFF" for an input that is not used
    EXPECT_EQ(catalogue.entry(0)->AxisConfig1, 0x0001);
    EXPECT_EQ(catalogue.entry(1)->AxisConfig1, 0x0011);
    EXPECT_EQ(catalogue.entry(2)->AxisConfig1 & 0x0F, 1);
    EXPECT_GE(catalogue.entry(5)->AxisConfig1 & 0x0F, 2);
    EXPECT_EQ(catalogue.entry(8)->JoyName, "NOTUSED");
    EXPECT_EQ(catalogue.NotUsedJoyID, 8);

    // the models past the channel identifiers, up to the last index the
    // controller can hold; the next index has no picture
    struct Model
    {
        const char *name, *code;
        int available, axes;
        uint16_t config[4];
    };
    const Model models[] = {{"JA225", "KJ-A225", 1, 2, {0x0001, 0x0011}},
                            {"JG230", "KJ-G230", 1, 3, {0x0001, 0x0011, 0x2102}},
                            {"RC200", "KJ-R200", 1, 2, {0x0001, 0x0011}},
                            {"KN270", "KJ-K270", 1, 1, {0x0001}},
                            {"FT110", "KJ-F110", 0, 1, {0x0001}}};
    for (int i = 0; i < 5; ++i) {
        const CJoyData *joy = catalogue.entry(12 + i);
        const Model &m = models[i];
        SCOPED_TRACE(m.name);
        EXPECT_EQ(joy->JoyName, m.name);
        EXPECT_EQ(joy->JoyCode, m.code);
        EXPECT_EQ(joy->Available, m.available);
        EXPECT_EQ(joy->AxisNum, m.axes);
        const int16_t got[] = {joy->AxisConfig1, joy->AxisConfig2, joy->AxisConfig3, joy->AxisConfig4};
        for (int a = 0; a < 4; ++a)
            EXPECT_EQ(uint16_t(got[a]), m.config[a]) << "axis " << a;
    }
    EXPECT_EQ(catalogue.entry(15)->Descr2, QString::fromUtf8("One axis, knob travel 270\u00b0"));
    EXPECT_EQ(catalogue.picture(16), catalogue.entry(16)->Picture);
    EXPECT_TRUE(catalogue.picture(17).isNull());
}
