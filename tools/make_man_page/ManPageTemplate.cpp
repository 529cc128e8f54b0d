#include "tools/make_man_page/ManPageTemplate.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "tools/make_man_page/MarkdownBlocks.h"
#include "tools/make_man_page/RoffText.h"

namespace OrvaneManPage {

namespace {

constexpr std::string_view kTableDirective = ".\\\" README table: ";
constexpr std::string_view kSectionDirective = ".\\\" README section: ";
constexpr std::string_view kTblLine = "'\\\" t";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A section title as a reader sees it: without quotes, font changes and escapes.
std::string plainTitle(std::string_view roff) {
    std::string out;
    for (size_t i = 0; i < roff.size(); ++i) {
        if (roff[i] == '"') {
            continue;
        }
        if (roff[i] != '\\' || i + 1 == roff.size()) {
            out += roff[i];
            continue;
        }
        const char next = roff[++i];
        if (next == 'f') {
            ++i;  // the font's name
        } else if (next == '-' || next == 'e') {
            out += next == '-' ? '-' : '\\';
        } else if (next == '(') {
            i += 2;  // a two-letter glyph name
        }
    }
    return lowered(out);
}

// The table under `heading` (at any depth below it) whose first header cell is `firstHeader`.
const MarkdownTable* findTable(const std::vector<MarkdownBlock>& blocks, std::string_view heading,
                               std::string_view firstHeader, std::string& error) {
    const BlockRange range = findSection(blocks, heading, error);
    const MarkdownTable* found = nullptr;
    for (size_t i = range.first; i < range.last; ++i) {
        const MarkdownBlock& block = blocks[i];
        if (block.kind != MarkdownBlock::Kind::Table || block.table.header.empty() ||
            block.table.header[0] != firstHeader) {
            continue;
        }
        if (found != nullptr) {
            error = "more than one table under '" + std::string(heading) + "' starts with '" +
                    std::string(firstHeader) + "'";
            return nullptr;
        }
        found = &block.table;
    }
    if (found == nullptr && error.empty()) {
        error = "no table under '" + std::string(heading) + "' starts with '" +
                std::string(firstHeader) + "'";
    }
    return found;
}

}  // namespace

ManPage expandManPage(std::string_view pageTemplate, std::string_view readme) {
    const std::vector<MarkdownBlock> blocks = readMarkdownBlocks(readme);
    ManPage page;
    InternalLinks links;
    bool usesTbl = false;
    size_t lineNumber = 0;
    while (!pageTemplate.empty()) {
        ++lineNumber;
        const size_t end = pageTemplate.find('\n');
        const std::string_view line = pageTemplate.substr(0, end);
        pageTemplate.remove_prefix(end == std::string_view::npos ? pageTemplate.size() : end + 1);

        std::string error;
        if (line.substr(0, kTableDirective.size()) == kTableDirective) {
            const std::string_view key = line.substr(kTableDirective.size());
            const size_t bar = key.rfind(" | ");
            if (bar == std::string_view::npos) {
                error = "a table is named as '<heading> | <first header cell>'";
            } else if (const MarkdownTable* table =
                           findTable(blocks, key.substr(0, bar), key.substr(bar + 3), error)) {
                usesTbl = usesTbl || needsTbl(*table);
                page.text += roffTable(*table, links);
            }
        } else if (line.substr(0, kSectionDirective.size()) == kSectionDirective) {
            const BlockRange range =
                findSection(blocks, line.substr(kSectionDirective.size()), error);
            for (size_t i = range.first; i < range.last; ++i) {
                usesTbl = usesTbl || (blocks[i].kind == MarkdownBlock::Kind::Table &&
                                      needsTbl(blocks[i].table));
            }
            page.text += roffBlocks(blocks, range, links);
        } else {
            page.text += line;
            page.text += '\n';
        }
        if (!error.empty()) {
            page.errors.push_back("line " + std::to_string(lineNumber) + ": " + error);
        }
    }

    // The README's links to its own headings must land on a section of the page.
    std::set<std::string> titles;
    for (size_t at = 0; at < page.text.size();) {
        const size_t end = std::min(page.text.find('\n', at), page.text.size());
        const std::string_view line = std::string_view(page.text).substr(at, end - at);
        if (line.substr(0, 4) == ".SH " || line.substr(0, 4) == ".SS ") {
            titles.insert(plainTitle(line.substr(4)));
        }
        at = end + 1;
    }
    for (const std::string& link : links) {
        if (titles.count(lowered(link)) == 0) {
            page.errors.push_back("the README's link to '" + link +
                                  "' names no section of this page");
        }
    }
    if (usesTbl && page.text.substr(0, kTblLine.size()) != kTblLine) {
        page.text.insert(0, std::string(kTblLine) + '\n');
    }
    return page;
}

}  // namespace OrvaneManPage
