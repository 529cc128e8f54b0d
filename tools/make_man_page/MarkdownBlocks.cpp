#include "tools/make_man_page/MarkdownBlocks.h"

#include <algorithm>
#include <cctype>

namespace OrvaneManPage {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool isBlank(std::string_view line) {
    return trim(line).empty();
}

size_t indentOf(std::string_view line) {
    size_t n = 0;
    while (n < line.size() && line[n] == ' ') {
        ++n;
    }
    return n;
}

// The heading level of a line, "## Usage" being 2; 0 when it is no heading.
int headingLevel(std::string_view line) {
    size_t n = 0;
    while (n < line.size() && line[n] == '#') {
        ++n;
    }
    return n >= 1 && n <= 6 && n < line.size() && line[n] == ' ' ? static_cast<int>(n) : 0;
}

bool isFence(std::string_view line) {
    return indentOf(line) < 4 && trim(line).substr(0, 3) == "```";
}

bool isBulletItem(std::string_view line) {
    const std::string_view t = trim(line);
    return t.size() >= 2 && (t[0] == '-' || t[0] == '*') && t[1] == ' ';
}

// The length of a numbered item's marker ("12." is 3), 0 when the line starts none.
size_t numberedMarker(std::string_view line) {
    const std::string_view t = trim(line);
    size_t n = 0;
    while (n < t.size() && n < 9 && std::isdigit(static_cast<unsigned char>(t[n]))) {
        ++n;
    }
    return n > 0 && n + 1 < t.size() && t[n] == '.' && t[n + 1] == ' ' ? n + 1 : 0;
}

bool isTableLine(std::string_view line) {
    return indentOf(line) < 4 && trim(line).substr(0, 1) == "|";
}

// The line under a table's header: cells of dashes, with colons for alignment.
bool isDelimiterRow(std::string_view line) {
    if (!isTableLine(line)) {
        return false;
    }
    const std::vector<std::string> cells = tableCells(line);
    for (const std::string& cell : cells) {
        if (cell.find('-') == std::string::npos ||
            cell.find_first_not_of("-: ") != std::string::npos) {
            return false;
        }
    }
    return !cells.empty();
}

bool isImage(std::string_view line) {
    const std::string_view t = trim(line);
    return t.substr(0, 2) == "![" && t.back() == ')';
}

// Whether a line begins a block of its own, ending a paragraph or a list item before it.
bool startsBlock(const std::vector<std::string_view>& lines, size_t i) {
    const std::string_view line = lines[i];
    return headingLevel(line) > 0 || isFence(line) || isBulletItem(line) ||
           numberedMarker(line) > 0 || isImage(line) ||
           (isTableLine(line) && i + 1 < lines.size() && isDelimiterRow(lines[i + 1]));
}

void appendLine(std::string& text, std::string_view line) {
    if (!text.empty()) {
        text += ' ';
    }
    text += trim(line);
}

}  // namespace

std::vector<std::string> tableCells(std::string_view line) {
    std::string_view t = trim(line);
    if (!t.empty() && t.front() == '|') {
        t.remove_prefix(1);
    }
    if (!t.empty() && t.back() == '|' && (t.size() < 2 || t[t.size() - 2] != '\\')) {
        t.remove_suffix(1);
    }
    std::vector<std::string> cells;
    std::string cell;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size() && t[i + 1] == '|') {
            cell += '|';
            ++i;
        } else if (t[i] == '|') {
            cells.emplace_back(trim(cell));
            cell.clear();
        } else {
            cell += t[i];
        }
    }
    cells.emplace_back(trim(cell));
    return cells;
}

std::vector<MarkdownBlock> readMarkdownBlocks(std::string_view markdown) {
    std::vector<std::string_view> lines;
    while (!markdown.empty()) {
        const size_t end = markdown.find('\n');
        std::string_view line = markdown.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        markdown.remove_prefix(end == std::string_view::npos ? markdown.size() : end + 1);
    }

    std::vector<MarkdownBlock> blocks;
    size_t i = 0;
    while (i < lines.size()) {
        const std::string_view line = lines[i];
        MarkdownBlock block;
        if (isBlank(line) || isImage(line)) {
            ++i;
            continue;
        }
        if (isFence(line)) {
            block.kind = MarkdownBlock::Kind::Code;
            for (++i; i < lines.size() && !isFence(lines[i]); ++i) {
                block.lines.emplace_back(lines[i]);
            }
            ++i;  // the closing fence
        } else if (indentOf(line) >= 4) {
            block.kind = MarkdownBlock::Kind::Code;
            // Blank lines belong to the block while more indented lines follow them.
            size_t end = i;
            for (size_t j = i; j < lines.size() && (isBlank(lines[j]) || indentOf(lines[j]) >= 4);
                 ++j) {
                if (!isBlank(lines[j])) {
                    end = j + 1;
                }
            }
            for (; i < end; ++i) {
                block.lines.emplace_back(lines[i].substr(std::min<size_t>(4, lines[i].size())));
            }
        } else if (const int level = headingLevel(line); level > 0) {
            block.kind = MarkdownBlock::Kind::Heading;
            block.level = level;
            block.text = trim(line.substr(static_cast<size_t>(level)));
            ++i;
        } else if (isTableLine(line) && i + 1 < lines.size() && isDelimiterRow(lines[i + 1])) {
            block.kind = MarkdownBlock::Kind::Table;
            block.table.header = tableCells(line);
            for (i += 2; i < lines.size() && isTableLine(lines[i]); ++i) {
                // Cells beyond the header's are dropped; missing ones are left to the reader,
                // so that a wide header over many short rows costs no memory.
                std::vector<std::string> row = tableCells(lines[i]);
                row.resize(std::min(row.size(), block.table.header.size()));
                block.table.rows.push_back(std::move(row));
            }
        } else {
            const std::string_view t = trim(line);
            if (isBulletItem(line)) {
                block.kind = MarkdownBlock::Kind::BulletItem;
                block.text = trim(t.substr(2));
            } else if (const size_t marker = numberedMarker(line); marker > 0) {
                block.kind = MarkdownBlock::Kind::NumberedItem;
                block.number = t.substr(0, marker);
                block.text = trim(t.substr(marker + 1));
            } else {
                block.kind = MarkdownBlock::Kind::Paragraph;
                block.text = t;
            }
            for (++i; i < lines.size() && !isBlank(lines[i]) && !startsBlock(lines, i); ++i) {
                appendLine(block.text, lines[i]);
            }
        }
        blocks.push_back(std::move(block));
    }
    return blocks;
}

BlockRange findSection(const std::vector<MarkdownBlock>& blocks, std::string_view heading,
                       std::string& error) {
    BlockRange range;
    int matches = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].kind != MarkdownBlock::Kind::Heading || blocks[i].text != heading) {
            continue;
        }
        if (++matches > 1) {
            error = "more than one heading reads '" + std::string(heading) + "'";
            return {};
        }
        range.first = i + 1;
        range.last = range.first;
        while (range.last < blocks.size() &&
               !(blocks[range.last].kind == MarkdownBlock::Kind::Heading &&
                 blocks[range.last].level <= blocks[i].level)) {
            ++range.last;
        }
    }
    if (matches == 0) {
        error = "no heading reads '" + std::string(heading) + "'";
    }
    return range;
}

}  // namespace OrvaneManPage
