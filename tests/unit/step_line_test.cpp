// Step lines as text: written from the Set values, read back the way
// "%d,%d,%d,%d,%d,%d,%d:%s" reads them.
#include <gtest/gtest.h>

#include "StepLine.h"

namespace {

struct FormatRow {
    double values[7];
    const char* note;
    const char* line;
};

const FormatRow kFormatRows[] = {
    {{10, 20, 30, -90, 0, 25, 200}, "", "10,20,30,-90,0,25,200"},
    {{10, 20, 30, -90, 0, 25, 200}, "grip", "10,20,30,-90,0,25,200:grip"},
    {{12.7, 12.4, -12.7, -0.4, 0.4, 0.6, 200.9}, "", "13,12,-13,-0,0,1,201"},
    {{0, 0, 0, 0, 0, 0, 0}, "a b", "0,0,0,0,0,0,0:a b"},
    // White space only is no note.
    {{0, 0, 0, 0, 0, 0, 0}, "   ", "0,0,0,0,0,0,0"},
    {{0, 0, 0, 0, 0, 0, 0}, " \t", "0,0,0,0,0,0,0"},
    {{0, 0, 0, 0, 0, 0, 0}, " a", "0,0,0,0,0,0,0: a"},
    {{123456789, -123456789, 0, 0, 0, 0, 1e10}, "", "123456789,-123456789,0,0,0,0,10000000000"},
};

struct ParseRow {
    const char* line;
    bool accepted;
    int values[7];
    bool hasNote;
    const char* note;
};

const ParseRow kParseRows[] = {
    {"10,20,30,-90,0,25,200", true, {10, 20, 30, -90, 0, 25, 200}, false, ""},
    {"10,20,30,-90,0,25,200:grip", true, {10, 20, 30, -90, 0, 25, 200}, true, "grip"},
    {"-0,0,0,0,0,0,0", true, {0, 0, 0, 0, 0, 0, 0}, false, ""},
    {"1,2,3,4,5,6,7,8", true, {1, 2, 3, 4, 5, 6, 7}, false, ""},
    {"1,2,3,4,5,6,7 and more", true, {1, 2, 3, 4, 5, 6, 7}, false, ""},
    {"  1, 2,\t3,  4,5,6,   7", true, {1, 2, 3, 4, 5, 6, 7}, false, ""},
    {"+1,007,-0003,4,5,6,7", true, {1, 7, -3, 4, 5, 6, 7}, false, ""},
    {"1,2,3,4,5,6,7:   spaced  out", true, {1, 2, 3, 4, 5, 6, 7}, true, "spaced"},
    {"1,2,3,4,5,6,7:a b", true, {1, 2, 3, 4, 5, 6, 7}, true, "a"},
    {"1,2,3,4,5,6,7:x:y", true, {1, 2, 3, 4, 5, 6, 7}, true, "x:y"},
    {"1,2,3,4,5,6,7:grip\r\n", true, {1, 2, 3, 4, 5, 6, 7}, true, "grip"},
    {"1,2,3,4,5,6,7\r\n", true, {1, 2, 3, 4, 5, 6, 7}, false, ""},
    {"-2147483648,2147483647,0,0,0,0,0", true, {-2147483647 - 1, 2147483647, 0, 0, 0, 0, 0}, false, ""},
    // A ":" needs a note word right after the seventh number.
    {"1,2,3,4,5,6,7:", false, {}, false, ""},
    {"1,2,3,4,5,6,7:   ", false, {}, false, ""},
    {"1,2,3,4,5,6,7 :grip", false, {}, false, ""},
    {"1,2,3,4,5,6,7 x:grip", false, {}, false, ""},
    {"1,2,3:4,5,6,7", false, {}, false, ""},
    // Fewer than seven numbers, or numbers that are not read.
    {"1,2,3,4,5,6", false, {}, false, ""},
    {"1,2,3,4,5,6,", false, {}, false, ""},
    {"", false, {}, false, ""},
    {"\n", false, {}, false, ""},
    {"1 ,2,3,4,5,6,7", false, {}, false, ""},
    {"1,2,3,4,5,6,x", false, {}, false, ""},
    {"1.5,2,3,4,5,6,7", false, {}, false, ""},
    {"1,2,3,4,5,6,2147483648", false, {}, false, ""},
    {"1,2,3,4,5,6,-2147483649", false, {}, false, ""},
    {"99999999999999999999,2,3,4,5,6,7", false, {}, false, ""},
    {"grip:1,2,3,4,5,6,7", false, {}, false, ""},
};

}  // namespace

TEST(StepLineFormat, NumbersWithoutDecimalsAndTheNoteOnlyWhenNotBlank)
{
    for (const FormatRow& row : kFormatRows)
        EXPECT_EQ(FormatStepLine(row.values, row.note), row.line);
}

TEST(StepLineParse, AcceptsWhatThePatternReadsInFull)
{
    for (const ParseRow& row : kParseRows) {
        SCOPED_TRACE(std::string("\"") + row.line + "\"");
        std::optional<StepLine> step = ParseStepLine(row.line);
        ASSERT_EQ(step.has_value(), row.accepted);
        if (!step)
            continue;
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(step->values[i], row.values[i]) << "number " << i;
        EXPECT_EQ(step->hasNote, row.hasNote);
        EXPECT_EQ(step->note, row.note);
    }
}

TEST(StepLineParse, LongNoteKeepsItsFirst51Characters)
{
    const std::string note = std::string(51, 'a') + std::string(30, 'b');
    std::optional<StepLine> step = ParseStepLine("1,2,3,4,5,6,7:" + note + " tail");
    ASSERT_TRUE(step);
    EXPECT_EQ(step->note, std::string(51, 'a'));
    EXPECT_EQ(RewriteStepLine(*step), "1,2,3,4,5,6,7:" + std::string(51, 'a'));

    step = ParseStepLine("1,2,3,4,5,6,7:" + std::string(51, 'c'));
    ASSERT_TRUE(step);
    EXPECT_EQ(step->note, std::string(51, 'c'));
}

TEST(StepLineRewrite, NormalisesFromTheNumbersRead)
{
    struct Row {
        const char* line;
        const char* rewritten;
    };
    static const Row kRows[] = {
        {" +01, 2,3,4,5,6,007", "1,2,3,4,5,6,7"},
        {"1,2,3,4,5,6,7:a b", "1,2,3,4,5,6,7:a"},
        {"-0,0,0,0,0,0,0 rest", "0,0,0,0,0,0,0"},
        {"1,2,3,4,5,6,7,8", "1,2,3,4,5,6,7"},
    };
    for (const Row& row : kRows) {
        std::optional<StepLine> step = ParseStepLine(row.line);
        ASSERT_TRUE(step) << row.line;
        EXPECT_EQ(RewriteStepLine(*step), row.rewritten) << row.line;
    }
}
