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
        return inner ? std::make_unique<Manager>(std::move(inner), watch, m_components, progId) : nullptr;
    }

    // the watched link answers block accesses too when the component's link does
    IDeviceBlockLink *blockLink(const QString &, IDeviceLink *link) override
    {
        auto *watched = dynamic_cast<Link *>(link);
        return watched && watched->innerBlocks() ? watched : nullptr;
    }

private:
    class Link : public IDeviceLink, public IDeviceBlockLink
    {
    public:
        Link(std::shared_ptr<IDeviceLink> inner, IDeviceBlockLink *innerBlocks, LinkWatch &watch)
            : m_inner(std::move(inner)), m_innerBlocks(innerBlocks), m_watch(watch)
        {
        }
        IDeviceBlockLink *innerBlocks() const { return m_innerBlocks; }
        bool takesBlocks() override { return m_innerBlocks->takesBlocks(); }
        bool readBlock(uint32_t address, int count, uint16_t *words) override
        {
            return watched([&] { return m_innerBlocks->readBlock(address, count, words); });
        }
        bool writeBlock(uint32_t address, int count, const uint16_t *words) override
        {
            return watched([&] { return m_innerBlocks->writeBlock(address, count, words); });
        }
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
        IDeviceBlockLink *m_innerBlocks;
        LinkWatch &m_watch;
    };

    class Manager : public IDeviceLinkManager
    {
    public:
        Manager(std::unique_ptr<IDeviceLinkManager> inner, LinkWatch &watch, ComponentFactory &components,
                QString progId)
            : m_inner(std::move(inner)), m_watch(watch), m_components(components), m_progId(std::move(progId))
        {
        }
        bool Open(const QString &connection, QString *error) override { return m_inner->Open(connection, error); }
        std::shared_ptr<IDeviceLink> DeviceLink_AddRef() override
        {
            auto link = m_inner->DeviceLink_AddRef();
            return link ? std::make_shared<Link>(link, m_components.blockLink(m_progId, link.get()), m_watch) : nullptr;
        }

    private:
        std::unique_ptr<IDeviceLinkManager> m_inner;
        LinkWatch &m_watch;
        ComponentFactory &m_components;
        QString m_progId;
    };

    ComponentFactory m_components;
};
