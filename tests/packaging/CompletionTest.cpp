// Bash completion of the three programs as bash-completion loads it from an installation: the
// file for each program's name, then what Tab offers after each kind of word.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/packaging/InstalledTree.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

constexpr const char* kBashCompletion = "/usr/share/bash-completion/bash_completion";

// A shell word in single quotes.
std::string shellWord(const std::string& word) {
    std::string out = "'";
    for (const char c : word) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// What completing the last word offers, sorted, one a line: the words as readline splits them
// ("=" a word of its own, written without blanks around it).
std::string complete(const OrvaneTest::InstalledTree& tree, const OrvaneTest::TempDir& folder,
                     const std::vector<std::string>& words) {
    std::string line, array;
    for (size_t i = 0; i < words.size(); ++i) {
        const bool glued = words[i] == "=" || (i > 0 && words[i - 1] == "=");
        line += (i == 0 || glued ? "" : " ") + words[i];
        array += " " + shellWord(words[i]);
    }
    const std::string script =
        std::string("source ") + kBashCompletion + "\n" + "__load_completion " +
        shellWord(words[0]) + " || exit 3\n" + "COMP_LINE=" + shellWord(line) +
        "; COMP_POINT=${#COMP_LINE}\n" + "COMP_WORDS=(" + array +
        "); COMP_CWORD=" + std::to_string(words.size() - 1) + "\n" + "function=$(complete -p " +
        shellWord(words[0]) + " | sed -n 's/.* -F \\([^ ]*\\) .*/\\1/p')\n" + "$function " +
        shellWord(words[0]) + " \"${COMP_WORDS[COMP_CWORD]}\" " +
        "\"${COMP_WORDS[COMP_CWORD-1]}\"\n" +
        "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort\n";
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"XDG_DATA_DIRS", (tree.prefix() / "share").string()}};
    options.workingDirectory = folder.path().string();
    const OrvaneTest::ProcessResult result =
        OrvaneTest::runProcess({"/bin/bash", "--norc", "-c", script}, options);
    EXPECT_EQ(result.status, 0) << line << '\n' << result.err;
    return result.out == "\n" ? "" : result.out;
}

TEST(CompletionTest, OptionsValuesAndFilesForEachProgram) {
    ASSERT_TRUE(std::filesystem::exists(kBashCompletion))
        << "bash-completion is not installed (scripts/setup.sh installs it)";
    const OrvaneTest::InstalledTree tree;
    ASSERT_EQ(tree.install().status, 0) << tree.install().out << tree.install().err;
    OrvaneTest::TempDir folder;
    folder.write("walk.txt", "");
    folder.write("helix.dat", "");
    std::filesystem::create_directory(folder.path() / "frames");
    const std::string allFiles = "frames\nhelix.dat\nwalk.txt\n";

    const struct {
        std::vector<std::string> words;
        std::string offered;
    } cases[] = {
        {{"orvane", "--c"}, "--center_trajectories\n"},
        {{"orvane", "-"}, "--center_trajectories\n--help\n--log_dynamics\n-h\n"},
        {{"orvane", "--log_dynamics", "h"}, "helix.dat\n"},
        // From the first path on every word is a path, also one that looks like an option.
        {{"orvane", "helix.dat", "--c"}, ""},
        {{"orvane", ""}, allFiles},
        {{"orvane-record", "--"}, "--frames\n--help\n--png\n--video\n"},
        {{"orvane-record", "--frames", ""}, ""},
        {{"orvane-record", "--png", ""}, "frames\n"},
        {{"orvane-record", "--png", "=", "f"}, "frames\n"},
        {{"orvane-record", "--video", ""}, allFiles},
        {{"orvane-convert", "--from", ""}, "euroc\nkitti\ntum\n"},
        {{"orvane-convert", "--from", "=", "k"}, "kitti\n"},
        {{"orvane-convert", "--time", "a"}, "absolute\n"},
        {{"orvane-convert", "--period", ""}, ""},
        {{"orvane-convert", "--p"}, "--period\n"},
        {{"orvane-convert", "--from", "tum", "w"}, "walk.txt\n"},
        {{"orvane-convert", "walk.txt", "--t"}, "--time\n"},
        {{"orvane-convert", "--", "--t"}, ""},
        {{"orvane-convert", "--", ""}, allFiles},
    };
    for (const auto& c : cases) {
        std::string words;
        for (const std::string& word : c.words) {
            words += "[" + word + "]";
        }
        EXPECT_EQ(complete(tree, folder, c.words), c.offered) << words;
    }
}

}  // namespace
