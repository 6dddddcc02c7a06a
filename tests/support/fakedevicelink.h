#pragma once

#include "devicelinkapi.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <memory>

// An in-memory controller behind a fake device-link component: words by
// address, 32-bit values by raw address, a log of every "Par" access, and a
// failure that can be scripted at the Nth access. Tests keep the controller
// and hand the factory to DevLink.
struct FakeController
{
    struct Access
    {
        bool write;
        int32_t a;
        int32_t b;
        int16_t t;
        QVariant value;   // the written value, or the value read
    };

    QMap<int32_t, uint16_t> words;   // word memory by 24-bit address
    QMap<int32_t, int32_t> longs;    // values by raw address (ReadValue / WriteLong)
    QList<Access> log;

    int failAt = 0;          // 1-based access number that fails; 0: none
    bool failFromThen = false; // with failAt: that access and every later one fail
    bool refuseOpen = false; // "Open" fails
    QString lastConnection;  // the connection string "Open" received
    int timeout = 1000;
    int errTimeOutCalls = 0;

    int accessCount() const { return log.size(); }
    int16_t word(int32_t address) const { return static_cast<int16_t>(words.value(address)); }
    void setWord(int32_t address, int32_t value) { words[address] = static_cast<uint16_t>(value); }

    // True when the coming access is to fail.
    bool failsNow()
    {
        const int n = log.size() + 1;
        return failAt != 0 && (n == failAt || (failFromThen && n > failAt));
    }
};

class FakeDeviceLink : public IDeviceLink
{
public:
    explicit FakeDeviceLink(std::shared_ptr<FakeController> c) : m_c(std::move(c)) {}

    bool readPar(int32_t a, int32_t b, int16_t t, double &value) override
    {
        const bool fail = m_c->failsNow();
        double v = 0;
        bool known = true;
        if (t == 2 && b >= 0 && b <= 255 && m_c->words.contains(a * 256 + b)) {
            v = m_c->words.value(a * 256 + b);           // word read: A high part, B low part
        } else if ((t == 2 || t == 3) && b == 0 && m_c->longs.contains(a)) {
            v = m_c->longs.value(a);                      // ReadValue at a raw address
        } else if (t == 2 && b >= 0 && b <= 255) {
            v = 0;                                        // unwritten word memory reads 0
        } else {
            known = false;
        }
        m_c->log.append({false, a, b, t, v});
        if (fail || !known)
            return false;
        value = v;
        return true;
    }

    bool writePar(int32_t a, int32_t b, int16_t t, const QVariant &value) override
    {
        const bool fail = m_c->failsNow();
        m_c->log.append({true, a, b, t, value});
        if (fail)
            return false;
        if (t == 3) {
            m_c->setWord(a * 256 + b, static_cast<int32_t>(value.toDouble()));
            return true;
        }
        if (t == 19 && b == 4) {
            bool ok = false;
            const qlonglong v = value.toString().toLongLong(&ok);
            if (!ok)
                return false;
            m_c->longs[a] = static_cast<int32_t>(v);
            return true;
        }
        return false;
    }

    void setTimeout(int milliseconds) override { m_c->timeout = milliseconds; }
    int timeout() const override { return m_c->timeout; }
    void ErrTimeOut() override { ++m_c->errTimeOutCalls; }

private:
    std::shared_ptr<FakeController> m_c;
};

class FakeDeviceLinkManager : public IDeviceLinkManager
{
public:
    explicit FakeDeviceLinkManager(std::shared_ptr<FakeController> c) : m_c(std::move(c)) {}

    bool Open(const QString &connection, QString *error) override
    {
        m_c->lastConnection = connection;
        if (m_c->refuseOpen) {
            if (error)
                *error = QStringLiteral("port refused");
            return false;
        }
        m_open = true;
        return true;
    }

    std::shared_ptr<IDeviceLink> DeviceLink_AddRef() override
    {
        return m_open ? std::make_shared<FakeDeviceLink>(m_c) : nullptr;
    }

private:
    std::shared_ptr<FakeController> m_c;
    bool m_open = false;
};

// Answers only to the registered name, like the real factory.
class FakeDeviceLinkFactory : public IDeviceLinkFactory
{
public:
    std::shared_ptr<FakeController> controller = std::make_shared<FakeController>();
    int created = 0;

    std::unique_ptr<IDeviceLinkManager> create(const QString &progId) override
    {
        if (progId != QLatin1String("DevLinkMng.DeviceLinkMng.1"))
            return nullptr;
        ++created;
        return std::make_unique<FakeDeviceLinkManager>(controller);
    }
};
