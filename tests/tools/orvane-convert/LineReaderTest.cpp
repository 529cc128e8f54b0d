// Lines across chunk boundaries, line ends, lines too long to hold and read errors.
#include "tools/orvane-convert/LineReader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

using OrvaneConvert::LineReader;

struct Line {
    std::string text;
    bool cutShort;
    bool operator==(const Line&) const = default;
};

std::vector<Line> linesOf(const std::string& bytes, std::size_t capacity) {
    LineReader reader(OrvaneConvert::readFromMemory(bytes), capacity);
    std::vector<Line> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.push_back({std::string(line), reader.cutShort()});
        EXPECT_EQ(reader.lineNumber(), lines.size());
    }
    EXPECT_EQ(reader.readError(), 0);
    return lines;
}

TEST(LineReader, GivesTheSameLinesWhereverTheChunksEnd) {
    const std::string bytes =
        "\xEF\xBB\xBF"
        "first\r\nsecond\n\n\r\nfourth has more words\nlast";
    const std::vector<Line> expected = {{"first", false},
                                        {"second", false},
                                        {"", false},
                                        {"", false},
                                        {"fourth has more words", false},
                                        {"last", false}};
    for (std::size_t capacity = 22; capacity <= 64; ++capacity) {
        EXPECT_EQ(linesOf(bytes, capacity), expected) << "capacity " << capacity;
    }
}

TEST(LineReader, CutsALineThatFillsTheBufferAndSkipsItsRest) {
    const std::string bytes =
        "short\n" + std::string(25, 'x') + "\r\nafter\n" + std::string(10, 'y');
    const std::vector<Line> expected = {{"short", false},
                                        {std::string(10, 'x'), true},
                                        {"after", false},
                                        {std::string(10, 'y'), true}};
    EXPECT_EQ(linesOf(bytes, 10), expected);
}

TEST(LineReader, EmptyDataHasNoLinesAndAFinalLineEndAddsNone) {
    EXPECT_TRUE(linesOf("", 8).empty());
    EXPECT_EQ(linesOf("a\n", 8).size(), 1u);
}

TEST(LineReader, StopsAtAReadErrorAndTellsIt) {
    int calls = 0;
    LineReader reader(
        [&calls](char* into, std::size_t) -> long {
            if (++calls == 1) {
                std::string_view("one\ntw").copy(into, 6);
                return 6;
            }
            errno = EIO;
            return -1;
        },
        16);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(reader.next(line));  // the cut line before the error is not a line
    EXPECT_EQ(reader.readError(), EIO);
    EXPECT_FALSE(reader.next(line));
    EXPECT_EQ(calls, 2);
}

}  // namespace
