// The portable framework: number reading and showing, the scanner, message
// maps; and the headless desktop's answerer of boxes no script expects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataExchange.h"
#include "MessageMap.h"
#include "PanelFixture.h"
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
    struct Row {
        const char* text;
        bool ok;
        double value;
    };
    const Row rows[] = {
        {"12.7", true, 12.7}, {" -3.2 ", true, -3.2}, {"+5", true, 5},     {".5", true, 0.5},  {"5.", true, 5},
        {"1e3", true, 1000},  {"-90", true, -90},     {"\t7\t", true, 7},  {"", false, 0},     {"   ", false, 0},
        {"abc", false, 0},    {"1,5", false, 0},      {"12abc", false, 0}, {"0x10", false, 0}, {"inf", false, 0},
        {"nan", false, 0},    {"1e", false, 0},       {"-", false, 0},     {".", false, 0},    {"1e999", false, 0},
        {"1 2", false, 0},
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

TEST(DataExchangeNumbers, ShowsAtMost15SignificantDigits)
{
    EXPECT_STREQ(FormatDouble(0.1 + 0.2), "0.3");
    EXPECT_STREQ(FormatDouble(1.0 / 3.0), "0.333333333333333");
    EXPECT_STREQ(FormatDouble(-0.5), "-0.5");
    EXPECT_STREQ(FormatDouble(123456789012345678.0), "1.23456789012346e+17");
    EXPECT_STREQ(FormatDouble(-5 * 0.1), "-0.5");
}

TEST(DataExchangeNumbers, ReadsSignedFractionsAndExponents)
{
    struct Row {
        const char* text;
        bool ok;
        double value;
    };
    const Row rows[] = {
        {"+.5", true, 0.5},  {"-.5e-3", true, -0.0005}, {"1E+5", true, 1e5},    {"007", true, 7},  {"-0", true, 0},
        {"1.2.3", false, 0}, {"--1", false, 0},         {"+-1", false, 0},      {"1e+", false, 0}, {"e5", false, 0},
        {"1 ", true, 1},     {"\t-2.25", true, -2.25},  {"infinity", false, 0}, {"1d", false, 0},
    };
    for (const Row& r : rows) {
        auto read = ParseDouble(r.text);
        EXPECT_EQ(read.has_value(), r.ok) << '"' << r.text << '"';
        if (read && r.ok) {
            EXPECT_DOUBLE_EQ(*read, r.value) << '"' << r.text << '"';
        }
    }
}

TEST(Scanner, BlankInThePatternMatchesNoneOrManyButLettersMustMatch)
{
    int n = 0;
    std::string word;
    EXPECT_EQ(Scanner("STREAMS orvanta.robot:3").Lit("STREAMS ").Lit("orvanta.robot").Lit(":").Int(n).Items(), 1);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(Scanner("STREAMSorvanta.robot:4").Lit("STREAMS ").Lit("orvanta.robot").Lit(":").Int(n).Items(), 1);
    EXPECT_EQ(n, 4);
    // %d skips white space before its number, also after a literal ':'.
    EXPECT_EQ(Scanner("x: \t 5").Lit("x:").Int(n).Items(), 1);
    EXPECT_EQ(n, 5);
    // A literal past the end of the text fails the rest of the scan.
    EXPECT_EQ(Scanner("STREAMS ").Lit("STREAMS ").Lit("orvanta.robot").Lit(":").Int(n).Items(), 0);
    EXPECT_EQ(Scanner("orvanta.robot:1 ").Lit("orvanta.robot:").Int(n).Lit(" ").Word(word).Items(), 1);
    // A failed item stops every later one.
    EXPECT_EQ(Scanner("a:x 7").Lit("a:").Int(n).Lit(" ").Int(n).Items(), 0);
}

TEST(Scanner, RestIsWhatTheScanLeft)
{
    int n = 0;
    Scanner scan("CALL 17 DURATION 42");
    scan.Lit("CALL ").Int(n);
    EXPECT_EQ(scan.Rest(), " DURATION 42");
    EXPECT_TRUE(scan.Ok());
    scan.Lit(" STATUS");
    EXPECT_FALSE(scan.Ok());
}

TEST(CStringMembers, FindMidAndLeftStayInsideTheText)
{
    const CString s("Msg$WMRD_U*hello");
    EXPECT_EQ(s.Find('$'), 3);
    EXPECT_EQ(s.Find("WMRD_U"), 4);
    EXPECT_EQ(s.Find('*', 12), -1);
    EXPECT_EQ(s.Find('x', 99), -1);
    EXPECT_EQ(s.Find('M', -1), -1);
    EXPECT_STREQ(s.Mid(10), "*hello");
    EXPECT_STREQ(s.Mid(16), "");
    EXPECT_STREQ(s.Mid(-3, 3), "Msg");
    EXPECT_STREQ(s.Mid(11, 99), "hello");
    EXPECT_STREQ(s.Left(3), "Msg");
    EXPECT_STREQ(s.Left(0), "");
}

TEST(CStringMembers, FormatReplacesTheContents)
{
    CString s("old text");
    s.Format("ALTER CALL %d HANGUP", -7);
    EXPECT_STREQ(s, "ALTER CALL -7 HANGUP");
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
    const std::string big(3000, 'z');
    s.Format("%s!", big.c_str());
    EXPECT_EQ(s.GetLength(), 3001);
}

namespace {
// A message map's owner that records which handler ran.
struct MapOwner {
    std::vector<std::string> calls;
    void First() { calls.push_back("first"); }
    void Second() { calls.push_back("second"); }
    void Tick(UINT_PTR id) { calls.push_back("tick " + std::to_string(id)); }
    HCURSOR Icon()
    {
        calls.push_back("icon");
        return reinterpret_cast<HCURSOR>(std::uintptr_t(0x80));
    }
};

const MsgMapEntry<MapOwner> kOwnerMap[] = {
    msgmap::Clicked(5, &MapOwner::First),    msgmap::Clicked(5, &MapOwner::Second),
    msgmap::SelChange(5, &MapOwner::Second), msgmap::Timer(&MapOwner::Tick),
    msgmap::QueryDragIcon(&MapOwner::Icon),
};
}  // namespace

TEST(MessageMap, FirstMatchingEntryWinsByIdAndCode)
{
    MapOwner owner;
    LRESULT result = -1;
    EXPECT_TRUE(msgmap::Dispatch<MapOwner>(&owner, kOwnerMap, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0, result));
    EXPECT_TRUE(msgmap::Dispatch<MapOwner>(&owner, kOwnerMap, WM_COMMAND, MAKEWPARAM(5, LBN_SELCHANGE), 0, result));
    EXPECT_FALSE(msgmap::Dispatch<MapOwner>(&owner, kOwnerMap, WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), 0, result));
    EXPECT_FALSE(msgmap::Dispatch<MapOwner>(&owner, kOwnerMap, WM_PAINT, 0, 0, result));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"first", "second"}));
}

