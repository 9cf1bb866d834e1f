// The portable framework: number reading and showing, the scanner.
#include <gtest/gtest.h>

#include "DataExchange.h"
#include "Scan.h"

TEST(DataExchangeNumbers, ShowsTheShortestFormUpTo15Digits)
{
    EXPECT_STREQ(FormatDouble(-90.0), "-90");
    EXPECT_STREQ(FormatDouble(12.3), "12.3");
    EXPECT_STREQ(FormatDouble(1234 * 0.1), "123.4");
    EXPECT_STREQ(FormatDouble(0.0), "0");
    EXPECT_STREQ(FormatDouble(1e20), "1e+20");
}

TEST(DataExchangeNumbers, ReadsDecimalNumbersWithBlanksAroundAndNothingElse)
{
    struct Row { const char* text; bool ok; double value; };
    const Row rows[] = {
        {"12.7", true, 12.7}, {" -3.2 ", true, -3.2}, {"+5", true, 5}, {".5", true, 0.5}, {"5.", true, 5},
        {"1e3", true, 1000}, {"-90", true, -90}, {"\t7\t", true, 7},
        {"", false, 0}, {"   ", false, 0}, {"abc", false, 0}, {"1,5", false, 0}, {"12abc", false, 0},
        {"0x10", false, 0}, {"inf", false, 0}, {"nan", false, 0}, {"1e", false, 0}, {"-", false, 0},
        {".", false, 0}, {"1e999", false, 0}, {"1 2", false, 0},
    };
    for (const Row& r : rows) {
        auto read = ParseDouble(r.text);
        EXPECT_EQ(read.has_value(), r.ok) << '"' << r.text << '"';
        if (read && r.ok) {
            EXPECT_DOUBLE_EQ(*read, r.value) << '"' << r.text << '"';
        }
    }
}

TEST(DataExchangeNumbers, ReadsBackEverythingItShows)
{
    for (double v : {-90.0, 12.3, 123.4, -0.5, 1e-7, 255.0, 1e20, -0.0})
        EXPECT_DOUBLE_EQ(*ParseDouble(FormatDouble(v).str()), v);
}

TEST(Scanner, MatchesLikeScanfFromTheFirstCharacter)
{
    int a = 0, b = 0;
    EXPECT_EQ(Scanner("CALL 17 DURATION 42").Lit("CALL ").Int(a).Lit(" DURATION ").Int(b).Items(), 2);
    EXPECT_EQ(a, 17);
    EXPECT_EQ(b, 42);
    // A blank in the pattern matches any run of white space, none included.
    EXPECT_EQ(Scanner("CALL17DURATION   -3").Lit("CALL ").Int(a).Lit(" DURATION ").Int(b).Items(), 2);
    EXPECT_EQ(b, -3);
    // Not from the first character: nothing is read.
    EXPECT_EQ(Scanner("#1 CALL 17 DURATION 42").Lit("CALL ").Int(a).Items(), 0);
    // Case matters.
    EXPECT_EQ(Scanner("call 17").Lit("CALL ").Int(a).Items(), 0);
}

TEST(Scanner, NumbersOutsideTheIntRangeAreNotRead)
{
    int v = 5;
    EXPECT_EQ(Scanner("2147483647").Int(v).Items(), 1);
    EXPECT_EQ(v, 2147483647);
    EXPECT_EQ(Scanner("-2147483648").Int(v).Items(), 1);
    EXPECT_EQ(v, -2147483647 - 1);
    v = 5;
    EXPECT_EQ(Scanner("2147483648").Int(v).Items(), 0);
    EXPECT_EQ(Scanner("99999999999999999999999").Int(v).Items(), 0);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(Scanner("-").Int(v).Items(), 0);
    EXPECT_EQ(Scanner("").Int(v).Items(), 0);
}

TEST(Scanner, WordsStopAtWhiteSpaceAndKeepTheirLimit)
{
    std::string w;
    EXPECT_EQ(Scanner("  Msg$WMRD_U*hello world").Word(w).Items(), 1);
    EXPECT_EQ(w, "Msg$WMRD_U*hello");
    EXPECT_EQ(Scanner(std::string(80, 'n')).Word(w, 51).Items(), 1);
    EXPECT_EQ(w, std::string(51, 'n'));
    EXPECT_EQ(Scanner("   ").Word(w).Items(), 0);
}
