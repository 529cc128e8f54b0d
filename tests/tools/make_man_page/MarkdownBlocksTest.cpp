// The README's Markdown as blocks: what each construct the README uses becomes, and the
// sections that headings delimit.
#include "tools/make_man_page/MarkdownBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using OrvaneManPage::MarkdownBlock;
using Kind = MarkdownBlock::Kind;

// Kind and text of each block; code shows its lines joined by '/', a table its cells by '|'.
std::vector<std::string> describe(const std::string& markdown) {
    std::vector<std::string> out;
    for (const MarkdownBlock& block : OrvaneManPage::readMarkdownBlocks(markdown)) {
        switch (block.kind) {
            case Kind::Heading:
                out.push_back("H" + std::to_string(block.level) + " " + block.text);
                break;
            case Kind::Paragraph:
                out.push_back("P " + block.text);
                break;
            case Kind::BulletItem:
                out.push_back("* " + block.text);
                break;
            case Kind::NumberedItem:
                out.push_back(block.number + " " + block.text);
                break;
            case Kind::Code: {
                std::string code = "C";
                for (const std::string& line : block.lines) {
                    code += " /" + line;
                }
                out.push_back(code);
                break;
            }
            case Kind::Table: {
                std::string table = "T";
                for (const std::string& cell : block.table.header) {
                    table += "|" + cell;
                }
                for (const auto& row : block.table.rows) {
                    table += " ";
                    for (const std::string& cell : row) {
                        table += "|" + cell;
                    }
                }
                out.push_back(table);
                break;
            }
        }
    }
    return out;
}

TEST(MarkdownBlocks, EachConstructOfTheReadme) {
    const struct {
        std::string markdown;
        std::vector<std::string> blocks;
    } cases[] = {
        {"## Usage\n\nOne line\nand the next.\n\nAnother.\n",
         {"H2 Usage", "P One line and the next.", "P Another."}},
        {"# Not a heading without a blank: #x\n#x\n",
         {"H1 Not a heading without a blank: #x", "P #x"}},
        {"- **Text**: first\n  continued\n- second\n\n1. one\n   more\n2. two\n",
         {"* **Text**: first continued", "* second", "1. one more", "2. two"}},
        // A list item ends at a heading, a paragraph at a list item.
        {"Text\n- item\n### Sub\n", {"P Text", "* item", "H3 Sub"}},
        {"    a\n\n      b\n\nafter\n", {"C /a / /  b", "P after"}},
        {"```\n# not a heading\n    kept\n```\n", {"C /# not a heading /    kept"}},
        {"| Key | Effect |\n| --- | :-: |\n| `a \\| b` | c |\n| short |\n| x | y | extra |\n",
         {"T|Key|Effect |`a | b`|c |short |x|y"}},
        // Without its delimiter row a line of bars is text.
        {"| a | b |\nplain\n", {"P | a | b | plain"}},
        {"![The window](docs/screenshot.png)\n\nText\r\nmore\r\n", {"P Text more"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(c.markdown), c.blocks) << c.markdown;
    }
}

TEST(MarkdownBlocks, ASectionRunsToTheNextHeadingOfItsLevelOrAbove) {
    const auto blocks = OrvaneManPage::readMarkdownBlocks(
        "## A\nintro\n### A1\ndeep\n## B\nb\n### Twice\n### Twice\n");
    std::string error;
    const OrvaneManPage::BlockRange a = OrvaneManPage::findSection(blocks, "A", error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(a.first, 1u);
    EXPECT_EQ(a.last, 4u);  // intro, the heading A1 and its paragraph
    const OrvaneManPage::BlockRange a1 = OrvaneManPage::findSection(blocks, "A1", error);
    EXPECT_EQ(a1.last - a1.first, 1u);
    // The last section runs to the end.
    EXPECT_EQ(OrvaneManPage::findSection(blocks, "B", error).last, blocks.size());

    OrvaneManPage::findSection(blocks, "C", error);
    EXPECT_EQ(error, "no heading reads 'C'");
    error.clear();
    OrvaneManPage::findSection(blocks, "Twice", error);
    EXPECT_EQ(error, "more than one heading reads 'Twice'");
}

}  // namespace
