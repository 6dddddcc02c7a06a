#include "configitemreader.h"

ConfigItemReader::ConfigItemReader(QString text) : m_text(std::move(text)) {}

bool ConfigItemReader::atLineEnd() const
{
    return !atEnd() && (m_text[m_pos] == QLatin1Char('\r') || m_text[m_pos] == QLatin1Char('\n'));
}

bool ConfigItemReader::skipLineEnd()
{
    if (atEnd())
        return false;
    if (m_text[m_pos] == QLatin1Char('\r')) {
        ++m_pos;
        if (!atEnd() && m_text[m_pos] == QLatin1Char('\n'))
            ++m_pos;
        return true;
    }
    if (m_text[m_pos] == QLatin1Char('\n')) {
        ++m_pos;
        return true;
    }
    return false;
}

void ConfigItemReader::skipBlanks(bool tabs)
{
    while (!atEnd() && (m_text[m_pos] == QLatin1Char(' ') || (tabs && m_text[m_pos] == QLatin1Char('\t'))))
        ++m_pos;
}

QString ConfigItemReader::next()
{
    // a TAB is no blank here: it separates the fields of a value line
    skipBlanks(false);
    QString item;
    if (!atEnd() && m_text[m_pos] == QLatin1Char('"')) {
        const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        item = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? end : close + 1;
        // whatever follows the closing quote up to the separator is dropped
        while (!atEnd() && m_text[m_pos] != QLatin1Char(',') && !atLineEnd())
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (!atEnd() && m_text[m_pos] != QLatin1Char(',') && !atLineEnd())
            ++m_pos;
        item = m_text.mid(start, m_pos - start);
    }
    if (!atEnd() && m_text[m_pos] == QLatin1Char(','))
        ++m_pos;
    else
        skipLineEnd();
    return item;
}

QString ConfigItemReader::nextLine()
{
    skipBlanks(true);
    const qsizetype start = m_pos;
    while (!atEnd() && !atLineEnd())
        ++m_pos;
    const QString line = m_text.mid(start, m_pos - start);
    skipLineEnd();
    return line;
}
