#pragma once

#include <QString>
#include <gtest/gtest.h>

// Puts a link fault and what the test saw happen into the test's XML report
// (GTEST_OUTPUT), from which tools/reliability.sh prints its fault table.
inline void recordFault(const QString &fault, const QString &outcome)
{
    ::testing::Test::RecordProperty("fault", fault.toStdString());
    ::testing::Test::RecordProperty("outcome", outcome.toStdString());
}

// A text as the outcome quotes it.
inline QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
