#include "clipageset.h"

class CliPageSet::Page : public PageWindow
{
public:
    Page(QString tag, int16_t readKey, int16_t writeKey) : m_tag(std::move(tag)), m_read(readKey), m_write(writeKey) {}
    QString Tag() const override { return m_tag; }
    int16_t ReadKey() const override { return m_read; }
    int16_t WriteKey() const override { return m_write; }
    QString CheckDataToWrite() override { return QString(); }
    void RefreshObject() override {}
    void DrawBar(StatusBarView &, ProgressBarView &, const QString &) override {}
    void DisableTimer() override {}
    bool StatusTimerForm() const override { return false; }

private:
    QString m_tag;
    int16_t m_read;
    int16_t m_write;
};

CliPageSet::CliPageSet()
{
    const struct { const char *tag; int16_t read; int16_t write; } pages[] = {
        {"A1", 10, 11}, {"A2", 0, 0}, {"A3", 0, 0}, {"A4", 10000, 10001}, {"A5", 0, 0}, {"A6", 10000, 10001}};
    for (const auto &p : pages)
        m_pages.push_back(std::make_unique<Page>(QString::fromLatin1(p.tag), p.read, p.write));
}

CliPageSet::~CliPageSet() = default;

QList<PageWindow *> CliPageSet::openPages() const
{
    QList<PageWindow *> list;
    for (const auto &p : m_pages)
        list.append(p.get());
    return list;
}

PageWindow *CliPageSet::currentPage() const
{
    return m_pages.front().get();
}
