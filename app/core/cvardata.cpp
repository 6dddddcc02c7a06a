#include "cvardata.h"

#include "catalogue.h"
#include "stringeval.h"
#include "vbnumber.h"

CVarData::CVarData(Catalogue *owner) : Data(std::make_unique<CVarDataS>()), m_owner(owner) {}

int32_t CVarData::DisplayFromRaw(int32_t raw) const
{
    if (Data->F_DownloadToDisplay.isEmpty())
        return raw;
    QString formula = Data->F_DownloadToDisplay;
    return VbNumber::saturateInt32(StringEval::EvaluateFormula(formula, raw));
}

void CVarData::ReadE2FromQEL(int32_t value)
{
    Data->QelValueE2 = value;
    Data->KrvDownloadValueE2 = value;
    Data->KrvDisplayValueE2 = DisplayFromRaw(value);
}

void CVarData::ReadRAMFromQEL(int32_t value)
{
    Data->QelValueRAM = value;
    Data->KrvDownloadValueRAM = value;
    if (Data->F_DownloadToDisplay.isEmpty()) {
        Data->KrvDisplayValueRAM = value;
        return;
    }
    QString formula = StringEval::SelectFormulaPart(Data->F_DownloadToDisplay, Data->CurrentTBXSystem);
    // an empty alternative folds to 0, as the evaluator does for any empty text
    Data->KrvDisplayValueRAM = StringEval::EvaluateFormula(formula, value);
}

void CVarData::WriteE2inQEL()
{
    Data->QelValueE2 = Data->KrvDownloadValueE2;
}

void CVarData::WriteRAMinQEL()
{
    Data->QelValueRAM = Data->KrvDownloadValueRAM;
}

void CVarData::LoadFromFile(int32_t value)
{
    Data->KrvDownloadValueE2 = value;
    Data->KrvDisplayValueE2 = DisplayFromRaw(value);
}

void CVarData::KRVSetVar(double displayValue)
{
    Data->KrvDisplayValueE2 = VbNumber::saturateInt32(displayValue);
    RecalcDownloadE2();
}

void CVarData::RecalcDownloadE2()
{
    if (m_owner)
        m_owner->ConfigSaved = false;
    if (Data->F_DisplayToDownload.isEmpty()) {
        Data->KrvDownloadValueE2 = Data->KrvDisplayValueE2;
        return;
    }
    QString formula = Data->F_DisplayToDownload;
    Data->KrvDownloadValueE2 =
        VbNumber::saturateInt32(StringEval::EvaluateFormula(formula, Data->KrvDisplayValueE2));
}

namespace {

// Address column: "0x" removed, left-padded with zeros, last `width` digits kept.
bool hexColumn(QString text, int width, uint32_t &out)
{
    text.remove(QStringLiteral("0x"));
    while (text.size() < width)
        text.prepend(QLatin1Char('0'));
    text = text.right(width);
    bool ok = false;
    out = text.toUInt(&ok, 16);
    // toUInt accepts a sign or spaces in places; only plain hex digits are an address
    for (QChar c : std::as_const(text))
        ok = ok && ((c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                    || (c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F')));
    return ok;
}

bool int16Column(const QString &text, int16_t &field)
{
    if (text.isEmpty())
        return true;
    double v = 0;
    int16_t out = 0;
    if (!VbNumber::parseNumber(text, v) || !VbNumber::toInt16(v, out))
        return false;
    field = out;
    return true;
}

bool int16ColumnToInt32(const QString &text, int32_t &field)
{
    int16_t v = 0;
    if (text.isEmpty())
        return true;
    if (!int16Column(text, v))
        return false;
    field = v;
    return true;
}

} // namespace

bool CVarData::Load(const QString &lineText, QString *problem)
{
    using StringEval::NextTabField;
    const auto fail = [problem](const char *reason) {
        if (problem)
            *problem = QLatin1String(reason);
        return false;
    };
    CVarDataS &d = *Data;
    d.QelValueE2 = 0;
    d.QelValueDefault = 0;
    d.QelValueRAM = 0;
    d.KrvDisplayValueE2 = 0;
    d.KrvDownloadValueE2 = 0;
    d.KrvDownloadValueRAM = 0;
    d.KrvDisplayValueRAM = 0.0;
    d.MonitorEnable = true;
    d.CurrentTBXSystem = 2;

    // a variable needs at least its name and both address columns: a blank
    // line or stray text is no variable at address 0
    if (lineText.count(QLatin1Char('\t')) < 2)
        return fail("no address columns");

    QString line = lineText;
    const QString name = NextTabField(line);
    if (!name.isEmpty())
        d.Name = name;

    uint32_t high = 0;
    uint32_t low = 0;
    if (!hexColumn(NextTabField(line), 4, high))
        return fail("column 2 is not a hexadecimal address");
    if (!hexColumn(NextTabField(line), 2, low))
        return fail("column 3 is not a hexadecimal address");
    d.Address = static_cast<int32_t>(high * 256 + low);

    if (m_owner)
        m_owner->SetVarID(NextTabField(line), d.VarID);
    else
        NextTabField(line);

    const QString tooltip = NextTabField(line);
    if (!tooltip.isEmpty())
        d.TooltipDecription = tooltip;
    if (!int16ColumnToInt32(NextTabField(line), d.QelValueDefault))
        return fail("column 6 is not a whole number from -32768 to 32767");
    if (!int16Column(NextTabField(line), d.TbxTypeID))
        return fail("column 7 is not a whole number from -32768 to 32767");
    if (!int16Column(NextTabField(line), d.KRVPageDomain))
        return fail("column 8 is not a whole number from -32768 to 32767");
    if (!int16ColumnToInt32(NextTabField(line), d.QelValE2Min))
        return fail("column 9 is not a whole number from -32768 to 32767");
    const QString maxText = NextTabField(line);
    if (!maxText.isEmpty()) {
        int32_t max = 0;
        if (!VbNumber::toInt32(VbNumber::leadingNumber(maxText), max))
            return fail("column 10 does not fit a 32-bit number");
        d.QelValE2Max = max;
    }

    if (line.isEmpty())
        return true;
    const QString unit = NextTabField(line);
    const QString monitorName = NextTabField(line);
    if (!unit.isEmpty())
        d.Unit = unit;
    if (!monitorName.isEmpty())
        d.MonitorName = monitorName;

    if (line.isEmpty())
        return true;
    const QString toDisplay = StringEval::LocalizeDecimal(NextTabField(line));
    const QString toDownload = StringEval::LocalizeDecimal(NextTabField(line));
    if (!toDisplay.isEmpty())
        d.F_DownloadToDisplay = toDisplay;
    if (!toDownload.isEmpty())
        d.F_DisplayToDownload = toDownload;
    return true;
}
