#pragma once

#include <QString>
#include <QStringList>

// Comma-separated text as the program writes it (monitor logs, tables):
// a field with a comma, quote or line break is quoted, quotes doubled.
namespace CsvText {

QString field(const QString &text);
// The fields quoted as needed and joined with commas, no line end.
QString row(const QStringList &fields);

} // namespace CsvText
