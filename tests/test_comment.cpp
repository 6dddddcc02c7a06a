// The file comment page: its five fields, the edited flag, and the comment
// block through a real save and load of a configuration file.
#include "pagetestbed.h"

#include "commentinfo.h"
#include "frmcomment.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Separator = QStringLiteral(";-------------------------------------------");

class CommentPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page = std::make_unique<FrmComment>(bed.context());
        bed.session.commentPage = page.get();
        // the page's own entries (the key page's) are what a file of it holds
        pages.pages = {page.get()};
        bed.session.pages = &pages;
        bed.session.CommentEdited = false;
    }

    template<typename T = QWidget>
    T *w(const QString &name) const
    {
        T *found = page->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void typeLine(const QString &edit, const QString &text) { QTest::keyClicks(w<QLineEdit>(edit), text); }
    QByteArray readBytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    PageTestBed bed;
    FakePageSet pages;
    std::unique_ptr<FrmComment> page;
};

const char *const Boxes[] = {"txtAutor", "txtDate", "TxtRevision", "TxtCompany"};

} // namespace

TEST_F(CommentPageTest, FieldsCaptionsAndPageMembers)
{
    const std::pair<const char *, const char *> labels[] = {
        {"lblAutor", "Author:"},       {"lblData", "Date:"},  {"LblRevision", "Revision:"}, {"LblCompany", "Company:"},
        {"LblInfo", "Additional Comments:"}, {"Label2", "File Name:"}};
    for (const auto &[name, caption] : labels)
        EXPECT_EQ(w<QLabel>(QString::fromLatin1(name))->text(), QString::fromLatin1(caption)) << name;
    for (const char *box : Boxes)
        w<QLineEdit>(QString::fromLatin1(box));
    w<QPlainTextEdit>(QStringLiteral("TxtInfo"));
    w<QLabel>(QStringLiteral("lblName"));

    EXPECT_EQ(page->windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(page->ReadKey(), 10000);
    EXPECT_EQ(page->WriteKey(), 10001);
    EXPECT_EQ(page->CheckDataToWrite(), QString());
    EXPECT_FALSE(page->StatusTimerForm());
}

TEST_F(CommentPageTest, TypingInAnyBoxMarksTheCommentEdited)
{
    for (const char *box : Boxes) {
        bed.session.CommentEdited = false;
        typeLine(QString::fromLatin1(box), QStringLiteral("x"));
        EXPECT_TRUE(bed.session.CommentEdited) << box;
    }
    bed.session.CommentEdited = false;
    QTest::keyClicks(w<QPlainTextEdit>(QStringLiteral("TxtInfo")), QStringLiteral("y"));
    EXPECT_TRUE(bed.session.CommentEdited);

    bed.session.CommentEdited = false;
    page->setFileName(QStringLiteral("a.txt"));   // the file name is no comment field
    EXPECT_FALSE(bed.session.CommentEdited);
}

TEST_F(CommentPageTest, EmptyBoxesGiveTheBareBlock)
{
    EXPECT_EQ(page->BuildInfoStr(), Separator + "\rAuthor:\t\t\rDate:\t\t\rRevision:\t\t\rCompany:\t\t\r"
                                        "Additional Comments:\t\r\t\r" + Separator + "\r");
}

TEST_F(CommentPageTest, TwoLineCommentGetsATabOnItsSecondLine)
{
    auto *info = w<QPlainTextEdit>(QStringLiteral("TxtInfo"));
    QTest::keyClicks(info, QStringLiteral("first line"));
    QTest::keyClick(info, Qt::Key_Return);
    QTest::keyClicks(info, QStringLiteral("second line"));
    typeLine(QStringLiteral("txtAutor"), QStringLiteral("Ann"));
    const QString block = page->BuildInfoStr();
    EXPECT_TRUE(block.contains("Author:\tAnn\t\r")) << block.toStdString();
    EXPECT_TRUE(block.contains("Additional Comments:\t\r\tfirst line\r\n\tsecond line\r" + Separator))
        << block.toStdString();
}

TEST_F(CommentPageTest, FieldsRoundTripThroughSaveAndLoad)
{
    const QString latin = QString::fromUtf8("Z\u00fcrich Hydraulik, Ltd");
    typeLine(QStringLiteral("txtAutor"), QStringLiteral("Bo Tester"));
    typeLine(QStringLiteral("txtDate"), QStringLiteral("09/12/2026"));
    typeLine(QStringLiteral("TxtRevision"), QStringLiteral("7b"));
    w<QLineEdit>(QStringLiteral("TxtCompany"))->setText(latin);
    // blanks that start a line, and a line that reads like the separator, are kept
    const QString info = "Pump 2, left side\n  retuned\n" + Separator + "\n\n\tend";
    w<QPlainTextEdit>(QStringLiteral("TxtInfo"))->setPlainText(info);

    const QString first = bed.folder.path(QStringLiteral("first.txt"));
    ASSERT_TRUE(bed.session.file.SaveConfig(first));

    for (const char *box : Boxes)
        w<QLineEdit>(QString::fromLatin1(box))->clear();
    w<QPlainTextEdit>(QStringLiteral("TxtInfo"))->clear();
    bed.session.CommentEdited = false;

    EXPECT_EQ(bed.session.file.LoadConfig(first, QStringLiteral("first.txt")).reason, QString());
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("txtAutor"))->text(), QStringLiteral("Bo Tester"));
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("txtDate"))->text(), QStringLiteral("09/12/2026"));
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("TxtRevision"))->text(), QStringLiteral("7b"));
    EXPECT_EQ(w<QLineEdit>(QStringLiteral("TxtCompany"))->text(), latin);
    EXPECT_EQ(w<QPlainTextEdit>(QStringLiteral("TxtInfo"))->toPlainText(), info);
    EXPECT_EQ(w<QLabel>(QStringLiteral("lblName"))->text(), QStringLiteral("first.txt"));
    EXPECT_EQ(page->fileName(), QStringLiteral("first.txt"));
    EXPECT_TRUE(bed.session.CommentEdited);   // the main window's Load clears it afterwards

    // Saving what was loaded gives the same file: nothing grows with each round.
    const QString second = bed.folder.path(QStringLiteral("second.txt"));
    ASSERT_TRUE(bed.session.file.SaveConfig(second));
    EXPECT_EQ(readBytes(second), readBytes(first));
}

