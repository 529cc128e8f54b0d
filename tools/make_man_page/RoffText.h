#pragma once
// Markdown as man(7) source: inline text (code spans in bold, links as their text) and the
// blocks of MarkdownBlocks (paragraphs, list items, code, tables, sub-headings).

#include <string>
#include <string_view>
#include <vector>

#include "tools/make_man_page/MarkdownBlocks.h"

namespace OrvaneManPage {

// The texts of the links to a heading of the same document ("[Menu](#menu)"), which a manual
// page must have sections for.
using InternalLinks = std::vector<std::string>;

// One line of inline text. Code spans are bold and never hyphenated, with '-' as the minus sign
// that a terminal shows as one; **strong** text is bold; a link is its text in italics; an
// image is dropped.
std::string roffInline(std::string_view markdown, InternalLinks& links);

// A table with two columns as tagged paragraphs (the first cell the tag), a wider one through
// tbl(1) (the page must then start with the line '\" t).
std::string roffTable(const MarkdownTable& table, InternalLinks& links);
bool needsTbl(const MarkdownTable& table);

// Blocks in order; a heading becomes a sub-section.
std::string roffBlocks(const std::vector<MarkdownBlock>& blocks, BlockRange range,
                       InternalLinks& links);

}  // namespace OrvaneManPage
