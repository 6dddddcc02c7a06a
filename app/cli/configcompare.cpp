#include "configcompare.h"

#include "ansitext.h"
#include "catalogue.h"
#include "commentinfo.h"
#include "configitemreader.h"
#include "cvardata.h"
#include "session.h"
#include "stringeval.h"
#include "vbnumber.h"

#include <QSet>

bool ConfigCompare::readFile(const QString &path, Side &side) const
{
    QString text;
    if (!AnsiText::readFile(path, text))
        return false;
    // the same reading rules as the program's loader: whole comment lines
    // up to the second separator, the column header, then one item per value line
    ConfigItemReader reader(text);
    reader.nextLine();
    bool valueMode = false;
    while (!reader.atEnd()) {
        if (!valueMode) {
            if (reader.nextLine().contains(CommentInfo::Separator)) {
                reader.nextLine();
                valueMode = true;
            }
            continue;
        }
        QString rest = reader.next();
        const QString description = StringEval::NextTabField(rest);
        if (description.isEmpty() || description.contains(QStringLiteral("---")))
            continue;
        const QString addressField = StringEval::NextTabField(rest);
        const QString valueText = StringEval::NextTabField(rest);
        QString hex = addressField;
        hex.remove(QLatin1Char('.'));
        bool ok = false;
        const uint address = hex.size() <= 8 ? hex.toUInt(&ok, 16) : 0;
        int found = 0;
        for (int i = 1; ok && i < m_catalogue.VarCount && !found; ++i) {
            if (m_catalogue.data(i)->Address == static_cast<int32_t>(address))
                found = i;
        }
        if (!found) {
            side.unknown.append(addressField.isEmpty() ? description : addressField);
            continue;
        }
        side.values.insert(found, VbNumber::saturateInt32(VbNumber::leadingNumber(valueText)));
    }
    return true;
}

ConfigCompare::Side ConfigCompare::fromSession(Session &session, const QString &label)
{
    Side side;
    side.label = label;
    for (int i = 1; i < session.catalogue.VarCount; ++i) {
        if (session.file.isSaved(i))
            side.values.insert(i, session.catalogue.data(i)->KrvDownloadValueE2);
    }
    return side;
}

QString ConfigCompare::displayText(int index, int32_t raw) const
{
    const CVarData *entry = m_catalogue.entry(index);
    QString text = QString::number(entry->DisplayFromRaw(raw));
    if (!entry->Data->Unit.isEmpty())
        text += QLatin1Char(' ') + entry->Data->Unit;
    return text;
}

int ConfigCompare::report(const Side &a, const Side &b, QTextStream &out) const
{
    const QString missing = QStringLiteral("(missing)");
    int differences = 0;
    for (int i = 1; i < m_catalogue.VarCount; ++i) {
        const bool inA = a.values.contains(i);
        const bool inB = b.values.contains(i);
        if (!inA && !inB)
            continue;
        // the controller keeps 16-bit words: 65535 and -1 are the same value
        if (inA && inB && uint16_t(a.values.value(i)) == uint16_t(b.values.value(i)))
            continue;
        ++differences;
        out << m_catalogue.data(i)->Name << '\t' << (inA ? displayText(i, a.values.value(i)) : missing) << '\t'
            << (inB ? displayText(i, b.values.value(i)) : missing) << '\n';
    }
    for (const QString &address : a.unknown) {
        ++differences;
        out << address << " (not in the catalogue)\t" << a.label << '\t' << missing << '\n';
    }
    for (const QString &address : b.unknown) {
        ++differences;
        out << address << " (not in the catalogue)\t" << missing << '\t' << b.label << '\n';
    }
    out.flush();
    return differences;
}
