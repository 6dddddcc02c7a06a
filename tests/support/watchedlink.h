#pragma once

#include "componentfactory.h"
#include "devicelinkapi.h"

#include <QVariant>
#include <algorithm>
#include <functional>
#include <memory>

// The real device-link component, watched: every access is counted, the
// most accesses in flight at once are kept, and a test may act at each one.
struct LinkWatch
{
    int accesses = 0;
    int inFlight = 0;
    int mostInFlight = 0;
    std::function<void()> onAccess; // called as each access begins
};

class WatchedLinkFactory : public IDeviceLinkFactory
{
public:
    LinkWatch watch;

    std::unique_ptr<IDeviceLinkManager> create(const QString &progId) override
    {
        auto inner = m_components.create(progId);
        return inner ? std::make_unique<Manager>(std::move(inner), watch) : nullptr;
    }

private:
    class Link : public IDeviceLink
    {
    public:
        Link(std::shared_ptr<IDeviceLink> inner, LinkWatch &watch) : m_inner(std::move(inner)), m_watch(watch) {}
        bool readPar(int32_t a, int32_t b, int16_t t, double &value) override
        {
            return watched([&] { return m_inner->readPar(a, b, t, value); });
        }
        bool writePar(int32_t a, int32_t b, int16_t t, const QVariant &value) override
        {
            return watched([&] { return m_inner->writePar(a, b, t, value); });
        }
        void setTimeout(int ms) override { m_inner->setTimeout(ms); }
        int timeout() const override { return m_inner->timeout(); }
        void ErrTimeOut() override { m_inner->ErrTimeOut(); }
        LinkFault lastFault() const override { return m_inner->lastFault(); }

    private:
        template <typename Access>
        bool watched(Access access)
        {
            ++m_watch.accesses;
            m_watch.mostInFlight = std::max(m_watch.mostInFlight, ++m_watch.inFlight);
            if (m_watch.onAccess)
                m_watch.onAccess();
            const bool ok = access();
            --m_watch.inFlight;
            return ok;
        }
        std::shared_ptr<IDeviceLink> m_inner;
        LinkWatch &m_watch;
    };

    class Manager : public IDeviceLinkManager
    {
    public:
        Manager(std::unique_ptr<IDeviceLinkManager> inner, LinkWatch &watch) : m_inner(std::move(inner)), m_watch(watch) {}
        bool Open(const QString &connection, QString *error) override { return m_inner->Open(connection, error); }
        std::shared_ptr<IDeviceLink> DeviceLink_AddRef() override
        {
            auto link = m_inner->DeviceLink_AddRef();
            return link ? std::make_shared<Link>(link, m_watch) : nullptr;
        }

    private:
        std::unique_ptr<IDeviceLinkManager> m_inner;
        LinkWatch &m_watch;
    };

    ComponentFactory m_components;
};
