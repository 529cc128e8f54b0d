#pragma once
// The blocks of a Markdown document as the README writes them: headings, paragraphs, list
// items, indented or fenced code and tables. Enough of Markdown for the manual pages to show
// the README's own text; anything else reads as a paragraph.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace OrvaneManPage {

struct MarkdownTable {
    std::vector<std::string> header;             // cells as Markdown inline text, "\|" undone
    std::vector<std::vector<std::string>> rows;  // at most as wide as the header, at least 1
};

struct MarkdownBlock {
    enum class Kind { Heading, Paragraph, BulletItem, NumberedItem, Code, Table };
    Kind kind = Kind::Paragraph;
    int level = 0;       // Heading: the number of '#'
    std::string text;    // Heading, Paragraph, items: inline text, lines joined by a blank
    std::string number;  // NumberedItem: its marker, "1."
    std::vector<std::string> lines;  // Code: its lines, without their indent
    MarkdownTable table;             // Table
};

std::vector<MarkdownBlock> readMarkdownBlocks(std::string_view markdown);

// The cells of one table line: "| a | `b \| c` |" gives "a" and "`b | c`".
std::vector<std::string> tableCells(std::string_view line);

// The blocks under the heading whose text is exactly `heading`, up to the next heading of its
// level or above: [first, last). Empty with a reason in `error` when no heading, or more than
// one, has that text.
struct BlockRange {
    size_t first = 0;
    size_t last = 0;
};
BlockRange findSection(const std::vector<MarkdownBlock>& blocks, std::string_view heading,
                       std::string& error);

}  // namespace OrvaneManPage
