#include "tools/make_man_page/RoffText.h"

#include <set>

namespace OrvaneManPage {

namespace {

// Text that roff would otherwise read as escapes or, at the start of a line, as a request.
std::string escaped(std::string_view text, bool literal) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (literal && c == '-') {
            out += "\\-";
        } else if (literal && c == '\'') {
            out += "\\(aq";
        } else if (literal && c == '`') {
            out += "\\(ga";
        } else if (literal && c == '~') {
            out += "\\(ti";
        } else if (literal && c == '^') {
            out += "\\(ha";
        } else {
            out += c;
        }
    }
    return out;
}

// A line of text for the input of roff: one that starts with '.' or '\'' would be a request,
// and an empty one is a blank line, which some formatters warn about.
std::string textLine(std::string text) {
    if (text.empty() || text.front() == '.' || text.front() == '\'') {
        text.insert(0, "\\&");
    }
    return text + '\n';
}

// A macro argument in double quotes.
std::string quoted(const std::string& roff) {
    std::string out = "\"";
    for (const char c : roff) {
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return out + '"';
}

// Closings that a search found missing from some point on: looking for them again from further
// on cannot find them either, so a line of many unclosed markers stays linear.
struct Unclosed {
    bool strong = false;
    bool linkMiddle = false;  // "]("
    bool linkEnd = false;     // ")"
    std::set<size_t> fences;  // runs of backticks, by length
};

size_t findClosing(std::string_view md, std::string_view what, size_t from, bool& missing) {
    const size_t at = missing ? std::string_view::npos : md.find(what, from);
    missing = at == std::string_view::npos;
    return at;
}

std::string inlineText(std::string_view md, InternalLinks& links, bool inBold) {
    std::string out;
    Unclosed unclosed;
    size_t i = 0;
    while (i < md.size()) {
        if (md[i] == '`') {
            size_t run = 0;
            while (i + run < md.size() && md[i + run] == '`') {
                ++run;
            }
            const std::string fence(run, '`');
            bool missing = unclosed.fences.count(run) == 1;
            const size_t close = findClosing(md, fence, i + run, missing);
            if (missing) {
                unclosed.fences.insert(run);
            } else {
                std::string_view code = md.substr(i + run, close - i - run);
                if (code.size() >= 2 && code.front() == ' ' && code.back() == ' ') {
                    code = code.substr(1, code.size() - 2);
                }
                // Each word unhyphenated: "\%" before it.
                std::string literal = "\\%";
                for (const char c : escaped(code, true)) {
                    literal += c == ' ' ? std::string(" \\%") : std::string(1, c);
                }
                out += inBold ? literal : "\\fB" + literal + "\\fR";
                i = close + run;
                continue;
            }
            out += escaped(fence, false);
            i += run;
            continue;
        }
        if (!inBold && md.substr(i, 2) == "**") {
            const size_t close = findClosing(md, "**", i + 2, unclosed.strong);
            if (close != std::string_view::npos && close > i + 2) {
                out += "\\fB" + inlineText(md.substr(i + 2, close - i - 2), links, true) + "\\fR";
                i = close + 2;
                continue;
            }
        }
        const bool image = md.substr(i, 2) == "![";
        if (md[i] == '[' || image) {
            const size_t textStart = i + (image ? 2 : 1);
            const size_t textEnd = findClosing(md, "](", textStart, unclosed.linkMiddle);
            const size_t targetEnd = textEnd == std::string_view::npos
                                         ? textEnd
                                         : findClosing(md, ")", textEnd + 2, unclosed.linkEnd);
            if (targetEnd != std::string_view::npos) {
                const std::string_view text = md.substr(textStart, textEnd - textStart);
                const std::string_view target = md.substr(textEnd + 2, targetEnd - textEnd - 2);
                if (!image) {
                    if (target.substr(0, 1) == "#") {
                        links.emplace_back(text);
                    }
                    out += inBold ? escaped(text, false) : "\\fI" + escaped(text, false) + "\\fR";
                }
                i = targetEnd + 1;
                continue;
            }
        }
        out += escaped(md.substr(i, 1), false);
        ++i;
    }
    return out;
}

}  // namespace

std::string roffInline(std::string_view markdown, InternalLinks& links) {
    return inlineText(markdown, links, false);
}

bool needsTbl(const MarkdownTable& table) {
    return table.header.size() > 2;
}

std::string roffTable(const MarkdownTable& table, InternalLinks& links) {
    std::string out;
    if (!needsTbl(table)) {
        for (const std::vector<std::string>& row : table.rows) {
            out += ".TP\n";
            out += textLine(roffInline(row.at(0), links));
            out += textLine(row.size() > 1 ? roffInline(row[1], links) : std::string());
        }
        return out;
    }
    // Every cell a text block, so that long cells wrap within their column.
    auto cells = [&](const std::vector<std::string>& row) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            line += c == 0 ? "T{\n" : "\tT{\n";
            line += textLine(roffInline(row[c], links));
            line += "T}";
        }
        return line + '\n';
    };
    std::string bold, expand;
    for (size_t c = 0; c < table.header.size(); ++c) {
        bold += c == 0 ? "lb" : " lb";
        expand += c == 0 ? "lx" : " lx";
    }
    // Narrow columns read better ragged than stretched.
    out += ".PP\n.na\n.TS\n" + bold + '\n' + expand + ".\n";
    out += cells(table.header);
    out += "_\n";
    for (const std::vector<std::string>& row : table.rows) {
        out += cells(row);
    }
    return out + ".TE\n.ad\n";
}

std::string roffBlocks(const std::vector<MarkdownBlock>& blocks, BlockRange range,
                       InternalLinks& links) {
    std::string out;
    for (size_t i = range.first; i < range.last && i < blocks.size(); ++i) {
        const MarkdownBlock& block = blocks[i];
        switch (block.kind) {
            case MarkdownBlock::Kind::Heading:
                out += ".SS " + quoted(roffInline(block.text, links)) + '\n';
                break;
            case MarkdownBlock::Kind::Paragraph:
                out += ".PP\n" + textLine(roffInline(block.text, links));
                break;
            case MarkdownBlock::Kind::BulletItem:
                out += ".IP \\(bu 2\n" + textLine(roffInline(block.text, links));
                break;
            case MarkdownBlock::Kind::NumberedItem:
                out += ".IP " + quoted(escaped(block.number, false)) + " 4\n" +
                       textLine(roffInline(block.text, links));
                break;
            case MarkdownBlock::Kind::Code:
                out += ".PP\n.RS 4\n.nf\n";
                for (const std::string& line : block.lines) {
                    out += textLine(escaped(line, true));
                }
                out += ".fi\n.RE\n";
                break;
            case MarkdownBlock::Kind::Table:
                out += roffTable(block.table, links);
                break;
        }
    }
    return out;
}

}  // namespace OrvaneManPage
