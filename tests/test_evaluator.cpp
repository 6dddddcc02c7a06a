#include "localeguard.h"
#include "stringeval.h"
#include "streval.h"

#include <gtest/gtest.h>

namespace {

double evalProgram(const QString &formula, int32_t x = 0, int32_t y = 0, int32_t z = 0)
{
    QString text = formula;
    return StringEval::EvaluateFormula(text, x, y, z);
}

int32_t evalLibrary(const QString &formula, int32_t x = 0, int32_t y = 0, int32_t z = 0)
{
    QString text = formula;
    return StrEval::EvaluateFormula(text, x, y, z);
}

} // namespace

TEST(Evaluator, FoldsLeftToRightWithoutPrecedence)
{
    EXPECT_DOUBLE_EQ(evalProgram("2+3*4"), 20);
    EXPECT_DOUBLE_EQ(evalProgram("(2+3)*4"), 20);
    EXPECT_DOUBLE_EQ(evalProgram("2+(3*4)"), 14);
    EXPECT_DOUBLE_EQ(evalProgram("10-2-3"), 5);
    EXPECT_DOUBLE_EQ(evalProgram("X/10", 123), 12.3);
    EXPECT_DOUBLE_EQ(evalProgram("7&3"), 3);
    EXPECT_DOUBLE_EQ(evalProgram("2^10"), 1024);
    EXPECT_DOUBLE_EQ(evalProgram("0*3+4"), 4);
    EXPECT_DOUBLE_EQ(evalProgram("((1+2)*(3+4))/7"), 3);
}

TEST(Evaluator, OperatorEdgeCases)
{
    EXPECT_DOUBLE_EQ(evalProgram(""), 0);
    EXPECT_DOUBLE_EQ(evalProgram("10+-2+-3"), 5);
    EXPECT_DOUBLE_EQ(evalProgram(" x / 4 ", 8), 2);
    EXPECT_DOUBLE_EQ(evalProgram("5+"), 5);
    EXPECT_DOUBLE_EQ(evalProgram("5%3"), 0); // an unknown operator gives 0
    EXPECT_DOUBLE_EQ(evalProgram("7.5&3"), 0); // 8 & 3: halves go to the even number
    EXPECT_DOUBLE_EQ(evalProgram("6.5&7"), 6);
}

TEST(Evaluator, SignBelongsToTheFollowingNumber)
{
    EXPECT_DOUBLE_EQ(evalProgram("10-X", -3), 13);
    EXPECT_DOUBLE_EQ(evalProgram("X*10", -5), -50);
    EXPECT_DOUBLE_EQ(evalProgram("(X)*2", -4), -8);
    EXPECT_DOUBLE_EQ(evalProgram("3*(0-5)"), -15);
    EXPECT_DOUBLE_EQ(evalProgram("3-(0-5)"), 8);
    EXPECT_EQ(evalLibrary("10-X", -3), 13);
    EXPECT_EQ(evalLibrary("X*10", -5), -50);
    EXPECT_EQ(evalLibrary("10+-2+-3"), 5);
}

TEST(Evaluator, YAndZDifferBetweenCopies)
{
    EXPECT_DOUBLE_EQ(evalProgram("X+Y+Z", 1, -2, -3), 6);
    EXPECT_EQ(evalLibrary("X+Y+Z", 1, -2, -3), -4);
}

TEST(Evaluator, FormulaIsRewrittenInPlace)
{
    QString text = "x*2+y";
    StringEval::EvaluateFormula(text, 7, -1, 0);
    EXPECT_EQ(text, "7*2+1");
}

TEST(Evaluator, LibraryRoundsToWholeNumberHalfEven)
{
    EXPECT_EQ(evalLibrary("X/10", 125), 12);
    EXPECT_EQ(evalLibrary("X/10", 135), 14);
    EXPECT_EQ(evalLibrary("X/2", 5), 2);
    EXPECT_EQ(evalLibrary("X*100000", 100000), 2147483647); // saturates, never overflows
}

TEST(Evaluator, DecimalSeparatorFollowsLocaleInProgramOnly)
{
    {
        LocaleGuard italian(QLocale::Italian, QLocale::Italy);
        EXPECT_DOUBLE_EQ(evalProgram("X*1,5", 10), 15);
        EXPECT_DOUBLE_EQ(evalProgram("X*1.5", 10), 0); // an unconverted point is an operator
        EXPECT_DOUBLE_EQ(evalProgram("(X/4)*2", 5), 2.5); // group value written as "1,25"
        EXPECT_EQ(StringEval::LocalizeDecimal("X*0.5+1.25"), "X*0,5+1,25");
        EXPECT_EQ(evalLibrary("X*1.5", 10), 15);
    }
    {
        LocaleGuard english(QLocale::English, QLocale::UnitedStates);
        EXPECT_DOUBLE_EQ(evalProgram("X*1.5", 10), 15);
        EXPECT_DOUBLE_EQ(evalProgram("(X/4)*2", 5), 2.5);
        EXPECT_EQ(StringEval::LocalizeDecimal("X*0.5"), "X*0.5");
    }
}

TEST(Evaluator, GroupValuesNeverUseExponentForm)
{
    EXPECT_DOUBLE_EQ(evalProgram("(1/100000000)*100000000"), 1);
    EXPECT_DOUBLE_EQ(evalProgram("(100000*100000*100000*100000)/1000000000000000000"), 100);
}

TEST(Evaluator, HostileTextGivesADefinedNumber)
{
    EXPECT_DOUBLE_EQ(evalProgram("(("), 0);
    EXPECT_DOUBLE_EQ(evalProgram(")("), 0);
    EXPECT_DOUBLE_EQ(evalProgram("(2+3"), 3); // the stray "(" is an operator without meaning
    EXPECT_DOUBLE_EQ(evalProgram("1/0"), 0);
    EXPECT_DOUBLE_EQ(evalProgram("(1/0)+2"), 2);
    EXPECT_DOUBLE_EQ(evalProgram("0/0"), 0);
    EXPECT_DOUBLE_EQ(evalProgram(QString(5000, QLatin1Char('9'))), 0);
    EXPECT_DOUBLE_EQ(evalProgram(QString::fromLatin1("\xE9\xFF+3")), 0);
    EXPECT_DOUBLE_EQ(evalProgram("1.2.3"), 1.2);
    EXPECT_EQ(evalLibrary("1/0"), 0);
    EXPECT_EQ(evalLibrary("(("), 0);
}

TEST(TextOperations, TabAndPipeFields)
{
    QString line = "a\tb\t\tc";
    EXPECT_EQ(StringEval::NextTabField(line), "a");
    EXPECT_EQ(line, "b\t\tc");
    EXPECT_EQ(StringEval::NextTabField(line), "b");
    EXPECT_EQ(StringEval::NextTabField(line), "");
    EXPECT_EQ(StringEval::NextTabField(line), "c");
    EXPECT_EQ(line, "");
    QString pipe = "X/10|X/20";
    EXPECT_EQ(StringEval::NextPipeField(pipe), "X/10");
    EXPECT_EQ(pipe, "X/20");
}

TEST(TextOperations, SelectFormulaPart)
{
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10", 0), "X/10");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10", 7), "X/10");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10|X/20|X/40", 1), "X/10");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10|X/20|X/40", 2), "X/20");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10|X/20|X/40|X/80", 3), "X/40");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10|X/20", 3), "");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10|X/20", 0), "");
    EXPECT_EQ(StringEval::SelectFormulaPart("X/10|X/20", 4), "");
}
