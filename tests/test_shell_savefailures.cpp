// The main window's Save when the configuration file cannot be replaced: the
// file saved before stays byte for byte, the user is told, the edit still
// counts as unsaved, and the same Save goes through once the cause is gone.
#include "filesizelimit.h"
#include "frmcomment.h"
#include "readonlyfolder.h"
#include "shellfixture.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>

namespace {

class SaveFailure : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        QDir().mkpath(folder.file(QStringLiteral("saves")));
        path = folder.file(QStringLiteral("saves/set1.txt"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(previous);
        f.close();
        session.catalogue.entry(KRV_RAMP_TRISE_0)->KRVSetVar(800);
        tick();
        ASSERT_EQ(fileBox(), QStringLiteral("FILE TO SAVE"));
    }

    void save()
    {
        dialogs.answers.push_back(path);
        window->toolButton(2)->trigger();
    }

    QByteArray bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void expectNotSavedAndKept()
    {
        ASSERT_EQ(messages.shown.size(), 2);
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("File Already Exist : Overwrite ?"));
        EXPECT_EQ(messages.shown[1].text, QStringLiteral("Configuration NOT SAVED!"));
        EXPECT_EQ(messages.shown[1].icon, MessageService::Icon::Critical);
        EXPECT_EQ(bytes(), previous);
        EXPECT_EQ(QDir(folder.file(QStringLiteral("saves"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"set1.txt"}) << "no half-written file left behind";
        EXPECT_FALSE(session.catalogue.ConfigSaved);
        EXPECT_NE(window->commentPage()->fileName(), QStringLiteral("set1.txt"));
        tick();
        EXPECT_EQ(fileBox(), QStringLiteral("FILE TO SAVE")) << "the edit is still unsaved";
    }

    void expectSecondSaveGoesThrough()
    {
        messages.shown.clear();
        save();
        EXPECT_EQ(messages.lastText(), QStringLiteral(" Configuration SAVED "));
        EXPECT_TRUE(bytes().startsWith(";---")) << bytes().left(40).toStdString();
        tick();
        EXPECT_EQ(fileBox(), QStringLiteral("FILE OK"));
    }

    const QByteArray previous = ";-------------------------------------------\rearlier save\r\n";
    QString path;
};

} // namespace

TEST_F(SaveFailure, FullDisk)
{
    {
        FileSizeLimit full(256);
        ASSERT_TRUE(full.active());
        save();
    }
    expectNotSavedAndKept();
    expectSecondSaveGoesThrough();
}

TEST_F(SaveFailure, FolderThatRefusesNewFiles)
{
    {
        ReadOnlyFolder readOnly(folder.file(QStringLiteral("saves")));
        if (!readOnly.ready())
            GTEST_SKIP() << readOnly.why().toStdString();
        save();
    }
    expectNotSavedAndKept();
    expectSecondSaveGoesThrough();
}
