// The manual pages as the build makes them: man formats them without a warning and with the
// sections a reader looks for, and the options each lists, taken from the README's tables, are
// the ones the program's --help names.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tools/make_man_page/MarkdownBlocks.h"

namespace {

// The page as `man` shows it on a terminal of 80 columns, with groff's warnings on.
OrvaneTest::ProcessResult formatted(const std::string& page) {
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"MANWIDTH", "80"}, {"LC_ALL", "C.UTF-8"}};
    return OrvaneTest::runProcess({"/usr/bin/env", "man", "--warnings", "-E", "UTF-8", "-l",
                                   ORVANE_MAN_BUILD_DIR "/" + page + ".1"},
                                  options);
}

std::set<std::string> optionNames(const std::string& text) {
    std::set<std::string> names;
    const std::regex option(R"((?:^|[\s,`])(--?[a-z][a-z_-]*))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it) {
        names.insert((*it)[1]);
    }
    return names;
}

// The options in the first column of a --help text: lines that start with an option, up to
// the blanks before its explanation.
std::set<std::string> helpOptions(const std::string& help) {
    std::set<std::string> names;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);) {
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line[start] != '-') {
            continue;
        }
        const size_t end = std::min(line.find("  ", start), line.find('\t', start));
        names.merge(optionNames(line.substr(start, end - start)));
    }
    return names;
}

const struct Program {
    std::string page;
    std::string executable;
    std::string readmeSection;  // the README's heading over its table of options
    std::vector<std::string> sections;
} kPrograms[] = {
    {"orvane",
     ORVANE_EXE,
     "Usage",
     {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILE FORMATS", "CONTROLS", "CONSOLE", "MENU",
      "RECORD THE VIEW", "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"}},
    {"orvane-record",
     ORVANE_RECORD_EXE,
     "Record the view",
     {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "THE STREAM", "EXIT STATUS", "EXAMPLES",
      "SEE ALSO"}},
    {"orvane-convert",
     ORVANE_CONVERT_EXE,
     "Converting TUM, KITTI and EuRoC files",
     {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "CONVENTIONS", "TIMES", "INPUT LINES", "OUTPUT",
      "EXIT STATUS", "EXAMPLE", "SEE ALSO"}},
};

TEST(ManPagesTest, ManFormatsEachPageWithoutAWarningAndWithItsSections) {
    for (const Program& program : kPrograms) {
        const OrvaneTest::ProcessResult page = formatted(program.page);
        EXPECT_EQ(page.status, 0) << program.page << page.err;
        EXPECT_EQ(page.err, "") << program.page;
        for (const std::string& section : program.sections) {
            EXPECT_NE(page.out.find("\n" + section + "\n"), std::string::npos)
                << program.page << ": " << section << '\n'
                << page.out;
        }
    }
}

TEST(ManPagesTest, TheOptionsOfTheReadmeAndThePageAreThoseOfHelp) {
    const auto readme =
        OrvaneManPage::readMarkdownBlocks(OrvaneTest::readFile(ORVANE_SOURCE_DIR "/README.md"));
    for (const Program& program : kPrograms) {
        const OrvaneTest::ProcessResult help =
            OrvaneTest::runProcess({program.executable, "--help"});
        ASSERT_EQ(help.status, 0) << program.page;
        const std::set<std::string> named = helpOptions(help.out);
        ASSERT_GE(named.size(), 3u) << help.out;

        std::string error;
        const OrvaneManPage::BlockRange section =
            OrvaneManPage::findSection(readme, program.readmeSection, error);
        ASSERT_EQ(error, "");
        std::set<std::string> documented;
        for (size_t i = section.first; i < section.last; ++i) {
            const OrvaneManPage::MarkdownBlock& block = readme[i];
            if (block.kind == OrvaneManPage::MarkdownBlock::Kind::Table &&
                block.table.header.at(0) == "Option") {
                for (const auto& row : block.table.rows) {
                    documented.merge(optionNames(row.at(0)));
                }
            }
        }
        EXPECT_EQ(documented, named) << program.page << ": the README's table of options";

        // Each option begins a tagged paragraph of the page's OPTIONS, up to the next heading.
        const std::string page = formatted(program.page).out;
        const size_t begin = page.find("\nOPTIONS\n");
        ASSERT_NE(begin, std::string::npos) << program.page;
        std::smatch next;
        const std::string rest = page.substr(begin + 9);
        const std::string options = std::regex_search(rest, next, std::regex("\n[A-Z]"))
                                        ? rest.substr(0, static_cast<size_t>(next.position()))
                                        : rest;
        for (const std::string& option : named) {
            EXPECT_TRUE(std::regex_search(options, std::regex("\n {7}[^\n]*" + option + "\\b")))
                << program.page << ": " << option << '\n'
                << options;
        }
    }
}

}  // namespace
