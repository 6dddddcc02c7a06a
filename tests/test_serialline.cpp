#include "serialline.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A serial line opened on the program's side of a pseudo-terminal; the test
// plays the controller on the other side.
class SerialLineOnPty : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controller = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(controller, 0);
        ASSERT_EQ(::grantpt(controller), 0);
        ASSERT_EQ(::unlockpt(controller), 0);
        device = QString::fromLocal8Bit(::ptsname(controller));
        QString error;
        ASSERT_TRUE(line.open(device, ConnectionSettings(), &error)) << error.toStdString();
    }

    void TearDown() override
    {
        if (sender.joinable())
            sender.join();
        line.close();
        if (controller >= 0)
            ::close(controller);
    }

    // The controller sends `bytes`, one every `gap`, as a slow line delivers them.
    void sendPaced(std::vector<uint8_t> bytes, std::chrono::milliseconds gap)
    {
        sender = std::thread([this, bytes, gap] {
            for (uint8_t b : bytes) {
                std::this_thread::sleep_for(gap);
                // a byte the pty refuses shows as a missing byte in the test that reads it
                if (::write(controller, &b, 1) != 1)
                    break;
            }
        });
    }

    int controller = -1;
    QString device;
    SerialLine line;
    std::thread sender;
};

} // namespace

TEST_F(SerialLineOnPty, AReplyOfTheExpectedLengthIsTakenInOnePiece)
{
    const std::vector<uint8_t> reply = {0x11, 0x22, 0x33, 0x44, 0x55};
    sendPaced(reply, 3ms);
    uint8_t buffer[64];
    const int n = line.readSome(buffer, sizeof buffer, 1000, static_cast<int>(reply.size()));
    ASSERT_EQ(n, 5) << "the read waited for the whole reply, not for its first byte";
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + n), reply);
}

TEST_F(SerialLineOnPty, FewerBytesThanExpectedComeInWhenTheWaitRunsOut)
{
    // an error reply is shorter than the good reply the link waits for
    sendPaced({0xA1, 0xA2, 0xA3, 0xA4}, 1ms);
    sender.join();
    uint8_t buffer[64];
    QElapsedTimer clock;
    clock.start();
    const int n = line.readSome(buffer, sizeof buffer, 40, 5);
    EXPECT_EQ(n, 4);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(buffer[0], 0xA1);
    EXPECT_EQ(buffer[3], 0xA4);

    // nothing at all is still "nothing", not a lost line
    EXPECT_EQ(line.readSome(buffer, sizeof buffer, 20, 5), 0);
    EXPECT_FALSE(line.isBroken());

    // and the next read of a single byte is not held back by the last threshold
    sendPaced({0x7E}, 1ms);
    EXPECT_EQ(line.readSome(buffer, sizeof buffer, 1000, 1), 1);
    EXPECT_EQ(buffer[0], 0x7E);
}

TEST_F(SerialLineOnPty, AHangUpDuringTheWaitIsALostLine)
{
    sendPaced({0x01, 0x02}, 1ms);
    sender.join();
    ::close(controller);
    controller = -1;
    uint8_t buffer[64];
    int n = 0;
    // the two bytes sent before the hang-up may still be handed over first
    for (int i = 0; i < 3 && n >= 0; ++i)
        n = line.readSome(buffer, sizeof buffer, 200, 5);
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(line.isBroken());
}

TEST_F(SerialLineOnPty, AnOpenThatFailsNamesItsCause)
{
    line.close();
    // another serial program's lock file: its process number as text, the process alive
    const QString lockFile = QStringLiteral("/var/lock/LCK..") + device.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
    if (!QFileInfo(QStringLiteral("/var/lock")).isWritable())
        GTEST_SKIP() << "no lock folder to write to";
    {
        QFile lock(lockFile);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(qint64(::getppid())).rightJustified(10, ' ') + '\n');
    }
    QString error;
    EXPECT_FALSE(line.open(device, ConnectionSettings(), &error));
    EXPECT_EQ(error, QStringLiteral("in use by another program"));
    EXPECT_TRUE(QFile::exists(lockFile)) << "the other program's lock is left alone";
    ASSERT_TRUE(QFile::remove(lockFile));
    EXPECT_TRUE(line.open(device, ConnectionSettings(), &error)) << error.toStdString();

    line.close();
    EXPECT_FALSE(line.open(QStringLiteral("/dev/no-such-tty"), ConnectionSettings(), &error));
    EXPECT_EQ(error, QStringLiteral("no such device"));
    EXPECT_FALSE(line.isOpen());
}
