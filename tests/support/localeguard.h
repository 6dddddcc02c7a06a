#pragma once

#include <QLocale>

// Sets the default locale for one test and puts the old one back.
class LocaleGuard
{
public:
    explicit LocaleGuard(QLocale::Language language, QLocale::Territory territory = QLocale::AnyTerritory)
        : m_saved(QLocale())
    {
        QLocale::setDefault(QLocale(language, territory));
    }
    ~LocaleGuard() { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};