TEST_F(CommentPageTest, LoadOfAFileWithoutCommentsEmptiesTheFields)
{
    typeLine(QStringLiteral("txtAutor"), QStringLiteral("someone"));
    w<QPlainTextEdit>(QStringLiteral("TxtInfo"))->setPlainText(QStringLiteral("old"));
    const QString path = bed.folder.path(QStringLiteral("bare.txt"));
    // a file saved with all boxes empty by another page
    PageTestBed other;
    FrmComment empty(other.context());
    other.session.commentPage = &empty;
    other.session.pages = &pages;
    ASSERT_TRUE(other.session.file.SaveConfig(path));

    EXPECT_EQ(bed.session.file.LoadConfig(path, QStringLiteral("bare.txt")).reason, QString());
    for (const char *box : Boxes)
        EXPECT_EQ(w<QLineEdit>(QString::fromLatin1(box))->text(), QString()) << box;
    EXPECT_EQ(w<QPlainTextEdit>(QStringLiteral("TxtInfo"))->toPlainText(), QString());
    EXPECT_EQ(page->fileName(), QStringLiteral("bare.txt"));
}

TEST_F(CommentPageTest, HelpKeyOpensTheManualAtPage34)
{
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    w(QStringLiteral("txtDate"))->setFocus();
    QTest::keyClick(w(QStringLiteral("txtDate")), Qt::Key_F1);
    ASSERT_EQ(bed.viewer.calls.size(), 1);
    EXPECT_TRUE(bed.viewer.calls[0].second.startsWith(QStringLiteral("/A \"page=34&")));
}