TEST(MessageMap, HandlersGetCrackedArgumentsAndResults)
{
    MapOwner owner;
    LRESULT result = -1;
    EXPECT_TRUE(msgmap::Dispatch<MapOwner>(&owner, kOwnerMap, WM_TIMER, 7, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(msgmap::Dispatch<MapOwner>(&owner, kOwnerMap, WM_QUERYDRAGICON, 0, 0, result));
    EXPECT_EQ(result, LRESULT(0x80));
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"tick 7", "icon"}));
}

// Drivers that cannot foresee the boxes (the fuzz targets) answer them as they come.
TEST_F(PanelTest, BoxesNoScriptExpectsGoToTheAnswerer)
{
    OpenPanel();
    std::vector<std::string> asked;
    desk.onUnscriptedBox = [&](const std::string& text, UINT type) {
        asked.push_back(text + ((type & MB_TYPEMASK) == MB_OK ? " (ok)" : ""));
        return IDOK;
    };
    desk.Attach(3);
    const Sequence boxes = {
        "box Error Message | Skype API not available, please log in Skype to operate robot | stop ok -> IDOK"};
    ExpectSequence(boxes, Log(headless::kBox));
    EXPECT_EQ(asked, (std::vector<std::string>{"Skype API not available, please log in Skype to operate robot (ok)"}));

    // A script still takes the box it expects.
    Flush();
    desk.ExpectBox("Skype API not available, please log in Skype to operate robot");
    desk.Attach(3);
    EXPECT_EQ(asked.size(), 1u);
}
