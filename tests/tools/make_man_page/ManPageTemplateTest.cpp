// Manual pages from a template and a README: the README's inline text, tables and sections in
// man(7) form, and the template's mistakes reported by line.
#include "tools/make_man_page/ManPageTemplate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/make_man_page/RoffText.h"

namespace {

TEST(ManPageTemplate, InlineTextKeepsWhatATerminalShowsLiterally) {
    const struct {
        std::string markdown;
        std::string roff;
    } cases[] = {
        {"`--frames N` stops", "\\fB\\%\\-\\-frames \\%N\\fR stops"},
        {"``a ` b``", "\\fB\\%a \\%\\(ga \\%b\\fR"},
        {"`'1.5'` and ~^ in `~^`", "\\fB\\%\\(aq1.5\\(aq\\fR and ~^ in \\fB\\%\\(ti\\(ha\\fR"},
        {"a\\b `c\\d`", "a\\eb \\fB\\%c\\ed\\fR"},
        {"**Per file**: `x`", "\\fBPer file\\fR: \\fB\\%x\\fR"},
        {"**bold `code` inside**", "\\fBbold \\%code inside\\fR"},
        {"see [Menu](#menu) or [docs](docs/a.md)", "see \\fIMenu\\fR or \\fIdocs\\fR"},
        {"![shot](a.png)after", "after"},
        {"an ` unclosed and ** unclosed [link](", "an ` unclosed and ** unclosed [link]("},
        {"10 - 2 stays a hyphen", "10 - 2 stays a hyphen"},
    };
    for (const auto& c : cases) {
        OrvaneManPage::InternalLinks links;
        EXPECT_EQ(OrvaneManPage::roffInline(c.markdown, links), c.roff) << c.markdown;
    }
    OrvaneManPage::InternalLinks links;
    OrvaneManPage::roffInline("[A](#a), [B](b.md), [C D](#c-d)", links);
    EXPECT_EQ(links, (std::vector<std::string>{"A", "C D"}));
}

const std::string kReadme =
    "# Tool\n"
    "## Usage\n"
    "| Option | Meaning |\n"
    "| --- | --- |\n"
    "| `-h` | help; see [Exit](#exit) |\n"
    "| .dat | a cell that starts with a dot |\n"
    "## Errors\n"
    "Intro with `code`.\n"
    "\n"
    "| What | Message | File |\n"
    "| --- | --- | --- |\n"
    "| full | `; removed` | |\n"
    "### Example\n"
    "    .hidden -x\n"
    "\n"
    "- item\n"
    "2. second\n";

TEST(ManPageTemplate, DirectivesBecomeTheReadmesTablesAndSections) {
    const OrvaneManPage::ManPage page = OrvaneManPage::expandManPage(
        ".TH T 1\n"
        ".SH OPTIONS\n"
        ".\\\" README table: Usage | Option\n"
        ".SH EXIT\n"
        ".\\\" README section: Errors\n",
        kReadme);
    EXPECT_EQ(page.errors, std::vector<std::string>{});
    EXPECT_EQ(page.text,
              // A table wider than two columns needs tbl, which the first line asks for.
              "'\\\" t\n"
              ".TH T 1\n"
              ".SH OPTIONS\n"
              ".TP\n\\fB\\%\\-h\\fR\nhelp; see \\fIExit\\fR\n"
              ".TP\n\\&.dat\na cell that starts with a dot\n"
              ".SH EXIT\n"
              ".PP\nIntro with \\fB\\%code\\fR.\n"
              ".PP\n.na\n.TS\nlb lb lb\nlx lx lx.\n"
              "T{\nWhat\nT}\tT{\nMessage\nT}\tT{\nFile\nT}\n"
              "_\n"
              "T{\nfull\nT}\tT{\n\\fB\\%; \\%removed\\fR\nT}\tT{\n\\&\nT}\n"
              ".TE\n.ad\n"
              ".SS \"Example\"\n"
              ".PP\n.RS 4\n.nf\n\\&.hidden \\-x\n.fi\n.RE\n"
              ".IP \\(bu 2\nitem\n"
              ".IP \"2.\" 4\nsecond\n");
}

TEST(ManPageTemplate, MistakesAreReportedWithTheirTemplateLine) {
    const struct {
        std::string pageTemplate;
        std::vector<std::string> errors;
    } cases[] = {
        {".SH EXIT\n.\\\" README table: Usage | Key\n",
         {"line 2: no table under 'Usage' starts with 'Key'"}},
        {".SH EXIT\n.\\\" README table: Usage\n",
         {"line 2: a table is named as '<heading> | <first header cell>'"}},
        {".SH EXIT\n\n.\\\" README section: Nothing\n", {"line 3: no heading reads 'Nothing'"}},
        // The README's link to "Exit" needs a section of that name, in any letter case.
        {".SH OPTIONS\n.\\\" README table: Usage | Option\n",
         {"the README's link to 'Exit' names no section of this page"}},
        {".SS \"\\fBexit\\fR\"\n.\\\" README table: Usage | Option\n", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OrvaneManPage::expandManPage(c.pageTemplate, kReadme).errors, c.errors)
            << c.pageTemplate;
    }
}

}  // namespace
